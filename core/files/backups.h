#pragma once
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include "base/result.h"

class AlignmentValues;
class DocumentData;
class PackStrings;

// The backup folder: a settings file (*.kq19) of every radio the program read
// and of every radio before it was written, and an alignment file (*.m17) of
// the calibration values before the alignment window first adjusts a radio.
// Files are named by local date, time and the radio's user name, e.g.
// 2026-12-08_143005_FLEET.kq19, so the folder sorts by age and a backup is an
// ordinary file that Open and `rq300-cli write` take back as it is.
namespace Backups {

// $XDG_DATA_HOME/rq300/backups, or ~/.local/share/rq300/backups.
QString folder();

// The user name as it may stand in a file name: letters, digits, '-' and
// '_' kept, anything else '_'; "radio" when nothing is left.
QString safeName(const QString& user);
QString fileName(const QDateTime& when, const QString& user, const QString& suffix);

// Saves `data` into `dir` (made when missing) under a name not yet taken,
// then applies the retention. On success *path is the new file.
Result saveSettings(const DocumentData& data, const PackStrings& texts, const QString& user,
                    QString* path, const QString& dir = folder(),
                    const QDateTime& when = QDateTime::currentDateTime());
// The same for an alignment file's bytes (AlignmentFile::save writes them).
Result saveAlignment(const AlignmentValues& values, const QString& user, QString* path,
                     const QString& dir = folder(), const QDateTime& when = QDateTime::currentDateTime());

struct Entry {
    QString path;
    QDateTime when;   // from the name
    QString user;     // from the name
    QString band;     // the BAND line of a settings file; empty for an alignment file
};
// Every backup in `dir`, newest first. Files whose names are not backup names
// are left out (and left alone by the retention).
QList<Entry> list(const QString& dir = folder());

// A year or the last 500, whichever keeps more.
constexpr int KeepCount = 500;
constexpr int KeepDays = 365;
// Removes the backups the retention no longer keeps; returns their paths.
QStringList prune(const QString& dir, const QDateTime& now = QDateTime::currentDateTime());

}
