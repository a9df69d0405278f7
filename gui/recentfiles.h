#pragma once
#include <QStringList>

class Profile;

// The recent-files list of the File menu, kept in sysini.ini, section
// "recent", keys "file1" to "file8" (newest first).
namespace RecentFiles {
constexpr int Max = 8;
QStringList load(const Profile& ini);
void store(Profile& ini, const QStringList& files);
// `path` moved to the front, without repeats, at most Max entries.
QStringList add(QStringList files, const QString& path);
}
