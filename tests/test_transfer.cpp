#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include "files/fleetreport.h"
#include "radio/codecs.h"
#include "radio/fleet.h"
#include "radio/transferengine.h"
#include "radiofixture.h"

using Step = TransferEngine::Outcome::Step;

namespace {
// The radio fixture with the engine naming records in English.
struct EnglishFixture : RadioFixture {
    EnglishFixture() { state.texts = englishTexts(); }
};

const QByteArray HandshakeFrame = QByteArray("\x02TAVRIN");
const QByteArray EndFrame = QByteArray("\x64\x6F");

// The records a read and a write carry: options, timer and the channels.
QByteArray programmed(RadioFixture& f)
{
    return f.mem(0x4000, 0x18) + f.mem(0x4080, 32 * 16);
}
}

class TestTransfer : public QObject {
    Q_OBJECT
private slots:
    void fullReadThenWriteBack()
    {
        EnglishFixture f;
        SimRadio::addSampleChannels(f.sim.memory());
        f.put(0x400D, "C5");   // top key long press holds code 12, not in the list
        const QByteArray original = programmed(f);
        TransferEngine engine(f.link, f.doc, f.identity, f.state);
        QSignalSpy progress(&engine, &TransferEngine::progress);
        QSignalSpy band(&engine, &TransferEngine::bandSelected);

        // The interface keeps running while the engine waits.
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(20);

        const TransferEngine::Outcome read = engine.read();
        QVERIFY2(read.ok(), qPrintable(why(read)));
        QVERIFY(ticks >= 5);
        QCOMPARE(progress.last(), (QList<QVariant>{180, 180}));
        QCOMPARE(band.size(), 1);
        QCOMPARE(f.doc.cell(1, 1), QString("446.00625"));
        QCOMPARE(f.doc.cell(1, 4), QString("67.0"));
        QCOMPARE(f.doc.cell(2, 2), QString("D023N"));
        QCOMPARE(f.doc.cell(2, 5), f.doc.words().low);
        QVERIFY(f.doc.cell(4, 1).isEmpty());
        QCOMPARE(f.doc.choice(Key::Squelch), 3);
        QCOMPARE(f.doc.choice(Key::TopLong), -1);
        QCOMPARE(f.doc.text(Key::EndDtmf), QString("123"));
        QCOMPARE(f.identity.admin, QString("Tavrin"));
        QCOMPARE(f.identity.user, QString("SIM"));
        QCOMPARE(f.identity.saleDate, QString("2024-02-01  10:00:00"));
        QCOMPARE(f.identity.factoryDate, QString("2024-01-15  09:30:00"));
        QCOMPARE(f.identity.model, QString("MZ-209"));
        QCOMPARE(f.identity.band, QString("400-470MHz"));
        QTRY_VERIFY(f.sim.receivedFrames().last() == EndFrame);   // sent; a read does not wait for it

        // Wipe what the radio holds, then write the document back: the radio
        // gets the very bytes it had, the unlisted key code included.
        f.sim.memory().replace(0x4000, 0x18, QByteArray(0x18, '\0'));
        f.sim.memory().replace(0x4080, 32 * 16, QByteArray(32 * 16, '\0'));
        f.sim.resetCounters();
        const TransferEngine::Outcome write = engine.write();
        QVERIFY2(write.ok(), qPrintable(why(write)));
        QCOMPARE(programmed(f).toHex(), original.toHex());
        // Nothing else applied, so the first write is channel 1's first half.
        const QList<int> written = f.sim.writtenAddresses();
        QCOMPARE(written.size(), 64 + 3);
        QCOMPARE(written.first(), 0x4080);
        QCOMPARE(written.mid(64), (QList<int>{0x4000, 0x4008, 0x4010}));

        // And back: a second read gives the same document.
        const DocumentData first = f.doc.data();
        f.doc.clearChannel(1);
        QVERIFY(engine.read().ok());
        QVERIFY(f.doc.data() == first);
    }

