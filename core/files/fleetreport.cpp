#include "fleetreport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "base/packstrings.h"
#include "base/textids.h"
#include "base/userfolders.h"
#include "filesave.h"

namespace FleetReport {

namespace {

// A reason may hold commas, quotes and several lines (one per record that
// differs); quoted, the file still has one radio per record.
QString field(const QString& value)
{
    if (!value.contains(u',') && !value.contains(u'"') && !value.contains(u'\n') && !value.contains(u'\r'))
        return value;
    QString quoted = value;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

}

QString defaultPath()
{
    return QDir(UserFolders::data()).filePath(QStringLiteral("fleet-report.csv"));
}

QString format(const Line& line)
{
    const QStringList fields = {line.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                line.port,
                                line.user,
                                line.result,
                                line.verify,
                                line.backup};
    QStringList out;
    for (const QString& f : fields)
        out << field(f);
    return out.join(u',');
}

QString header(const PackStrings& texts)
{
    return texts.text(TextId::FleetReportHeader);
}

Result append(const QString& path, const Line& line, const PackStrings& texts)
{
    QByteArray bytes;
    QFile old(path);
    if (old.exists()) {
        if (!old.open(QIODevice::ReadOnly))
            return FileSave::openFailed(path, old);
        bytes = old.readAll();
        if (old.error() != QFileDevice::NoError)
            return FileSave::readFailed(path, old);
    } else {
        QDir().mkpath(QFileInfo(path).absolutePath());
    }
    if (bytes.trimmed().isEmpty())
        bytes = header(texts).toUtf8() + "\r\n";
    else if (!bytes.endsWith('\n'))
        bytes += "\r\n";
    bytes += format(line).toUtf8() + "\r\n";
    return FileSave::save(path, bytes);
}

}
