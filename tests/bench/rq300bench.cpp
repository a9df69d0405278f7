// rq300-bench: times whole reads and writes through the transfer engine
// against the simulated radio paced at 9600 8N1, and compares each with the
// time the wire itself needs.
//
// The radio runs as a child process (rq300-sim --pace), so the CPU time
// measured here is the engine's alone.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <vector>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>

#include "radio/fleet.h"
#include "radio/transfercontext.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "radio/identity.h"
#include "radio/seriallink.h"
#include "radio/safetransfer.h"
#include "radio/transferengine.h"

namespace {

// 10 bits per byte (start, 8 data, stop) at 9600 baud.
constexpr double ByteMs = 10.0 * 1000.0 / 9600.0;
// The fixed waits of the protocol: the two pauses around reopening the port,
// and after a write the wait that follows the end frame, which a radio never
// answers. (After a read that wait ends at once: the last reply, still in
// the receive text, already holds the digits it waits for.)
constexpr double PausesMs = 2 * 150.0;
constexpr double EndWaitMs = 70.0;

// The bytes a whole transfer puts on the line, both ways, when every check
// passes at the first attempt and nothing but the channels, the option block
// and the timer record is written. A write that knows none of the radio's
// records first reads the option block and the timer record it writes over;
// after a backup read it knows them.
int transferBytes(bool write, int channels, bool readsItsBase = false)
{
    const int handshake = 7 + 7;
    const int end = 2;
    const int readExchange = 4 + 12;
    const int writeExchange = 12 + 1;
    const int checks = 7;   // sale date, administrator, factory date, user, password, model, band
    if (!write)
        return handshake + (checks + 2 * channels + 1 + 2) * readExchange + end;
    const int base = readsItsBase ? 3 : 0;
    return handshake + (checks + base) * readExchange + (2 * channels + 2 + 1) * writeExchange + end;
}

double cpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(u.ru_utime) + ms(u.ru_stime);
}

struct Sample {
    double wallMs = 0;
    double cpuMs = 0;
};

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

void report(const QString& label, const Sample& s, double floorMs)
{
    out() << QStringLiteral("%1 wall %2 ms  floor %3 ms  ratio %4  CPU %5 % of wall")
                 .arg(label, -12)
                 .arg(s.wallMs, 7, 'f', 1)
                 .arg(floorMs, 7, 'f', 1)
                 .arg(s.wallMs / floorMs, 5, 'f', 3)
                 .arg(100.0 * s.cpuMs / s.wallMs, 4, 'f', 1)
          << Qt::endl;
}

// A paced simulated radio of its own; the device it serves, or empty.
QString startSim(QProcess& sim, const QString& simPath, const QStringList& extra = {}, bool quiet = false)
{
    if (quiet)   // radios swapped say so on every swap
        sim.setStandardErrorFile(QProcess::nullDevice());
    else
        sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(simPath, QStringList{QStringLiteral("--pace"), QStringLiteral("--sample-channels")} + extra);
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000))
        return {};
    return QString::fromLocal8Bit(sim.readLine()).trimmed();
}

// rq300-cli write into `radios` paced radios at once, backups and verify on;
// the wall time in ms, or a negative value on failure.
double timeCliWrite(const QString& cli, const QString& simPath, const QString& input, int radios,
                    const QString& dataHome)
{
    std::vector<std::unique_ptr<QProcess>> sims;
    QStringList args{QStringLiteral("write"), QStringLiteral("--input"), input};
    for (int i = 0; i < radios; ++i) {
        sims.push_back(std::make_unique<QProcess>());
        const QString device = startSim(*sims.back(), simPath);
        if (device.isEmpty())
            return -1;
        args << QStringLiteral("--port") << device;
    }
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    p.start(cli, args);
    const bool done = p.waitForFinished(120000);
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    for (auto& sim : sims) {
        sim->terminate();
        if (!sim->waitForFinished(5000))
            sim->kill();
    }
    return done && p.exitCode() == 0 ? ms : -1;
}


// Keep-going on `ports` ports, `perPort` radios behind each (rq300-sim
// --radios, each radio swapped for the next `gapMs` after it is done, its
// device vanishing meanwhile as a USB cable's does). Prints radios per
// minute, the time from a radio being plugged in to it being found, and
// returns false when a radio failed.
// Simulated radios that end with the scope, however it is left.
struct SimGroup {
    std::vector<std::unique_ptr<QProcess>> list;
    ~SimGroup()
    {
        for (auto& sim : list) {
            sim->terminate();
            if (!sim->waitForFinished(5000))
                sim->kill();
        }
    }
    QProcess& add()
    {
        list.push_back(std::make_unique<QProcess>());
        return *list.back();
    }
};

