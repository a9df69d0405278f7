#include "radiocommands.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <memory>

#include "files/filesave.h"
#include <atomic>
#include <csignal>

#include "files/settingsfile.h"
#include "document/band.h"
#include "document/settingkeys.h"
#include "base/systemlocale.h"
#include "progressbar.h"
#include "radio/codecs.h"
#include "radio/commlog.h"
#include "radio/portmap.h"
#include "radiojob.h"
#include "base/textids.h"
#include "safetycommands.h"
#include "radio/writecheck.h"
#include "radio/transfercontext.h"

namespace RadioCommands {

namespace {

using Cli::BandListOption;
using Cli::PortOption;
using Cli::SinglePortOption;

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
const QCommandLineOption TraceOption(QStringLiteral("trace"),
                                     QStringLiteral("Log every frame sent and received to FILE, for a bug report (passwords and user names masked)."),
                                     QStringLiteral("FILE"));
const QCommandLineOption NoBackupOption(QStringLiteral("no-backup"),
                                        QStringLiteral("Keep no backup of what the radio held (by default every read, and a read before every write, goes into the backup folder)."));
const QCommandLineOption NoVerifyOption(QStringLiteral("no-verify"),
                                        QStringLiteral("Do not read the radio back after the write to check every record written."));
const QCommandLineOption LangOption(QStringLiteral("lang"),
                                    QStringLiteral("Language of the words in the file: zh, en or tw (default: as the window program starts)."),
                                    QStringLiteral("zh|en|tw"));

constexpr int MaxUserLength = 7;
// Ctrl+C, SIGTERM or SIGHUP while radios are being written: before a radio's
// first record is written its transfer stops there (with the end frame) and
// nothing is written; a write stopped half way would leave the radio with a
// mixture of old and new records, so once records are being written they all
// are, with the verify asked for. The signal's exit status follows.
std::atomic<int> g_signal{0};

extern "C" void noteSignal(int signo)
{
    g_signal.store(signo);
}

class SignalsHeld {
public:
    SignalsHeld()
    {
        g_signal.store(0);
        struct sigaction sa {};
        sa.sa_handler = noteSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGINT, &sa, &m_int);
        sigaction(SIGTERM, &sa, &m_term);
        sigaction(SIGHUP, &sa, &m_hup);
    }
    ~SignalsHeld()
    {
        sigaction(SIGINT, &m_int, nullptr);
        sigaction(SIGTERM, &m_term, nullptr);
        sigaction(SIGHUP, &m_hup, nullptr);
    }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    struct sigaction m_int {};
    struct sigaction m_term {};
    struct sigaction m_hup {};
};

// A reason written as a sentence reads inside the one-line message
// "step: reason" with a small first letter; a name such as "DTMF" keeps its
// capitals.
QString inLine(const QString& reason)
{
    if (reason.size() >= 2 && reason[0].isUpper() && reason[1].isLower())
        return reason[0].toLower() + reason.mid(1);
    return reason;
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
    std::shared_ptr<CommLog> trace;   // --trace
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
    const std::optional<int> lang = Cli::chooseLanguage(cmd.name, values(cmd, p, LangOption).value(values(cmd, p, LangOption).size() - 1), s.ini, exit);
    if (!lang)
        return std::nullopt;
    // The radio's user record holds 7 characters; a longer name would be cut
    // and still reported as written.
    const QStringList user = values(cmd, p, UserOption);
    if (!user.isEmpty() && user.last().size() > MaxUserLength) {
        *exit = Cli::usage(cmd.name, QStringLiteral("--user takes at most %1 characters").arg(MaxUserLength));
        return std::nullopt;
    }
    // A name the radio cannot store is the command line's fault, found
    // before any radio is touched.
    if (!user.isEmpty()) {
        if (const Codec::Encoded name = Codec::encodeName(user.last()); !name.ok()) {
            *exit = Cli::usage(cmd.name, QStringLiteral("--user: ") + name.error.text(Cli::textsFor(*lang)));
            return std::nullopt;
        }
    }
    for (const QCommandLineOption& o : {PasswordOption, NewPasswordOption}) {
        const QStringList v = values(cmd, p, o);
        if (v.isEmpty())
            continue;
        if (const QString problem = Cli::passwordProblem(o.names().first(), v.last()); !problem.isEmpty()) {
            *exit = Cli::usage(cmd.name, problem);
            return std::nullopt;
        }
    }
    QString problem;
    const auto bands = Cli::bandsFrom(values(cmd, p, BandListOption), s.ini, &problem);
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
        // Two names for one device (a symbolic link, "..") are the same radio.
        const QString canonical = QFileInfo(device).canonicalFilePath();
        const QString same = canonical.isEmpty() ? device : canonical;
        const qsizetype earlier = devices.indexOf(same);
        if (earlier >= 0) {
            const QString first = s.jobs[earlier].device;
            *exit = Cli::usage(cmd.name, first == device
                                             ? QStringLiteral("%1 is given twice").arg(device)
                                             : QStringLiteral("%1 and %2 are the same device (%3)").arg(first, device, same));
            return std::nullopt;
        }
        devices << same;
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
    if (p.isSet(TraceOption)) {
        s.trace = std::make_shared<CommLog>();
        s.trace->start(p.value(TraceOption), QStringLiteral("rq300-cli %1").arg(cmd.name));
        // A place that cannot be written is a usage error before any radio is touched.
        if (const ::Result r = s.trace->write(); !r) {
            *exit = Cli::usage(cmd.name, r.text(s.texts));
            return std::nullopt;
        }
    }
    for (RadioJob& job : s.jobs) {
        job.texts = s.texts;
        job.log = s.trace.get();
    }
    return s;
}

void runWithProgress(QList<RadioJob>& jobs)
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

// Bytes a reply quoted in a reason are cut as a read's reply is: a port
// that streams junk must not make one line of thousands of hex digits.
QString cutQuotedBytes(const QString& reason)
{
    static const QRegularExpression longHex(QStringLiteral("[0-9A-Fa-f]{49,}"));
    QString out = reason;
    QRegularExpressionMatch m;
    qsizetype from = 0;
    while ((m = longHex.match(out, from)).hasMatch()) {
        out.replace(m.capturedStart(), m.capturedLength(), m.captured().left(48) + QStringLiteral("..."));
        from = m.capturedStart() + 51;
    }
    return out;
}

// The log goes to its file also when the transfer failed: that is when it is wanted.
void run(Setup& s)
{
    runWithProgress(s.jobs);
    if (s.trace)
        if (const ::Result r = s.trace->write(); !r)
            Cli::warn(r.text(s.texts));
}

int failed(const QString& command, const RadioJob& job)
{
    if (job.safe.stage != SafeTransfer::Outcome::Stage::Done && job.safe.stage != SafeTransfer::Outcome::Stage::Transfer)
        return SafetyCommands::reportSafety(QStringLiteral("%1 %2").arg(command, job.port), job);
    return Cli::fail(QStringLiteral("%1 %2").arg(command, job.port),
                     QStringLiteral("%1: %2").arg(TransferEngine::stepName(job.outcome.failedStep, job.texts),
                                                  inLine(cutQuotedBytes(Cli::reasonText(job.outcome.reason, job.texts)))));
}

// What a radio holds after its write ended, in the words of a signal's report.
Result holdsAfterSignal(const RadioJob& job)
{
    using Stage = SafeTransfer::Outcome::Stage;
    const SafeTransfer::Outcome& safe = job.safe;
    switch (safe.stage) {
    case Stage::Done:
        return Result::fail(job.safety.verify ? TextId::InterruptedHolds : TextId::InterruptedWrittenUnchecked);
    case Stage::Verify:
        return Result::because(TextId::InterruptedVerifyFailed,
                               Result::lines(std::vector<Result>(safe.differences.cbegin(), safe.differences.cend())));
    case Stage::VerifyRead:
        return Result::because(TextId::InterruptedVerifyReadFailed, safe.transfer.reason);
    case Stage::BackupRead:
    case Stage::BackupSave:
        return Result::fail(TextId::InterruptedNothing);
    case Stage::Transfer:
        break;
    }
    if (safe.written.isEmpty())
        return Result::fail(TextId::InterruptedNothing);
    return Result::fail(TextId::InterruptedPartly, {safe.transfer.reason.text(job.texts)});
}

// After a signal: for each radio one line saying what it holds now, and the
// signal's exit status.
int interrupted(const QList<RadioJob>& jobs, int signo)
{
    for (const RadioJob& job : jobs)
        Cli::fail(QStringLiteral("write %1").arg(job.port), inLine(holdsAfterSignal(job).text(job.texts)));
    return 128 + signo;
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
                   "               [--trace FILE] [--no-backup]"),
    QStringLiteral("Reads the whole configuration of a radio into a settings file, exactly as the window\n"
                   "program's Read followed by Save. A failed read writes no file. A copy also goes into the\n"
                   "backup folder (see \"rq300-cli backups\") unless --no-backup is given."),
    {PortOption, OutputOption, PasswordOption, SinglePortOption, BandListOption, LangOption, TraceOption, NoBackupOption}, {}};

