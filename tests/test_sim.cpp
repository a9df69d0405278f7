#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "simfixture.h"

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

QString binDir()
{
    const QString dir = qEnvironmentVariable("RQ300_BIN_DIR");
    return dir.isEmpty() ? QCoreApplication::applicationDirPath() : dir;
}

} // namespace

class TestSim : public QObject {
    Q_OBJECT
private slots:
    void programmingProtocol()
    {
        SimFixture f;
        QVERIFY(f.up());
        QSignalSpy changes(&f.sim, &SimRadio::memoryChanged);
        // Nothing is answered before the handshake.
        QCOMPARE(f.exchange("52407008", 24, 150), "");
        QVERIFY(f.handshake());
        QCOMPARE(f.exchange("52407008", 24), "574070084B512D195A18FF06");
        QCOMPARE(f.exchange("574100080102030405060708", 2), "06");
        QCOMPARE(f.sim.memory().mid(0x4100, 8), hex("0102030405060708"));
        QCOMPARE(f.exchange("52410008", 24), "574100080102030405060708");
        // Addresses wrap round at the end of the 64 KiB.
        QCOMPARE(f.exchange("57FFFC08AABBCCDDEEFF1122", 2), "06");
        QCOMPARE(f.sim.memory().left(4), hex("EEFF1122"));
        QCOMPARE(f.sim.writtenAddresses(), (QList<int>{0x4100, 0xFFFC}));
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes.first().at(0).toInt(), 0x4100);
        // After the end frame the radio is back to waiting for a handshake.
        QCOMPARE(f.exchange("646F", 2, 100), "");
        QCOMPARE(f.exchange("52407008", 24, 150), "");
        QCOMPARE(f.sim.framesReceived(), 6);   // unanswered frames before a handshake are no frames
        QCOMPARE(f.sim.receivedFrames().last(), hex("646F"));
    }

    void serviceProtocol()
    {
        SimFixture f;
        QVERIFY(f.up());
        f.sim.setBusyReplies(2);
        f.sim.setCalibrationReadings(hex("60616162"));
        QVERIFY(f.serviceHandshake());
        QCOMPARE(f.exchange("0600", 6), "090009");
        QCOMPARE(f.exchange("0600", 6), "090009");
        QCOMPARE(f.exchange("0600", 6), "060006");
        QCOMPARE(f.exchange("56084556750045567500", 6), "090009");
        QCOMPARE(f.exchange("56084556750045567500", 6), "090009");
        QCOMPARE(f.exchange("56084556750045567500", 6), "060006");
        f.exchange("5503079010", 40);
        f.exchange("5503079010", 40);
        const QString reading = f.exchange("5503079010", 40);
        QCOMPARE(reading.size(), 40);
        QVERIFY(reading.startsWith("5460616162"));
        f.exchange("570301BE40", 6);
        QCOMPARE(f.exchange("570301BE40", 6), "090009");
        QCOMPARE(f.exchange("570301BE40", 6), "060006");
        QCOMPARE(quint8(f.sim.memory().at(0x01BE)), quint8(0x40));
        QCOMPARE(f.exchange("64016F", 6, 100), "");
        // Programming frames are not service frames.
        QVERIFY(f.serviceHandshake());
        QCOMPARE(f.exchange("52407008", 24, 150), "");
        // A new handshake starts the busy count again.
        QVERIFY(f.serviceHandshake());
        QCOMPARE(f.exchange("0600", 6), "090009");
    }

    void faults()
    {
        SimFixture f;
        QVERIFY(f.up());
        SimRadio::Faults faults;
        faults.ignoreHandshakes = 2;
        faults.noReplyToFrame = 4;
        faults.corruptReplyToFrame = 5;
        faults.refuseWriteFrame = 6;
        f.sim.setFaults(faults);
        QVERIFY(!f.handshake());                                      // 1
        QVERIFY(!f.handshake());                                      // 2
        QVERIFY(f.handshake());                                       // 3
        QCOMPARE(f.exchange("52407008", 24, 150), "");               // 4
        QCOMPARE(f.exchange("52407008", 24), "A84070084B512D195A18FF06");   // 5
        QCOMPARE(f.exchange("574100080102030405060708", 2), "15");   // 6
        QCOMPARE(f.sim.memory().mid(0x4100, 8), QByteArray(8, char(0xFF)));
        QVERIFY(f.sim.writtenAddresses().isEmpty());
        QCOMPARE(f.exchange("574100080102030405060708", 2), "06");   // 7

        f.sim.resetCounters();
        faults = {};
        faults.closeAfterFrames = 2;
        f.sim.setFaults(faults);
        QSignalSpy closed(&f.sim, &SimRadio::lineClosed);
        QVERIFY(f.handshake());
        QElapsedTimer t;
        t.start();
        QCOMPARE(f.exchange("52407008", 24, 2000), "");
        QVERIFY(t.elapsed() < 1000);
        QCOMPARE(closed.size(), 1);
        QVERIFY(!f.sim.isRunning());
        QVERIFY(f.link.failed());
    }

    void garbageAndBrokenFramesAreSkipped()
    {
        SimFixture f;
        QVERIFY(f.up());
        f.sim.setResyncTimeout(50);
        // Garbage, then a handshake in the same burst.
        QCOMPARE(f.exchange("FF00020254415652494E", 14), "0674617672696E");
        // A write cut short is dropped once the line stays quiet ...
        QCOMPARE(f.exchange("574080080102", 2, 150), "");
        // ... so the next frame is not taken for the rest of its data.
        QCOMPARE(f.exchange("52408008", 24), "57408008FFFFFFFFFFFFFFFF");
        // A read with a wrong length byte is no frame.
        QCOMPARE(f.exchange("52408009", 24, 150), "");
    }

    void pacingTakesTheByteTimes()
    {
        SimFixture f;
        QVERIFY(f.up());
        f.sim.setPacing(true);
        QVERIFY(f.handshake());
        int pieces = 0;
        connect(&f.link, &SerialLink::received, &f.link, [&] { ++pieces; });
        QElapsedTimer t;
        t.start();
        // 4 bytes out and 12 back at 10 bits per byte and 9600 baud: 16.7 ms.
        QCOMPARE(f.exchange("52407008", 24, 500), "574070084B512D195A18FF06");
        const qint64 ms = t.elapsed();
        QVERIFY2(ms >= 16, qPrintable(QString::number(ms)));
        // Bytes leave one by one; a busy machine may still collect several at once.
        QVERIFY2(pieces >= 2, qPrintable(QString::number(pieces)));
    }

    void imageFiles()
    {
        QTemporaryDir dir;
        SimRadio sim;
        sim.memory()[0x4100] = char(0x42);
        const QString path = dir.filePath("radio.img");
        QString error;
        QVERIFY(sim.saveImage(path, &error));
        SimRadio other;
        QVERIFY(other.loadImage(path, &error));
        QCOMPARE(other.memory(), sim.memory());

        QFile broken(dir.filePath("broken.img"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(QByteArray(1000, 'x'));
        broken.close();
        QVERIFY(!other.loadImage(broken.fileName(), &error));
        QVERIFY(error.contains("not a radio image"));
        QCOMPARE(other.memory(), sim.memory());
        QVERIFY(!other.loadImage(dir.filePath("missing.img"), &error));
        QVERIFY(!sim.saveImage(dir.filePath("no/such/dir/radio.img"), &error));
    }

    void programRunsUntilTerminated()
    {
        QTemporaryDir dir;
        const QString image = dir.filePath("radio.img");
        const QString link = dir.filePath("com1");
        QProcess sim;
        sim.start(binDir() + "/rq300-sim", {"--image", image, "--link", link, "--echo"});
        QVERIFY(sim.waitForStarted(5000));
        QVERIFY(sim.waitForReadyRead(5000));
        const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
        QVERIFY(device.startsWith("/dev/"));
        QCOMPARE(QFileInfo(link).symLinkTarget(), device);
        QCOMPARE(QFileInfo(image).size(), 65536);

        SerialLink serial;
        serial.setDevice(link);
        serial.setSinglePort(true);
        QVERIFY(serial.open());
        auto exchange = [&](const QString& frame, int digits) {
            serial.clearReceive();
            serial.sendHex(frame);
            serial.aSysDelay(digits, 1000);
            return serial.receiveText();
        };
        QCOMPARE(exchange("0254415652494E", 14), "0674617672696E");
        QCOMPARE(exchange("574090084142434445464748", 2), "06");
        serial.close();
        // Every change is saved at once.
        QFile f(image);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().mid(0x4090, 8), QByteArray("ABCDEFGH"));
        f.close();

        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());

        // The next start finds the radio as it was left.
        QProcess again;
        again.start(binDir() + "/rq300-sim", {"--image", image});
        QVERIFY(again.waitForReadyRead(5000));
        serial.setDevice(QString::fromLocal8Bit(again.readLine()).trimmed());
        serial.setSinglePort(false);
        QVERIFY(serial.open());
        QCOMPARE(exchange("0254415652494E", 14), "0674617672696E");
        QCOMPARE(exchange("52409008", 24), "574090084142434445464748");
        serial.close();
        again.terminate();
        QVERIFY(again.waitForFinished(5000));
        QCOMPARE(again.exitCode(), 0);
    }

    void programRefusesADamagedImage()
    {
        QTemporaryDir dir;
        const QString image = dir.filePath("radio.img");
        QFile f(image);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not an image");
        f.close();
        QProcess sim;
        sim.start(binDir() + "/rq300-sim", {"--image", image});
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitCode(), 1);
        QVERIFY(sim.readAllStandardError().contains("not a radio image"));
        QCOMPARE(QFileInfo(image).size(), 12);
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "test_sim.moc"
