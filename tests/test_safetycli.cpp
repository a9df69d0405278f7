// rq300-cli diff and backups, from a directory of its own, with a backup
// folder of the test's own.
#include <QtTest>
#include <memory>
#include <vector>

#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "files/alignmentfile.h"
#include "files/settingsfile.h"
#include "simprocesses.h"
#include "document/alignmentvalues.h"
#include "base/packstrings.h"
#include "channelcells.h"

class TestSafetyCli : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString& n) const { return m_dir.filePath(n); }
    QString bin(const QString& n) const { return QDir(qEnvironmentVariable("RQ300_BIN_DIR")).filePath(n); }

    struct Run { int exit = -1; QString out, err; };
    Run cli(const QStringList& args, const QString& locale = QStringLiteral("C.UTF-8"))
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", path(m_data));
        env.insert("LC_ALL", locale);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(m_dir.path());
        p.start(bin("rq300-cli"), args);
        Run r;
        if (!p.waitForFinished(60000))
            return r;
        r.exit = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    // A simulated radio on its own image; stopped with the test function.
    QString sim(const QString& image, const QStringList& extra = {})
    {
        return m_sims.start(qEnvironmentVariable("RQ300_BIN_DIR"), path(image), extra);
    }
    void stopSims() { m_sims.stop(); }
    SimProcesses m_sims;
    QString m_data = QStringLiteral("data");   // XDG_DATA_HOME of the next runs
    QByteArray readAll(const QString& name)
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void save(const QString& name, const DocumentData& d)
    {
        QVERIFY(SettingsFile::save(path(name), d, PackStrings::builtIn(), u'.').ok());
    }
    DocumentData sample()
    {
        SettingsDocument doc;
        DocumentData d = doc.data();
        d.setBands({"400-470MHz"});
        d.setChoice(Key::Band, 0);
        setCellOf(d, 5, 1, "446.00625");
        setCellOf(d, 5, 2, doc.words().off);
        setCellOf(d, 5, 3, "446.00625");
        setCellOf(d, 5, 4, "67.0");
        setCellOf(d, 5, 5, doc.words().high);
        setCellOf(d, 5, 6, doc.words().wide);
        for (int c : {7, 9})
            setCellOf(d, 5, c, doc.words().on);
        for (int c : {8, 10, 11})
            setCellOf(d, 5, c, doc.words().off);
        return d;
    }