const Cli::Command Write{
    QStringLiteral("write"),
    QStringLiteral("write --port PORT... --input FILE.kq19 [--password DIGITS] [--new-password DIGITS]\n"
                   "                [--user NAME] [--stamp-factory-date] [--single-port] [--band BAND]... [--trace FILE]\n"
                   "                [--no-backup] [--no-verify] [--lang zh|en|tw]"),
    QStringLiteral("Writes a settings file into one radio or, with several --port options, into several radios\n"
                   "at once, exactly as the window program's Open followed by Write. One result line per port;\n"
                   "the exit status is 1 if any radio failed.\n"
                   "A file holding values no radio can take is refused before any port is opened.\n"
                   "Before writing, each radio is read into the backup folder (--no-backup skips it); the write\n"
                   "keeps what the radio holds where the file says nothing. After writing, it is read back and\n"
                   "every record written is compared byte for byte (--no-verify skips it); a radio that does\n"
                   "not hold what was written fails, one line per record. A backup written back puts every\n"
                   "record back exactly. On Ctrl+C, SIGTERM or SIGHUP a radio not yet written is left as it\n"
                   "was, one being written is written and checked first; the exit status is then 128 + the\n"
                   "signal."),
    {PortOption, InputOption, PasswordOption, NewPasswordOption, UserOption, StampOption, SinglePortOption, BandListOption,
     TraceOption, NoBackupOption, NoVerifyOption, Cli::MessageLangOption},
    {}};