    void handshakeAttempts()
    {
        {
            EnglishFixture f;
            f.sim.setFaults({.ignoreHandshakes = 2});
            TransferEngine engine(f.link, f.doc, f.identity, f.state);
            QVERIFY(engine.info().ok());
            const QList<QByteArray> frames = f.sim.receivedFrames();
            QCOMPARE(frames.mid(0, 3), QList<QByteArray>(3, HandshakeFrame));
            QCOMPARE(frames.at(3).left(1), QByteArray("R"));
        }
        {
            // One byte more than the reply is a failed attempt; the next one counts.
            EnglishFixture f;
            f.sim.setFaults({.ignoreHandshakes = 1});
            f.answerFrameWith(Frame::Handshake, QByteArray("\x06tavrin\x00", 8));
            TransferEngine engine(f.link, f.doc, f.identity, f.state);
            QVERIFY(engine.info().ok());
            QCOMPARE(f.sim.receivedFrames().mid(0, 2), QList<QByteArray>(2, HandshakeFrame));
        }
        {
            EnglishFixture f;
            f.sim.setFaults({.ignoreHandshakes = 100});
            TransferEngine engine(f.link, f.doc, f.identity, f.state);
            const DocumentData before = f.doc.data();
            const TransferEngine::Outcome out = engine.read();
            QCOMPARE(out.failedStep, Step::Handshake);
            QCOMPARE(why(out), QString("No reply to the handshake"));
            QVERIFY(!out.passwordError);
            QTRY_COMPARE(f.sim.receivedFrames(),
                     (QList<QByteArray>{HandshakeFrame, HandshakeFrame, HandshakeFrame, HandshakeFrame, EndFrame}));
            QVERIFY(f.doc.data() == before);
            QCOMPARE(f.identity.admin, RadioIdentity::Unfilled);
        }
    }

    void echoingCable()
    {
        // Single-port mode off with a cable that echoes: the echo comes before
        // the reply, so no handshake reply is exact, and the message says
        // what that means and what to tick.
        EnglishFixture f;
        f.sim.setEcho(true);
        TransferEngine engine(f.link, f.doc, f.identity, f.state);
        TransferEngine::Outcome out = engine.read();
        QCOMPARE(out.failedStep, Step::Handshake);
        QVERIFY2(why(out).startsWith("Our own handshake frame came back ("), qPrintable(why(out)));
        QVERIFY2(why(out).contains("the cable seems to echo every byte. Tick \"Single Port\""), qPrintable(why(out)));

        // Single-port mode on: the echo is dropped and the whole read works.
        f.state.singlePort = true;
        SimRadio::addSampleChannels(f.sim.memory());
        out = engine.read();
        QVERIFY2(out.ok(), qPrintable(why(out)));
        QCOMPARE(f.doc.cell(3, 1), QString("462.56250"));
        f.sim.resetCounters();
        out = engine.write();
        QVERIFY2(out.ok(), qPrintable(why(out)));
        const QList<QByteArray> frames = f.sim.receivedFrames();
        const auto firstWrite = std::find_if(frames.begin(), frames.end(), [](const QByteArray& b) { return b.startsWith('W'); });
        QVERIFY(firstWrite != frames.end());

        // A reply the radio does not give leaves only our own echo on the
        // line: that is no answer of the radio's.
        f.sim.resetCounters();
        f.sim.setFaults({.noReplyToFrame = int(firstWrite - frames.begin()) + 1});
        out = engine.write();
        QCOMPARE(out.failedStep, Step::Records);
        QVERIFY2(why(out).startsWith("No acknowledgement for "), qPrintable(why(out)));
        QVERIFY2(!why(out).contains("answered"), qPrintable(why(out)));
        f.sim.resetCounters();
        f.sim.setFaults({.ignoreHandshakes = 10});
        out = engine.read();
        QCOMPARE(why(out), QString("No reply to the handshake"));
    }

