#include "fleet.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <chrono>

#include "base/textids.h"
#include "document/settingsdocument.h"
#include "radio/codecs.h"
#include "radio/identity.h"
#include "radio/protocol.h"
#include "radio/seriallink.h"
#include "radio/transfercontext.h"
#include "radio/writecheck.h"

namespace {

// Each poll gives the radio as long to answer as a transfer's handshake does.
constexpr int HandshakeMs = 150;
// A port just opened waits as the transfer engine does before its first
// frame: the radio takes a new connection only after the pause.
constexpr int OpenPauseMs = 150;
// While the port's device is missing (the cable unplugged), whether it is
// back is only a look at the file system: cheap enough to ask more often,
// so that a radio plugged in is found soon after its cable.
constexpr int MissingPollMs = 100;

const QRegularExpression& counterRun()
{
    static const QRegularExpression run(QStringLiteral("#+"));
    return run;
}

}

UserPattern UserPattern::fixed(const QString& name)
{
    UserPattern p;
    p.m_mode = Mode::Fixed;
    p.m_text = name;
    return p;
}

UserPattern UserPattern::counter(const QString& pattern, int first)
{
    UserPattern p;
    p.m_mode = Mode::Counter;
    p.m_text = pattern;
    p.m_first = std::max(0, first);
    return p;
}

QString UserPattern::name(int number) const
{
    if (m_mode != Mode::Counter)
        return m_text;
    // The last run of '#' counts; one in the middle of a name would be odd,
    // but it is still only one counter.
    QRegularExpressionMatch last;
    for (auto it = counterRun().globalMatch(m_text); it.hasNext();)
        last = it.next();
    if (!last.hasMatch())
        return m_text;
    QString out = m_text;
    const int width = int(last.capturedLength());
    out.replace(last.capturedStart(), width, QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0')));
    return out;
}

Result UserPattern::check() const
{
    if (m_mode == Mode::Unchanged)
        return Result::success();
    if (m_mode == Mode::Counter && !m_text.contains(u'#'))
        return Result::fail(TextId::FleetPatternNoCounter, {m_text});
    const QString first = name(m_first);
    if (first.size() > MaxLength)
        return Result::because(TextId::FleetBadUser, Result::named(TextId::FleetUserTooLong), {first});
    if (const Codec::Encoded e = Codec::encodeName(first); !e.ok())
        return Result::because(TextId::FleetBadUser, e.error, {first});
    return Result::success();
}

QString FleetNaming::next()
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_pattern.mode() == UserPattern::Mode::Unchanged)
        return {};
    return m_pattern.name(m_next++);
}

FleetStation::FleetStation(std::shared_ptr<FleetNaming> naming, QObject* parent)
    : QObject(parent), m_naming(std::move(naming))
{
    qRegisterMetaType<FleetStation::State>("FleetStation::State");
    qRegisterMetaType<FleetStation::Radio>("FleetStation::Radio");
    qRegisterMetaType<Result>("Result");
}

FleetStation::~FleetStation()
{
    requestStop();
    wait();
}

bool FleetStation::start(const Settings& settings)
{
    if (m_running)
        return false;
    wait();
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_stop = false;
    }
    m_running = true;
    m_thread.reset(QThread::create([this, settings] { run(settings); }));
    connect(m_thread.get(), &QThread::finished, this, [this] {
        m_running = false;
        emit finished();
    });
    m_thread->start();
    return true;
}

void FleetStation::requestStop()
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
}

void FleetStation::wait()
{
    if (m_thread)
        m_thread->wait();
}

// Sleeps without polling; false once a stop is asked for.
bool FleetStation::pause(int ms)
{
    std::unique_lock<std::mutex> hold(m_lock);
    m_wake.wait_for(hold, std::chrono::milliseconds(std::max(0, ms)), [this] { return m_stop; });
    return !m_stop;
}

// One handshake on the port, opened first if it is not. A radio that
// answers is let go with the end frame, as after any exchange.
FleetStation::Presence FleetStation::answers(SerialLink& link, const Settings& s)
{
    if (link.failed() || !link.isOpen()) {
        link.close();
        // An unplugged USB cable's device is gone until it is plugged in again.
        auto tell = [this](const Result& problem) {
            if (problem != m_problem) {
                m_problem = problem;
                emit portProblem(problem);
            }
        };
        if (!QFileInfo::exists(s.device)) {
            tell(Result::success());
            return Presence::Missing;
        }
        const bool opened = link.open();
        tell(opened ? Result::success() : link.failure());
        if (!opened)
            return Presence::Silent;
        link.clearReceive();
        link.aSysDelay(1 << 20, OpenPauseMs);
    }
    link.setSinglePort(s.singlePort);
    const Result r = RadioProtocol(link).handshake(1, HandshakeMs);
    if (link.failed()) {
        link.close();
        return Presence::Silent;
    }
    if (!r)
        return Presence::Silent;
    RadioProtocol(link).end(0);
    return Presence::Answered;
}

