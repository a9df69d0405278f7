#pragma once
#include <QByteArray>
#include <QString>

#include "document/alignmentvalues.h"
#include "base/result.h"

// The alignment file (*.m17): line 1 "RQ-300", line 2 empty, Edit201,
// Edit202, Edit401 .. Edit413, line 18 empty; lines end with CR LF.
namespace AlignmentFile {

// Reads the file into `values`. A file shorter than 18 lines empties the
// fields whose lines are missing. The whole file is checked first: on
// failure `values` is left as it was.
Result load(const QString& path, AlignmentValues& values);
Result parse(const QByteArray& content, const QString& path, AlignmentValues& values);

// The file's bytes; a field that a later load would refuse is reported.
Result serialize(const AlignmentValues& values, QByteArray* out);
// Through the one file writer: a failed save leaves the old file as it was.
Result save(const QString& path, const AlignmentValues& values);

}
