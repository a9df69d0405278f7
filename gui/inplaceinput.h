#pragma once
#include <QString>

// The key rules of the channel table's in-place editors, kept apart from the
// widgets so that the rules read as one table each.
namespace InPlaceInput {

// What a key typed into an in-place editor does.
struct KeyAction {
    enum Kind { Drop, Pass, Insert } kind = Drop;
    bool clearFirst = false;   // empty the editor before the key acts
    QString insert;            // Insert: the text entered instead of the key
    int maxLength = -1;        // >= 0: the editor's new maximum length
};

// Frequency editor: digits pass; the locale's separator only after three
// characters and only once. `ch` is the typed character.
bool frequencyKeyPasses(const QString& text, QChar ch, QChar sep);

// Tone editor key table. Backspace is '\b'; Enter is handled by the window.
KeyAction toneKey(const QString& text, QChar ch, const QString& offWord, QChar sep);

// The text a tone cell gets when the tone editor is left: the off word for an
// empty, incomplete or unreadable tone, a CTCSS tone clamped to 55..255 Hz
// with one decimal, or the DCS code as typed.
QString normaliseTone(const QString& text, const QString& offWord, QChar sep);

// Tone drop-down: the character a key enters, or a null QChar to drop it.
QChar toneListKey(QChar ch, QChar sep);

}
