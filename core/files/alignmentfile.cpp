#include "alignmentfile.h"

#include <QFile>

#include "files/filesave.h"
#include "base/textids.h"

namespace AlignmentFile {

namespace {

// Far larger than any alignment file; anything bigger is some other file.
constexpr qint64 MaxFileSize = 64 * 1024;
const char* const Header = "RQ-300";

// Empty when the line may stand in a file for this field: empty, or a value
// the field takes. `path` and `line` are set for a file being read.
Result checkLine(const AlignmentValues::Field& f, const QString& text, const QString& path = {}, int line = 0)
{
    if (text.isEmpty())
        return Result::success();
    const Result problem = AlignmentValues::checkValue(f, text);
    if (problem.ok() || line <= 0)
        return problem;
    // In a file the line is named too; the field's label comes last.
    const Result label = Result::named(f.labelId);
    if (f.hex)
        return Result::because(TextId::AlignmentLineNotHex, label, {path, QString::number(line), f.name, text});
    return Result::because(TextId::AlignmentLineNotNumber, label,
                           {path, QString::number(line), f.name, QString::number(f.min), QString::number(f.max), text});
}

} // namespace

Result parse(const QByteArray& content, const QString& path, AlignmentValues& values)
{
    if (content.contains('\0'))
        return Result::fail(TextId::AlignmentNotFile, {path});
    QList<QByteArray> lines = content.split('\n');
    // A final line break ends the last line; it does not start another.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();

    AlignmentValues loaded = values;
    const QStringList& order = AlignmentValues::fileOrder();
    for (int i = 0; i < order.size(); ++i) {
        const int lineIndex = i + 2;   // after the header and the empty line
        QString text;
        if (lineIndex < lines.size()) {
            QByteArray raw = lines[lineIndex];
            if (raw.endsWith('\r'))
                raw.chop(1);
            text = QString::fromUtf8(raw);
        }
        const Result problem = checkLine(*AlignmentValues::field(order[i]), text, path, lineIndex + 1);
        if (!problem)
            return problem;
        loaded.setText(order[i], text);
    }
    values = loaded;
    return Result::success();
}

Result load(const QString& path, AlignmentValues& values)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileSave::openFailed(path, file);
    // One byte more than the limit tells a file that is too large, also
    // where the size is unknown (a pipe).
    const QByteArray content = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return FileSave::readFailed(path, file);
    if (content.size() > MaxFileSize)
        return Result::fail(TextId::FileTooLarge, {path, QString::number(MaxFileSize)});
    return parse(content, path, values);
}

Result serialize(const AlignmentValues& values, QByteArray* out)
{
    for (const QString& name : AlignmentValues::fileOrder()) {
        const Result problem = checkLine(*AlignmentValues::field(name), values.text(name));
        if (!problem)
            return problem;
    }
    QByteArray bytes = QByteArray(Header) + "\r\n\r\n";
    for (const QString& name : AlignmentValues::fileOrder())
        bytes += values.text(name).toUtf8() + "\r\n";
    bytes += "\r\n";
    *out = bytes;
    return Result::success();
}

Result save(const QString& path, const AlignmentValues& values)
{
    QByteArray bytes;
    const Result made = serialize(values, &bytes);
    return made ? FileSave::save(path, bytes) : made;
}

}