    void passwords()
    {
        struct Case { const char* record; const char* typed; bool ok; bool passwordError; };
        const Case cases[] = {
            {"FFFFFFFFFFFFFFF0", "", true, false},        // no password set
            {"FFFFFFFFFFFFFFF0", "123", false, true},
            {"123456FFFFFFFFF6", "123456", true, false},
            {"123456FFFFFFFFF6", "12345", false, true},
            {"FFFFFFFFFFFFFFFF", "", false, false},       // erased: a plain failure
        };
        for (const Case& c : cases) {
            EnglishFixture f;
            f.put(Codec::PasswordAddr, c.record);
            f.doc.setText(Key::Password, c.typed);
            TransferEngine engine(f.link, f.doc, f.identity, f.state);
            const TransferEngine::Outcome out = engine.read();
            QCOMPARE(out.ok(), c.ok);
            QCOMPARE(out.passwordError, c.passwordError);
            if (!c.ok) {
                QCOMPARE(out.failedStep, Step::Password);
                QTRY_COMPARE(f.sim.receivedFrames().size(), 7);   // handshake, 5 reads, end
            }
        }
    }

    void bandsOnRead()
    {
        EnglishFixture f;
        f.doc.setChoice(Key::Model, -1);
        TransferEngine engine(f.link, f.doc, f.identity, f.state);
        QSignalSpy band(&engine, &TransferEngine::bandSelected);
        QSignalSpy model(&engine, &TransferEngine::modelSelected);

        f.put(Codec::BandAddr, "4300400043004000");
        QVERIFY(engine.read().ok());
        QCOMPARE(f.doc.choice(Key::Band), 1);
        QCOMPARE(band.takeFirst().at(0).toString(), QString("400-430MHz"));
        QCOMPARE(f.doc.choice(Key::Model), 0);
        QCOMPARE(model.size(), 1);

        // A band outside the list fails and changes nothing of the document.
        f.put(Codec::BandAddr, "3900350039003500");
        const DocumentData before = f.doc.data();
        const TransferEngine::Outcome out = engine.read();
        QCOMPARE(out.failedStep, Step::Band);
        QCOMPARE(why(out), QString("Band 350-390MHz of the radio is not in the band list"));
        QVERIFY(f.doc.data() == before);
        QCOMPARE(f.doc.bandList().size(), 2);
        QCOMPARE(band.size(), 0);

        // An unset band reads without touching the selection.
        f.put(Codec::BandAddr, "FFFFFFFFFFFFFFFF");
        QVERIFY(engine.read().ok());
        QCOMPARE(f.doc.choice(Key::Band), 1);
    }

    void modelMismatch()
    {
        EnglishFixture f;
        f.put(Codec::ModelAddr, "4B512D195A18FF07");
        TransferEngine engine(f.link, f.doc, f.identity, f.state);
        const TransferEngine::Outcome out = engine.write();
        QCOMPARE(out.failedStep, Step::Model);
        QCOMPARE(out.radioModel, QString("4B512D195A18FF07"));
        QVERIFY(f.sim.writtenAddresses().isEmpty());
    }

    void writeWithAnotherBandSelected()
    {
        EnglishFixture f;
        f.doc.setChoice(Key::Band, 1);
        TransferEngine engine(f.link, f.doc, f.identity, f.state);
        const TransferEngine::Outcome out = engine.write();
        QCOMPARE(out.failedStep, Step::Band);
        QCOMPARE(why(out), QString("Band 400-470MHz of the radio is not the selected band 400-430MHz"));
        QVERIFY(f.sim.writtenAddresses().isEmpty());
        QTRY_COMPARE(f.sim.receivedFrames().last(), EndFrame);
    }

