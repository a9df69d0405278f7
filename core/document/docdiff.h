#pragma once
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include "base/result.h"

class DocumentData;

// The differences between two settings documents, one line each, as a user
// reads them: "channel 05 transmit tone: 67.0 -> D023N", "squelch level:
// 3 -> 5", each a text id with its values for the windows and the
// command-line tool to put into words.
// Channels are compared as values; words are named by their text ids, so a
// line reads in the language it is shown in. A setting that either document
// does not carry is left out.
namespace DocDiff {

// Everything the radio stores: the channel table, the optional features of
// the option block and the timer record, and the band.
// `separator`: frequencies and tones are shown with it.
QList<Result> differences(const DocumentData& from, const DocumentData& to, QChar separator = u'.');

// Only channel `row` (1 .. 32).
QList<Result> channelDifferences(const DocumentData& from, const DocumentData& to, int row, QChar separator = u'.');

}