// Asks about twice a second until a radio answers (present) or none does
// (gone); false when a stop came first.
bool FleetStation::waitFor(SerialLink& link, const Settings& s, bool present)
{
    QElapsedTimer clock;
    for (;;) {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            if (m_stop)
                return false;
        }
        clock.start();
        const Presence now = answers(link, s);
        if ((now == Presence::Answered) == present)
            return true;
        const int interval = now == Presence::Missing ? MissingPollMs : s.pollMs;
        if (!pause(interval - int(clock.elapsed())))
            return false;
    }
}

FleetStation::Radio FleetStation::program(const Settings& s)
{
    Radio radio;
    radio.found = QDateTime::currentDateTime();
    radio.user = m_naming->next();
    emit radioFound(radio.user);
    emit stateChanged(State::Checking, 0);

    SerialLink link;
    link.setDevice(s.device);
    link.setLog(s.log);
    SettingsDocument doc;
    doc.setDecimalSeparator(s.separator);
    doc.replace(s.data);
    doc.applyLanguage(s.texts);
    TransferContext context;
    context.texts = s.texts;
    context.channelCount = s.channelCount;
    context.singlePort = s.singlePort;
    context.stampFactoryDate = s.stampFactoryDate;
    context.adminName = s.adminName;
    RadioIdentity identity;
    identity.writeUser = !radio.user.isEmpty();
    identity.userToWrite = radio.user;

    SafeTransfer transfer(link, doc, identity, context);
    // The steps share the progress equally: backup read, write, read back.
    const int phases = 1 + (s.options.backup ? 1 : 0) + (s.options.verify ? 1 : 0);
    bool begun = false;
    connect(&transfer, &SafeTransfer::progress, this, [&](int value, int maximum) {
        if (maximum <= 0)
            return;
        const int share = std::max(1, maximum / phases);
        const int phase = std::min(phases - 1, value / share);
        begun = begun || value > 0;
        if (!begun)
            return;   // still the handshake and the identity checks
        int step = phase + (s.options.backup ? 0 : 1);
        const State state = step == 0 ? State::BackingUp : step == 1 ? State::Writing : State::Verifying;
        emit stateChanged(state, std::clamp((value - phase * share) * 100 / share, 0, 100));
    }, Qt::DirectConnection);
    radio.outcome = transfer.write(s.options);
    link.close();
    if (radio.user.isEmpty())
        radio.user = identity.user;
    radio.finished = QDateTime::currentDateTime();
    return radio;
}

// On the station's thread: everything made here lives and dies here.
void FleetStation::run(const Settings& s)
{
    m_problem = Result::success();
    SerialLink poll;
    poll.setDevice(s.device);
    for (;;) {
        emit stateChanged(State::Waiting, 0);
        if (!waitFor(poll, s, true))
            break;
        poll.close();   // the transfer opens the port itself
        const Radio radio = program(s);
        emit radioFinished(radio);
        emit stateChanged(radio.ok() ? State::Done : State::Failed, 0);
        if (!s.keepGoing)
            break;
        if (!waitFor(poll, s, false))
            break;
    }
    poll.close();
    emit stateChanged(State::Stopped, 0);
}

QString FleetStation::failureText(const SafeTransfer::Outcome& o, const PackStrings& texts)
{
    using Stage = SafeTransfer::Outcome::Stage;
    if (o.ok())
        return {};
    const QString step = TransferEngine::stepName(o.transfer.failedStep, texts);
    const QString reason = o.transfer.reason.text(texts);
    switch (o.stage) {
    case Stage::Transfer:
        return QStringLiteral("%1: %2").arg(step, reason);
    case Stage::BackupRead:
    case Stage::VerifyRead:
        return QStringLiteral("%1 %2: %3").arg(o.safety.text(texts), step, reason);
    case Stage::BackupSave:
    case Stage::Verify:
    case Stage::Done:
        break;
    }
    return o.safety.text(texts);
}

FleetRun::FleetRun(QObject* parent) : QObject(parent) {}

FleetRun::~FleetRun()
{
    requestStop();
    wait();
}