const Cli::Command Info{
    QStringLiteral("info"), QStringLiteral("info --port PORT [--single-port] [--trace FILE] [--lang zh|en|tw]"),
    QStringLiteral("Prints the identity records of a radio: model, band, administrator, user, factory and\n"
                   "sale dates."),
    {PortOption, SinglePortOption, TraceOption, Cli::MessageLangOption}, {}};

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
    const QString output = p.value(OutputOption);
    // Found now, not after the whole read.
    Cli::Output target(output);
    if (const Result writable = target.prepare(); !writable)
        return Cli::fail(writable, s->texts);
    RadioJob& job = s->jobs.first();
    job.data = Cli::startDocument(s->bands, s->texts);
    job.data.setText(Key::Password, p.value(PasswordOption));
    run(*s);
    if (!job.outcome.ok())
        return failed(Read.name, job);
    SafetyCommands::warnBackup(job, s->texts);
    const Result saved = SettingsFile::save(target.savePath(), job.result, s->texts, SystemLocale::decimalSeparator());
    if (!saved)
        return Cli::fail(saved, s->texts);
    // Written to standard output, the file is all that goes there.
    if (output != QLatin1String("-") && output != QLatin1String("/dev/stdout"))
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
    if (!file.ok())
        return Cli::fail(file.problem(input), s->texts);
    if (!file.bandWarning)
        Cli::warn(file.bandWarning.text(s->texts));
    if (!file.notice)
        Cli::warn(file.notice.text(s->texts));
    if (!file.imageWarning)
        Cli::warn(file.imageWarning.text(s->texts));

    DocumentData data = file.data;
    data.setText(Key::Password, p.value(PasswordOption));
    if (p.isSet(NewPasswordOption)) {
        data.setText(Key::NewPassword, p.value(NewPasswordOption));
        data.setFlag(Key::WriteNewPassword, true);
    }
    // Every value no radio could take is named before any port is opened.
    RadioIdentity identity;
    identity.writeUser = p.isSet(UserOption);
    identity.userToWrite = p.value(UserOption);
    const QList<Result> problems = WriteCheck::problems(data, SystemLocale::decimalSeparator(),
                                                        DocumentData::ChannelCount, identity, TransferContext::defaultAdminName());
    if (!problems.isEmpty())
        return Cli::fail(Write.name, QStringLiteral("%1: %2").arg(TransferEngine::stepName(TransferEngine::Outcome::Step::Encode, s->texts),
                                                                 inLine(WriteCheck::reason(problems).text(s->texts))));
    const SignalsHeld held;
    for (RadioJob& job : s->jobs) {
        job.data = data;
        job.stampFactoryDate = p.isSet(StampOption);
        job.writeUser = identity.writeUser;
        job.userToWrite = identity.userToWrite;
        job.stopRequested = [] { return g_signal.load() != 0; };
    }
    run(*s);
    if (const int signo = g_signal.load())
        return interrupted(s->jobs, signo);
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
    run(*s);
    if (!job.outcome.ok())
        return failed(Info.name, job);
    const RadioIdentity& id = job.identity;
    const QString model = job.outcome.radioModel == Codec::ModelId
                              ? job.data.options(Key::Model, s->texts).value(0)
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
