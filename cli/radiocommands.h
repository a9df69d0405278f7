#pragma once
#include <QStringList>

#include "cliutil.h"

// Commands that talk to radios through the programming cable.
namespace RadioCommands {
extern const Cli::Command Read, Write, Info, Clone;
int read(const QStringList& args);
int write(const QStringList& args);
int info(const QStringList& args);
int clone(const QStringList& args);
// The device a --port value names: COM1 to COM16 as sysini.ini maps them, or
// a path; empty when it is neither.
QString deviceFor(const Profile& ini, const QString& port);
}