Result FleetRun::start(const Settings& settings)
{
    if (isRunning())
        return Result::fail(TextId::RadioBusy);
    if (const Result names = settings.user.check(); !names)
        return names;
    // Every value no radio could take is named once, before any port is
    // touched, rather than once per radio.
    const FleetStation::Settings& c = settings.common;
    SettingsDocument doc;
    doc.setDecimalSeparator(c.separator);
    doc.replace(c.data);
    doc.applyLanguage(c.texts);
    RadioIdentity identity;
    identity.userToWrite = settings.user.name(settings.user.first());
    identity.writeUser = !identity.userToWrite.isEmpty();
    const QList<Result> problems = WriteCheck::problems(doc.data(), doc.decimalSeparator(),
                                                        std::clamp(c.channelCount, 1, int(DocumentData::ChannelCount)),
                                                        identity, c.adminName);
    if (!problems.isEmpty())
        return WriteCheck::reason(problems);

    m_settings = settings;
    m_rows.clear();
    m_stations.clear();
    auto naming = std::make_shared<FleetNaming>(settings.user);
    for (const Port& port : settings.ports) {
        const int row = int(m_rows.size());
        Row r;
        r.port = port.name;
        r.running = true;
        m_rows << r;
        auto station = std::make_unique<FleetStation>(naming);
        FleetStation* st = station.get();
        connect(st, &FleetStation::stateChanged, this, [this, row](FleetStation::State state, int percent) {
            m_rows[row].state = state;
            m_rows[row].percent = percent;
            emit rowChanged(row);
        });
        connect(st, &FleetStation::portProblem, this, [this, row](const Result& why) {
            m_rows[row].portProblem = why.text(m_settings.common.texts);
            emit rowChanged(row);
        });
        connect(st, &FleetStation::radioFound, this, [this, row](const QString& user) {
            m_rows[row].user = user;
            m_rows[row].reason.clear();
            emit rowChanged(row);
        });
        connect(st, &FleetStation::radioFinished, this, [this, row](const FleetStation::Radio& radio) {
            Row& r = m_rows[row];
            r.user = radio.user;
            r.lastMs = radio.found.msecsTo(radio.finished);
            r.reason = FleetStation::failureText(radio.outcome, m_settings.common.texts);
            ++(radio.ok() ? r.done : r.failed);
            const FleetReport::Line line =
                reportLine(r.port, radio, m_settings.common.options, m_settings.common.texts);
            if (!m_settings.reportPath.isEmpty())
                if (const Result saved = FleetReport::append(m_settings.reportPath, line, m_settings.common.texts); !saved)
                    emit reportFailed(saved);
            emit rowChanged(row);
            emit radioFinished(row, line);
        });
        connect(st, &FleetStation::finished, this, [this, row] { stationFinished(row); });
        m_stations.push_back(std::move(station));
    }
    m_running = int(m_stations.size());
    for (size_t i = 0; i < m_stations.size(); ++i) {
        FleetStation::Settings s = settings.common;
        s.port = settings.ports[qsizetype(i)].name;
        s.device = settings.ports[qsizetype(i)].device;
        m_stations[i]->start(s);
    }
    return Result::success();
}

void FleetRun::stationFinished(int row)
{
    m_rows[row].running = false;
    emit rowChanged(row);
    if (--m_running == 0)
        emit finished();
}

bool FleetRun::isRunning() const
{
    return m_running > 0;
}

void FleetRun::requestStop()
{
    for (const auto& s : m_stations)
        s->requestStop();
}

void FleetRun::wait()
{
    for (const auto& s : m_stations)
        s->wait();
}

int FleetRun::done() const
{
    int n = 0;
    for (const Row& r : m_rows)
        n += r.done;
    return n;
}

int FleetRun::failed() const
{
    int n = 0;
    for (const Row& r : m_rows)
        n += r.failed;
    return n;
}

FleetReport::Line FleetRun::reportLine(const QString& port, const FleetStation::Radio& radio,
                                       const SafeTransfer::Options& options, const PackStrings& texts)
{
    using Stage = SafeTransfer::Outcome::Stage;
    FleetReport::Line line;
    line.when = radio.finished;
    line.port = port;
    line.user = radio.user;
    line.ok = radio.ok();
    line.result = radio.ok() ? texts.text(TextId::FleetResultWritten)
                             : Result::fail(TextId::FleetResultFailed, {FleetStation::failureText(radio.outcome, texts)})
                                   .text(texts);
    const Stage stage = radio.outcome.stage;
    int verify = TextId::FleetNotVerified;
    if (stage == Stage::Verify)
        verify = TextId::FleetVerifyDiffers;
    else if (stage == Stage::VerifyRead)
        verify = TextId::FleetVerifyReadFailed;
    else if (stage == Stage::Done && options.verify)
        verify = TextId::FleetVerified;
    line.verify = texts.text(verify);
    line.backup = radio.outcome.backupPath;
    return line;
}
