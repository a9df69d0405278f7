#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <sys/wait.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/hex.h"
#include "files/packfile.h"
#include "files/profile.h"
#include "radio/portmap.h"
#include "radio/protocol.h"
#include "base/textids.h"
#include "base/packstrings.h"
#include "simfixture.h"

namespace {
// A link failure as an English user reads it.
QString english(const Result& r)
{
    static const PackStrings texts = PackStrings::withFallback(
        PackFile::load(QDir(qEnvironmentVariable("RQ300_BIN_DIR")).filePath(QStringLiteral("eng_dll.lang")))
            .value_or(PackStrings()));
    return r.text(texts);
}
}

namespace {

qint64 cpuMicroseconds()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1000000LL + ru.ru_utime.tv_usec + ru.ru_stime.tv_usec;
}

} // namespace

class TestSerialLink : public QObject {
    Q_OBJECT
private slots:
    void hexConversions()
    {
        QCOMPARE(Hex::fromBytes(QByteArray("\x06\x0a\xfc\x00", 4)), "060AFC00");
        QCOMPARE(Hex::toBytes("646F"), QByteArray("\x64\x6f"));
        QCOMPARE(Hex::toBytes("Fc"), QByteArray("\xfc"));
        QCOMPARE(Hex::toBytes(""), QByteArray());
    }

    void portsMapToDevices()
    {
        const Profile ini = Profile::parse("[Open]\r\ncom=3\r\n[Ports]\r\nCOM3=/tmp/rq300-com3\r\n"
                                           "com4=\r\ncom17=/tmp/x\r\n");
        const PortMap map = PortMap::fromProfile(ini);
        QCOMPARE(map.path(1), "/dev/ttyUSB0");
        QCOMPARE(map.path(8), "/dev/ttyUSB7");
        QCOMPARE(map.path(9), "/dev/ttyACM0");
        QCOMPARE(map.path(13), "/dev/ttyS0");
        QCOMPARE(map.path(16), "/dev/ttyS3");
        QCOMPARE(map.path(3), "/tmp/rq300-com3");
        QCOMPARE(map.path(4), "/dev/ttyUSB3");   // an empty override keeps the device
        QCOMPARE(map.path(0), "");
        QCOMPARE(map.path(17), "");
        QCOMPARE(map.resolve("com3"), "/tmp/rq300-com3");
        QCOMPARE(map.resolve("COM12"), "/dev/ttyACM3");
        QCOMPARE(map.resolve("/dev/ttyUSB9"), "/dev/ttyUSB9");
        QCOMPARE(map.resolve("COM17"), "");
        QCOMPARE(map.resolve("ttyUSB0"), "");
    }

    void sentBytesComeBackAsTheirHex()
    {
        SimFixture f;
        QVERIFY(f.up());
        f.sim.setEcho(true);
        // "646F" is two bytes on the wire, and also the end frame to the radio.
        QCOMPARE(f.exchange("646F", 4, 300), "646F");
        QCOMPARE(f.sim.receivedFrames().value(0), QByteArray("\x64\x6f"));
        QCOMPARE(f.exchange("Fc", 2, 300), "FC");
        // A malformed frame is never put on the line.
        QCOMPARE(f.exchange("6", 1, 100), "");
        QCOMPARE(f.exchange("6G00", 2, 100), "");
        QVERIFY(!f.link.failure().ok());
        QCOMPARE(f.link.echoCount(), 0);
    }

    void receivedBytesAppendUpperCaseHex()
    {
        SimFixture f;
        QVERIFY(f.up());
        f.link.clearReceive();
        f.sim.sendRaw(QByteArray("\x06\x0a", 2));
        f.link.aSysDelay(4, 500);
        QCOMPARE(f.link.receiveText(), "060A");
        // Bytes arriving outside an exchange stay until the next clear.
        f.sim.sendRaw(QByteArray("\xab", 1));
        f.link.aSysDelay(6, 500);
        QCOMPARE(f.link.receiveText(), "060AAB");
    }

    void singlePortDropsTheEchoWhenTheReplyBegins()
    {
        SimFixture f;
        QVERIFY(f.up());
        f.sim.setEcho(true);
        f.sim.setPacing(true);
        f.link.setSinglePort(true);
        QVERIFY(f.handshake());

        QStringList seen;
        connect(&f.link, &SerialLink::received, &f.link, [&] { seen.append(f.link.receiveText()); });
        const QString reply = f.exchange("52406008", 24, 800);
        QCOMPARE(reply, "57406008" + Hex::fromBytes(f.sim.memory().mid(0x4060, 8)));
        QCOMPARE(f.link.echoCount(), 0);
        // The echo stood alone first and went with the first reply byte.
        QVERIFY(seen.size() >= 2);
        QCOMPARE(seen.first(), "52406008");
        QVERIFY(seen.at(1).startsWith("57"));
        QVERIFY(!seen.at(1).contains("52406008"));
    }

