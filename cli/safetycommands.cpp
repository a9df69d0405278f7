#include "safetycommands.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "document/docdiff.h"
#include "document/settingkeys.h"
#include "files/alignmentfile.h"
#include "files/backups.h"
#include "files/settingsfile.h"
#include "radio/seriallink.h"
#include "radiocommands.h"
#include "radiojob.h"
#include "service/serviceops.h"
#include "base/systemlocale.h"
#include "base/textids.h"

namespace SafetyCommands {

namespace {

using Cli::BandListOption;
using Cli::PortOption;
using Cli::SinglePortOption;

const QCommandLineOption OutputOption(QStringLiteral("output"), QStringLiteral("Alignment file to write (replaced if it exists)."),
                                      QStringLiteral("FILE.m17"));
const QCommandLineOption PasswordOption(QStringLiteral("password"),
                                        QStringLiteral("The programming password the radios hold (digits)."),
                                        QStringLiteral("DIGITS"));
const QCommandLineOption LangOption(QStringLiteral("lang"),
                                    QStringLiteral("Language of the words in the files: zh, en or tw (default: as the window program starts)."),
                                    QStringLiteral("zh|en|tw"));
const QCommandLineOption NoBackupOption(QStringLiteral("no-backup"),
                                        QStringLiteral("Keep no backup of a radio read for the comparison."));

// diff and calibration-read end with 2 when they cannot compare or read at
// all; for diff, 1 means "different".
constexpr int Trouble = Cli::Usage;

QString lastValue(const QCommandLineParser& p, const QCommandLineOption& o)
{
    const QStringList v = p.values(o);
    return v.isEmpty() ? QString() : v.last();
}

// A name is a radio's port when it is one of COM1..COM16, or a path to
// something that is not a regular file (a device, a pseudo-terminal).
bool isPort(const QString& name)
{
    static const QRegularExpression com(QStringLiteral("^COM\\d+$"), QRegularExpression::CaseInsensitiveOption);
    if (com.match(name).hasMatch())
        return true;
    const QFileInfo info(name);
    return info.exists() && !info.isFile() && !info.isDir();
}

struct Side {
    QString name;
    bool port = false;
    DocumentData data;
};

} // namespace

const Cli::Command Diff{
    QStringLiteral("diff"),
    QStringLiteral("diff A B [--password DIGITS] [--single-port] [--band BAND]... [--lang zh|en|tw] [--no-backup]"),
    QStringLiteral("Compares two settings: A and B are each a settings file (*.kq19) or a radio's port (COM1 to\n"
                   "COM16 or a device path). Prints one line per difference, e.g. \"channel 05 TX tone: 67.0 ->\n"
                   "D023N\" or \"squelch: 3 -> 5\" (A's value first). Exit status 0 when equal, 1 when different,\n"
                   "2 on a usage error or when A or B cannot be read. Frequencies and tones compare as numbers,\n"
                   "whatever decimal separator a file holds; a value that a file does not hold (volume, alarm\n"
                   "and lease time in files of older programs) is left out. A radio read is kept in the backup\n"
                   "folder unless --no-backup is given; nothing is written anywhere else."),
    {PasswordOption, SinglePortOption, BandListOption, LangOption, NoBackupOption},
    {QStringLiteral("A"), QStringLiteral("B")}};

const Cli::Command BackupsList{
    QStringLiteral("backups"), QStringLiteral("backups [--lang zh|en|tw]"),
    QStringLiteral("Lists the backup folder ($XDG_DATA_HOME/rq300/backups, by default\n"
                   "~/.local/share/rq300/backups), newest first: time, user, band, path. Backups are kept for a\n"
                   "year or the last 500, whichever is more. Open one in the window program, or write it back\n"
                   "with \"rq300-cli write --input PATH\"."),
    {Cli::MessageLangOption}, {}};

const Cli::Command CalibrationRead{
    QStringLiteral("calibration-read"),
    QStringLiteral("calibration-read --port PORT --output FILE.m17 [--single-port] [--band BAND]... [--lang zh|en|tw]"),
    QStringLiteral("Reads a radio's calibration values into an alignment file that the alignment window can\n"
                   "load. Only reads: nothing is written into the radio."),
    {PortOption, OutputOption, SinglePortOption, BandListOption, LangOption}, {}};

int reportSafety(const QString& step, const RadioJob& job)
{
    using Stage = SafeTransfer::Outcome::Stage;
    QString text = job.safe.safety.text(job.texts);
    // The step that went wrong inside the backup or verify read comes first,
    // as for any failed transfer.
    if (job.safe.stage == Stage::BackupRead || job.safe.stage == Stage::VerifyRead)
        text = QStringLiteral("%1: %2 (%3)").arg(TransferEngine::stepName(job.safe.transfer.failedStep, job.texts), job.safe.transfer.reason.text(job.texts), text);
    return Cli::fail(step, text);
}

void warnBackup(const RadioJob& job, const PackStrings& texts)
{
    if (!job.safe.safety.ok())
        Cli::warn(QStringLiteral("%1: %2").arg(job.port, job.safe.safety.text(texts)));
}

int diff(const QStringList& args)
{
    QCommandLineParser p;
    int exit = Cli::Ok;
    const auto pos = Cli::parse(Diff, args, p, &exit);
    if (!pos)
        return exit;
    const Profile ini = Cli::loadIni();
    const std::optional<int> lang = Cli::chooseLanguage(Diff.name, lastValue(p, LangOption), ini, &exit);
    if (!lang)
        return exit;
    QString problem;
    const auto bands = Cli::bandsFrom(p.values(BandListOption), ini, &problem);
    if (!bands)
        return Cli::usage(Diff.name, problem);
    const QString password = lastValue(p, PasswordOption);
    if (const QString problem = Cli::passwordProblem(QStringLiteral("password"), password); !problem.isEmpty())
        return Cli::usage(Diff.name, problem);
    const PackStrings texts = Cli::textsFor(*lang);
    const DocumentData start = Cli::startDocument(*bands, texts);

    QList<Side> sides;
    QList<RadioJob> jobs;
    for (const QString& name : *pos) {
        Side side{name, isPort(name), {}};
        if (side.port) {
            RadioJob job;
            job.port = name;
            job.device = RadioCommands::deviceFor(ini, name);
            if (job.device.isEmpty())
                return Cli::usage(Diff.name, QStringLiteral("\"%1\" is neither COM1 to COM16 nor a device path").arg(name));
            for (const RadioJob& other : jobs)
                if (other.device == job.device)
                    return Cli::usage(Diff.name, QStringLiteral("%1 is given twice").arg(job.device));
            job.mode = RadioJob::Mode::Read;
            job.data = start;
            job.data.setText(Key::Password, password);
            job.texts = texts;
            job.separator = SystemLocale::decimalSeparator();
            job.singlePort = p.isSet(SinglePortOption);
            job.safety.backup = !p.isSet(NoBackupOption);
            job.safety.verify = false;
            jobs << job;
        } else {
            const SettingsFile::ReadResult file = SettingsFile::read(name, start, texts.words());
            if (file.status == SettingsFile::ReadResult::Status::Rejected) {
                Cli::fail(QStringLiteral("open %1").arg(name), file.error.text(texts));
                return Trouble;
            }
            if (!file.ok()) {
                Cli::fail(QStringLiteral("open %1").arg(name), file.problem(name).text(texts));
                return Trouble;
            }
            if (!file.notice)
                Cli::warn(file.notice.text(texts));
            side.data = file.data;
        }
        sides << side;
    }
    // Two radios are read at once, as a write of several does.
    runJobs(jobs, [] {});
    int j = 0;
    for (Side& side : sides) {
        if (!side.port)
            continue;
        const RadioJob& job = jobs[j++];
        if (!job.outcome.ok()) {
            Cli::fail(QStringLiteral("read %1").arg(job.port),
                      QStringLiteral("%1: %2").arg(TransferEngine::stepName(job.outcome.failedStep, job.texts),
                                                   Cli::reasonText(job.outcome.reason, job.texts)));
            return Trouble;
        }
        warnBackup(job, texts);
        side.data = job.result;
    }
    // Two files saved under different locales hold different separators;
    // both are shown with this one's.
    const QList<Result> lines = DocDiff::differences(sides[0].data, sides[1].data, SystemLocale::decimalSeparator());
    for (const Result& l : lines)
        Cli::out(l.text(texts));
    return lines.isEmpty() ? Cli::Ok : Cli::Failed;
}

int backups(const QStringList& args)
{
    QCommandLineParser p;
    int exit = Cli::Ok;
    if (!Cli::parse(BackupsList, args, p, &exit))
        return exit;
    const std::optional<int> lang = Cli::chooseLanguage(BackupsList.name, lastValue(p, Cli::MessageLangOption), Cli::loadIni(), &exit);
    if (!lang)
        return exit;
    const QString dir = Backups::folder();
    const QList<Backups::Entry> entries = Backups::list(dir);
    if (entries.isEmpty())
        Cli::warn(Result::fail(TextId::BackupsEmpty, {dir}).text(Cli::textsFor(*lang)));
    for (const Backups::Entry& e : entries)
        Cli::out(QStringLiteral("%1  %2  %3  %4")
                     .arg(e.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), e.user.leftJustified(7),
                          (e.band.isEmpty() ? QStringLiteral("-") : e.band).leftJustified(10), e.path));
    return Cli::Ok;
}

