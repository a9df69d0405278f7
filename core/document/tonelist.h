#pragma once
#include <QStringList>

// The 273 tone choices: the off word, 58 CTCSS tones, then the 107 DCS codes
// with "N" and again with "I".
namespace ToneList {
constexpr int Size = 273;
QStringList entries(const QString& offWord, QChar decimalSeparator);
const QList<int>& ctcssTenths();   // 560 .. 2541, the 58 CTCSS tones in 0.1 Hz
const QStringList& dcsCodes();     // "017" .. "754"
}
