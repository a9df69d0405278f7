#include "radiocommands.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <memory>

#include "files/filesave.h"
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <csignal>

#include "radio/fleet.h"
#include "radio/seriallink.h"
#include "radio/verify.h"

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

const QCommandLineOption WatchOption(QStringLiteral("watch"),
                                     QStringLiteral("Keep going: program each radio that answers on a port, wait until it is gone, then the next."));
const QCommandLineOption UserPatternOption(QStringLiteral("user-pattern"),
                                           QStringLiteral("With --watch: a user name with a counter, e.g. FLT-### for FLT-001, FLT-002, ... (at most 7 characters)"),
                                           QStringLiteral("PATTERN"));
const QCommandLineOption FirstNumberOption(QStringLiteral("first-number"),
                                           QStringLiteral("With --user-pattern: the first radio's number (default 1)."),
                                           QStringLiteral("N"));
const QCommandLineOption ReportOption(QStringLiteral("report"),
                                      QStringLiteral("With --watch: add one line per radio to this CSV file as it finishes."),
                                      QStringLiteral("FILE.csv"));
const QCommandLineOption FromOption(QStringLiteral("from"), QStringLiteral("The radio to copy."), QStringLiteral("PORT"));
const QCommandLineOption ToOption(QStringLiteral("to"), QStringLiteral("A radio to write the copy into; repeat for several."),
                                  QStringLiteral("PORT"));

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