    void missingAckAtChannelFive()
    {
        EnglishFixture f;
        f.sim.setFaults({.noReplyToFrame = Frame::writtenSecondHalf(5)});
        TransferEngine engine(f.link, f.doc, f.identity, f.state);
        QSignalSpy progress(&engine, &TransferEngine::progress);
        const TransferEngine::Outcome out = engine.write();
        QCOMPARE(out.failedStep, Step::Records);
        QCOMPARE(why(out), QString("No acknowledgement for channel 5 second half"));
        QCOMPARE(progress.last(), (QList<QVariant>{20, 180}));
        const QList<int> written = f.sim.writtenAddresses();
        QCOMPARE(written.size(), 9);
        QCOMPARE(written.last(), 0x40C0);
        QVERIFY(!written.contains(0x4000) && !written.contains(0x4010));
        QCOMPARE(f.sim.receivedFrames().last(), EndFrame);
    }

    void strayBytesNeverPassForAnAcknowledgement_data()
    {
        QTest::addColumn<int>("strayAfter");
        QTest::addColumn<int>("delayUs");
        QTest::addColumn<int>("refused");
        QTest::addColumn<int>("silent");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("unsent");
        // A stray 06 some time after the radio acknowledged channel 1 first
        // half, while it refuses or ignores the second half: the stray must
        // never stand in for the second half's acknowledgement.
        const int first = Frame::writtenFirstHalf(1), second = Frame::writtenSecondHalf(1);
        for (int us : {0, 500, 2000, 5000, 8000, 12000}) {
            const QByteArray name = QByteArray::number(us) + " us";
            QTest::newRow("refused, stray " + name) << first << us << second << -1 << "channel 1 second half" << 0x4088;
            QTest::newRow("silent, stray " + name) << first << us << -1 << second << "channel 1 second half" << 0x4088;
        }
        // After the last record the end frame's wait catches it.
        QTest::newRow("stray after the last record") << int(Frame::WrittenTimer) << 3000 << -1 << -1
                                                     << "The radio sent 06 after acknowledging the timer and DTMF record"
                                                     << -1;
        QTest::newRow("refused last record")
            << -1 << 0 << int(Frame::WrittenTimer) << -1
            << "No acknowledgement for the timer and DTMF record (the radio answered 15)" << 0x4010;
    }
    void strayBytesNeverPassForAnAcknowledgement()
    {
        // Bytes at the real pace of the line, as a real radio's would come.
        QFETCH(int, strayAfter);
        QFETCH(int, delayUs);
        QFETCH(int, refused);
        QFETCH(int, silent);
        QFETCH(QString, reason);
        QFETCH(int, unsent);
        EnglishFixture f;
        f.sim.setPacing(true);
        f.sim.setFaults({.noReplyToFrame = silent, .refuseWriteFrame = refused,
                         .strayAfterReplyToFrame = strayAfter, .strayDelayUs = delayUs});
        TransferEngine engine(f.link, f.doc, f.identity, f.state);
        const TransferEngine::Outcome out = engine.write();
        QCOMPARE(out.failedStep, Step::Records);
        QVERIFY2(why(out).contains(reason), qPrintable(why(out)));
        // What the engine counts as written the radio holds; the record it
        // names is not among them.
        for (int address : out.written.addresses())
            QVERIFY(f.sim.writtenAddresses().contains(address));
        QVERIFY(!out.written.contains(unsent));
        QCOMPARE(f.sim.receivedFrames().last(), EndFrame);
    }

