// rq300-bench: times whole reads and writes through the transfer engine
// against the simulated radio paced at 9600 8N1, and compares each with the
// time the wire itself needs.
//
// The radio runs as a child process (rq300-sim --pace), so the CPU time
// measured here is the engine's alone.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>

#include <sys/resource.h>

#include "setup/appstate.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "radio/identity.h"
#include "radio/seriallink.h"
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
// and the timer record is written.
int transferBytes(bool write, int channels)
{
    const int handshake = 7 + 7;
    const int end = 2;
    const int readExchange = 4 + 12;
    const int writeExchange = 12 + 1;
    const int checks = 7;   // sale date, administrator, factory date, user, password, model, band
    if (!write)
        return handshake + (checks + 2 * channels + 1 + 2) * readExchange + end;
    return handshake + checks * readExchange + (2 * channels + 2 + 1) * writeExchange + end;
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
    doc.setOptions(Key::Band, {QStringLiteral("400-470MHz")});
    doc.setChoice(Key::Band, 0);
    RadioIdentity identity;
    AppState state;
    TransferEngine engine(link, doc, identity, state);

    out() << "rq300-bench: " << QFileInfo(simPath).fileName() << " --pace on " << device << ", "
          << runs << " run(s) each" << Qt::endl;
    int status = 0;
    double worstRatio = 0, worstCpu = 0, worstMean = 0;
    for (bool write : {false, true}) {
        const int bytes = transferBytes(write, state.channelCount);
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
    if (status == 0)
        out() << QStringLiteral("targets (mean ratio <= 1.10, CPU < 5 %): worst mean ratio %1 (worst run %2), "
                                "worst CPU %3 % -> %4")
                     .arg(worstMean, 0, 'f', 3)
                     .arg(worstRatio, 0, 'f', 3)
                     .arg(worstCpu, 0, 'f', 1)
                     .arg(worstMean <= 1.10 && worstCpu < 5.0 ? "met" : "NOT met")
              << Qt::endl;

    link.close();
    sim.terminate();
    if (!sim.waitForFinished(5000))
        sim.kill();
    return status;
}
