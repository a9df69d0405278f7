#include "filesave.h"

#include "files/filewriter.h"
#include "setup/textids.h"

namespace FileSave {

Result save(const QString& path, const QByteArray& bytes)
{
    const FileWriter::Status s = FileWriter::write(path, bytes);
    if (s.ok())
        return Result::success();
    return Result::fail(TextId::FileSaveFailed, {path, s.reason()});
}

Result checkWritable(const QString& path)
{
    const FileWriter::Status s = FileWriter::checkWritable(path);
    if (s.ok())
        return Result::success();
    return Result::fail(TextId::FileSaveFailed, {path, s.reason()});
}

Result openFailed(const QString& path, const QFileDevice& file)
{
    return Result::fail(TextId::FileOpenFailed, {path, file.errorString()});
}

Result readFailed(const QString& path, const QFileDevice& file)
{
    return Result::fail(TextId::FileReadFailed, {path, file.errorString()});
}

}
