#pragma once
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>

#include "base/result.h"

class Profile;

// Where the program keeps sysini.ini and finds its language packs. Both
// programs (rq300 and rq300-cli) follow the same rule:
//  - a sysini.ini beside the executable (the build tree, a copy on a stick)
//    keeps everything beside it;
//  - otherwise the program is installed: sysini.ini lives in
//    $XDG_CONFIG_HOME/rq300/ (default ~/.config/rq300/) and starts as a copy
//    of the administrator's default, rq300/sysini.ini in $XDG_CONFIG_DIRS
//    (default /etc/xdg/), or where there is none of the installed default in
//    ../share/rq300/.
// The folder of an installed executable is never written, whoever runs it.
struct ConfigLocation {
    QString iniPath;        // the sysini.ini read at start and written at exit
    QString defaultIni;     // copied to iniPath when that is missing; empty beside the executable
    QStringList packDirs;   // searched in this order for the language packs
    bool portable = false;  // everything beside the executable

    // Everything in one directory, as beside an executable.
    static ConfigLocation beside(const QString& dir);
    // The rule above for the executable in `exeDir`; `env` gives
    // XDG_CONFIG_HOME, XDG_CONFIG_DIRS and HOME.
    static ConfigLocation forExecutable(const QString& exeDir,
                                        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());
    // Both programs: the rule for the running executable.
    static ConfigLocation forThisProgram();

    // Puts the installed default in place when the home configuration is
    // missing (creating its folder). Nothing to do beside the executable.
    Result prepare() const;

    // The configuration the programs start from: iniPath, or the installed
    // default while iniPath does not exist. A file that is there but gives
    // nothing (it cannot be opened, is too large, empty or not text) is read
    // as empty, and *warning names it and says why (ConfigUnreadable).
    Profile load(Result* warning = nullptr) const;
    // Reads the configuration as load() does, applies `change` and saves the
    // result to iniPath completely or not at all, making its folder. Fails
    // with ConfigWriteFailed, the path and the system's reason; with no
    // iniPath (a window made without a configuration) there is nothing to do.
    Result update(const std::function<void(Profile&)>& change) const;

    // The pack file of a pack name (letter case ignored) in the first
    // directory that has one; empty when none does.
    QString packFile(const QString& packName) const;

    // One line for the help texts: where the configuration and the packs are.
    QString describe() const;
};
