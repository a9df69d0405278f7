#include "packfile.h"

#include <QDir>
#include <QFile>

#include "base/textids.h"
#include "files/filesave.h"

namespace PackFile {

std::optional<PackStrings> load(const QString& path, Result* why)
{
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly)) {
        if (why)
            *why = FileSave::openFailed(path, f);
        return std::nullopt;
    }
    // A pack is a small text file; anything huge is not one of ours.
    const QByteArray bytes = f.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize) {
        if (why)
            *why = Result::fail(TextId::PackTooLarge, {path, QString::number(MaxFileSize)});
        return std::nullopt;
    }
    return PackStrings::parse(bytes);
}

QString find(const QString& dir, const QString& packName)
{
    const QString wanted = packName.toLower() + QStringLiteral(".lang");
    const QDir d(dir);
    const QString exact = d.filePath(wanted);
    if (QFile::exists(exact))
        return exact;
    const auto entries = d.entryList(QDir::Files);
    for (const QString& e : entries)
        if (e.toLower() == wanted)
            return d.filePath(e);
    return {};
}

}
