#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include "radiofixture.h"
#include "files/alignmentfile.h"
#include "document/alignmentvalues.h"
#include "base/textids.h"
#include "service/serviceops.h"

using Status = Service::Outcome::Status;
using Verdict = Service::CalibrationResult::Verdict;

namespace {
const QByteArray ProgHello = QByteArray("\x02TAVRIN");
const QByteArray ServiceHello = QByteArray("\x02\x06TAVRIN");
const QByteArray Ready = QByteArray::fromHex("0600");
const QByteArray End = QByteArray::fromHex("64016F");

QByteArray writeFrame(int address, const char* hex)
{
    return QByteArray::fromHex(QByteArray("57") + QByteArray::number(address, 16) + "08" + hex);
}

int countOf(const QList<QByteArray>& frames, const QByteArray& frame)
{
    return int(std::count(frames.begin(), frames.end(), frame));
}

Service::AdjustInput adjustInput(const AlignmentValues& values = AlignmentValues())
{
    return {QStringLiteral("4B512D195A18FF06"), QStringLiteral("400-470MHz"), values};
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}
}

class TestAlignment : public QObject {
    Q_OBJECT
private slots:
    void recordsCarryTheValuesWhereTheRadioKeepsThem()
    {
        AlignmentValues v;
        const char* texts[][2] = {{"Edit413", "123"}, {"Edit401", "200"}, {"Edit402", "2"},
                                  {"Edit403", "3"},   {"Edit404", "63"},  {"Edit407", "7"},
                                  {"Edit408", "8"},   {"Edit409", "9"},   {"Edit410", "10"},
                                  {"Edit411", "255"}, {"Edit405", "43"},  {"Edit406", "17"},
                                  {"Edit412", "6"},   {"Edit201", "a5"},  {"Edit202", "0D"}};
        for (const auto& t : texts)
            v.setText(QLatin1String(t[0]), QLatin1String(t[1]));
        QVERIFY(v.checkAll().ok());
        QCOMPARE(v.record(0x4020).toHex(' '), QByteArray("04 ce c8 ff 02 03 ff 3f"));
        QCOMPARE(v.record(0x4028).toHex(' '), QByteArray("00 07 08 ff 09 0a ff ff"));
        QCOMPARE(v.record(0x4030).toHex(' '), QByteArray("2b 11 06 ff a5 0d ff ff"));

        // Read back, the trim loses what the tenths held; hex comes back in upper case.
        AlignmentValues back;
        QVERIFY(back.setFromRecord(0x4020, v.record(0x4020)));
        QVERIFY(back.setFromRecord(0x4028, v.record(0x4028)));
        QVERIFY(back.setFromRecord(0x4030, v.record(0x4030)));
        QCOMPARE(back.text("Edit413"), QString("123"));
        QCOMPARE(back.text("Edit411"), QString("255"));
        QCOMPARE(back.text("Edit201"), QString("A5"));
        QVERIFY(back.setFromRecord(0x4020, QByteArray::fromHex("000F00FF0000FF00")));
        QCOMPARE(back.text("Edit413"), QString("1"));
        QVERIFY(back.setFromRecord(0x4020, QByteArray::fromHex("001900FF0000FF00")));
        QCOMPARE(back.text("Edit413"), QString("2"));
        QVERIFY(!back.setFromRecord(0x4020, QByteArray::fromHex("0019")));
        QVERIFY(!back.setFromRecord(0x4038, QByteArray(8, '\0')));
    }

