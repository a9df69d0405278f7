#include "filesave.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "base/filewriter.h"
#include "base/textids.h"

namespace FileSave {

Result save(const QString& path, const QByteArray& bytes)
{
    const FileWriter::Status s = FileWriter::write(path, bytes);
    if (s.ok())
        return Result::success();
    return Result::because(TextId::FileSaveFailed, systemReason(s.error), {path});
}

Result checkWritable(const QString& path)
{
    const FileWriter::Status s = FileWriter::checkWritable(path);
    if (s.ok())
        return Result::success();
    return Result::because(TextId::FileSaveFailed, systemReason(s.error), {path});
}

Result openPipe(const QString& path, int* fd)
{
    const FileWriter::Status s = FileWriter::openPipe(path, fd);
    if (s.ok())
        return Result::success();
    return Result::because(TextId::FileSaveFailed,
                           s.error == ENXIO ? Result::named(TextId::PipeNoReader) : systemReason(s.error), {path});
}

Result openFailed(const QString& path, const QFileDevice& file)
{
    return Result::because(TextId::FileOpenFailed, fileReason(path, file), {path});
}

Result readFailed(const QString& path, const QFileDevice& file)
{
    return Result::because(TextId::FileReadFailed, fileReason(path, file), {path});
}

Result systemReason(int error)
{
    switch (error) {
    case ENOENT: return Result::named(TextId::SystemNoSuchFile);
    case EACCES:
    case EPERM: return Result::named(TextId::SystemPermissionDenied);
    case ENOSPC:
    case EDQUOT: return Result::named(TextId::SystemDiskFull);
    case EROFS: return Result::named(TextId::SystemReadOnly);
    case EISDIR: return Result::named(TextId::SystemIsFolder);
    case ENOTDIR: return Result::named(TextId::SystemNotFolder);
    case EFBIG: return Result::named(TextId::SystemFileTooLarge);
    case EIO: return Result::named(TextId::SystemIoError);
    default: return Result::verbatim(QString::fromLocal8Bit(std::strerror(error)));
    }
}

Result fileReason(const QString& path, const QFileDevice& file)
{
    // Qt keeps only the system's words; what the path is tells the usual causes.
    const QFileInfo info(path);
    if (!info.exists())
        return systemReason(ENOENT);
    if (info.isDir())
        return systemReason(EISDIR);
    if (!info.isReadable())
        return systemReason(EACCES);
    return Result::verbatim(file.errorString());
}

}
