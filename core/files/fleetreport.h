#pragma once
#include <QDateTime>
#include <QString>

#include "base/result.h"

class PackStrings;

// The record of a batch of radios programmed one after another: a CSV file,
// one line per radio, appended as each radio finishes so that a crash or a
// pulled plug loses no line already written. A new (or empty) file starts
// with a header line in the active language.
namespace FleetReport {

struct Line {
    QDateTime when;      // when the radio finished
    QString port;        // "COM3" or the device path the user gave
    QString user;        // the user name written, or the radio's own
    bool ok = false;
    QString result;      // "written" or why it failed, in the active language
    QString verify;      // "checked", "not checked" or the records that differ
    QString backup;      // the backup file of what the radio held, if any
};

// $XDG_DATA_HOME/rq300/fleet-report.csv
QString defaultPath();

// The line as the file holds it (no line end).
QString format(const Line& line);
QString header(const PackStrings& texts);

// Adds the line (after the header when the file is new or empty) through
// the one file writer: the file is the old one plus the line, or unchanged.
Result append(const QString& path, const Line& line, const PackStrings& texts);

}
