// Backups, verify after write and the document differences, against the
// simulated radio, with a backup folder of the test's own.
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

#include "document/docdiff.h"
#include "files/backups.h"
#include "files/settingsfile.h"
#include "radio/codecs.h"
#include "radio/safetransfer.h"
#include "radiofixture.h"
#include "base/textids.h"
#include "channelcells.h"

namespace {
// Difference lines as the English pack words them.
QStringList english(const QList<Result>& lines)
{
    QStringList out;
    for (const Result& l : lines)
        out << l.text(englishTexts());
    return out;
}
}

namespace {
SafeTransfer::Options opts(bool backup, bool verify)
{
    SafeTransfer::Options o;
    o.backup = backup;
    o.verify = verify;
    return o;
}
}

class TestSafety : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_home;
    QString folder() const { return m_home.filePath("rq300/backups"); }

    static void sampleChannel(SettingsDocument& doc, int row, const QString& txTone)
    {
        doc.setCell(row, 1, "446.00625");
        doc.setCell(row, 2, doc.words().off);
        doc.setCell(row, 3, "446.00625");
        doc.setCell(row, 4, txTone);
        doc.setCell(row, 5, doc.words().high);
        doc.setCell(row, 6, doc.words().wide);
        for (int col : {7, 9})
            doc.setCell(row, col, doc.words().on);
        for (int col : {8, 10, 11})
            doc.setCell(row, col, doc.words().off);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_DATA_HOME", m_home.path().toUtf8());
        QCOMPARE(Backups::folder(), folder());
    }
    void cleanup() { QDir(folder()).removeRecursively(); }

    void readKeepsABackupThatLoadsBack()
    {
        RadioFixture f;
        SafeTransfer t(f.link, f.doc, f.identity, f.state);
        const SafeTransfer::Outcome out = t.read({});
        QVERIFY2(out.ok(), qPrintable(out.transfer.reason.text(PackStrings::builtIn())));
        QVERIFY(out.safety.ok());
        QVERIFY(QFileInfo(out.backupPath).isFile());
        QCOMPARE(QFileInfo(out.backupPath).dir().absolutePath(), QDir(folder()).absolutePath());
        QVERIFY(QFileInfo(out.backupPath).fileName().contains(Backups::safeName(f.identity.user)));
        const SettingsFile::ReadResult back = SettingsFile::read(out.backupPath, f.doc.data(), f.doc.words());
        QVERIFY(back.ok());
        QCOMPARE(english(DocDiff::differences(f.doc.data(), back.data)), QStringList());
        QCOMPARE(Backups::list(folder()).size(), 1);
    }

    void writeBacksUpFirstAndVerifies()
    {
        RadioFixture f;
        // What the radio held before the write.
        SafeTransfer t(f.link, f.doc, f.identity, f.state);
        QVERIFY(t.read(opts(false, true)).ok());
        const DocumentData before = f.doc.data();
        sampleChannel(f.doc, 5, "67.0");
        f.doc.setChoice(Key::Squelch, 5);
        f.sim.resetCounters();
        const SafeTransfer::Outcome out = t.write({});
        QVERIFY2(out.ok(), qPrintable(out.transfer.reason.text(PackStrings::builtIn()) + english(out.differences).join('\n')));
        // The backup holds the radio as it was, not the document written.
        const SettingsFile::ReadResult backup = SettingsFile::read(out.backupPath, f.doc.data(), f.doc.words());
        QVERIFY(backup.ok());
        QVERIFY(DocDiff::channelDifferences(before, backup.data, 5).isEmpty());
        QVERIFY(!DocDiff::channelDifferences(f.doc.data(), backup.data, 5).isEmpty());
        // Three handshakes: the backup read, the write, the read back.
        int handshakes = 0;
        for (const QByteArray& fr : f.sim.receivedFrames())
            handshakes += fr.startsWith(char(0x02));
        QCOMPARE(handshakes, 3);
    }

    void radioThatKeepsItsOldBytesFailsTheVerify_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("forgotten");
        QTest::addColumn<QString>("line");
        QTest::newRow("a channel's tones") << "tones" << Codec::channelAddress(5) + 8
                                           << "channel 5 second half: written F0 00 12 9E FF F6 FF FC, read back ";
        // Old bytes that decode to the very settings written.
        QTest::newRow("an option byte no setting shows") << "unused option byte" << Codec::OptionAddr
                                                         << "the option block first half: written 20 5A ";
        // A deleted channel whose second half keeps its tones still reads
        // as an empty channel.
        QTest::newRow("the second half of a deleted channel") << "delete" << Codec::channelAddress(2) + 8
                                                              << "channel 2 second half: written FF FF FF FF FF FF FF FF, read back ";
    }
    void radioThatKeepsItsOldBytesFailsTheVerify()
    {
        QFETCH(QString, change);
        QFETCH(int, forgotten);
        QFETCH(QString, line);
        RadioFixture f;
        f.state.texts = englishTexts();
        SimRadio::addSampleChannels(f.sim.memory());
        SafeTransfer t(f.link, f.doc, f.identity, f.state);
        QVERIFY(t.read(opts(false, true)).ok());
        QVERIFY(f.doc.data().channelExists(2));
        if (change == "tones") {
            sampleChannel(f.doc, 5, "67.0");
        } else if (change == "unused option byte") {
            // The document's records (as from another radio) hold 5A where
            // this radio holds 00; no setting reads that byte.
            DocumentData d = f.doc.data();
            RadioImage image = d.image();
            QByteArray first = image.record(Codec::OptionAddr);
            first[1] = char(0x5A);
            image.set(Codec::OptionAddr, first);
            d.setImage(image);
            f.doc.replace(d);
            f.put(Codec::OptionAddr + 1, "00");
        } else {
            f.doc.clearChannel(2);
        }
        f.sim.setFaults({.forgetWritesAt = forgotten});
        const SafeTransfer::Outcome out = t.write(opts(false, true));
        QCOMPARE(out.stage, SafeTransfer::Outcome::Stage::Verify);
        QVERIFY(out.transfer.ok());   // every frame was acknowledged
        const QStringList lines = english(out.differences);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().startsWith(line), qPrintable(lines.first()));
        // One line per record in the message too, with real line breaks.
        QVERIFY(out.safety.text(englishTexts()).contains(u'\n' + lines.first()));
        // Without verify the same radio passes: the check is what caught it.
        QVERIFY(t.write(opts(false, false)).ok());
    }

    void backupThatCannotBeSavedStopsTheWriteBeforeItsFirstFrame()
    {
        RadioFixture f;
        SafeTransfer t(f.link, f.doc, f.identity, f.state);
        QVERIFY(t.read(opts(false, true)).ok());
        sampleChannel(f.doc, 2, "D023N");
        f.sim.resetCounters();
        signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 200;   // a settings file is some 2 KiB
        setrlimit(RLIMIT_FSIZE, &small);
        const SafeTransfer::Outcome out = t.write({});
        setrlimit(RLIMIT_FSIZE, &old);
        QCOMPARE(out.stage, SafeTransfer::Outcome::Stage::BackupSave);
        QCOMPARE(out.safety.textId, int(TextId::BackupSaveFailed));
        QVERIFY(f.sim.writtenAddresses().isEmpty());
        QCOMPARE(Backups::list(folder()).size(), 0);   // no cut file left behind
        QVERIFY(!out.safety.text(PackStrings::builtIn()).isEmpty());
    }

    void documentThatCannotBeWrittenSendsNothing()
    {
        RadioFixture f;
        f.state.texts = englishTexts();
        sampleChannel(f.doc, 3, "D9");               // not a tone
        sampleChannel(f.doc, 4, "67.0");
        f.doc.setCell(4, 1, "500.00000");            // outside the band
        f.doc.setText(Key::EndDtmf, "1E");           // not a DTMF digit
        SafeTransfer t(f.link, f.doc, f.identity, f.state);
        const SafeTransfer::Outcome out = t.write({});
        QCOMPARE(out.transfer.failedStep, TransferEngine::Outcome::Step::Encode);
        // Every value at once, and before the backup read: the radio heard nothing.
        const QString says = out.transfer.reason.text(englishTexts());
        QVERIFY2(says.startsWith("3 values cannot be written:\n"), qPrintable(says));
        for (const char* value : {"\"D9\" is not a tone", "500.00000 MHz is outside the band", "\"E\" is not a DTMF digit"})
            QVERIFY2(says.contains(QLatin1String(value)), qPrintable(says));
        QCOMPARE(f.sim.framesReceived(), 0);
        QVERIFY(!QDir(folder()).exists() || Backups::list(folder()).isEmpty());
    }

    void failedBackupReadStopsTheWrite()
    {
        RadioFixture f;
        SimRadio::Faults faults;
        faults.ignoreHandshakes = 4;
        f.sim.setFaults(faults);
        SafeTransfer t(f.link, f.doc, f.identity, f.state);
        const SafeTransfer::Outcome out = t.write({});
        QCOMPARE(out.stage, SafeTransfer::Outcome::Stage::BackupRead);
        QCOMPARE(out.transfer.failedStep, TransferEngine::Outcome::Step::Handshake);
        QVERIFY(f.sim.writtenAddresses().isEmpty());
    }

    void retentionKeepsAYearOrTheLast500()
    {
        const QString dir = folder();
        QVERIFY(QDir().mkpath(dir));
        const QDateTime now(QDate(2026, 12, 8), QTime(12, 0));
        auto make = [&](const QDateTime& when, const QString& user) {
            QFile file(QDir(dir).filePath(Backups::fileName(when, user, "kq19")));
            QVERIFY(file.open(QIODevice::WriteOnly));
        };
        // 600 backups two days apart: the newest 183 are within the year.
        for (int i = 0; i < 600; ++i)
            make(now.addDays(-2 * i), QStringLiteral("U%1").arg(i));
        QFile other(QDir(dir).filePath("notes.txt"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        const QStringList removed = Backups::prune(dir, now);
        QCOMPARE(removed.size(), 100);
        const QList<Backups::Entry> left = Backups::list(dir);
        QCOMPARE(left.size(), 500);
        QCOMPARE(left.first().user, "U0");   // newest first
        QCOMPARE(left.last().user, "U499");
        QVERIFY(QFile::exists(other.fileName()));

        // 700 within the year: all kept, more than 500.
        QDir(dir).removeRecursively();
        QVERIFY(QDir().mkpath(dir));
        for (int i = 0; i < 700; ++i)
            make(now.addSecs(-3600 * i), QStringLiteral("H%1").arg(i));
        QVERIFY(Backups::prune(dir, now).isEmpty());
        QCOMPARE(Backups::list(dir).size(), 700);
    }

    void namesAreSafeAndUnique()
    {
        QCOMPARE(Backups::safeName("FLEET"), "FLEET");
        QCOMPARE(Backups::safeName("a/b c"), "a_b_c");
        QCOMPARE(Backups::safeName(QString(7, QChar(0xFF))), "radio");
        QCOMPARE(Backups::fileName(QDateTime(QDate(2026, 12, 8), QTime(14, 30, 5)), "FLEET", "kq19"),
                 "2026-12-08_143005_FLEET.kq19");
        DocumentData d;
        QString a, b;
        const QDateTime when(QDate(2026, 12, 8), QTime(14, 30, 5));
        QVERIFY(Backups::saveSettings(d, PackStrings::builtIn(), "FLEET", &a, folder(), when).ok());
        QVERIFY(Backups::saveSettings(d, PackStrings::builtIn(), "FLEET", &b, folder(), when).ok());
        QVERIFY(a != b);
        QCOMPARE(QFileInfo(b).fileName(), "2026-12-08_143005_FLEET-2.kq19");

        // Newest first within the second too: by the time each was written,
        // and of one radio's names "-2" after none when the times are equal.
        QString c;
        QVERIFY(Backups::saveSettings(d, PackStrings::builtIn(), "ABC", &c, folder(), when).ok());
        const QDateTime written = QDateTime::currentDateTime().addSecs(-60);
        for (const auto& [file, time] : {std::pair{a, written}, std::pair{b, written}, std::pair{c, written.addMSecs(10)}}) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(time, QFileDevice::FileModificationTime));
        }
        QStringList order;
        for (const Backups::Entry& e : Backups::list(folder()))
            order << e.path;
        QCOMPARE(order, (QStringList{c, b, a}));
    }

    void differencesNameChannelAndSetting()
    {
        SettingsDocument a;
        sampleChannel(a, 5, "67.0");
        // As a read leaves them: volume, alarm and lease time known.
        a.setChoice(Key::Volume, 7);
        a.setFlag(Key::Alarm, false);
        a.setNumber(Key::LeaseHours, 1);
        DocumentData b = a.data();
        setCellOf(b, 5, 4, "D023N");
        b.setChoice(Key::Squelch, a.data().choice(Key::Squelch) + 2);
        const QStringList lines = english(DocDiff::differences(a.data(), b));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], "channel 05 transmit tone: 67.0 -> D023N");
        QVERIFY2(lines[1].startsWith("squelch level: "), qPrintable(lines[1]));
        QVERIFY(DocDiff::differences(a.data(), a.data()).isEmpty());
        DocumentData c = a.data();
        c.clearChannel(5);
        QCOMPARE(english(DocDiff::differences(a.data(), c)), QStringList{"channel 05: 446.00625 -> (empty)"});
        // In the other languages the names and "(empty)" are theirs.
        QCOMPARE(DocDiff::differences(a.data(), b).first().text(PackStrings::builtIn()),
                 QStringLiteral("信道05 发射亚音:67.0 -> D023N"));
        QCOMPARE(DocDiff::differences(a.data(), c).first().text(PackStrings::builtIn()),
                 QStringLiteral("信道05:446.00625 -> (空)"));

        // Values, not texts: a file saved under a locale with a decimal comma
        // holds the same frequencies and tones.
        DocumentData comma = a.data();
        setCellOf(comma, 5, 1, "446,00625");
        setCellOf(comma, 5, 3, "446,00625");
        setCellOf(comma, 5, 4, "67,0");
        QVERIFY(DocDiff::differences(a.data(), comma).isEmpty());
        QVERIFY(DocDiff::differences(comma, a.data(), u',').isEmpty());
        setCellOf(comma, 5, 3, "446,01250");
        setCellOf(comma, 7, 1, "446,1");
        // Values shown with the separator asked for; text that names no
        // frequency as it stands.
        QCOMPARE(english(DocDiff::differences(a.data(), comma, u'.')),
                 QStringList({"channel 05 transmit frequency: 446.00625 -> 446.01250", "channel 07: (empty) -> 446,1"}));
        QCOMPARE(english(DocDiff::differences(a.data(), comma, u',')),
                 QStringList({"channel 05 transmit frequency: 446,00625 -> 446,01250", "channel 07: (empty) -> 446,1"}));
        // A cell that is no number is compared as it is.
        comma = a.data();
        setCellOf(comma, 5, 4, "D02,3N");
        QCOMPARE(english(DocDiff::differences(a.data(), comma, u',')), QStringList{"channel 05 transmit tone: 67,0 -> D02,3N"});

        // A value one side does not carry (an older file) is no difference.
        DocumentData older = a.data();
        older.setChoice(Key::Volume, 2);
        older.setFlag(Key::Alarm, !a.data().flag(Key::Alarm));
        older.setNumber(Key::LeaseDays, 9);
        for (const QString& key : Key::NotInOlderFiles)
            older.setNotCarried(key);
        QVERIFY(DocDiff::differences(a.data(), older).isEmpty());
        QVERIFY(DocDiff::differences(older, a.data()).isEmpty());
        older.setNumber(Key::LeaseMinutes, a.data().number(Key::LeaseMinutes));   // known again, with its 9 days
        QCOMPARE(english(DocDiff::differences(a.data(), older)),
                 QStringList{QStringLiteral("lease days: %1 -> 9").arg(a.data().number(Key::LeaseDays))});
    }
};

QTEST_GUILESS_MAIN(TestSafety)
#include "test_safety.moc"
