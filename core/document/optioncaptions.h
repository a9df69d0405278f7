#pragma once
#include <QList>
#include <QString>

class PackStrings;

// Every caption of the optional features window and the pack strings that
// replace it: the one place where a label's object name meets its text and
// the setting it names. The window builds its controls from it, and the
// channel sheet prints the settings with the same words in the same order.
struct FuncCaption {
    const char* object;    // object name of the label, check box or group box
    const char* builtIn;   // caption before any pack applies
    const char* prefix;    // fixed text in front of the pack strings
    int id;                // pack string; 0: the caption is fixed
    int suffixId;          // a second pack string after the first; 0: none
    bool shown;            // false: a control this window keeps out of sight
    QString key = {};      // the setting it names; empty for a group's title
};

namespace FuncCaptions {
// In the window's reading order: the left column from the top, then the right.
const QList<FuncCaption>& all();
const FuncCaption* find(const QString& object);
// The caption of setting `key`; nullptr when no caption names it.
const FuncCaption* forKey(const QString& key);
// The caption from `t`; `current` when the pack lacks a string it needs.
QString text(const FuncCaption& c, const PackStrings& t, const QString& current);
}