std::optional<Setup> setup(const Cli::Command& cmd, const QCommandLineParser& p, RadioJob::Mode mode, int* exit,
                           const QStringList& ports)
{
    Setup s;
    s.ini = Cli::loadIni();
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
        job.singlePort = isSetFor(cmd, p, SinglePortOption);
        job.safety.backup = mode != RadioJob::Mode::Info && !isSetFor(cmd, p, NoBackupOption);
        job.safety.verify = mode == RadioJob::Mode::Write && !isSetFor(cmd, p, NoVerifyOption);
        s.jobs << job;
    }
    s.language = *lang;
    s.texts = Cli::textsFor(s.language);
    if (isSetFor(cmd, p, TraceOption)) {
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


// A reason over several lines (one per record that differs) as one line of
// the running list.
QString oneLine(const QString& text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ');
    return out;
}

// write --watch: every port keeps going, one radio after another, until a
// signal; then the radios being written finish and it ends. One line per
// radio; exit 0 when every radio went through.
// The user names of --watch: --user for all, --user-pattern counted, or
// each radio's own; nullopt after a usage message.
std::optional<UserPattern> watchedNames(const QCommandLineParser& p, const PackStrings& texts, int* exit)
{
    UserPattern user;
    if (p.isSet(UserPatternOption)) {
        bool ok = true;
        const int first = p.isSet(FirstNumberOption) ? p.value(FirstNumberOption).toInt(&ok) : 1;
        if (!ok || first < 0) {
            *exit = Cli::usage(Write.name, QStringLiteral("--first-number wants a number from 0"));
            return std::nullopt;
        }
        user = UserPattern::counter(p.value(UserPatternOption), first);
    } else if (p.isSet(UserOption)) {
        user = UserPattern::fixed(p.value(UserOption));
    }
    if (const Result names = user.check(); !names) {
        *exit = Cli::usage(Write.name, QStringLiteral("--user-pattern: ") + names.text(texts));
        return std::nullopt;
    }
    return user;
}

int watch(Setup& s, const QCommandLineParser& p, const DocumentData& data, const UserPattern& user)
{
    FleetRun::Settings fs;
    for (const RadioJob& job : s.jobs) {
        fs.ports << FleetRun::Port{job.port, job.device};
        // A port whose device is missing may get its cable later; one that
        // is there but refuses us will not answer until that is fixed.
        if (QFileInfo::exists(job.device))
            if (const Result why = SerialLink::probe(job.device); !why)
                Cli::warn(QStringLiteral("%1: %2").arg(job.port, why.text(s.texts)));
    }
    FleetStation::Settings& c = fs.common;
    c.data = data;
    c.separator = SystemLocale::decimalSeparator();
    c.texts = s.texts;
    c.singlePort = p.isSet(SinglePortOption);
    c.stampFactoryDate = p.isSet(StampOption);
    c.adminName = TransferContext::defaultAdminName();
    c.options = s.jobs.first().safety;
    c.keepGoing = true;
    c.log = s.trace.get();
    fs.user = user;
    fs.reportPath = p.value(ReportOption);
    if (!fs.reportPath.isEmpty()) {
        QDir().mkpath(QFileInfo(fs.reportPath).absolutePath());
        if (const Result r = FileSave::checkWritable(fs.reportPath); !r)
            return Cli::usage(Write.name, r.text(s.texts));
    }

    FleetRun run;
    QEventLoop loop;
    QObject::connect(&run, &FleetRun::radioFinished, &loop, [](int, const FleetReport::Line& line) {
        Cli::out(QStringLiteral("%1 %2 %3 %4")
                     .arg(line.when.toString(QStringLiteral("HH:mm:ss")), line.port,
                          line.user.isEmpty() ? QStringLiteral("-") : line.user, oneLine(line.result)));
    });
    QObject::connect(&run, &FleetRun::reportFailed, &loop, [&s](const Result& why) {
        Cli::warn(Result::because(TextId::FleetReportFailed, why).text(s.texts));
    });
    QObject::connect(&run, &FleetRun::finished, &loop, &QEventLoop::quit);
    if (const Result started = run.start(fs); !started)
        return Cli::fail(Write.name, QStringLiteral("%1: %2").arg(
                                         TransferEngine::stepName(TransferEngine::Outcome::Step::Encode, s.texts),
                                         inLine(started.text(s.texts))));
    // A signal ends the waiting; radios being written finish first.
    QTimer stopCheck;
    QObject::connect(&stopCheck, &QTimer::timeout, &loop, [&] {
        if (g_signal.load() != 0) {
            run.requestStop();
            stopCheck.stop();
        }
    });
    stopCheck.start(100);
    loop.exec();
    if (s.trace)
        if (const ::Result r = s.trace->write(); !r)
            Cli::warn(r.text(s.texts));
    return run.failed() == 0 ? Cli::Ok : Cli::Failed;
}

// The records a clone must carry over exactly: channels, option block and
// timer record, as the write sent them.
RadioImage programmingRecords(const RadioImage& written, const RadioImage& source)
{
    RadioImage out;
    for (int address : written.addresses()) {
        const bool programming = (address >= Codec::OptionAddr && address < Codec::TimerAddr + RadioImage::RecordSize)
                                 || (address >= Codec::channelAddress(1)
                                     && address < Codec::channelAddress(DocumentData::ChannelCount + 1));
        if (programming && source.contains(address))
            out.set(address, source.record(address));
    }
    return out;
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
                   "                [--no-backup] [--no-verify] [--lang zh|en|tw]\n"
                   "                [--watch [--user-pattern PATTERN [--first-number N]] [--report FILE.csv]]"),
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
                   "signal.\n"
                   "With --watch it keeps going, for a batch of radios: each port waits for a radio to answer,\n"
                   "writes it, waits until it is gone (unplugged, switched off) and then for the next, opening\n"
                   "the port anew each time. One line per radio (time, port, user name, result); --report adds\n"
                   "the same to a CSV file as each radio finishes. Ctrl+C lets the radios being written finish,\n"
                   "then ends: exit status 0 when every radio went through, else 1."),
    {PortOption, InputOption, PasswordOption, NewPasswordOption, UserOption, StampOption, SinglePortOption, BandListOption,
     TraceOption, NoBackupOption, NoVerifyOption, Cli::MessageLangOption, WatchOption, UserPatternOption, FirstNumberOption,
     ReportOption},
    {}};

