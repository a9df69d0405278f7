#include "packfile.h"

#include <QDir>
#include <QFile>
#include <algorithm>

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
    // An empty file, or one with no line of a pack (cut to nothing, another
    // file under the pack's name), would leave every text built in without
    // a word; it is no pack, as a missing one is not.
    PackStrings pack = PackStrings::parse(bytes);
    const QList<int> ids = pack.ids();
    if (std::none_of(ids.cbegin(), ids.cend(), [](int id) { return PackStrings::builtIn().contains(id); })) {
        if (why)
            *why = Result::fail(TextId::PackEmpty, {path});
        return std::nullopt;
    }
    return pack;
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