    void everyValueIsCheckedAndTheFieldNamed_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("trim above its range") << "Edit413" << "4096";
        QTest::newRow("trim not a number") << "Edit413" << "12a";
        QTest::newRow("high power above 200") << "Edit401" << "201";
        QTest::newRow("low power above 63") << "Edit403" << "64";
        QTest::newRow("longer than its box") << "Edit401" << "0063";
        QTest::newRow("five digits in a byte") << "Edit405" << "99999";
        QTest::newRow("empty") << "Edit410" << "";
        QTest::newRow("negative") << "Edit412" << "-1";
        QTest::newRow("hex not hex") << "Edit201" << "G1";
        QTest::newRow("hex one digit") << "Edit202" << "D";
        QTest::newRow("hex three digits") << "Edit202" << "0D0";
    }
    void everyValueIsCheckedAndTheFieldNamed()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        AlignmentValues v;
        QVERIFY(v.checkAll().ok());
        v.setText(field, text);
        const QString problem = v.checkAll().text(englishTexts());
        QVERIFY2(problem.contains(field), qPrintable(problem));
        // No record is built around a value that cannot be coded.
        QVERIFY(v.record(0x4020).isEmpty() || v.record(0x4028).isEmpty() || v.record(0x4030).isEmpty());
    }

    void fileSavesAndLoadsEveryValueAsText()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("radio.m17");
        AlignmentValues v;
        int n = 0;
        for (const AlignmentValues::Field& f : AlignmentValues::fields())
            v.setText(f.name, f.hex ? QStringLiteral("%1").arg(n++ * 7, 2, 16, QChar('0')) : QString::number(n++));
        v.setText("Edit406", "");   // an empty field is saved and loaded as empty
        QVERIFY(AlignmentFile::save(path, v));
        QCOMPARE(readFile(path),
                 QByteArray("RQ-300\r\n\r\n" "5b\r\n" "62\r\n" "1\r\n2\r\n3\r\n4\r\n" "10\r\n" "\r\n"
                            "5\r\n6\r\n7\r\n8\r\n9\r\n" "12\r\n" "0\r\n" "\r\n"));
        AlignmentValues loaded;
        QVERIFY(AlignmentFile::load(path, loaded));
        QVERIFY(loaded == v);
    }

    void shortFileEmptiesMissingFieldsAndBadFileChangesNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("short.m17");
        // The header is not compared; line endings may be bare LF.
        writeFile(path, "whatever\n\n1A\n2B\n100\n101\n");
        AlignmentValues v;
        QVERIFY(AlignmentFile::load(path, v));
        QCOMPARE(v.text("Edit201"), QString("1A"));
        QCOMPARE(v.text("Edit202"), QString("2B"));
        QCOMPARE(v.text("Edit401"), QString("100"));
        QCOMPARE(v.text("Edit402"), QString("101"));
        for (int n = 403; n <= 413; ++n)
            QVERIFY2(v.text(QStringLiteral("Edit%1").arg(n)).isEmpty(), qPrintable(QString::number(n)));

        const AlignmentValues before = v;
        writeFile(path, "RQ-300\r\n\r\n00\r\n0D\r\n1\r\n2\r\n3\r\n300\r\n");
        const QString problem = AlignmentFile::load(path, v).text(PackStrings::builtIn());
        QVERIFY2(problem.contains("Edit404") && problem.contains(QStringLiteral("第 8 行")), qPrintable(problem));
        QVERIFY(v == before);

        writeFile(path, QByteArray("RQ-300\r\n\r\n\0\0\r\n", 14));
        QCOMPARE(AlignmentFile::load(path, v).textId, int(TextId::AlignmentNotFile));
        QCOMPARE(AlignmentFile::load(dir.filePath("missing.m17"), v).textId, int(TextId::FileOpenFailed));
        QVERIFY(v == before);

        // A value no load would take is not saved, and the old file stays.
        v.setText("Edit201", "XYZ");
        const QByteArray old = readFile(path);
        QVERIFY(AlignmentFile::save(path, v).text(PackStrings::builtIn()).contains("Edit201"));
        QCOMPARE(readFile(path), old);
        QCOMPARE(AlignmentFile::save(dir.filePath("no/such/dir/a.m17"), before).textId, int(TextId::FileSaveFailed));
    }

    void readFillsValuesAndFindsTheBand()
    {
        RadioFixture f;
        AlignmentValues v;
        Service::ReadResult r;
        const Service::Outcome out = Service::readAlignment(f.link, f.sim.devicePath(), f.doc.bandList(), v, r);
        QVERIFY2(out.ok(), qPrintable(why(out)));
        QCOMPARE(r.band, QString("400-470MHz"));
        QCOMPARE(r.bandIndex, 0);
        QCOMPARE(v.text("Edit404"), QString("22"));
        QCOMPARE(v.text("Edit411"), QString("36"));
        QCOMPARE(v.text("Edit202"), QString("52"));
        const QList<QByteArray> frames = f.sim.receivedFrames();
        QCOMPARE(frames.first(), ProgHello);
        QCOMPARE(frames.size(), 6);   // handshake, four reads, end
        QCOMPARE(frames.last(), End);
        QVERIFY(!f.link.isOpen());
    }

    void readOfUnsetOrUnlistedBand()
    {
        RadioFixture f;
        f.put(0x4078, "FFFFFFFFFFFFFFFF");
        f.put(0x4020, "04CEFFFF0000FF00");
        AlignmentValues v;
        Service::ReadResult r;
        Service::Outcome out = Service::readAlignment(f.link, f.sim.devicePath(), f.doc.bandList(), v, r);
        QVERIFY2(out.ok(), qPrintable(why(out)));
        QCOMPARE(r.band, QString("FFF-FFFMHz"));
        QCOMPARE(r.bandIndex, -1);
        QCOMPARE(v.text("Edit413"), QString("123"));

        f.put(0x4078, "4800450048004500");
        f.sim.resetCounters();
        v = AlignmentValues();
        out = Service::readAlignment(f.link, f.sim.devicePath(), f.doc.bandList(), v, r);
        QCOMPARE(out.status, Status::Refused);   // the radio answered; its band stops the read
        QVERIFY2(why(out).contains("450-480MHz"), qPrintable(why(out)));
        QCOMPARE(r.bandIndex, -1);
        QVERIFY(v == AlignmentValues());   // nothing read past the band
        QCOMPARE(f.sim.receivedFrames().size(), 3);
        QCOMPARE(f.sim.receivedFrames().last(), End);
    }

    void readAnsweredForAnotherAddressChangesNothing()
    {
        // The read of 0x4020 (frame 3, after the handshake and the band
        // record) is answered with the band record's reply.
        RadioFixture f;
        AlignmentValues v;
        v.setText("Edit413", "123");
        v.setText("Edit401", "150");
        v.setText("Edit402", "2");
        const AlignmentValues before = v;
        f.sim.setFaults({.noReplyToFrame = 3});
        f.answerFrameWith(3, QByteArray::fromHex("574078084700400047004000"));
        Service::ReadResult r;
        const Service::Outcome out = Service::readAlignment(f.link, f.sim.devicePath(), f.doc.bandList(), v, r);
        QCOMPARE(out.status, Status::Failed);
        QCOMPARE(why(out), QString("The reply to the read of 0x4020 is for address 4078"));
        QVERIFY(v == before);
        QCOMPARE(f.sim.receivedFrames().last(), End);

        // A following adjust writes the window's values, not the band's bytes.
        f.sim.setFaults({});
        f.sim.resetCounters();
        const Service::Outcome adjusted = Service::adjust(f.link, f.sim.devicePath(), adjustInput(v));
        QVERIFY2(adjusted.ok(), qPrintable(why(adjusted)));
        QCOMPARE(f.mem(0x4020, 8).toHex(), before.record(0x4020).toHex());
        QVERIFY(f.mem(0x4020, 8).toHex() != QByteArray("4700400047004000"));
    }

    void adjustWritesExactlyTheRecords()
    {
        RadioFixture f;
        f.put(0x4078, "FFFFFFFFFFFFFFFF");
        f.put(0x4070, "FFFFFFFFFFFFFFFF");
        AlignmentValues v;
        v.setText("Edit413", "123");
        v.setText("Edit401", "150");
        const Service::Outcome out = Service::adjust(f.link, f.sim.devicePath(), adjustInput(v));
        QVERIFY2(out.ok(), qPrintable(why(out)));
        const QList<QByteArray> expected = {
            ProgHello,
            writeFrame(0x4070, "4B512D195A18FF06"),
            writeFrame(0x4078, "4700400047004000"),
            writeFrame(0x4020, "04CE96FF0000FF00"),
            writeFrame(0x4028, "000000FF000000FF"),
            writeFrame(0x4030, "2B1106FF000DFFFF"),
            End,
        };
        QCOMPARE(f.sim.receivedFrames(), expected);
        QCOMPARE(f.mem(0x4078, 8).toHex(), QByteArray("4700400047004000"));
        QVERIFY(!f.link.isOpen());
    }

    void adjustRefusedOrStopped()
    {
        RadioFixture f;
        AlignmentValues v;
        v.setText("Edit202", "0x");
        Service::Outcome out = Service::adjust(f.link, f.sim.devicePath(), adjustInput(v));
        QCOMPARE(out.status, Status::Refused);
        QVERIFY(why(out).contains("Edit202"));
        Service::AdjustInput in = adjustInput();
        in.band = "FFF-FFFMHz";
        QVERIFY(!Service::adjust(f.link, f.sim.devicePath(), in).ok());
        QCOMPARE(f.sim.framesReceived(), 0);

        // A write that is not acknowledged stops the adjust there.
        SimRadio::Faults faults;
        faults.refuseWriteFrame = 3;
        f.sim.setFaults(faults);
        out = Service::adjust(f.link, f.sim.devicePath(), adjustInput());
        QCOMPARE(out.status, Status::Failed);
        QVERIFY2(why(out).contains("4078"), qPrintable(why(out)));
        QCOMPARE(f.sim.writtenAddresses(), QList<int>{0x4070});
        QCOMPARE(f.sim.receivedFrames().last(), End);
    }

    void silentRadioFailsAfterThreeHandshakes()
    {
        RadioFixture f;
        SimRadio::Faults faults;
        faults.ignoreHandshakes = 100;
        f.sim.setFaults(faults);
        AlignmentValues v;
        Service::ReadResult r;
        Service::Outcome out = Service::readAlignment(f.link, f.sim.devicePath(), f.doc.bandList(), v, r);
        QCOMPARE(out.status, Status::Failed);
        QCOMPARE(f.sim.receivedFrames(), (QList<QByteArray>{ProgHello, ProgHello, ProgHello, End}));

        f.sim.resetCounters();
        out = Service::aging(f.link, f.sim.devicePath());
        QCOMPARE(out.status, Status::Failed);
        QCOMPARE(f.sim.receivedFrames(), (QList<QByteArray>{ServiceHello, ServiceHello, ServiceHello, End}));
    }

    void agingRepeatsWhileBusy()
    {
        RadioFixture f;
        f.sim.setBusyReplies(3);
        const Service::Outcome out = Service::aging(f.link, f.sim.devicePath());
        QVERIFY2(out.ok(), qPrintable(why(out)));
        const QList<QByteArray> frames = f.sim.receivedFrames();
        const QByteArray aging = QByteArray::fromHex("56084556750045567500");
        QCOMPARE(countOf(frames, ServiceHello), 1);
        QCOMPARE(countOf(frames, Ready), 4);
        QCOMPARE(countOf(frames, aging), 4);
        QCOMPARE(frames.last(), End);
        QCOMPARE(frames.size(), 10);

        // A radio that goes silent after the handshake has not started aging.
        f.sim.setBusyReplies(0);
        f.sim.resetCounters();
        f.sim.setFaults({.noReplyToFrame = 3});
        const Service::Outcome silent = Service::aging(f.link, f.sim.devicePath());
        QCOMPARE(silent.status, Status::Failed);
        QCOMPARE(why(silent), QString("The radio did not answer the aging command (56084556750045567500)"));
        QCOMPARE(f.sim.receivedFrames(), (QList<QByteArray>{ServiceHello, Ready, aging, End}));
    }

    void radioThatStaysBusyFailsCleanly()
    {
        RadioFixture f;
        f.sim.setBusyReplies(1000);
        QElapsedTimer clock;
        clock.start();
        const Service::Outcome out = Service::squelch(f.link, f.sim.devicePath());
        QCOMPARE(out.status, Status::Failed);
        QVERIFY2(why(out).contains("busy"), qPrintable(why(out)));
        QCOMPARE(countOf(f.sim.receivedFrames(), Ready), Service::MaxBusyReplies + 1);
        QCOMPARE(f.sim.receivedFrames().last(), End);
        QVERIFY(clock.elapsed() < 15000);
    }

    void calibrationComputesAndStoresV()
    {
        RadioFixture f;
        f.sim.setBusyReplies(2);
        f.sim.setCalibrationReadings(QByteArray::fromHex("60616162"));   // average 97
        Service::CalibrationResult r;
        Service::Outcome out = Service::calibrate(f.link, f.sim.devicePath(), r);
        QVERIFY2(out.ok(), qPrintable(why(out)));
        QCOMPARE(r.v, 64);
        QCOMPARE(r.verdict, Verdict::Stored);
        QVERIFY(f.sim.receivedFrames().contains(QByteArray::fromHex("570301BE40")));
        QCOMPARE(quint8(f.sim.memory().at(0x01BE)), quint8(64));

        // Average 96 gives 63: below the range, shown and never sent.
        f.sim.resetCounters();
        f.sim.setCalibrationReadings(QByteArray::fromHex("60606060"));
        out = Service::calibrate(f.link, f.sim.devicePath(), r);
        QCOMPARE(out.status, Status::Refused);
        QCOMPARE(why(out), QString("The battery readings give 63, outside 64 to 112: nothing was stored "
                                   "(is the standard voltage applied?)"));
        QCOMPARE(r.v, 63);
        QCOMPARE(r.verdict, Verdict::OutOfRange);
        for (const QByteArray& frame : f.sim.receivedFrames())
            QVERIFY(!frame.startsWith('\x57'));
        QCOMPARE(f.sim.receivedFrames().last(), End);

        // 145 averaged is 112, the top of the range; 146 is over it.
        f.sim.setCalibrationReadings(QByteArray::fromHex("91919191"));
        QVERIFY(Service::calibrate(f.link, f.sim.devicePath(), r).ok());
        QCOMPARE(r.verdict, Verdict::Stored);
        f.sim.setCalibrationReadings(QByteArray::fromHex("92929292"));
        QCOMPARE(Service::calibrate(f.link, f.sim.devicePath(), r).status, Status::Refused);
        QCOMPARE(r.verdict, Verdict::OutOfRange);
    }

    void initialiseAdjustLeavesTheConnectionOpen()
    {
        RadioFixture f;
        f.put(0x4078, "FFFFFFFFFFFFFFFF");
        QVERIFY(f.link.open());
        const Service::Outcome out = Service::initialiseAdjust(f.link, adjustInput());
        QVERIFY2(out.ok(), qPrintable(why(out)));
        QVERIFY(f.link.isOpen());
        QVERIFY(!f.sim.receivedFrames().contains(End));
        QCOMPARE(f.sim.writtenAddresses(), (QList<int>{0x4070, 0x4078, 0x4020, 0x4028, 0x4030}));
        QCOMPARE(f.mem(0x4078, 8).toHex(), QByteArray("4700400047004000"));
    }

    void cablePulledMidAdjust()
    {
        RadioFixture f;
        SimRadio::Faults faults;
        faults.closeAfterFrames = 2;
        f.sim.setFaults(faults);
        QElapsedTimer clock;
        clock.start();
        const Service::Outcome out = Service::adjust(f.link, f.sim.devicePath(), adjustInput());
        QCOMPARE(out.status, Status::Failed);
        QVERIFY2(!why(out).isEmpty(), "a lost line is explained");
        QVERIFY(!f.link.isOpen());
        QVERIFY(clock.elapsed() < 5000);
    }
};

QTEST_GUILESS_MAIN(TestAlignment)
#include "test_alignment.moc"
