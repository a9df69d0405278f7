#include "userfolders.h"

#include <QDir>
#include <QFile>

#include <pwd.h>
#include <unistd.h>

namespace {

// An XDG variable's folder; relative values are invalid by the rules and
// are ignored.
QString xdgFolder(const QProcessEnvironment& env, const QString& variable, const QString& fallback)
{
    const QString value = env.value(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return value;
    return QDir(UserFolders::home(env)).filePath(fallback);
}

}

namespace UserFolders {

QString home(const QProcessEnvironment& env)
{
    const QString home = env.value(QStringLiteral("HOME"));
    if (!home.isEmpty())
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && *pw->pw_dir)
        return QFile::decodeName(pw->pw_dir);
    return QDir::rootPath();
}

QString configHome(const QProcessEnvironment& env)
{
    return xdgFolder(env, QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral(".config"));
}

QStringList configDirs(const QProcessEnvironment& env)
{
    QStringList dirs;
    const QStringList listed = env.value(QStringLiteral("XDG_CONFIG_DIRS")).split(u':', Qt::SkipEmptyParts);
    for (const QString& d : listed)
        if (QDir::isAbsolutePath(d))
            dirs << QDir::cleanPath(d);
    if (dirs.isEmpty())
        dirs << QStringLiteral("/etc/xdg");
    return dirs;
}

QString data(const QProcessEnvironment& env)
{
    return QDir(xdgFolder(env, QStringLiteral("XDG_DATA_HOME"), QStringLiteral(".local/share")))
        .filePath(QStringLiteral("rq300"));
}

}
