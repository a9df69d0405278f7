#pragma once
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Where this account's configuration and data live, by the XDG base directory
// rules. QStandardPaths is not used for it: it takes a relative
// XDG_DATA_HOME as given (the rules say to ignore it) and, with HOME unset
// (a service, su without -l), puts the folders under the root directory.
namespace UserFolders {

// $HOME, or the account's home directory when HOME is unset; never the
// current directory.
QString home(const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());
// $XDG_CONFIG_HOME when absolute, else ~/.config.
QString configHome(const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());
// The system's configuration folders, most important first: the absolute
// entries of $XDG_CONFIG_DIRS, else /etc/xdg.
QStringList configDirs(const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());
// The program's data folder: $XDG_DATA_HOME/rq300 when absolute, else
// ~/.local/share/rq300 (backups, the recovery file, the fleet reports).
QString data(const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

}
