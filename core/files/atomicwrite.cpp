#include "atomicwrite.h"

#include <QSaveFile>
#include <cerrno>
#include <cstring>

QString writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return f.errorString();
    // QSaveFile::commit() reports success after a short write (disk full, file
    // size limit) and would put a cut file in place of the old one; flushing
    // first shows the failure while the old file is still untouched.
    errno = 0;
    if (f.write(bytes) != bytes.size() || !f.flush() || f.size() != bytes.size()) {
        const int code = errno;
        const QString why = code != 0 ? QString::fromLocal8Bit(std::strerror(code)) : f.errorString();
        f.cancelWriting();
        return why;
    }
    if (!f.commit())
        return f.errorString();
    return {};
}