private slots:
    void cleanup()
    {
        stopSims();
        m_data = QStringLiteral("data");
    }

    void writesKeepWhatTheFileLacksAndBackupsPutBackEveryRecord()
    {
        m_data = QStringLiteral("restore-data");
        // A radio holding what no file of older programs holds (volume,
        // lease time), a key code no list names and bits no setting shows.
        sim("odd.img", {"--sample-channels"});
        stopSims();
        QByteArray img = readAll("odd.img");
        QCOMPARE(img.size(), 65536);
        img[0x4001] = char(0x5A);                          // an option byte nobody reads
        img[0x4003] = char(0x03);                          // volume 3
        img[0x400D] = char((img[0x400D] & 0x0F) | 0xC0);   // top key, long press: code 12
        img[0x4010] = char(0x01);                          // lease 2 d 3 h 40 min
        img[0x4011] = char(0x36);
        img[0x4080 + 12] = char(0x00);                     // channel 1, byte 12
        QFile f(path("odd.img"));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(img) == img.size());
        f.close();
        auto records = [](const QByteArray& memory) { return memory.mid(0x4000, 0x18) + memory.mid(0x4080, 32 * 16); };
        const QByteArray original = records(img);

        // A read keeps the radio's settings and its records in the backup folder.
        QString radio = sim("odd.img");
        QCOMPARE(cli({"read", "--port", radio, "--output", "r.kq19"}).exit, 0);
        const QDir backups(path(m_data + "/rq300/backups"));
        const QStringList kept = backups.entryList({"*.kq19"});
        QCOMPARE(kept.size(), 1);
        const QString backup = backups.filePath(kept.first());
        QVERIFY(QFile::exists(backup.left(backup.size() - 4) + "rqimg"));

        // A file without volume, alarm and lease lines leaves the radio's own.
        save("old.kq19", sample());
        QVERIFY(!readAll("old.kq19").contains("VOLUME"));
        Run r = cli({"write", "--port", radio, "--input", "old.kq19", "--no-backup"});
        QVERIFY2(r.exit == 0, qPrintable(r.err));
        stopSims();
        const QByteArray written = readAll("odd.img");
        QVERIFY(records(written) != original);
        QCOMPARE(written.mid(0x4003, 1).toHex(), "03");
        QCOMPARE(written.mid(0x4010, 2).toHex(), "0136");
        QCOMPARE(written.mid(0x4001, 1).toHex(), "5a");

        // The backup written back puts every record back as it was.
        radio = sim("odd.img");
        r = cli({"write", "--port", radio, "--input", backup});
        QVERIFY2(r.exit == 0, qPrintable(r.err));
        stopSims();
        QCOMPARE(records(readAll("odd.img")).toHex(), original.toHex());
    }

    void writeThatTheRadioDoesNotKeepFailsTheVerify()
    {
        m_data = QStringLiteral("verify-data");
        save("w.kq19", sample());
        // Channel 5's first half lies at 0x4080 + 4 * 16.
        const QString radio = sim("forget.img", {"--forget-writes-at", "40C0"});
        QVERIFY(!radio.isEmpty());
        Run r = cli({"write", "--port", radio, "--input", "w.kq19", "--band", "400-470MHz"});
        QCOMPARE(r.exit, 1);
        QVERIFY2(!r.out.contains("written"), qPrintable(r.out));
        // One line per record, both byte strings, with real line breaks.
        QCOMPARE(r.err, "rq300-cli: write " + radio + ": The radio does not hold what was written:\n"
                        "  channel 5 first half: written 44 60 06 25 44 60 06 25, read back FF FF FF FF FF FF FF FF\n");
        // Without the check the same write passes for done.
        r = cli({"write", "--port", radio, "--input", "w.kq19", "--band", "400-470MHz", "--no-verify"});
        QCOMPARE(r.exit, 0);
        // A radio that keeps what it is sent passes the check, and its state
        // before each write was kept.
        const QString good = sim("good.img");
        r = cli({"write", "--port", good, "--input", "w.kq19", "--band", "400-470MHz"});
        QVERIFY2(r.exit == 0, qPrintable(r.err));
        r = cli({"backups"});
        QCOMPARE(r.out.count('\n'), 3);
    }

    void readWhoseBackupCannotBeSavedStillReads()
    {
        // The backup folder's parent is a file: no backup can be made.
        m_data = QStringLiteral("blocked");
        QFile blocker(path(m_data));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString radio = sim("r2.img");
        const Run r = cli({"read", "--port", radio, "--output", "r2.kq19", "--band", "400-470MHz"});
        QFile::remove(path(m_data));
        QVERIFY2(r.exit == 0, qPrintable(r.err));
        QVERIFY(QFileInfo(path("r2.kq19")).size() > 0);
        QVERIFY2(r.err.startsWith("rq300-cli: warning: ") && r.err.contains("backup"), qPrintable(r.err));
        QCOMPARE(r.err.count('\n'), 1);
    }

    void calibrationReadOnlyReads()
    {
        const QString radio = sim("cal.img");
        Run r = cli({"calibration-read", "--port", radio, "--output", "a.m17", "--band", "400-470MHz"});
        QVERIFY2(r.exit == 0, qPrintable(r.err));
        QCOMPARE(r.out, radio + ": calibration values read into a.m17\n");
        AlignmentValues first;
        QVERIFY(AlignmentFile::load(path("a.m17"), first).ok());
        stopSims();
        // Nothing was written into the radio; a radio with other values
        // gives another file.
        QByteArray image = readAll("cal.img");
        image[AlignmentValues::FrequencyRecord] = char(quint8(image[AlignmentValues::FrequencyRecord]) ^ 0x11);
        QFile f(path("cal.img"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(image);
        f.close();
        const QString again = sim("cal.img");
        r = cli({"calibration-read", "--port", again, "--output", "b.m17", "--band", "400-470MHz"});
        QVERIFY2(r.exit == 0, qPrintable(r.err));
        stopSims();
        QCOMPARE(readAll("cal.img"), image);
        QVERIFY(readAll("a.m17") != readAll("b.m17"));
        AlignmentValues second;
        QVERIFY(AlignmentFile::load(path("b.m17"), second).ok());

        // A cable that echoes: without --single-port the message says so and
        // what to give; with it the values are read.
        const QString echoing = sim("cal.img", {"--echo"});
        r = cli({"calibration-read", "--port", echoing, "--output", "c.m17", "--band", "400-470MHz", "--lang", "en"});
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.err.startsWith(QStringLiteral("rq300-cli: calibration-read %1: Our own handshake frame came back (").arg(echoing))
                     && r.err.contains("(rq300-cli: --single-port)"),
                 qPrintable(r.err));
        QVERIFY(!QFile::exists(path("c.m17")));
        r = cli({"calibration-read", "--port", echoing, "--output", "c.m17", "--band", "400-470MHz", "--single-port"});
        QVERIFY2(r.exit == 0, qPrintable(r.err));
        QCOMPARE(readAll("c.m17"), readAll("b.m17"));
    }

    void diffOfFiles()
    {
        const DocumentData a = sample();
        DocumentData b = a;
        setCellOf(b, 5, 4, "D023N");
        save("a.kq19", a);
        save("a2.kq19", a);
        save("b.kq19", b);
        Run r = cli({"diff", "a.kq19", "a2.kq19", "--band", "400-470MHz"});
        QCOMPARE(r.exit, 0);
        QCOMPARE(r.out, QString());
        r = cli({"diff", "a.kq19", "b.kq19", "--band", "400-470MHz"});
        QCOMPARE(r.exit, 1);
        QCOMPARE(r.out, "channel 05 transmit tone: 67.0 -> D023N\n");
        QCOMPARE(cli({"diff", "a.kq19"}).exit, 2);
        QCOMPARE(cli({"diff", "a.kq19", "missing.kq19"}).exit, 2);

        // The same file saved under a locale with a decimal comma.
        DocumentData comma = a;
        setCellOf(comma, 5, 1, "446,00625");
        setCellOf(comma, 5, 3, "446,00625");
        setCellOf(comma, 5, 4, "67,0");
        save("comma.kq19", comma);
        r = cli({"diff", "a.kq19", "comma.kq19", "--band", "400-470MHz"});
        QCOMPARE(r.exit, 0);
        QCOMPARE(r.out, QString());
        setCellOf(comma, 5, 3, "446,01250");
        save("comma.kq19", comma);
        r = cli({"diff", "comma.kq19", "a.kq19", "--band", "400-470MHz"});
        QCOMPARE(r.exit, 1);
        QCOMPARE(r.out, "channel 05 transmit frequency: 446.01250 -> 446.00625\n");
        r = cli({"diff", "comma.kq19", "a.kq19", "--band", "400-470MHz"}, "de_DE.UTF-8");
        QCOMPARE(r.out, "channel 05 transmit frequency: 446,01250 -> 446,00625\n");

        // A damaged later line names the file and the line.
        QFile f(path("a.kq19"));
        QVERIFY(f.open(QIODevice::Append));
        f.write("LEASE 1 2\r\n");
        f.close();
        r = cli({"diff", "a.kq19", "a2.kq19", "--band", "400-470MHz", "--lang", "en"});
        QCOMPARE(r.exit, 2);
        QVERIFY2(r.err.contains("a.kq19 is damaged at line 63: lease minutes takes a whole number from 0 to 50 in steps of 10, not \"\""),
                 qPrintable(r.err));
    }

    // What a radio was read into compares equal with it, whatever the
    // locale of the read; a file of an older program without volume, alarm
    // and lease time compares on the rest.
    void fileReadFromARadioEqualsIt()
    {
        const QString radio = sim("same.img");
        QVERIFY(!radio.isEmpty());
        // Away from the start-up values, which an older file must not claim.
        DocumentData written = sample();
        written.setChoice(Key::Volume, 3);
        written.setFlag(Key::Alarm, true);
        written.setNumber(Key::LeaseDays, 2);
        save("w.kq19", written);
        Run r = cli({"write", "--port", radio, "--input", "w.kq19", "--band", "400-470MHz", "--no-backup"});
        QVERIFY2(r.exit == 0, qPrintable(r.err));
        r = cli({"read", "--port", radio, "--output", "same.kq19", "--band", "400-470MHz", "--no-backup"}, "de_DE.UTF-8");
        QVERIFY2(r.exit == 0, qPrintable(r.err));
        const QByteArray file = readAll("same.kq19");
        QVERIFY2(file.contains("| 446,00625 | ") && file.contains("\r\nVOLUME ") && file.contains("\r\nLEASE "),
                 file.constData());
        r = cli({"diff", "same.kq19", radio, "--band", "400-470MHz", "--no-backup"});
        QVERIFY2(r.exit == 0, qPrintable(r.out + r.err));
        QCOMPARE(r.out, QString());

        DocumentData older = sample();
        for (const QString& key : Key::NotInOlderFiles)
            older.setNotCarried(key);
        save("older.kq19", older);
        r = cli({"diff", "older.kq19", radio, "--band", "400-470MHz", "--no-backup"});
        QVERIFY2(r.exit == 0, qPrintable(r.out + r.err));
    }

    void diffOfFileAndRadioKeepsABackup()
    {
        QProcess sim;
        sim.start(bin("rq300-sim"), {"--image", path("r.img")});
        QVERIFY(sim.waitForStarted(5000));
        while (!sim.canReadLine())
            QVERIFY(sim.waitForReadyRead(5000));
        const QString device = QString::fromUtf8(sim.readLine()).trimmed();
        save("a.kq19", sample());
        Run r = cli({"diff", "a.kq19", device, "--band", "400-470MHz"});
        QVERIFY2(r.exit == 1, qPrintable(r.err));   // the fresh radio holds no channel 5
        QVERIFY2(r.out.contains("channel 05: 446.00625 -> (empty)\n"), qPrintable(r.out + r.err));
        r = cli({"backups"});
        QCOMPARE(r.exit, 0);
        QCOMPARE(r.out.count('\n'), 1);
        QVERIFY2(r.out.contains("400-470MHz") && r.out.contains(path("data/rq300/backups/")), qPrintable(r.out));
        sim.terminate();
        sim.waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(TestSafetyCli)
#include "test_safetycli.moc"