struct WatchFigures {
    double wallMs = 0;
    double perMinute = 0;
    double perMinuteBusy = 0;     // with the swap gaps the radios impose left out
    double foundMeanMs = 0;
    double foundMaxMs = 0;
    double radioMeanMs = 0;       // found to finished, per radio
    int radios = 0;
    int failed = 0;
};

bool timeWatch(const QString& simPath, const DocumentData& data, int ports, int perPort, int gapMs,
               const QString& dir, WatchFigures* f)
{
    SimGroup group;
    auto& sims = group.list;
    FleetRun::Settings s;
    QByteArray fresh;
    {
        QProcess one;
        const QString device = startSim(one, simPath, {QStringLiteral("--image"), dir + QStringLiteral("/fresh.img")});
        one.terminate();
        one.waitForFinished(5000);
        QFile file(dir + QStringLiteral("/fresh.img"));
        if (device.isEmpty() || !file.open(QIODevice::ReadOnly))
            return false;
        fresh = file.readAll();
    }
    for (int i = 0; i < ports; ++i) {
        const QString folder = QStringLiteral("%1/port%2").arg(dir).arg(i);
        QDir().mkpath(folder);
        for (int n = 0; n < perPort; ++n) {
            QFile img(QStringLiteral("%1/radio%2.img").arg(folder).arg(n));
            if (!img.open(QIODevice::WriteOnly) || img.write(fresh) != fresh.size())
                return false;
        }
        const QString link = QStringLiteral("%1/link%2").arg(dir).arg(i);
        if (startSim(group.add(), simPath,
                     {QStringLiteral("--radios"), folder, QStringLiteral("--link"), link, QStringLiteral("--swap-gap"),
                      QString::number(gapMs)},
                     true)
                .isEmpty())
            return false;
        s.ports << FleetRun::Port{QStringLiteral("P%1").arg(i + 1), link};
    }
    s.common.data = data;
    s.common.options = SafeTransfer::Options{true, true, dir + QStringLiteral("/backups")};
    s.common.keepGoing = true;
    s.common.adminName = TransferContext::defaultAdminName();
    s.user = UserPattern::counter(QStringLiteral("B-###"));
    s.reportPath = dir + QStringLiteral("/report.csv");

    FleetRun run;
    QEventLoop loop;
    QElapsedTimer clock;
    std::vector<int> count(size_t(ports), 0);
    std::vector<qint64> pluggedAt(size_t(ports), 0);
    double foundSum = 0, radioSum = 0;
    QObject::connect(&run, &FleetRun::radioFinished, &loop, [&](int row, const FleetReport::Line& line) {
        const qint64 now = clock.elapsed();
        const FleetRun::Row& r = run.rows()[row];
        // Found when the handshake was answered: the radio's time before it.
        const qint64 found = now - r.lastMs;
        const double latency = double(found - pluggedAt[size_t(row)]);
        foundSum += latency;
        radioSum += double(r.lastMs);
        f->foundMaxMs = std::max(f->foundMaxMs, latency);
        ++f->radios;
        if (!line.ok)
            ++f->failed;
        if (++count[size_t(row)] < perPort) {
            ::kill(pid_t(sims[size_t(row)]->processId()), SIGUSR1);
            pluggedAt[size_t(row)] = now + gapMs;
        }
        if (f->radios == ports * perPort) {
            f->wallMs = double(now);
            loop.quit();
        }
    });
    clock.start();
    if (!run.start(s))
        return false;
    QTimer::singleShot(perPort * 20000, &loop, &QEventLoop::quit);
    loop.exec();
    run.requestStop();
    run.wait();
    if (f->radios == 0 || f->wallMs <= 0)
        return false;
    f->foundMeanMs = foundSum / f->radios;
    f->radioMeanMs = radioSum / f->radios;
    f->perMinute = f->radios * 60000.0 / f->wallMs;
    f->perMinuteBusy = f->radios * 60000.0 / (f->wallMs - (perPort - 1) * gapMs);
    return f->failed == 0;
}

