#pragma once
#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include "base/result.h"

// The file writer's outcome and file read failures as the core reports
// failures: a text id with the file's name and the system's reason.
namespace FileSave {

// Writes through the one file writer (files/filewriter.h).
Result save(const QString& path, const QByteArray& bytes);
// Whether `path` could be saved, before the work that makes its contents.
Result checkWritable(const QString& path);

// FileWriter::openPipe: a FIFO nobody reads is refused before the work
// whose result it was to take (FileSaveFailed, PipeNoReader).
Result openPipe(const QString& path, int* fd);

// A file that could not be opened or read.
Result openFailed(const QString& path, const QFileDevice& file);
Result readFailed(const QString& path, const QFileDevice& file);

// The system's reason for the errno `error`: the usual ones in the active
// language, any other in the system's words.
Result systemReason(int error);
// Why `file` at `path` could not be opened or read, as near as Qt tells.
Result fileReason(const QString& path, const QFileDevice& file);

}