int calibrationRead(const QStringList& args)
{
    QCommandLineParser p;
    int exit = Cli::Ok;
    if (!Cli::parse(CalibrationRead, args, p, &exit))
        return exit;
    if (p.values(PortOption).size() != 1)
        return Cli::usage(CalibrationRead.name, QStringLiteral("one --port is required"));
    if (!p.isSet(OutputOption))
        return Cli::usage(CalibrationRead.name, QStringLiteral("--output is required"));
    const Profile ini = Cli::loadIni();
    const std::optional<int> lang = Cli::chooseLanguage(CalibrationRead.name, lastValue(p, LangOption), ini, &exit);
    if (!lang)
        return exit;
    const PackStrings texts = Cli::textsFor(*lang);
    QString problem;
    const auto bands = Cli::bandsFrom(p.values(BandListOption), ini, &problem);
    if (!bands)
        return Cli::usage(CalibrationRead.name, problem);
    const QString port = p.value(PortOption);
    const QString device = RadioCommands::deviceFor(ini, port);
    if (device.isEmpty())
        return Cli::usage(CalibrationRead.name, QStringLiteral("\"%1\" is neither COM1 to COM16 nor a device path").arg(port));

    const QString output = p.value(OutputOption);
    Cli::Output target(output);
    if (const Result writable = target.prepare(); !writable)
        return Cli::fail(writable, texts);
    SerialLink link;
    link.setSinglePort(p.isSet(SinglePortOption));
    AlignmentValues values;
    Service::ReadResult result;
    const Service::Outcome out = Service::readAlignment(link, device, bands->list, values, result);
    if (!out.ok())
        return Cli::fail(QStringLiteral("calibration-read %1").arg(port), Cli::reasonText(out.reason, texts));
    if (const Result saved = AlignmentFile::save(target.savePath(), values); !saved)
        return Cli::fail(saved, texts);
    Cli::out(QStringLiteral("%1: calibration values read into %2").arg(port, output));
    return Cli::Ok;
}

}
