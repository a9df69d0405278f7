#pragma once
#include <QStringList>

#include "cliutil.h"

struct RadioJob;

// Commands that keep radios safe: compare settings files and radios, list
// the backup folder, and save a radio's calibration values.
namespace SafetyCommands {
extern const Cli::Command Diff, BackupsList, CalibrationRead;
int diff(const QStringList& args);
int backups(const QStringList& args);
int calibrationRead(const QStringList& args);

// A read or write that failed in a backup or verify step: one message on
// stderr (and one line per difference); returns Cli::Failed.
int reportSafety(const QString& step, const RadioJob& job);
// After a successful read: a warning when its backup could not be saved.
void warnBackup(const RadioJob& job, const PackStrings& texts);
}
