#pragma once
#include <QString>

class QWidget;

// Qt's own texts (the standard buttons Yes, No, OK, Cancel, the file
// dialogs) in the program's language: 1 simplified Chinese, 2 English,
// 3 traditional Chinese. Qt's translations come from its translations
// directory (Debian package qt6-translations-l10n).
namespace LanguageSwitch {

// The Qt translation file of a language ("qtbase_zh_CN"); empty for a number
// that names no language.
QString qtTranslationName(int language);

// Replaces the Qt translation in use by the one of `language`; widgets get a
// LanguageChange event, and boxes and dialogs made from now on use the new
// texts. False when the translation file is missing: Qt's texts are then
// its English ones.
bool applyQtTranslation(int language);

// Makes an editor window at least as large as its new texts need. Its
// layouts are brought up to date at once (not when the event loop next
// runs, nor only when a hidden window is next shown), and the frame it
// lies in grows with it; it never shrinks.
void growWithTexts(QWidget* window);

}
