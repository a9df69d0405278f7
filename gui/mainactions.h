#pragma once
#include <QKeySequence>
#include <QList>

// Every command of the main window's menus and toolbar, declared once: its
// object name (tests and stored settings know the commands by it), the text
// before a language pack applies, the pack text, the Alt letter, the
// short-cuts and its toolbar button. The window builds its menus, toolbar,
// texts and tool tips from this one table; a new command is one line here
// and one handler.
struct MainAction {
    const char* name;
    const char* builtIn;         // shown until a pack applies
    int textId;                  // 0: the built-in text stays
    char mnemonic;               // 0: none
    QList<QKeySequence> keys;
    const char* button = nullptr;   // toolbar button object name
    const char* icon = nullptr;     // ":/icons/<icon>.png"
    int toolbarPlace = 0;           // order on the toolbar; a new tens digit starts a group
    bool refusedWhileBusy = false;  // a transfer is running: the command waits
    bool buttonHidden = false;      // on the toolbar but out of sight
};

namespace MainActions {
const QList<MainAction>& all();
// The declaration of `name`; nullptr for a name the table lacks.
const MainAction* find(const QString& name);
}