const Cli::Command Clone{
    QStringLiteral("clone"),
    QStringLiteral("clone --from PORT --to PORT... [--password DIGITS] [--single-port] [--band BAND]... [--trace FILE]\n"
                   "                [--no-backup] [--no-verify] [--lang zh|en|tw]"),
    QStringLiteral("Reads the radio on --from once and writes every programming record of it (channels, options,\n"
                   "timer: the bytes, also values a settings file does not carry) into each radio on --to, all\n"
                   "at once, with a backup before and a read back after each write as \"write\" does. User name\n"
                   "and identity records stay each radio's own, as a write leaves them. One line per target;\n"
                   "the exit status is 1 if any failed."),
    {FromOption, ToOption, PasswordOption, SinglePortOption, BandListOption, TraceOption, NoBackupOption, NoVerifyOption,
     Cli::MessageLangOption},
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
    auto s = setup(Read, p, RadioJob::Mode::Read, &exit, p.values(PortOption));
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
    const bool watching = p.isSet(WatchOption);
    for (const QCommandLineOption& o : {UserPatternOption, ReportOption, FirstNumberOption})
        if (!watching && p.isSet(o))
            return Cli::usage(Write.name, QStringLiteral("--%1 goes with --watch").arg(o.names().first()));
    if (p.isSet(UserPatternOption) && p.isSet(UserOption))
        return Cli::usage(Write.name, QStringLiteral("--user and --user-pattern exclude each other"));
    auto s = setup(Write, p, RadioJob::Mode::Write, &exit, p.values(PortOption));
    if (!s)
        return exit;
    const std::optional<UserPattern> names = watching ? watchedNames(p, s->texts, &exit) : UserPattern();
    if (!names)
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
    if (watching)
        return watch(*s, p, data, *names);
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

int clone(const QStringList& args)
{
    QCommandLineParser p;
    int exit = Cli::Ok;
    if (!Cli::parse(Clone, args, p, &exit))
        return exit;
    if (!p.isSet(FromOption) || !p.isSet(ToOption))
        return Cli::usage(Clone.name, QStringLiteral("--from and --to are required"));
    if (p.values(FromOption).size() > 1)
        return Cli::usage(Clone.name, QStringLiteral("one --from only"));
    // One list, so that a target that is the source is found as a port given twice.
    auto s = setup(Clone, p, RadioJob::Mode::Write, &exit, p.values(FromOption) + p.values(ToOption));
    if (!s)
        return exit;
    const SignalsHeld held;
    QList<RadioJob> source{s->jobs.takeFirst()};
    RadioJob& from = source.first();
    from.mode = RadioJob::Mode::Read;
    from.safety.verify = false;
    from.data = Cli::startDocument(s->bands, s->texts);
    from.data.setText(Key::Password, p.value(PasswordOption));
    from.stopRequested = [] { return g_signal.load() != 0; };
    runWithProgress(source);
    if (const int signo = g_signal.load())
        return 128 + signo;
    if (!from.outcome.ok()) {
        if (s->trace)
            if (const ::Result r = s->trace->write(); !r)
                Cli::warn(r.text(s->texts));
        return failed(Clone.name, from);
    }
    SafetyCommands::warnBackup(from, s->texts);

    // The document as read carries the source's records; a write encodes
    // over them, so each target gets the source's bytes.
    for (RadioJob& job : s->jobs) {
        job.data = from.result;
        job.stopRequested = [] { return g_signal.load() != 0; };
    }
    run(*s);
    if (const int signo = g_signal.load())
        return interrupted(s->jobs, signo);
    int status = Cli::Ok;
    const RadioImage& original = from.result.image();
    for (const RadioJob& job : s->jobs) {
        if (!job.outcome.ok() || !job.safe.ok()) {
            status = failed(Clone.name, job);
            continue;
        }
        const QList<Result> differ = Verify::compare(programmingRecords(job.safe.written, original), job.safe.written);
        if (!differ.isEmpty()) {
            status = Cli::fail(QStringLiteral("%1 %2").arg(Clone.name, job.port),
                               Result::because(TextId::CloneNotExact,
                                               Result::lines(std::vector<Result>(differ.cbegin(), differ.cend())))
                                   .text(s->texts));
            continue;
        }
        Cli::out(QStringLiteral("%1: cloned from %2").arg(job.port, from.port));
    }
    return status;
}

int info(const QStringList& args)
{
    QCommandLineParser p;
    int exit = Cli::Ok;
    if (!Cli::parse(Info, args, p, &exit))
        return exit;
    auto s = setup(Info, p, RadioJob::Mode::Info, &exit, p.values(PortOption));
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