// The CPU this process spends while `ports` ports wait for radios that do
// not answer (a cable plugged in, no radio switched on), or for cables not
// plugged in (no device), over `ms`.
double waitingCpuPercent(const QString& simPath, const DocumentData& data, int ports, int ms, bool noDevice)
{
    QTemporaryDir dir;   // outlives the radios, which save their images as they end
    SimGroup sims;
    FleetRun::Settings s;
    // Each radio is unplugged at once and the next never comes, while the
    // line stays: every handshake goes unanswered.
    for (int i = 0; i < ports && noDevice; ++i)
        s.ports << FleetRun::Port{QStringLiteral("P%1").arg(i + 1), dir.filePath(QStringLiteral("unplugged%1").arg(i))};
    for (int i = 0; i < ports && !noDevice; ++i) {
        const QString folder = dir.filePath(QStringLiteral("p%1").arg(i));
        QDir().mkpath(folder);
        QFile img(folder + QStringLiteral("/r.img"));
        if (!img.open(QIODevice::WriteOnly) || img.write(QByteArray(65536, char(0xFF))) != 65536)
            return -1;
        img.close();
        QProcess& sim = sims.add();
        const QString device = startSim(sim, simPath,
                                        {QStringLiteral("--radios"), folder, QStringLiteral("--swap-gap"),
                                         QStringLiteral("100000000")},
                                        true);
        if (device.isEmpty())
            return -1;
        ::kill(pid_t(sim.processId()), SIGUSR1);
        s.ports << FleetRun::Port{QStringLiteral("P%1").arg(i + 1), device};
    }
    s.common.data = data;
    s.common.options = SafeTransfer::Options{false, false, dir.path()};
    s.common.keepGoing = true;
    FleetRun run;
    QEventLoop loop;
    if (!run.start(s))
        return -1;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);   // settle
    loop.exec();
    const double before = cpuMs();
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    const double used = cpuMs() - before;
    const double wall = double(clock.elapsed());
    run.requestStop();
    run.wait();
    return 100.0 * used / wall;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rq300-bench"));
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Times full reads and writes through the transfer engine against the simulated radio "
        "paced at 9600 8N1 and compares them with the wire time."));
    p.addHelpOption();
    p.addOptions({
        {QStringLiteral("runs"), QStringLiteral("Reads and writes to time (default 3 each)."), QStringLiteral("n"), QStringLiteral("3")},
        {QStringLiteral("sim"), QStringLiteral("The simulated radio program (default: rq300-sim beside this one)."), QStringLiteral("path")},
        {QStringLiteral("fleet"), QStringLiteral("Also time rq300-cli writing eight radios at once against one radio.")},
        {QStringLiteral("watch"), QStringLiteral("Also time keep-going on eight ports, three radios swapped behind each, and the CPU of eight ports waiting.")},
    });
    p.process(app);
    bool ok = false;
    const int runs = p.value(QStringLiteral("runs")).toInt(&ok);
    if (!ok || runs < 1) {
        QTextStream(stderr) << "rq300-bench: --runs wants a positive number" << Qt::endl;
        return 2;
    }
    const QString simPath = p.isSet(QStringLiteral("sim"))
                                ? p.value(QStringLiteral("sim"))
                                : QCoreApplication::applicationDirPath() + QStringLiteral("/rq300-sim");

    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(simPath, {QStringLiteral("--pace"), QStringLiteral("--sample-channels")});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        QTextStream(stderr) << "rq300-bench: cannot start " << simPath << ": " << sim.errorString() << Qt::endl;
        return 1;
    }
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();

    SerialLink link;
    link.setDevice(device);
    SettingsDocument doc;
    doc.setBandList({QStringLiteral("400-470MHz")});
    doc.setChoice(Key::Band, 0);
    RadioIdentity identity;
    TransferContext state;
    TransferEngine engine(link, doc, identity, state);

    out() << "rq300-bench: " << QFileInfo(simPath).fileName() << " --pace on " << device << ", "
          << runs << " run(s) each" << Qt::endl;
    int status = 0;
    double worstRatio = 0, worstCpu = 0, worstMean = 0;
    for (bool write : {false, true}) {
        // The document written came from the read before: it carries the
        // radio's records, so the write reads none of its own.
        const int bytes = transferBytes(write, state.channelCount, write && doc.data().image().isEmpty());
        const double endWaitMs = write ? EndWaitMs : 0.0;
        const double floorMs = bytes * ByteMs + PausesMs + endWaitMs;
        Sample total;
        for (int i = 1; i <= runs; ++i) {
            QElapsedTimer clock;
            const double cpuBefore = cpuMs();
            clock.start();
            const TransferEngine::Outcome outcome = write ? engine.write() : engine.read();
            Sample s{double(clock.nsecsElapsed()) / 1e6, cpuMs() - cpuBefore};
            if (!outcome.ok()) {
                QTextStream(stderr) << "rq300-bench: " << (write ? "write" : "read") << " failed: "
                                    << outcome.reason.text(state.texts) << Qt::endl;
                status = 1;
                break;
            }
            report(QStringLiteral("%1 run %2").arg(write ? "write" : "read ").arg(i), s, floorMs);
            total.wallMs += s.wallMs;
            total.cpuMs += s.cpuMs;
            worstRatio = std::max(worstRatio, s.wallMs / floorMs);
            worstCpu = std::max(worstCpu, 100.0 * s.cpuMs / s.wallMs);
        }
        if (status != 0)
            break;
        total.wallMs /= runs;
        total.cpuMs /= runs;
        worstMean = std::max(worstMean, total.wallMs / floorMs);
        report(QStringLiteral("%1 mean").arg(write ? "write" : "read "), total, floorMs);
        out() << QStringLiteral("%1 floor: %2 bytes both ways at 10 bits per byte (%3 ms) + 2 x 150 ms pauses%4")
                     .arg(write ? "write" : "read ")
                     .arg(bytes)
                     .arg(bytes * ByteMs, 0, 'f', 1)
                     .arg(write ? QStringLiteral(" + 70 ms end-frame wait") : QString())
              << Qt::endl;
    }
    // A write as the user gets it: a backup read first, the write, and the
    // read back that checks it; the floor is two read floors and a write floor.
    QTemporaryDir dataHome;
    double safeMean = 0, safeCpu = 0, safeWallMs = 0;
    if (status == 0) {
        const double readFloor = transferBytes(false, state.channelCount) * ByteMs + PausesMs;
        const double writeFloor = transferBytes(true, state.channelCount) * ByteMs + PausesMs + EndWaitMs;
        const double floorMs = 2 * readFloor + writeFloor;
        SafeTransfer safe(link, doc, identity, state);
        const SafeTransfer::Options options{true, true, dataHome.filePath(QStringLiteral("backups"))};
        Sample total;
        for (int i = 1; i <= runs && status == 0; ++i) {
            QElapsedTimer clock;
            const double cpuBefore = cpuMs();
            clock.start();
            const SafeTransfer::Outcome outcome = safe.write(options);
            Sample s{double(clock.nsecsElapsed()) / 1e6, cpuMs() - cpuBefore};
            if (!outcome.ok()) {
                QTextStream(stderr) << "rq300-bench: write with backup and verify failed: "
                                    << outcome.safety.text(state.texts) << outcome.transfer.reason.text(state.texts)
                                    << Qt::endl;
                status = 1;
                break;
            }
            report(QStringLiteral("safe write run %1").arg(i), s, floorMs);
            total.wallMs += s.wallMs;
            total.cpuMs += s.cpuMs;
            safeCpu = std::max(safeCpu, 100.0 * s.cpuMs / s.wallMs);
        }
        if (status == 0) {
            total.wallMs /= runs;
            total.cpuMs /= runs;
            safeMean = total.wallMs / floorMs;
            safeWallMs = total.wallMs;
            report(QStringLiteral("safe write mean"), total, floorMs);
            out() << QStringLiteral("safe write floor: read floor + write floor + read floor (%1 ms)").arg(floorMs, 0, 'f', 1)
                  << Qt::endl;
        }
    }

    // A fleet: rq300-cli writes eight radios at once, backups and verify on,
    // against the same command for one radio.
    double fleetRatio = 0;
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/rq300-cli");
    if (status == 0 && p.isSet(QStringLiteral("fleet"))) {
        const QString input = dataHome.filePath(QStringLiteral("fleet.kq19"));
        QFile::remove(input);
        QProcess src;
        const QString device = startSim(src, simPath);
        QProcess read;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome.path());
        read.setProcessEnvironment(env);
        read.start(cli, {QStringLiteral("read"), QStringLiteral("--port"), device, QStringLiteral("--output"), input});
        read.waitForFinished(30000);
        src.terminate();
        src.waitForFinished(5000);
        const double one = timeCliWrite(cli, simPath, input, 1, dataHome.path());
        const double eight = timeCliWrite(cli, simPath, input, 8, dataHome.path());
        if (one < 0 || eight < 0) {
            QTextStream(stderr) << "rq300-bench: rq300-cli write of the fleet failed" << Qt::endl;
            status = 1;
        } else {
            fleetRatio = eight / one;
            out() << QStringLiteral("rq300-cli write, backups and verify on: 1 radio %1 ms, 8 radios at once %2 ms, "
                                    "ratio %3")
                         .arg(one, 0, 'f', 0)
                         .arg(eight, 0, 'f', 0)
                         .arg(fleetRatio, 0, 'f', 3)
                  << Qt::endl;
        }
    }

    // Keep-going on eight ports against eight times one write with backup
    // and verify.
    if (status == 0 && p.isSet(QStringLiteral("watch"))) {
        constexpr int Ports = 8, PerPort = 3, GapMs = 600;
        const double oneMs = safeWallMs;
        QTemporaryDir watchDir;
        WatchFigures f;
        if (!timeWatch(simPath, doc.data(), Ports, PerPort, GapMs, watchDir.path(), &f)) {
            QTextStream(stderr) << "rq300-bench: keep-going failed: " << f.radios << " radios, " << f.failed
                                << " failed" << Qt::endl;
            status = 1;
        } else {
            const double ideal = oneMs > 0 ? Ports * 60000.0 / oneMs : 0;
            out() << QStringLiteral("keep-going, %1 ports x %2 radios, %3 ms to swap a radio: %4 radios in %5 ms, "
                                    "%6 radios/min; without the swaps %7 radios/min; 8 x 60 / one write (%8 ms) = %9, "
                                    "ratio %10")
                         .arg(Ports)
                         .arg(PerPort)
                         .arg(GapMs)
                         .arg(f.radios)
                         .arg(f.wallMs, 0, 'f', 0)
                         .arg(f.perMinute, 0, 'f', 1)
                         .arg(f.perMinuteBusy, 0, 'f', 1)
                         .arg(oneMs, 0, 'f', 0)
                         .arg(ideal, 0, 'f', 1)
                         .arg(ideal > 0 ? f.perMinuteBusy / ideal : 0, 0, 'f', 3)
                  << Qt::endl;
            out() << QStringLiteral("plugged in to found (handshake answered): mean %1 ms, worst %2 ms; "
                                    "found to done: mean %3 ms a radio")
                         .arg(f.foundMeanMs, 0, 'f', 0)
                         .arg(f.foundMaxMs, 0, 'f', 0)
                         .arg(f.radioMeanMs, 0, 'f', 0)
                  << Qt::endl;
        }
        const double silent = waitingCpuPercent(simPath, doc.data(), Ports, 10000, false);
        const double unplugged = waitingCpuPercent(simPath, doc.data(), Ports, 10000, true);
        out() << QStringLiteral("%1 ports waiting, CPU of one core: radios that do not answer %2 %, "
                                "cables not plugged in %3 % (target <= 2 %)")
                     .arg(Ports)
                     .arg(silent, 0, 'f', 2)
                     .arg(unplugged, 0, 'f', 2)
              << Qt::endl;
        if (silent < 0 || unplugged < 0)
            status = 1;
    }

    if (status == 0 && safeMean > 0)
        out() << QStringLiteral("targets with backup and verify (mean ratio <= 1.05, CPU < 5 %%1): safe write %2, "
                                "CPU %3 % -> %4")
                     .arg(fleetRatio > 0 ? QStringLiteral(", 8 radios <= 1.2 x one") : QString())
                     .arg(safeMean, 0, 'f', 3)
                     .arg(safeCpu, 0, 'f', 1)
                     .arg(safeMean <= 1.05 && safeCpu < 5.0 && (fleetRatio == 0 || fleetRatio <= 1.2) ? "met" : "NOT met")
              << Qt::endl;
    if (status == 0)
        out() << QStringLiteral("targets (mean ratio <= 1.05, CPU < 5 %): worst mean ratio %1 (worst run %2), "
                                "worst CPU %3 % -> %4")
                     .arg(worstMean, 0, 'f', 3)
                     .arg(worstRatio, 0, 'f', 3)
                     .arg(worstCpu, 0, 'f', 1)
                     .arg(worstMean <= 1.05 && worstCpu < 5.0 ? "met" : "NOT met")
              << Qt::endl;

    link.close();
    sim.terminate();
    if (!sim.waitForFinished(5000))
        sim.kill();
    return status;
}
