#pragma once
#include <QString>
#include <QStringList>

class DocumentData;

// The differences between two settings documents, one line each, as a user
// reads them: "channel 05 TX tone: 67.0 -> D023N", "squelch: 3 -> 5".
// Both documents must hold their word cells in the same language (a read and
// SettingsFile::read both rewrite cells into the active words).
namespace DocDiff {

// Everything the radio stores: the channel table, the optional features of
// the option block and the timer record, and the band.
QStringList differences(const DocumentData& from, const DocumentData& to);

// Only channel `row` (1 .. 32).
QStringList channelDifferences(const DocumentData& from, const DocumentData& to, int row);
// Only the settings of `keys`.
QStringList settingDifferences(const DocumentData& from, const DocumentData& to, const QStringList& keys);

// The settings each record carries.
const QStringList& optionKeys();   // the option block at 0x4000
const QStringList& timerKeys();    // the timer and DTMF record at 0x4010

// The short name a difference line uses: "squelch", "TX tone".
QString settingLabel(const QString& key);
QString columnLabel(int col);

}
