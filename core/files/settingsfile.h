#pragma once
#include <QByteArray>
#include <QString>

#include "document/documentdata.h"
#include "base/valuewords.h"
#include "base/result.h"

class PackStrings;

// The settings file (*.kq19): model, band, 25 optional features and the
// channel table as CR LF text lines; after the last channel line, the volume,
// alarm and lease time ("VOLUME 7", "ALARM 0", "LEASE 2 3 40": days, hours,
// minutes) where the document knows them. The reader checks the whole file
// before anything is taken from it; the writer replaces a file atomically.
namespace SettingsFile {

inline const QString Header = QStringLiteral("TAVRIN MEMORY CHANNEL");
// For the file dialogs.
inline const QString DialogFilter = QStringLiteral("TAVRIN  文件 (*.kq19)");
inline const QString Suffix = QStringLiteral("kq19");

struct ReadResult {
    enum class Status {
        Ok,         // `data` holds the complete new document
        Rejected,   // not a file of this model: the window shows nothing and changes nothing
        Error,      // `message` goes into the error box; nothing changes
    };
    Status status = Status::Error;
    Result error;   // Error: for the error box. Rejected: why, for the command-line tool.
    int line = 0;      // Error: the line of the file that is wrong (from 1); 0 when none

    // Ok only:
    DocumentData data;      // model and band selected (band list maybe extended), options, cells
    int modelIndex = -1;
    bool bandAdded = false; // the file's band was appended to the band list
    Result bandWarning;     // fails when the band line held a malformed band text (no band selected)
    // Fails when the file holds fewer channel lines than the radio has
    // channels: it names how many, and the rest are empty.
    Result notice;
    // read() only: the radio records beside the file (a backup's) could not
    // be used; `data` holds the file's values without them.
    Result imageWarning;
    QString caption;        // model text, "   [", band text, "]"

    bool ok() const { return status == Status::Ok; }
    // `error`, naming the file `name` and the line when one is wrong.
    Result problem(const QString& name) const;
};

// Reads file bytes against the current document (its model list, band list
// and every value the file does not carry; volume, alarm and lease time that
// the file lacks are marked as not carried). A channel cell is read as the
// value it names: a word of any shipped language or of `activeWords` (a
// pack of the user's own), a frequency or tone with either decimal
// separator. A cell that names no value is kept as its text.
// `path` names the file in messages.
ReadResult parse(const QByteArray& bytes, const DocumentData& current, const ValueWords& activeWords,
                 const QString& path = {});
// Opens and reads a file; a file that cannot be opened gives Error with the
// system's error text. The radio records kept beside a backup (same name,
// suffix .rqimg) come with it as the document's image, so that writing it
// puts back every record exactly.
ReadResult read(const QString& path, const DocumentData& current, const ValueWords& activeWords);

// The file's bytes for a document; check box captions, list texts and the
// channels' words are those of `texts`, the active language, and
// frequencies and tones have `separator`, the locale's.
QByteArray serialize(const DocumentData& data, const PackStrings& texts, QChar separator);
// Through the one file writer: the old file stays as it was unless the new
// one is complete.
Result save(const QString& path, const DocumentData& data, const PackStrings& texts, QChar separator);

// Caption of a check box as the optional features window shows it in the
// language of `texts`; a check line of the file repeats it.
QString checkCaption(const QString& key, const PackStrings& texts);

}
