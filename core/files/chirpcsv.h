#pragma once
#include <QByteArray>
#include <QList>
#include <QStringList>

#include "document/documentdata.h"
#include "base/result.h"

// Channel lists in CHIRP's CSV format, the one repeater lists, club sheets
// and other radios' programming tools exchange: a header row naming the
// columns (any subset, any order, unknown ones ignored), one memory a row.
//
// What a row means here:
//   Location n            channel n (1 to 32)
//   Frequency             receive frequency in MHz
//   Duplex, Offset        empty: transmit on the receive frequency; "+"/"-":
//                         receive plus/minus Offset; "split": Offset is the
//                         transmit frequency; "off": the channel does not transmit
//   Tone and its fields   "Tone" transmit rToneFreq; "TSQL" cToneFreq both ways;
//                         "DTCS" DtcsCode both ways; "Cross" by CrossMode;
//                         "TSQL-R"/"DTCS-R" of older files receive only
//   DtcsPolarity          transmit then receive letter, N normal, R inverted
//   Mode                  FM wide, NFM narrow
//   Skip                  "S" left out of scanning ("P", priority, is scanned)
//   Power                 watts; below LowPowerBelowWatts is the low level
// Names, comments, tuning steps and the D-STAR columns have no place in this
// radio; busy lock, tail elimination, the compander and PTT ID have no
// column in CHIRP.
namespace ChirpCsv {

// Every column a CHIRP file of 2023 or later has, in its order.
inline const QStringList Header = {
    QStringLiteral("Location"),   QStringLiteral("Name"),         QStringLiteral("Frequency"),
    QStringLiteral("Duplex"),     QStringLiteral("Offset"),       QStringLiteral("Tone"),
    QStringLiteral("rToneFreq"),  QStringLiteral("cToneFreq"),    QStringLiteral("DtcsCode"),
    QStringLiteral("DtcsPolarity"), QStringLiteral("RxDtcsCode"), QStringLiteral("CrossMode"),
    QStringLiteral("Mode"),       QStringLiteral("TStep"),        QStringLiteral("Skip"),
    QStringLiteral("Power"),      QStringLiteral("Comment"),      QStringLiteral("URCALL"),
    QStringLiteral("RPT1CALL"),   QStringLiteral("RPT2CALL"),     QStringLiteral("DVCODE")};

// The radio's two power levels as CHIRP shows them, and where a wattage
// read from a file divides them.
constexpr double HighWatts = 5.0;
constexpr double LowWatts = 1.0;
constexpr double LowPowerBelowWatts = 2.0;

// The file's first line names the columns Location and Frequency, as
// CHIRP's files do and the channel table's own CSV does not.
bool recognises(const QByteArray& bytes);

struct ImportResult {
    Result fileError;        // the bytes are no CSV at all (a quote left open)
    DocumentData data;       // the base with its channel table replaced
    int imported = 0;
    QList<Result> refused;   // "line n: why", one per row the radio cannot hold
    bool leftOut = false;    // an imported row had a name, comment or tuning step
    bool ok() const { return fileError.ok() && imported > 0; }
};

// Each row the radio can hold becomes its channel within the selected band of
// `base`; every other row is refused with its line and every reason. Channels
// no row names are empty; busy lock, tail elimination, the compander and PTT
// ID take what a new channel starts with.
ImportResult importTable(const QByteArray& bytes, const DocumentData& base);

// What an import did, as the window and the command line report it: the
// channels imported from `source`, each refused row, what was left out.
// Without channels it says that nothing was imported and why.
Result importSummary(const ImportResult& result, const QString& source);

struct ExportResult {
    QByteArray bytes;        // UTF-8, as CHIRP reads and writes its files
    int exported = 0;
    QList<Result> skipped;   // channels with a cell that names no value
};

// One row per channel that exists, with the simplest duplex and tone mode
// that say exactly what the channel does.
ExportResult exportTable(const DocumentData& data);

// What an export did and what CHIRP cannot carry.
Result exportSummary(const ExportResult& result, const QString& target);

}
