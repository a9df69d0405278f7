#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QPrinter;
class QWidget;

// Every message box and file dialog of the program goes through the active
// prompter, so that tests can answer them without a modal box.
class Prompter {
public:
    enum class Icon { None, Information, Warning, Exclamation, Error, Question };
    enum class SaveChoice { Save, Discard, Cancel };
    virtual ~Prompter() = default;

    virtual void message(QWidget* parent, const QString& caption, const QString& text, Icon icon);
    // Yes/No question; true for Yes.
    virtual bool question(QWidget* parent, const QString& caption, const QString& text, Icon icon);
    // Save / Discard / Cancel before work would be lost.
    virtual SaveChoice saveChanges(QWidget* parent, const QString& caption, const QString& text);
    // Empty when the user cancels. `start` is the folder or file the dialog
    // starts at.
    virtual QString openFile(QWidget* parent, const QString& title, const QString& filter);
    virtual QString saveFile(QWidget* parent, const QString& title, const QString& filter,
                             const QString& defaultSuffix, const QString& start = {});
    // A save dialog offering several file types (filters as saveFile takes
    // them); *type is the index of the one chosen, and the one shown first.
    virtual QString saveFileOfType(QWidget* parent, const QString& title, const QStringList& types,
                                   const QString& defaultSuffix, const QString& start, int* type);
    // The print preview of `printer`, drawn by `paint`, from which the user
    // prints (the system's print dialog) or turns away. True when printed.
    virtual bool print(QWidget* parent, const QString& title, QPrinter& printer,
                       const std::function<void(QPrinter*)>& paint);

    static Prompter& active();
    // Installs a prompter (tests); nullptr restores the real dialogs.
    static void install(Prompter* p);
};
