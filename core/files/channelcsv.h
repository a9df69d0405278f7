#pragma once
#include <QByteArray>
#include <QStringList>
#include <optional>

#include "document/documentdata.h"
#include "document/wordcells.h"
#include "base/result.h"

class PackStrings;

// The channel table as CSV, for spreadsheets: a header row, then one row per
// channel that exists (channel number, the eleven cells). Bytes are in the
// same encoding as settings files, so a spreadsheet on a Chinese system reads
// the words right.
namespace ChannelCsv {

// The header row names the columns as the English channel table does. An
// import takes any header row (older files say "Flag A" to "Flag D" for
// Scan to Comp/Scr): the columns are known by their place.
inline const QStringList HeaderFields = {
    QStringLiteral("Channel"),      QStringLiteral("RX Frequency"), QStringLiteral("RX Tone"),
    QStringLiteral("TX Frequency"), QStringLiteral("TX Tone"),      QStringLiteral("Power"),
    QStringLiteral("Bandwidth"),    QStringLiteral("Scan"),         QStringLiteral("Busy Lock"),
    QStringLiteral("Tail Elim"),    QStringLiteral("Comp/Scr"),     QStringLiteral("PTT ID")};

// The channels in use, in `words` and with `separator`.
QByteArray exportTable(const DocumentData& data, const ValueWords& words, QChar separator);

// One cell of column `col` (1 to 11) checked as an import checks it: the text
// the channel table takes (committed frequency, tone, active word), or
// nullopt when it is not a value of that column within `band`.
std::optional<QString> cellValue(int col, const QString& text, const QString& band,
                                 const ValueWords& words, QChar separator);

struct ImportResult {
    bool ok = false;
    QList<Result> errors;  // one per bad line, its number and every problem of it
    DocumentData data;     // ok only: `base` with the channel table replaced
};

// Reads a CSV made by exportTable or by a spreadsheet. Every value is checked:
// frequencies committed (on the raster, within the selected band of `base`),
// tones of the tone form, words of any of the three languages (written as
// `words`). Either separator is accepted in numbers and written as `separator`.
// Any bad line and the result holds nothing but the errors.
ImportResult importTable(const QByteArray& bytes, const DocumentData& base, const ValueWords& words,
                         QChar separator);

// The errors of an import in the language of `texts`, one per line.
QStringList errorTexts(const ImportResult& result, const PackStrings& texts);

}
