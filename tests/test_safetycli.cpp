// rq300-cli diff and backups, from a directory of its own, with a backup
// folder of the test's own.
#include <QtTest>

#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "files/settingsfile.h"
#include "setup/packstrings.h"

class TestSafetyCli : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString& n) const { return m_dir.filePath(n); }
    QString bin(const QString& n) const { return QDir(qEnvironmentVariable("RQ300_BIN_DIR")).filePath(n); }

    struct Run { int exit = -1; QString out, err; };
    Run cli(const QStringList& args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", path("data"));
        env.insert("LC_ALL", "C.UTF-8");
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
    void save(const QString& name, const DocumentData& d)
    {
        QVERIFY(SettingsFile::save(path(name), d, PackStrings::builtIn()).ok());
    }
    DocumentData sample()
    {
        SettingsDocument doc;
        DocumentData d = doc.data();
        d.setOptions(Key::Band, {"400-470MHz"});
        d.setChoice(Key::Band, 0);
        d.setCell(5, 1, "446.00625");
        d.setCell(5, 2, doc.words().off);
        d.setCell(5, 3, "446.00625");
        d.setCell(5, 4, "67.0");
        d.setCell(5, 5, doc.words().high);
        d.setCell(5, 6, doc.words().wide);
        for (int c : {7, 9})
            d.setCell(5, c, doc.words().on);
        for (int c : {8, 10, 11})
            d.setCell(5, c, doc.words().off);
        return d;
    }

private slots:
    void diffOfFiles()
    {
        const DocumentData a = sample();
        DocumentData b = a;
        b.setCell(5, 4, "D023N");
        save("a.kq19", a);
        save("a2.kq19", a);
        save("b.kq19", b);
        Run r = cli({"diff", "a.kq19", "a2.kq19", "--band", "400-470MHz"});
        QCOMPARE(r.exit, 0);
        QCOMPARE(r.out, QString());
        r = cli({"diff", "a.kq19", "b.kq19", "--band", "400-470MHz"});
        QCOMPARE(r.exit, 1);
        QCOMPARE(r.out, "channel 05 TX tone: 67.0 -> D023N\n");
        QCOMPARE(cli({"diff", "a.kq19"}).exit, 2);
        QCOMPARE(cli({"diff", "a.kq19", "missing.kq19"}).exit, 2);
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
        QCOMPARE(r.exit, 1);   // the fresh radio holds no channel 5
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
