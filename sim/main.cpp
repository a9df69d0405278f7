// rq300-sim: a simulated radio on a pseudo-terminal. Prints the device on
// the first line of its output and runs until SIGTERM or SIGINT.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

#include "simradio.h"
#include "base/filewriter.h"

namespace {

int g_signalPipe[2] = {-1, -1};

// The pipe carries which signal came: 1 ends the program, 2 swaps the radio.
void onSignal(int signo)
{
    const char c = signo == SIGUSR1 ? 2 : 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

void say(const QString& text)
{
    QTextStream(stderr) << "rq300-sim: " << text << Qt::endl;
}

bool intOption(const QCommandLineParser& p, const QString& name, int* out)
{
    if (!p.isSet(name))
        return true;
    bool ok = false;
    const int v = p.value(name).toInt(&ok);
    if (!ok || v < 0) {
        say(QStringLiteral("--%1 wants a number, not \"%2\"").arg(name, p.value(name)));
        return false;
    }
    *out = v;
    return true;
}

// Points `link` at the device. Only a symbolic link is ever replaced, so a
// mistyped --link never removes a user's file.
bool makeLink(const QString& link, const QString& device)
{
    const QFileInfo info(link);
    if (info.isSymLink()) {
        if (!QFile::remove(link)) {
            say(QStringLiteral("cannot replace the link %1").arg(link));
            return false;
        }
    } else if (info.exists()) {
        say(QStringLiteral("%1 exists and is not a symbolic link; leaving it alone").arg(link));
        return false;
    }
    if (!QFile::link(device, link)) {
        say(QStringLiteral("cannot make the link %1 -> %2").arg(link, device));
        return false;
    }
    return true;
}

void removeLink(const QString& link, const QString& device)
{
    const QFileInfo info(link);
    if (info.isSymLink() && info.symLinkTarget() == device)
        QFile::remove(link);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rq300-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RQ300_VERSION));
    FileWriter::ignoreFileSizeSignal();

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "A simulated RQ-300 radio on a pseudo-terminal. The first line of output is "
        "the device to open; it runs until SIGTERM or SIGINT."));
    p.addHelpOption();
    p.addVersionOption();
    p.addOptions({
        {QStringLiteral("image"), QStringLiteral("Memory image: loaded at start if it exists, saved on every change and at exit."), QStringLiteral("file")},
        {QStringLiteral("link"), QStringLiteral("Make a symbolic link to the device at this path."), QStringLiteral("path")},
        {QStringLiteral("echo"), QStringLiteral("Single-wire cable: every byte received comes back.")},
        {QStringLiteral("pace"), QStringLiteral("Send answers at the real pace of 9600 baud 8N1 (without it an answer comes all at once, though never before its frame could have arrived).")},
        {QStringLiteral("sample-channels"), QStringLiteral("A fresh image gets a few channels.")},
        {QStringLiteral("busy"), QStringLiteral("Answer each service command busy n times first."), QStringLiteral("n")},
        {QStringLiteral("readings"), QStringLiteral("Calibration readings, four bytes in hex (default 79797979)."), QStringLiteral("hex")},
        {QStringLiteral("no-reply"), QStringLiteral("Give no reply to frame k."), QStringLiteral("k")},
        {QStringLiteral("corrupt"), QStringLiteral("Damage the reply to frame k."), QStringLiteral("k")},
        {QStringLiteral("refuse-write"), QStringLiteral("Refuse write frame k."), QStringLiteral("k")},
        {QStringLiteral("stray-after-reply"), QStringLiteral("Answer frame k, then send one stray 06 (see --stray-delay-us)."), QStringLiteral("k")},
        {QStringLiteral("stray-delay-us"), QStringLiteral("The stray comes this many microseconds after the answer (default: the next byte time)."), QStringLiteral("us")},
        {QStringLiteral("ignore-handshakes"), QStringLiteral("Ignore the first n handshakes."), QStringLiteral("n")},
        {QStringLiteral("close-after"), QStringLiteral("Close the line when frame k arrives (cable pulled)."), QStringLiteral("k")},
        {QStringLiteral("radios"), QStringLiteral("A folder of memory images (*.img, in name order), one radio after another behind the same cable: the first is plugged in at start; SIGUSR1 unplugs it (its image saved) and, after --swap-gap, plugs in the next. With --link the device vanishes meanwhile and the next radio comes up on a new one, as a USB cable plugged in again; without it the line stays and the radio is silent."), QStringLiteral("folder")},
        {QStringLiteral("swap-gap"), QStringLiteral("With --radios: milliseconds without a radio between two (default 1500)."), QStringLiteral("ms")},
        {QStringLiteral("forget-writes-at"), QStringLiteral("Acknowledge writes of this record address (hex, e.g. 40C0) but keep the old bytes."), QStringLiteral("hex")},
    });
    p.process(app);

    SimRadio radio;
    SimRadio::Faults faults;
    int busy = 0;
    if (!intOption(p, QStringLiteral("busy"), &busy)
        || !intOption(p, QStringLiteral("no-reply"), &faults.noReplyToFrame)
        || !intOption(p, QStringLiteral("corrupt"), &faults.corruptReplyToFrame)
        || !intOption(p, QStringLiteral("refuse-write"), &faults.refuseWriteFrame)
        || !intOption(p, QStringLiteral("stray-after-reply"), &faults.strayAfterReplyToFrame)
        || !intOption(p, QStringLiteral("stray-delay-us"), &faults.strayDelayUs)
        || !intOption(p, QStringLiteral("ignore-handshakes"), &faults.ignoreHandshakes)
        || !intOption(p, QStringLiteral("close-after"), &faults.closeAfterFrames))
        return 2;
    int swapGap = 1500;
    if (!intOption(p, QStringLiteral("swap-gap"), &swapGap))
        return 2;
    QStringList radios;
    if (p.isSet(QStringLiteral("radios"))) {
        const QDir folder(p.value(QStringLiteral("radios")));
        for (const QString& name : folder.entryList({QStringLiteral("*.img")}, QDir::Files, QDir::Name))
            radios << folder.filePath(name);
        if (radios.isEmpty()) {
            say(QStringLiteral("%1 holds no *.img files").arg(folder.path()));
            return 2;
        }
    }
    if (p.isSet(QStringLiteral("forget-writes-at"))) {
        bool ok = false;
        faults.forgetWritesAt = p.value(QStringLiteral("forget-writes-at")).toInt(&ok, 16);
        if (!ok || faults.forgetWritesAt < 0 || faults.forgetWritesAt > 0xFFFF) {
            say(QStringLiteral("--forget-writes-at wants a record address in hex, for example 40C0"));
            return 2;
        }
    }
    if (p.isSet(QStringLiteral("readings"))) {
        const QByteArray hex = p.value(QStringLiteral("readings")).toLatin1();
        const QByteArray four = QByteArray::fromHex(hex);
        if (hex.size() != 8 || four.size() != 4 || four.toHex().toUpper() != hex.toUpper()) {
            say(QStringLiteral("--readings wants four bytes in hex, for example 60616162"));
            return 2;
        }
        radio.setCalibrationReadings(four);
    }
    radio.setEcho(p.isSet(QStringLiteral("echo")));
    radio.setPacing(p.isSet(QStringLiteral("pace")));
    radio.setBusyReplies(busy);

    QString image = radios.isEmpty() ? p.value(QStringLiteral("image")) : radios.first();
    if (!image.isEmpty() && QFileInfo::exists(image)) {
        QString error;
        // A damaged image is left as it is rather than overwritten.
        if (!radio.loadImage(image, &error)) {
            say(error);
            return 1;
        }
    } else if (p.isSet(QStringLiteral("sample-channels"))) {
        SimRadio::addSampleChannels(radio.memory());
    }
    auto save = [&] {
        QString error;
        if (!image.isEmpty() && !radio.saveImage(image, &error))
            say(error);
    };
    QObject::connect(&radio, &SimRadio::memoryChanged, &app, save);
    QObject::connect(&radio, &SimRadio::lineClosed, &app,
                     [] { say(QStringLiteral("line closed (fault injected)")); });
    save();

    QString error;
    if (!radio.start(&error)) {
        say(error);
        return 1;
    }
    radio.setFaults(faults);

    const QString link = p.value(QStringLiteral("link"));
    if (!link.isEmpty() && !makeLink(link, radio.devicePath()))
        return 1;

    // One radio after another: the one plugged in is unplugged (its image
    // saved, the device gone or the radio silent), then after the gap the
    // next is plugged in. After the last, nothing more comes.
    qsizetype current = 0;
    bool swapping = false;
    auto plugNext = [&] {
        swapping = false;
        if (++current >= radios.size()) {
            say(QStringLiteral("no more radios"));
            return;
        }
        image = radios[current];
        QString why;
        if (!radio.loadImage(image, &why)) {
            say(why);
            return;
        }
        if (!link.isEmpty()) {
            if (!radio.start(&why)) {
                say(why);
                return;
            }
            radio.setFaults(faults);
            makeLink(link, radio.devicePath());
        }
        radio.setSilent(false);
        say(QStringLiteral("plugged in %1").arg(QFileInfo(image).fileName()));
    };
    auto unplug = [&] {
        if (radios.isEmpty() || swapping || current >= radios.size())
            return;
        swapping = true;
        save();
        radio.setSilent(true);
        if (!link.isEmpty()) {
            const QString device = radio.devicePath();
            radio.stop();
            removeLink(link, device);
        }
        say(QStringLiteral("unplugged %1").arg(QFileInfo(image).fileName()));
        QTimer::singleShot(swapGap, &app, plugNext);
    };

    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) {
        say(QStringLiteral("cannot set up signal handling"));
        return 1;
    }
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [&] {
        char c = 1;
        [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], &c, 1);
        if (c == 2)
            unplug();
        else
            QCoreApplication::quit();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGUSR1, &sa, nullptr);

    std::printf("%s\n", qPrintable(radio.devicePath()));
    std::fflush(stdout);
    if (!link.isEmpty())
        say(QStringLiteral("%1 -> %2").arg(link, radio.devicePath()));

    const int rc = app.exec();
    const QString device = radio.devicePath();
    radio.stop();
    save();
    if (!link.isEmpty())
        removeLink(link, device);
    return rc;
}
