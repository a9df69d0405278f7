#include "radiocommands.h"

#include <QFileInfo>

#include "files/settingsfile.h"
#include "document/band.h"
#include "document/settingkeys.h"
#include "setup/systemlocale.h"
#include "progressbar.h"
#include "radio/codecs.h"
#include "radio/portmap.h"
#include "radiojob.h"
#include "safetycommands.h"

namespace RadioCommands {

namespace {

const QCommandLineOption PortOption(QStringLiteral("port"),
                                    QStringLiteral("COM1 to COM16 (mapped as the window program maps them) or a device path."),
                                    QStringLiteral("PORT"));
const QCommandLineOption OutputOption(QStringLiteral("output"), QStringLiteral("Settings file to write (replaced if it exists)."),
                                      QStringLiteral("FILE.kq19"));
const QCommandLineOption InputOption(QStringLiteral("input"), QStringLiteral("Settings file to write into the radios."),
                                     QStringLiteral("FILE.kq19"));
const QCommandLineOption PasswordOption(QStringLiteral("password"),
                                        QStringLiteral("The programming password the radio holds (digits)."),
                                        QStringLiteral("DIGITS"));
const QCommandLineOption NewPasswordOption(QStringLiteral("new-password"),
                                           QStringLiteral("Store this new programming password in the radio (digits; empty clears it)."),
                                           QStringLiteral("DIGITS"));
const QCommandLineOption UserOption(QStringLiteral("user"), QStringLiteral("Store this user name in the radio (at most 7 characters)."),
                                    QStringLiteral("NAME"));
const QCommandLineOption StampOption(QStringLiteral("stamp-factory-date"), QStringLiteral("Store today's date as the factory date."));
const QCommandLineOption SinglePortOption(QStringLiteral("single-port"),
                                          QStringLiteral("The cable is single-wire: every byte sent comes back."));
const QCommandLineOption BandOption(QStringLiteral("band"),
                                    QStringLiteral("A band the radios may have, e.g. 400-470MHz; repeat for several (default: the band list of sysini.ini)."),
                                    QStringLiteral("BAND"));
const QCommandLineOption NoBackupOption(QStringLiteral("no-backup"),
                                        QStringLiteral("Keep no backup of what the radio held (by default every read, and a read before every write, goes into the backup folder)."));
const QCommandLineOption NoVerifyOption(QStringLiteral("no-verify"),
                                        QStringLiteral("Do not read the radio back after the write to check every record written."));
const QCommandLineOption LangOption(QStringLiteral("lang"),
                                    QStringLiteral("Language of the words in the file: zh, en or tw (default: as the window program starts)."),
                                    QStringLiteral("zh|en|tw"));

bool isPassword(const QString& s)
{
    if (s.size() > 12)
        return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// The option's values, or none when the command does not take it.
QStringList values(const Cli::Command& cmd, const QCommandLineParser& p, const QCommandLineOption& o)
{
    for (const QCommandLineOption& known : cmd.options)
        if (known.names() == o.names())
            return p.values(o);
    return {};
}

// A flag the command may not take (asking the parser about an option it was
// not given prints a warning).
bool isSetFor(const Cli::Command& cmd, const QCommandLineParser& p, const QCommandLineOption& o)
{
    for (const QCommandLineOption& known : cmd.options)
        if (known.names() == o.names())
            return p.isSet(o);
    return false;
}

// Everything a radio command needs before it talks to a radio; nullopt after
// a usage message.
struct Setup {
    Profile ini;
    int language = 1;
    PackStrings texts;
    Cli::Bands bands;
    QList<RadioJob> jobs;   // one per port, mode and device set
};

std::optional<Setup> setup(const Cli::Command& cmd, const QCommandLineParser& p, RadioJob::Mode mode, int* exit)
{
    Setup s;
    s.ini = Cli::loadIni();
    const QStringList ports = p.values(PortOption);
    if (ports.isEmpty()) {
        *exit = Cli::usage(cmd.name, QStringLiteral("--port is required"));
        return std::nullopt;
    }
    if (mode != RadioJob::Mode::Write && ports.size() > 1) {
        *exit = Cli::usage(cmd.name, QStringLiteral("one --port only"));
        return std::nullopt;
    }
    for (const QCommandLineOption& o : {PasswordOption, NewPasswordOption}) {
        const QStringList v = values(cmd, p, o);
        if (!v.isEmpty() && !isPassword(v.last())) {
            *exit = Cli::usage(cmd.name, QStringLiteral("--%1 takes at most 12 digits").arg(o.names().first()));
            return std::nullopt;
        }
    }
    const std::optional<int> lang = Cli::chooseLanguage(cmd.name, values(cmd, p, LangOption).value(values(cmd, p, LangOption).size() - 1), s.ini, exit);
    if (!lang)
        return std::nullopt;
    QString problem;
    const auto bands = Cli::bandsFrom(values(cmd, p, BandOption), s.ini, &problem);
    if (!bands) {
        *exit = Cli::usage(cmd.name, problem);
        return std::nullopt;
    }
    s.bands = *bands;

    QStringList devices;
    for (const QString& port : ports) {
        const QString device = deviceFor(s.ini, port);
        if (device.isEmpty()) {
            *exit = Cli::usage(cmd.name, QStringLiteral("\"%1\" is neither COM1 to COM16 nor a device path").arg(port));
            return std::nullopt;
        }
        if (devices.contains(device)) {
            *exit = Cli::usage(cmd.name, QStringLiteral("%1 is given twice").arg(device));
            return std::nullopt;
        }
        devices << device;
        RadioJob job;
        job.port = port;
        job.device = device;
        job.mode = mode;
        job.separator = SystemLocale::decimalSeparator();
        job.singlePort = p.isSet(SinglePortOption);
        job.safety.backup = mode != RadioJob::Mode::Info && !isSetFor(cmd, p, NoBackupOption);
        job.safety.verify = mode == RadioJob::Mode::Write && !isSetFor(cmd, p, NoVerifyOption);
        s.jobs << job;
    }
    s.language = *lang;
    s.texts = Cli::textsFor(s.language);
    for (RadioJob& job : s.jobs) {
        job.texts = s.texts;
        job.language = s.language;
    }
    return s;
}

void run(QList<RadioJob>& jobs)
{
    ProgressBar bar;
    runJobs(jobs, [&] {
        QList<ProgressBar::Item> items;
        for (const RadioJob& j : jobs)
            items << ProgressBar::Item{j.port, j.progress.loadRelaxed(), j.maximum.loadRelaxed()};
        bar.draw(items);
    });
    bar.clear();
}

int failed(const QString& command, const RadioJob& job)
{
    if (job.safe.stage != SafeTransfer::Outcome::Stage::Done && job.safe.stage != SafeTransfer::Outcome::Stage::Transfer)
        return SafetyCommands::reportSafety(QStringLiteral("%1 %2").arg(command, job.port), job);
    return Cli::fail(QStringLiteral("%1 %2").arg(command, job.port),
                     QStringLiteral("%1: %2").arg(stepName(job.outcome.failedStep), job.outcome.reason));
}

QString shown(const QString& field)
{
    return field.isEmpty() ? QStringLiteral("(empty)") : field;
}

} // namespace

QString deviceFor(const Profile& ini, const QString& port)
{
    QString device = PortMap::fromProfile(ini).resolve(port);
    if (device.isEmpty() && port.contains(u'/'))
        device = QFileInfo(port).absoluteFilePath();
    return device;
}

const Cli::Command Read{
    QStringLiteral("read"),
    QStringLiteral("read --port PORT --output FILE.kq19 [--password DIGITS] [--single-port] [--band BAND]... [--lang zh|en|tw]\n"
                   "                [--no-backup]"),
    QStringLiteral("Reads the whole configuration of a radio into a settings file, exactly as the window\n"
                   "program's Read followed by Save. A failed read writes no file. A copy also goes into the\n"
                   "backup folder (see \"rq300-cli backups\") unless --no-backup is given."),
    {PortOption, OutputOption, PasswordOption, SinglePortOption, BandOption, LangOption, NoBackupOption}, {}};

const Cli::Command Write{
    QStringLiteral("write"),
    QStringLiteral("write --port PORT... --input FILE.kq19 [--password DIGITS] [--new-password DIGITS]\n"
                   "                [--user NAME] [--stamp-factory-date] [--single-port] [--band BAND]...\n"
                   "                [--no-backup] [--no-verify]"),
    QStringLiteral("Writes a settings file into one radio or, with several --port options, into several radios\n"
                   "at once, exactly as the window program's Open followed by Write. One result line per port;\n"
                   "the exit status is 1 if any radio failed.\n"
                   "Before writing, each radio is read into the backup folder (--no-backup skips it); after\n"
                   "writing, it is read back and every record written is compared (--no-verify skips it).\n"
                   "A radio that does not hold what was written fails, one line per difference."),
    {PortOption, InputOption, PasswordOption, NewPasswordOption, UserOption, StampOption, SinglePortOption, BandOption,
     NoBackupOption, NoVerifyOption},
    {}};

const Cli::Command Info{
    QStringLiteral("info"), QStringLiteral("info --port PORT [--single-port]"),
    QStringLiteral("Prints the identity records of a radio: model, band, administrator, user, factory and\n"
                   "sale dates."),
    {PortOption, SinglePortOption}, {}};

int read(const QStringList& args)
{
    QCommandLineParser p;
    int exit = Cli::Ok;
    if (!Cli::parse(Read, args, p, &exit))
        return exit;
    if (!p.isSet(OutputOption))
        return Cli::usage(Read.name, QStringLiteral("--output is required"));
    auto s = setup(Read, p, RadioJob::Mode::Read, &exit);
    if (!s)
        return exit;
    RadioJob& job = s->jobs.first();
    job.data = Cli::startDocument(s->bands, s->texts);
    job.data.setText(Key::Password, p.value(PasswordOption));
    run(s->jobs);
    if (!job.outcome.ok())
        return failed(Read.name, job);
    SafetyCommands::warnBackup(job, s->texts);
    const QString output = p.value(OutputOption);
    const QString error = SettingsFile::save(output, job.result, s->texts);
    if (!error.isEmpty())
        return Cli::fail(QStringLiteral("save %1").arg(output), error);
    Cli::out(QStringLiteral("%1: read into %2").arg(job.port, output));
    return Cli::Ok;
}

int write(const QStringList& args)
{
    QCommandLineParser p;
    int exit = Cli::Ok;
    if (!Cli::parse(Write, args, p, &exit))
        return exit;
    if (!p.isSet(InputOption))
        return Cli::usage(Write.name, QStringLiteral("--input is required"));
    auto s = setup(Write, p, RadioJob::Mode::Write, &exit);
    if (!s)
        return exit;

    const QString input = p.value(InputOption);
    const SettingsFile::ReadResult file =
        SettingsFile::read(input, Cli::startDocument(s->bands, s->texts), s->texts.words());
    if (file.status == SettingsFile::ReadResult::Status::Rejected)
        return Cli::fail(QStringLiteral("open %1").arg(input), QStringLiteral("not a settings file of this program: ") + file.message);
    if (!file.ok())
        return Cli::fail(QStringLiteral("open %1").arg(input), file.message);
    if (!file.bandWarning.isEmpty())
        Cli::warn(file.bandWarning);

    DocumentData data = file.data;
    data.setText(Key::Password, p.value(PasswordOption));
    if (p.isSet(NewPasswordOption)) {
        data.setText(Key::NewPassword, p.value(NewPasswordOption));
        data.setFlag(Key::WriteNewPassword, true);
    }
    for (RadioJob& job : s->jobs) {
        job.data = data;
        job.stampFactoryDate = p.isSet(StampOption);
        job.writeUser = p.isSet(UserOption);
        job.userToWrite = p.value(UserOption);
    }
    run(s->jobs);
    int status = Cli::Ok;
    for (const RadioJob& job : s->jobs) {
        if (job.outcome.ok() && job.safe.ok())
            Cli::out(QStringLiteral("%1: written").arg(job.port));
        else
            status = failed(Write.name, job);
    }
    return status;
}

int info(const QStringList& args)
{
    QCommandLineParser p;
    int exit = Cli::Ok;
    if (!Cli::parse(Info, args, p, &exit))
        return exit;
    auto s = setup(Info, p, RadioJob::Mode::Info, &exit);
    if (!s)
        return exit;
    RadioJob& job = s->jobs.first();
    job.data = Cli::startDocument(s->bands, s->texts);
    run(s->jobs);
    if (!job.outcome.ok())
        return failed(Info.name, job);
    const RadioIdentity& id = job.identity;
    const QString model = job.outcome.radioModel == Codec::ModelId
                              ? job.data.options(Key::Model).value(0)
                              : QStringLiteral("unknown (%1)").arg(job.outcome.radioModel);
    const QString band = job.outcome.radioBand == QLatin1String(Band::Unset) ? QStringLiteral("not set")
                                                                               : job.outcome.radioBand;
    Cli::out(QStringLiteral("Model:         ") + model);
    Cli::out(QStringLiteral("Band:          ") + band);
    Cli::out(QStringLiteral("Administrator: ") + shown(id.admin));
    Cli::out(QStringLiteral("User:          ") + shown(id.user));
    Cli::out(QStringLiteral("Factory date:  ") + shown(id.factoryDate));
    Cli::out(QStringLiteral("Sale date:     ") + shown(id.saleDate));
    return Cli::Ok;
}

}
