#pragma once
#include <QStringList>

#include "cliutil.h"

// Commands on files only: no radio, no port.
namespace FileCommands {
extern const Cli::Command Show, ExportCsv, ImportCsv;
int show(const QStringList& args);
int exportCsv(const QStringList& args);
int importCsv(const QStringList& args);
// A settings file's channel sheet as PDF.
extern const Cli::Command Sheet;
int sheet(const QStringList& args);
}
