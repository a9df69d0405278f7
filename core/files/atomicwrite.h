#pragma once
#include <QByteArray>
#include <QString>

// Replaces a file only once its new contents are completely on disk: a failed
// write (disk full, no permission) leaves the old file as it was.
// Returns the system's error text, empty on success.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);