    void frequenciesOutsideTheBandOrRasterAreRefusedBeforeAnyFrame_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("frequency");
        QTest::addColumn<QString>("reason");
        QTest::newRow("below the band") << 1 << "144.00000"
                                        << "Channel 3, receive frequency: 144.00000 MHz is outside the band 400-470MHz";
        QTest::newRow("above the band") << 3 << "500.00000"
                                        << "Channel 3, transmit frequency: 500.00000 MHz is outside the band 400-470MHz";
        QTest::newRow("off the raster")
            << 1 << "446.00100" << "Channel 3, receive frequency: 446.00100 MHz is not on the 5 kHz or 6.25 kHz raster";
    }
    void frequenciesOutsideTheBandOrRasterAreRefusedBeforeAnyFrame()
    {
        QFETCH(int, column);
        QFETCH(QString, frequency);
        QFETCH(QString, reason);
        EnglishFixture f;
        SimRadio::addSampleChannels(f.sim.memory());
        TransferEngine engine(f.link, f.doc, f.identity, f.state);
        QVERIFY(engine.read().ok());
        // The band edges and both rasters are good.
        f.doc.setCell(1, 1, "400.00000");
        f.doc.setCell(1, 3, "470.00000");
        f.doc.setCell(2, 1, "446.00625");
        f.doc.setCell(2, 3, "446.00500");
        f.sim.resetCounters();
        QVERIFY2(engine.write().ok(), "frequencies within the band and on the raster");
        f.doc.setCell(3, column, frequency);
        f.sim.resetCounters();
        const TransferEngine::Outcome out = engine.write();
        QCOMPARE(out.failedStep, Step::Encode);
        QCOMPARE(why(out), reason);
        QCOMPARE(f.sim.framesReceived(), 0);
    }

    void identityWrites()
    {
        EnglishFixture f;
        f.put(Codec::AdminAddr, "FFFFFFFFFFFFFFFF");   // erased: differs from "Tavrin"
        f.identity.writeUser = true;                   // with an empty name
        f.state.stampFactoryDate = true;
        f.doc.setFlag(Key::WriteNewPassword, true);
        f.doc.setText(Key::NewPassword, "2468");
        TransferEngine engine(f.link, f.doc, f.identity, f.state);
        const TransferEngine::Outcome out = engine.write();
        QVERIFY2(out.ok(), qPrintable(why(out)));
        QCOMPARE(f.identity.admin, QString(7, QChar(0xFF)));
        QCOMPARE(f.sim.writtenAddresses().mid(0, 6),
                 (QList<int>{0x4048, 0x4060, 0x4068, 0x4040, 0x4050, 0x4080}));
        QCOMPARE(f.mem(0x4048, 8).toHex().toUpper(), QByteArray("FFFFFFFFFFFFFF00"));
        QCOMPARE(f.mem(0x4068, 8).toHex().toUpper(), QByteArray("54617672696EFF06"));
        QCOMPARE(f.mem(0x4050, 8).toHex().toUpper(), QByteArray("2468FFFFFFFFFFF4"));
        const QString today = QDate::currentDate().toString("yyyyMMdd");
        QCOMPARE(QString::fromLatin1(f.mem(0x4060, 4).toHex()), today);
        QCOMPARE(QString::fromLatin1(f.mem(0x4040, 4).toHex()), today);
    }

    void readFailingPartWayLeavesDocument()
    {
        EnglishFixture f;
        SimRadio::addSampleChannels(f.sim.memory());
        f.doc.setCell(7, 1, "401.00000");
        f.doc.setChoice(Key::Squelch, 8);
        const DocumentData before = f.doc.data();
        f.sim.setFaults({.noReplyToFrame = Frame::channelFirstHalf(10)});
        TransferEngine engine(f.link, f.doc, f.identity, f.state);
        const TransferEngine::Outcome out = engine.read();
        QCOMPARE(out.failedStep, Step::Records);
        QCOMPARE(why(out), QString("No reply to the read of channel 10 first half"));
        QVERIFY(f.doc.data() == before);
        // The identity fields show what was read.
        QCOMPARE(f.identity.user, QString("SIM"));
    }

    void repliesMustFitTheRequest()
    {
        // A reply for another address (late) or a short one is a failed
        // exchange, never data for this record.
        const int frame = Frame::channelFirstHalf(3);
        struct Case { QByteArray reply; const char* reason; };
        const Case cases[] = {
            {QByteArray::fromHex("57409808AABBCCDDEEFF0011"),
             "The reply to the read of channel 3 first half is for address 4098"},
            {QByteArray::fromHex("5740A0080102"),
             "The reply to the read of channel 3 first half is incomplete (6 of 12 bytes)"},
            {QByteArray::fromHex("5740A0080102030405060708FF"),
             "A wrong reply to the read of channel 3 first half (5740A0080102030405060708FF)"},
        };
        for (const Case& c : cases) {
            EnglishFixture f;
            const DocumentData before = f.doc.data();
            f.sim.setFaults({.noReplyToFrame = frame});
            f.answerFrameWith(frame, c.reply);
            TransferEngine engine(f.link, f.doc, f.identity, f.state);
            const TransferEngine::Outcome out = engine.read();
            QCOMPARE(why(out), QString(c.reason));
            QVERIFY(f.doc.data() == before);
        }
        // A damaged first byte.
        EnglishFixture f;
        f.sim.setFaults({.corruptReplyToFrame = 3});
        TransferEngine engine(f.link, f.doc, f.identity, f.state);
        const TransferEngine::Outcome out = engine.info();
        QCOMPARE(out.failedStep, Step::Identity);
        QVERIFY2(why(out).startsWith("A wrong reply to the read of the administrator record (A8"), qPrintable(why(out)));
    }

    void cablePulled()
    {
        EnglishFixture f;
        f.sim.setFaults({.closeAfterFrames = Frame::channelFirstHalf(4)});
        const DocumentData before = f.doc.data();
        TransferEngine engine(f.link, f.doc, f.identity, f.state);
        QElapsedTimer clock;
        clock.start();
        TransferEngine::Outcome out = engine.read();
        QCOMPARE(out.failedStep, Step::Port);
        QVERIFY2(why(out).startsWith("Port error: "), qPrintable(why(out)));
        QVERIFY(clock.elapsed() < 3000);
        QVERIFY(f.doc.data() == before);
        QVERIFY(!engine.isRunning());
        QVERIFY(!f.state.radioBusy());
        // With the device gone the next transfer cannot open the port.
        out = engine.write();
        QCOMPARE(out.failedStep, Step::Port);
        QVERIFY2(why(out).startsWith("Port error: "), qPrintable(why(out)));
    }

    void writeRefusedBeforeAnyFrame()
    {
        EnglishFixture f;
        f.doc.setCell(5, 1, "446.00625");
        f.doc.setCell(5, 2, f.doc.words().off);
        f.doc.setCell(5, 3, "446.00625");
        f.doc.setCell(5, 4, "D9");
        for (int c = 5; c <= 11; ++c)
            f.doc.setCell(5, c, c == 5 ? f.doc.words().high : c == 6 ? f.doc.words().wide : f.doc.words().off);
        TransferEngine engine(f.link, f.doc, f.identity, f.state);
        TransferEngine::Outcome out = engine.write();
        QCOMPARE(out.failedStep, Step::Encode);
        QCOMPARE(why(out), QString("channel 5, transmit tone: \"D9\" is not a tone"));
        QCOMPARE(f.sim.framesReceived(), 0);

        f.doc.setCell(5, 4, "D023N");
        f.doc.setFlag(Key::WriteNewPassword, true);
        f.doc.setText(Key::NewPassword, "12#");
        out = engine.write();
        QCOMPARE(out.failedStep, Step::Encode);
        QVERIFY(why(out).startsWith("new password: "));
        f.doc.setText(Key::NewPassword, "12");
        f.doc.setChoice(Key::DtmfTime, -1);
        out = engine.write();
        QCOMPARE(why(out), QString("DTMF duration: nothing is selected"));
        QCOMPARE(f.sim.framesReceived(), 0);
    }

    void infoLeavesDocumentAlone()
    {
        EnglishFixture f;
        f.put(Codec::PasswordAddr, "123456FFFFFFFFF6");
        f.put(Codec::BandAddr, "3900350039003500");
        const DocumentData before = f.doc.data();
        TransferEngine engine(f.link, f.doc, f.identity, f.state);
        const TransferEngine::Outcome out = engine.info();
        QVERIFY2(out.ok(), qPrintable(why(out)));
        QCOMPARE(out.radioBand, QString("350-390MHz"));
        QCOMPARE(out.radioModel, Codec::ModelId);
        QCOMPARE(f.identity.admin, QString("Tavrin"));
        QVERIFY(f.doc.data() == before);
        QTRY_COMPARE(f.sim.receivedFrames().size(), 1 + 6 + 1);
    }

    // The names a batch gives its radios, and the ones it refuses before
    // any radio is touched.
    void userNamesOfABatch_data()
    {
        QTest::addColumn<int>("mode");   // 0 unchanged, 1 fixed, 2 counter
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("first");
        QTest::addColumn<QStringList>("names");   // the first three radios'
        QTest::addColumn<QString>("refused");
        QTest::newRow("counter") << 2 << "FL-###" << 1 << QStringList{"FL-001", "FL-002", "FL-003"} << "";
        QTest::newRow("wider than its run") << 2 << "T-##" << 99 << QStringList{"T-99", "T-100", "T-101"} << "";
        QTest::newRow("the last run counts") << 2 << "A#B#" << 8 << QStringList{"A#B8", "A#B9", "A#B10"} << "";
        QTest::newRow("fixed") << 1 << "SHOP" << 1 << QStringList{"SHOP", "SHOP", "SHOP"} << "";
        QTest::newRow("unchanged") << 0 << "" << 1 << QStringList{"", "", ""} << "";
        QTest::newRow("no counter") << 2 << "FLEET" << 1 << QStringList{} << "the pattern \"FLEET\" has no # for the counter";
        QTest::newRow("too long") << 2 << "FLEET-##" << 1 << QStringList{}
                                  << "The user name \"FLEET-01\" cannot be stored in a radio: at most 7 characters";
        QTest::newRow("not storable") << 1 << "车队" << 1 << QStringList{}
                                      << "The user name \"车队\" cannot be stored in a radio: ";
    }
    void userNamesOfABatch()
    {
        QFETCH(int, mode);
        QFETCH(QString, text);
        QFETCH(int, first);
        QFETCH(QStringList, names);
        QFETCH(QString, refused);
        const UserPattern p = mode == 0 ? UserPattern::unchanged()
                              : mode == 1 ? UserPattern::fixed(text)
                                          : UserPattern::counter(text, first);
        const QString why = p.check().text(englishTexts());
        if (!refused.isEmpty()) {
            QVERIFY2(why.startsWith(refused), qPrintable(why));
            return;
        }
        QCOMPARE(why, QString());
        FleetNaming naming(p);
        QStringList given;
        for (int n = 0; n < 3; ++n)
            given << naming.next();
        QCOMPARE(given, names);
    }

    // A reason over several lines, with commas and quotes, stays one field
    // of one record.
    void reportLinesQuoteWhatNeedsIt()
    {
        FleetReport::Line line;
        line.when = QDateTime(QDate(2026, 12, 9), QTime(14, 3, 5));
        line.port = "COM3";
        line.user = "T-01";
        line.result = "failed: channel 2, \"first\" half\nchannel 3";
        line.verify = "differs";
        QCOMPARE(FleetReport::format(line),
                 "2026-12-09 14:03:05,COM3,T-01,\"failed: channel 2, \"\"first\"\" half\nchannel 3\",differs,");
        QTemporaryDir dir;
        const QString path = dir.filePath("r.csv");
        QVERIFY(FleetReport::append(path, line, englishTexts()).ok());
        QVERIFY(FleetReport::append(path, line, englishTexts()).ok());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), (FleetReport::header(englishTexts()) + "\r\n" + FleetReport::format(line) + "\r\n"
                                  + FleetReport::format(line) + "\r\n")
                                     .toUtf8());
    }
};

QTEST_GUILESS_MAIN(TestTransfer)
#include "test_transfer.moc"
