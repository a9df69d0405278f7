// The communication log: its lines, and that the programming password and
// the user name never reach it, also through a single-wire cable's echo.
#include <QtTest>

#include "radio/codecs.h"
#include "radio/commlog.h"
#include "radio/transferengine.h"
#include "radiofixture.h"
#include "document/alignmentvalues.h"
#include "service/serviceops.h"
#include "base/textids.h"

namespace {

struct Line {
    qint64 ms;
    QString device, step, dir, bytes;
};

QList<Line> entries(const QString& text)
{
    QList<Line> out;
    static const QRegularExpression re(QStringLiteral("^ *(\\d+)  (\\S+)  (\\S+)  (TX|RX)  (.*)$"));
    for (const QString& l : text.split(u'\n', Qt::SkipEmptyParts)) {
        if (l.startsWith(u'#'))
            continue;
        const QRegularExpressionMatch m = re.match(l);
        if (!m.hasMatch()) {
            qWarning("not a log line: %s", qPrintable(l));
            return {};
        }
        out << Line{m.captured(1).toLongLong(), m.captured(2), m.captured(3), m.captured(4), m.captured(5)};
    }
    return out;
}

QString spaced(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

}

class TestCommLog : public QObject {
    Q_OBJECT
private slots:
    void maskingOfTheSecretRecords_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("afterSecretRead");
        QTest::addColumn<QString>("shown");
        QTest::newRow("password write") << QByteArray::fromHex("574050081234FFFFFFFFFFF4") << false
                                        << "57 40 50 08 ** ** ** ** ** ** ** **";
        QTest::newRow("user reply") << QByteArray::fromHex("574048084A4F45FFFFFFFF03") << false
                                    << "57 40 48 08 ** ** ** ** ** ** ** **";
        QTest::newRow("echo, then the acknowledgement") << QByteArray::fromHex("574048084A4F45FFFFFFFF0306") << false
                                                        << "57 40 48 08 ** ** ** ** ** ** ** ** 06";
        QTest::newRow("echo of the read, then the reply")
            << QByteArray::fromHex("52405008574050081234FFFFFFFFFFF4") << true
            << "52 40 50 08 57 40 50 08 ** ** ** ** ** ** ** **";
        QTest::newRow("a garbled reply to a password read") << QByteArray::fromHex("5740510812345F") << true
                                                            << "57 40 51 08 ** ** **";
        QTest::newRow("a cut reply") << QByteArray::fromHex("574050081234") << false << "57 40 50 08 ** **";
        QTest::newRow("other records are shown") << QByteArray::fromHex("574070084B512D195A18FF06") << false
                                                 << "57 40 70 08 4B 51 2D 19 5A 18 FF 06";
        QTest::newRow("the read frame itself") << QByteArray::fromHex("52405008") << false << "52 40 50 08";
    }
    void maskingOfTheSecretRecords()
    {
        QFETCH(QByteArray, frame);
        QFETCH(bool, afterSecretRead);
        QFETCH(QString, shown);
        QCOMPARE(CommLog::shown(frame, afterSecretRead), shown);
    }

