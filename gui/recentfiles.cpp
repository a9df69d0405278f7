#include "gui/recentfiles.h"

#include <QFileInfo>

#include "files/profile.h"

namespace RecentFiles {

namespace {
const QString Section = QStringLiteral("recent");
QString keyOf(int i) { return QStringLiteral("file%1").arg(i + 1); }
}

QStringList load(const Profile& ini)
{
    QStringList files;
    for (int i = 0; i < Max; ++i) {
        const QString f = ini.value(Section, keyOf(i));
        if (!f.isEmpty() && !files.contains(f))
            files << f;
    }
    return files;
}

void store(Profile& ini, const QStringList& files)
{
    for (int i = 0; i < Max; ++i)
        ini.setValue(Section, keyOf(i), files.value(i));
}

QStringList add(QStringList files, const QString& path)
{
    const QString abs = QFileInfo(path).absoluteFilePath();
    files.removeAll(abs);
    files.prepend(abs);
    while (files.size() > Max)
        files.removeLast();
    return files;
}

}
