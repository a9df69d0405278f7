#include "files/packfile.h"
#include "configlocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "files/filesave.h"
#include "base/filewriter.h"
#include "base/packstrings.h"
#include "base/textids.h"
#include "base/userfolders.h"
#include "files/profile.h"

#ifndef RQ300_DATA_FROM_BIN
#define RQ300_DATA_FROM_BIN "../share/rq300"
#endif

namespace {

const QString IniName = QStringLiteral("sysini.ini");

}

ConfigLocation ConfigLocation::beside(const QString& dir)
{
    ConfigLocation where;
    where.iniPath = QDir(dir).filePath(IniName);
    where.packDirs = {dir};
    where.portable = true;
    return where;
}

ConfigLocation ConfigLocation::forExecutable(const QString& exeDir, const QProcessEnvironment& env)
{
    if (QFileInfo(QDir(exeDir).filePath(IniName)).isFile())
        return beside(exeDir);
    const QString data = QDir::cleanPath(QDir(exeDir).filePath(QStringLiteral(RQ300_DATA_FROM_BIN)));
    ConfigLocation where;
    where.iniPath = QDir(UserFolders::configHome(env)).filePath(QStringLiteral("rq300/") + IniName);
    where.defaultIni = QDir(data).filePath(IniName);
    // An administrator's default overrides the shipped one.
    const QStringList system = UserFolders::configDirs(env);
    for (const QString& dir : system) {
        const QString ini = QDir(dir).filePath(QStringLiteral("rq300/") + IniName);
        if (QFileInfo(ini).isFile()) {
            where.defaultIni = ini;
            break;
        }
    }
    where.packDirs = {exeDir, data};
    return where;
}

ConfigLocation ConfigLocation::forThisProgram()
{
    return forExecutable(QCoreApplication::applicationDirPath());
}

Result ConfigLocation::prepare() const
{
    if (portable || QFileInfo::exists(iniPath) || defaultIni.isEmpty() || !QFileInfo(defaultIni).isFile())
        return Result::success();
    const QString folder = QFileInfo(iniPath).absolutePath();
    if (!QDir().mkpath(folder))
        return Result::fail(TextId::ConfigFolderFailed, {folder});
    QFile source(defaultIni);
    if (!source.open(QIODevice::ReadOnly))
        return Result::because(TextId::ConfigCopyFailed, FileSave::fileReason(defaultIni, source), {defaultIni, iniPath});
    const FileWriter::Status written = FileWriter::write(iniPath, source.readAll());
    if (!written.ok())
        return Result::because(TextId::ConfigCopyFailed, FileSave::systemReason(written.error), {defaultIni, iniPath});
    return Result::success();
}

Profile ConfigLocation::load(Result* warning) const
{
    const QString path = QFileInfo::exists(iniPath) || defaultIni.isEmpty() ? iniPath : defaultIni;
    Result why;
    Profile ini = Profile::load(path, &why);
    if (warning)
        *warning = why ? Result::success() : Result::because(TextId::ConfigUnreadable, why, {path});
    return ini;
}

Result ConfigLocation::update(const std::function<void(Profile&)>& change) const
{
    if (iniPath.isEmpty())
        return Result::success();
    Profile ini = load();
    change(ini);
    // The home configuration folder may not exist yet (a first start whose
    // copy of the default failed).
    QDir().mkpath(QFileInfo(iniPath).absolutePath());
    const FileWriter::Status written = FileWriter::write(iniPath, ini.serialize());
    if (!written.ok())
        return Result::because(TextId::ConfigWriteFailed, FileSave::systemReason(written.error), {iniPath});
    return Result::success();
}

QString ConfigLocation::packFile(const QString& packName) const
{
    for (const QString& dir : packDirs) {
        const QString file = PackFile::find(dir, packName);
        if (!file.isEmpty())
            return file;
    }
    return {};
}

QString ConfigLocation::describe() const
{
    QStringList dirs;
    for (const QString& d : packDirs)
        dirs << QDir::cleanPath(d);
    if (portable)
        return QStringLiteral("Configuration: %1 (beside the program; language packs there too).").arg(iniPath);
    return QStringLiteral("Configuration: %1 (started from %2); language packs from %3.")
        .arg(iniPath, defaultIni, dirs.join(QStringLiteral(" or ")));
}
