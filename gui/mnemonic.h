#pragma once
#include <QChar>
#include <QString>

// Menu and button texts with a keyboard letter.
namespace Mnemonic {
// "文件" -> "文件(&F)", "File" -> "&File": the letter marked where a Latin
// text has it, else added in brackets as Chinese menus write it (before a
// trailing "..."). A mark the text had is replaced.
QString with(QString text, QChar letter);
// The text without its mark: "文件(&F)" -> "文件", "&File" -> "File".
QString without(QString text);
}