    // Received bytes arriving one at a time make one line per reply, with
    // the time of its first byte and the step named when it was sent.
    void linesGatherRepliesUnderTheirStep()
    {
        QTemporaryDir dir;
        CommLog log;
        log.start(dir.filePath("log.txt"), "test");
        log.setStep("/dev/a", "handshake");
        log.sent("/dev/a", QByteArray("\x02TAVRIN"));
        for (char c : QByteArray("\x06tavrin"))
            if (c)
                log.received("/dev/a", QByteArray(1, c));
        log.setStep("/dev/a", "identity");
        log.sent("/dev/a", QByteArray::fromHex("52405008"));
        QTest::qWait(5);
        log.received("/dev/a", QByteArray::fromHex("5740500812"));
        log.received("/dev/a", QByteArray::fromHex("34FFFFFFFFFFF4"));
        log.received("/dev/b", QByteArray::fromHex("06"));
        QVERIFY(log.write().ok());

        QFile f(dir.filePath("log.txt"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QVERIFY(text.startsWith("# RQ-300 communication log\n# started "));
        QVERIFY(text.contains(" by test\n"));
        const QList<Line> l = entries(text);
        QCOMPARE(l.size(), 5);
        QCOMPARE(l[0].step, "handshake");
        QCOMPARE(l[0].dir, "TX");
        QCOMPARE(l[0].bytes, "02 54 41 56 52 49 4E");
        QCOMPARE(l[1].dir, "RX");
        QCOMPARE(l[1].bytes, "06 74 61 76 72 69 6E");
        QCOMPARE(l[2].step, "identity");
        QCOMPARE(l[3].bytes, "57 40 50 08 ** ** ** ** ** ** ** **");
        QVERIFY(l[3].ms >= l[2].ms + 5);
        QCOMPARE(l[4].device, "/dev/b");
        QCOMPARE(l[4].step, "-");
        for (int i = 1; i < l.size(); ++i)
            QVERIFY(l[i].ms >= l[i - 1].ms);
    }

    void aLogThatCannotBeWrittenSaysWhere()
    {
        QTemporaryDir dir;
        CommLog log;
        const QString path = dir.filePath("missing/folder/log.txt");
        log.start(path, "test");
        const Result r = log.write();
        QCOMPARE(r.textId, int(TextId::CommLogWriteFailed));
        QCOMPARE(r.args.value(0), path);
    }

    // A whole write through a single-wire cable: the password typed, the new
    // user name and the radio's own user name appear nowhere, and every
    // frame is there under the engine's steps.
    void aWholeTransferThroughAnEchoingCable()
    {
        RadioFixture f;
        f.sim.setEcho(true);
        f.state.singlePort = true;
        f.put(Codec::UserAddr, "4A4F45FFFFFFFF03");   // "JOE"
        f.put(Codec::PasswordAddr, Codec::encodePassword("987654").bytes.toHex());
        f.doc.setText(Key::Password, "987654");
        f.identity.writeUser = true;
        f.identity.userToWrite = "ZED";
        QTemporaryDir dir;
        CommLog log;
        log.start(dir.filePath("log.txt"), "test");
        f.link.setLog(&log);
        TransferEngine engine(f.link, f.doc, f.identity, f.state);
        const TransferEngine::Outcome out = engine.write();
        QVERIFY2(out.ok(), qPrintable(QString::number(out.reason.textId) + out.reason.args.join(" ")));
        QCOMPARE(Codec::decodeName(f.mem(Codec::UserAddr, 8)), QString("ZED"));

        const QString text = log.text();
        for (const QByteArray& secret : {QByteArray("JOE"), QByteArray("ZED"), QByteArray::fromHex("987654")})
            QVERIFY2(!text.contains(spaced(secret)), qPrintable(spaced(secret)));
        const QList<Line> l = entries(text);
        QVERIFY(l.size() > 60);
        QCOMPARE(l.first().step, "handshake");
        QCOMPARE(l.first().bytes, "02 54 41 56 52 49 4E");
        QCOMPARE(l.last().step, "end");
        QCOMPARE(l.last().dir, "RX");   // the echo of the end frame
        QStringList steps;
        for (const Line& e : l)
            if (steps.isEmpty() || steps.last() != e.step)
                steps << e.step;
        QCOMPARE(steps, QStringList({"handshake", "identity", "password", "model", "band", "records", "end"}));
        int tx = 0;
        for (const Line& e : l)
            tx += e.dir == "TX";
        QCOMPARE(tx, f.sim.receivedFrames().size());
    }

    // The alignment window's read talks through the same log, under its own steps.
    void anAlignmentReadIsLoggedByStep()
    {
        RadioFixture f;
        QTemporaryDir dir;
        CommLog log;
        log.start(dir.filePath("log.txt"), "test");
        f.link.setLog(&log);
        AlignmentValues values;
        Service::ReadResult result;
        const Service::Outcome out = Service::readAlignment(f.link, f.sim.devicePath(), {"400-470MHz"}, values, result);
        QVERIFY2(out.ok(), qPrintable(out.reason.text(PackStrings::builtIn())));
        QStringList steps;
        for (const Line& e : entries(log.text()))
            if (steps.isEmpty() || steps.last() != e.step)
                steps << e.step;
        QCOMPARE(steps, QStringList({"handshake", "records", "end"}));
    }
};

QTEST_GUILESS_MAIN(TestCommLog)
#include "test_commlog.moc"
