#include "backups.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <cerrno>
#include <functional>
#include <sys/stat.h>

#include "base/userfolders.h"
#include "files/alignmentfile.h"
#include "files/filesave.h"
#include "files/radioimagefile.h"
#include "files/settingsfile.h"
#include "document/documentdata.h"
#include "document/alignmentvalues.h"
#include "base/textids.h"

namespace Backups {

namespace {

const QString TimeFormat = QStringLiteral("yyyy-MM-dd_HHmmss");

// Two radios read in the same second (a fleet written in parallel) must not
// share a file: a name is reserved by creating it exclusively, and the
// reservation and the save run one at a time within the program.
QMutex g_saving;

// yyyy-MM-dd_HHmmss_user[-n].suffix
const QRegularExpression& namePattern()
{
    static const QRegularExpression re(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}_\\d{6})_([A-Za-z0-9_-]+?)(?:-(\\d+))?\\.(kq19|m17)$"));
    return re;
}

QString readBand(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    for (int line = 1; line <= 5 && !f.atEnd(); ++line) {
        const QByteArray l = f.readLine(256).trimmed();
        if (line == 5 && l.startsWith("BAND "))
            return QString::fromLatin1(l.mid(5)).trimmed();
    }
    return {};
}

// Reserves a free name for the backup and writes it with `write`; a failed
// write leaves no file behind.
Result save(const QString& dir, const QString& user, const QString& suffix, const QDateTime& when,
            QString* path, const std::function<Result(const QString&)>& write)
{
    if (!QDir().mkpath(dir))
        return Result::because(TextId::BackupFolderFailed, Result::named(TextId::SystemCannotCreateFolder), {dir});
    QMutexLocker lock(&g_saving);
    const QString base = fileName(when, user, suffix);
    QString target;
    for (int n = 1; n < 1000 && target.isEmpty(); ++n) {
        QString name = base;
        if (n > 1)
            name.insert(name.size() - suffix.size() - 1, QStringLiteral("-%1").arg(n));
        QFile reserve(QDir(dir).filePath(name));
        if (reserve.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            target = reserve.fileName();
        else if (!reserve.exists())
            return Result::because(TextId::BackupSaveFailed,
                                   QFileInfo(dir).isWritable() ? Result::verbatim(reserve.errorString())
                                                               : FileSave::systemReason(EACCES),
                                   {reserve.fileName()});
    }
    if (target.isEmpty())
        return Result::because(TextId::BackupSaveFailed, Result::named(TextId::BackupNoFreeName), {QDir(dir).filePath(base)});
    if (const Result written = write(target); !written) {
        QFile::remove(target);
        // The writer says why in its detail; any other refusal (a value the
        // file cannot hold) is reported as it stands.
        if (written.textId != TextId::FileSaveFailed)
            return written;
        return Result::fail(TextId::BackupSaveFailed, {target}, written.details);
    }
    if (path)
        *path = target;
    lock.unlock();
    prune(dir, when);
    return Result::success();
}

}

QString folder()
{
    return QDir(UserFolders::data()).filePath(QStringLiteral("backups"));
}

QString safeName(const QString& user)
{
    QString out;
    for (QChar c : user.trimmed()) {
        const bool keep = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')
                          || c == u'-' || c == u'_';
        out += keep ? c : QChar(u'_');
    }
    // A name of underscores only says nothing; nor does an erased record.
    if (out.count(u'_') == out.size())
        return QStringLiteral("radio");
    return out;
}

QString fileName(const QDateTime& when, const QString& user, const QString& suffix)
{
    return when.toString(TimeFormat) + u'_' + safeName(user) + u'.' + suffix;
}

Result saveSettings(const DocumentData& data, const PackStrings& texts, const QString& user, QString* path,
                    const QString& dir, const QDateTime& when)
{
    // The records as read go beside the settings file, so that writing the
    // backup back puts every byte where it was.
    return save(dir, user, SettingsFile::Suffix, when, path, [&](const QString& target) {
        if (!data.image().isEmpty())
            if (const Result r = RadioImageFile::save(RadioImageFile::besideSettings(target), data.image()); !r)
                return r;
        const Result saved = SettingsFile::save(target, data, texts, u'.');
        if (!saved)
            QFile::remove(RadioImageFile::besideSettings(target));
        return saved;
    });
}

Result saveAlignment(const AlignmentValues& values, const QString& user, QString* path, const QString& dir,
                     const QDateTime& when)
{
    return save(dir, user, QStringLiteral("m17"), when, path,
                [&](const QString& target) { return AlignmentFile::save(target, values); });
}

QList<Entry> list(const QString& dir)
{
    // Names give the second; within one second the file written later is
    // the newer (its modification time), and of one radio's names the
    // higher number ("-2" after none) when the times cannot tell.
    struct Sorted {
        Entry entry;
        qint64 modifiedNs;
        int number;
    };
    QList<Sorted> found;
    const QStringList names = QDir(dir).entryList(QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QRegularExpressionMatch m = namePattern().match(name);
        if (!m.hasMatch())
            continue;
        Entry e;
        e.path = QDir(dir).filePath(name);
        e.when = QDateTime::fromString(m.captured(1), TimeFormat);
        if (!e.when.isValid())
            continue;
        e.user = m.captured(2);
        if (m.captured(4) == SettingsFile::Suffix)
            e.band = readBand(e.path);
        struct stat st;
        const qint64 modified = ::stat(QFile::encodeName(e.path).constData(), &st) == 0
                                    ? qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec
                                    : 0;
        const int number = m.captured(3).isEmpty() ? 1 : m.captured(3).toInt();
        found << Sorted{e, modified, number};
    }
    std::stable_sort(found.begin(), found.end(), [](const Sorted& a, const Sorted& b) {
        if (a.entry.when != b.entry.when)
            return a.entry.when > b.entry.when;
        if (a.modifiedNs != b.modifiedNs)
            return a.modifiedNs > b.modifiedNs;
        if (a.number != b.number)
            return a.number > b.number;
        return a.entry.path > b.entry.path;
    });
    QList<Entry> entries;
    for (const Sorted& f : found)
        entries << f.entry;
    return entries;
}

QStringList prune(const QString& dir, const QDateTime& now)
{
    QStringList removed;
    const QList<Entry> entries = list(dir);
    const QDateTime cutoff = now.addDays(-KeepDays);
    for (int i = KeepCount; i < entries.size(); ++i) {
        if (entries[i].when >= cutoff)
            continue;   // younger than a year: kept whatever the count
        if (QFile::remove(entries[i].path))
            removed << entries[i].path;
        if (entries[i].path.endsWith(u'.' + SettingsFile::Suffix))
            QFile::remove(RadioImageFile::besideSettings(entries[i].path));
    }
    return removed;
}

}
