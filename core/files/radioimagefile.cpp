#include "radioimagefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "files/filesave.h"
#include "base/textids.h"

namespace RadioImageFile {

namespace {

// More records than the radio's whole address space holds is no image.
constexpr int MaxRecords = 65536 / RadioImage::RecordSize;
constexpr qint64 MaxFileBytes = 1 << 20;

bool isHex(const QByteArray& text)
{
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')))
            return false;
    return !text.isEmpty();
}

}

QByteArray serialize(const RadioImage& image)
{
    QByteArray out = Header + "\r\n";
    for (int address : image.addresses())
        out += QByteArray::number(address, 16).rightJustified(4, '0').toUpper() + ' '
               + image.record(address).toHex().toUpper() + "\r\n";
    return out;
}

std::optional<RadioImage> parse(const QByteArray& bytes, const QString& path, Result* why)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    auto bad = [&](int line) {
        if (why)
            *why = Result::fail(TextId::ImageFileBadLine, {path, QString::number(line)});
        return std::nullopt;
    };
    if (lines.isEmpty() || lines.first().trimmed() != Header)
        return bad(1);
    RadioImage image;
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray l = lines[i].trimmed();
        if (l.isEmpty())
            continue;
        const QList<QByteArray> parts = l.split(' ');
        if (parts.size() != 2 || parts[0].size() != 4 || parts[1].size() != 2 * RadioImage::RecordSize
            || !isHex(parts[0]) || !isHex(parts[1]) || image.size() >= MaxRecords)
            return bad(i + 1);
        const int address = parts[0].toInt(nullptr, 16);
        if (address % RadioImage::RecordSize != 0 || image.contains(address))
            return bad(i + 1);
        image.set(address, QByteArray::fromHex(parts[1]));
    }
    return image;
}

Result save(const QString& path, const RadioImage& image)
{
    return FileSave::save(path, serialize(image));
}

QString besideSettings(const QString& settingsPath)
{
    const QFileInfo info(settingsPath);
    return info.dir().filePath(info.completeBaseName() + u'.' + Suffix);
}

Loaded loadBesideSettings(const QString& settingsPath)
{
    Loaded out;
    const QString path = besideSettings(settingsPath);
    const QFileInfo info(path);
    if (!info.isFile())
        return out;
    out.present = true;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        out.error = FileSave::openFailed(path, f);
        return out;
    }
    const QByteArray bytes = f.read(MaxFileBytes + 1);
    if (f.error() != QFileDevice::NoError) {
        out.error = FileSave::readFailed(path, f);
        return out;
    }
    if (bytes.size() > MaxFileBytes) {
        out.error = Result::fail(TextId::ImageFileBadLine, {path, QString::number(MaxRecords + 2)});
        return out;
    }
    Result why;
    if (const std::optional<RadioImage> image = parse(bytes, path, &why))
        out.image = *image;
    else
        out.error = why;
    return out;
}

}
