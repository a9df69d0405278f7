#pragma once
#include <QChar>
#include <QString>
#include <optional>

#include "base/valuewords.h"
#include "channel.h"

class DocumentData;
class PackStrings;

// A channel's cells as text: what the channel table, the settings file, CSV
// and the clipboard show and read. The words are those of the active
// language and the separator the locale's; the channel itself holds neither.
namespace ChannelText {

// Cell `col` (1 .. 11) as the table shows it.
QString cell(const Channel& ch, int col, const ValueWords& words, QChar sep);
// Sets cell `col` from its text: to the value the text names (a word of any
// shipped language or of `words`, a frequency or tone with either decimal
// separator), or else to the text itself, kept as it is.
void setCell(Channel& ch, int col, const QString& text, const ValueWords& words);

// The same for channel `row` of a document; column 0 is its number.
QString cell(const DocumentData& d, int row, int col, const ValueWords& words, QChar sep);
void setCell(DocumentData& d, int row, int col, const QString& text, const ValueWords& words);

// "446.00625" for 446006250 Hz.
QString frequency(qint64 hz, QChar sep);
// One to three digits, a point or comma, five digits (a record below
// 100 MHz reads as "0.62804"); in hertz.
std::optional<qint64> parseFrequency(const QString& text);

// "67.0", "D023N", or the off word.
QString tone(const Tone& t, const QString& offWord, QChar sep);
// A CTCSS tone with one decimal (a radio may hold one below 10 Hz: "6.5"),
// "D" with three octal digits and "N" or "I", or an off word; nothing for
// any other text, the empty one included.
std::optional<Tone> parseTone(const QString& text, const ValueWords& words);

// The word a word column (5 .. 11) shows; Word::Off for other columns.
Word word(const Channel& ch, int col);
// The channel number as the first column shows it: "01" .. "32".
QString number(int row);

// The channel table's caption of column `col` (0 .. 11) in the language of
// `texts`; empty when the pack lacks it. PTT ID is the same in every language.
QString columnCaption(int col, const PackStrings& texts);

}