    void echoStaysWhenSinglePortIsOff()
    {
        SimFixture f;
        QVERIFY(f.up());
        f.sim.setEcho(true);
        QCOMPARE(f.exchange("0254415652494E", 28), "0254415652494E0674617672696E");
        const QString text = f.exchange("52406008", 32);
        QCOMPARE(text.left(8), "52406008");
        QCOMPARE(text.mid(8, 8), "57406008");
    }

    void pendingEchoHoldsTheWaitToItsEnd()
    {
        SimFixture f;
        QVERIFY(f.up());
        f.link.setSinglePort(true);   // but the cable does not echo
        f.link.clearReceive();
        f.link.sendHex("52406008");   // not answered before a handshake
        f.sim.sendRaw(QByteArray("\x01\x02", 2));
        QElapsedTimer t;
        t.start();
        f.link.aSysDelay(4, 200);
        QVERIFY2(t.elapsed() >= 190, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(f.link.receiveText(), "0102");
        QCOMPARE(f.link.echoCount(), 8);
    }

    void waitEndsOnTheThirdPiece()
    {
        SimFixture f;
        QVERIFY(f.up());
        f.link.clearReceive();
        int pieces = 0;
        connect(&f.link, &SerialLink::received, &f.link, [&] { ++pieces; });
        const QByteArray reply = QByteArray::fromHex("574060080102030405060708");
        QTimer::singleShot(20, &f.sim, [&] { f.sim.sendRaw(reply.left(4)); });
        QTimer::singleShot(60, &f.sim, [&] { f.sim.sendRaw(reply.mid(4, 4)); });
        QTimer::singleShot(100, &f.sim, [&] { f.sim.sendRaw(reply.mid(8)); });
        QElapsedTimer t;
        t.start();
        f.link.aSysDelay(24, 1000);
        const qint64 ms = t.elapsed();
        QCOMPARE(f.link.receiveText(), "574060080102030405060708");
        QCOMPARE(pieces, 3);
        QVERIFY2(ms >= 95 && ms < 500, qPrintable(QString::number(ms)));
    }

    void timeoutsAndTheZeroWait()
    {
        SimFixture f;
        QVERIFY(f.up());
        QElapsedTimer t;
        t.start();
        f.link.aSysDelay(2, 150);
        const qint64 ms = t.elapsed();
        QVERIFY2(ms >= 148 && ms < 400, qPrintable(QString::number(ms)));

        // A wait of 0 ms returns without handling any event, so bytes already
        // on the line are not collected by it.
        f.link.clearReceive();
        f.sim.sendRaw(QByteArray("\x06", 1));
        ::usleep(20000);
        t.restart();
        f.link.aSysDelay(2, 0);
        QVERIFY(t.elapsed() < 20);
        QVERIFY(f.link.receiveText().isEmpty());
        f.link.aSysDelay(2, 300);
        QCOMPARE(f.link.receiveText(), "06");
    }

    void longWaitLeavesTheCpuIdle()
    {
        SimFixture f;
        QVERIFY(f.up());
        const qint64 before = cpuMicroseconds();
        f.link.aSysDelay(2, 1000);
        const qint64 used = cpuMicroseconds() - before;
        // A polling loop would burn the whole second.
        QVERIFY2(used < 250000, qPrintable(QString::number(used)));
    }

    void bytesLeftOnTheLineAreNoAnswerToTheNextFrame()
    {
        SimFixture f;
        QVERIFY(f.up());
        QVERIFY(f.handshake());
        RadioProtocol protocol(f.link);
        // A byte the radio sent after the last exchange ended, still in the
        // device's buffer: it is no acknowledgement of the next frame, which
        // is not even sent, since the radio's state is unknown.
        const int before = f.sim.framesReceived();
        f.sim.sendRaw(QByteArray(1, '\x06'));
        QTest::qWait(20);
        Result r = protocol.writeRecord(0x4080, QByteArray(8, '\xFF'), 100, QStringLiteral("channel 1"));
        QVERIFY2(r == Result::fail(TextId::StrayBeforeFrame, {QStringLiteral("channel 1"), QStringLiteral("06")}),
                 qPrintable(r.text(PackStrings::builtIn())));
        // The same for a data reply: the late bytes of another record's reply.
        f.sim.sendRaw(QByteArray::fromHex("574078084700400047004000"));
        QTest::qWait(20);
        QByteArray data("unchanged");
        r = protocol.readRecord(0x4020, 100, QStringLiteral("0x4020"), data);
        QCOMPARE(r, Result::fail(TextId::StrayBeforeFrame, {QStringLiteral("0x4020"), QStringLiteral("574078084700400047004000")}));
        QCOMPARE(data, QByteArray("unchanged"));
        QCOMPARE(f.sim.framesReceived(), before);
        // And with the radio answering, the answer is taken.
        QVERIFY(protocol.writeRecord(0x4080, QByteArray(8, '\xFF'), 100, QStringLiteral("channel 1")).ok());
        QVERIFY(protocol.readRecord(0x4078, 100, QStringLiteral("band"), data).ok());
        QCOMPARE(data.toHex(), QByteArray("4700400047004000"));
    }

    void pulledLineEndsTheWaitAndClosesThePort()
    {
        SimFixture f;
        QVERIFY(f.up());
        QSignalSpy errors(&f.link, &SerialLink::portError);
        QTimer::singleShot(50, &f.sim, [&] { f.sim.stop(); });
        const qint64 cpuBefore = cpuMicroseconds();
        QElapsedTimer t;
        t.start();
        f.link.aSysDelay(24, 3000);
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        QVERIFY(f.link.failed());
        QVERIFY(!f.link.isOpen());
        QCOMPARE(errors.size(), 1);
        QVERIFY(english(f.link.failure()).contains(f.sim.devicePath()));
        // Nothing goes on raising the error afterwards.
        QTest::qWait(200);
        QCOMPARE(errors.size(), 1);
        QVERIFY(cpuMicroseconds() - cpuBefore < 250000);
        // Later waits do not wait on a dead line, and sending does nothing.
        t.restart();
        f.link.sendHex("0254415652494E");
        f.link.aSysDelay(14, 500);
        QVERIFY(t.elapsed() < 100);
    }

    void openFailuresSayWhichDeviceAndWhy()
    {
        SimFixture f;
        QVERIFY(f.up());
        // The radio's own line is free to probe while nobody else holds it...
        SerialLink other;
        other.setDevice(f.sim.devicePath());
        f.link.close();
        QVERIFY(SerialLink::probe(f.sim.devicePath()).ok());
        // ...and busy while a link holds it.
        QVERIFY(f.link.open());
        const QString busy = english(SerialLink::probe(f.sim.devicePath()));
        QVERIFY2(busy.contains(f.sim.devicePath()) && busy.contains("in use"), qPrintable(busy));
        QVERIFY(!other.open());
        QVERIFY(english(other.failure()).contains("in use"));

        const QString missing = english(SerialLink::probe("/dev/rq300-no-such-port"));
        QVERIFY2(missing.contains("/dev/rq300-no-such-port") && missing.contains("no such device"),
                 qPrintable(missing));
        SerialLink none;
        QVERIFY(!none.open());
        QVERIFY(!english(none.failure()).isEmpty());
    }

    void permissionFailureNamesTheDialoutGroup()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                      | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                                      | QFileDevice::ExeOther));
        const QString path = dir.filePath("ttyLocked");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        // Root may open anything, so as root the probe runs as an unprivileged
        // user; otherwise the file is closed to its owner too.
        const bool root = ::geteuid() == 0;
        QVERIFY(file.setPermissions(root ? QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                         : QFileDevice::Permissions()));
        // A device of the dialout group, as serial devices are, names that
        // group; one that no group may open names the udev rule.
        const group* dialout = root ? ::getgrnam("dialout") : nullptr;
        if (dialout) {
            QVERIFY(::chown(QFile::encodeName(path).constData(), 0, dialout->gr_gid) == 0);
            QVERIFY(::chmod(QFile::encodeName(path).constData(), 0660) == 0);
        }
        const QString fix = dialout ? QStringLiteral("usermod -aG dialout") : QStringLiteral("70-rq300.rules");
        int pipeFd[2];
        QVERIFY(::pipe(pipeFd) == 0);
        const pid_t pid = ::fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            ::close(pipeFd[0]);
            if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(3);
            const QByteArray text = english(SerialLink::probe(path)).toUtf8();
            [[maybe_unused]] const ssize_t n = ::write(pipeFd[1], text.constData(), size_t(text.size()));
            ::_exit(0);
        }
        ::close(pipeFd[1]);
        QByteArray text;
        char buf[512];
        ssize_t n;
        while ((n = ::read(pipeFd[0], buf, sizeof buf)) > 0)
            text.append(buf, n);
        ::close(pipeFd[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        QCOMPARE(WEXITSTATUS(status), 0);
        const QString message = QString::fromUtf8(text);
        QVERIFY2(message.contains(path) && message.contains(fix), qPrintable(message));
    }
};

QTEST_GUILESS_MAIN(TestSerialLink)
#include "test_seriallink.moc"
