// End-to-end tests of rq300-cli: the executable runs from a directory of its
// own (its sysini.ini and language packs), against rq300-sim radios.
#include <QtTest>

#include <atomic>
#include <fcntl.h>
#include <functional>
#include <thread>
#include <csignal>
#include <memory>
#include <vector>

#include "files/packfile.h"
#include "filelimit.h"
#include "files/settingsfile.h"
#include "simprocesses.h"
#include "files/textcodec.h"
#include "app/appstate.h"
#include "base/textids.h"
#include "base/packstrings.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "radio/identity.h"
#include "radio/seriallink.h"
#include "radio/transferengine.h"
#include "channelcells.h"
#include "filebytes.h"

namespace {

struct Run {
    int exit = -1;
    QString out;
    QString err;
};

QString binDir()
{
    const QString env = qEnvironmentVariable("RQ300_BIN_DIR");
    return env.isEmpty() ? QCoreApplication::applicationDirPath() : env;
}



const QByteArray Ini = "[Open]\r\ncom=1\r\nlang=1\r\n[list]\r\nlistcount=2\r\ncombo0=400-470MHz\r\ncombo1=400-430MHz\r\nlistnow=1\r\n";

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    SimProcesses m_sims;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    Run cli(const QStringList& args, const QString& locale = QStringLiteral("C.UTF-8"),
            const std::function<void()>& inChild = {})
    {
        QProcess p;
        if (inChild)
            p.setChildProcessModifier(inChild);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", locale);
        env.insert("LANG", locale);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(m_dir.path());
        // A first argument "-c" runs the rest through the shell, with the
        // program as $0: the way to hand it bytes that are not UTF-8.
        if (args.value(0) == QLatin1String("-c"))
            p.start("/bin/sh", {"-c", args.value(1), path("rq300-cli")});
        else
            p.start(path("rq300-cli"), args);
        Run r;
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    // Starts a simulated radio keeping its memory in `image`; its device path.
    QString sim(const QString& image, const QStringList& extra = {}) { return m_sims.start(binDir(), path(image), extra); }
    // Stops every radio; each saves its memory image on the way out.
    void stopSims() { m_sims.stop(); }

    // The window program's language set to English, so messages read in English.
    void englishIni() { writeAll(path("sysini.ini"), QByteArray(Ini).replace("lang=1", "lang=2")); }

    PackStrings texts(const QString& pack)
    {
        return PackStrings::withFallback(PackFile::load(path(pack)).value_or(PackStrings()));
    }

    // What the window program saves after reading this radio: its document
    // after start-up with the band list of Ini, a read, then Save.
    QByteArray windowSaveAfterRead(const QString& device, const PackStrings& t)
    {
        SettingsDocument doc;
        doc.setDecimalSeparator(u'.');
        DocumentData d = doc.data();
        d.setBands({"400-470MHz", "400-430MHz"});
        d.setChoice(Key::Band, 1);
        doc.replace(d);
        doc.applyLanguage(t);
        AppState state;
        state.texts = t;
        RadioIdentity identity;
        SerialLink link;
        link.setDevice(device);
        TransferEngine engine(link, doc, identity, state);
        const TransferEngine::Outcome o = engine.read();
        link.close();
        if (!o.ok())
            return "read failed: " + o.reason.text(t).toUtf8();
        return SettingsFile::serialize(doc.data(), t, u'.');
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QFile::copy(QDir(binDir()).filePath("rq300-cli"), path("rq300-cli")));
        QFile::setPermissions(path("rq300-cli"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (const char* pack : {"cha_dll.lang", "eng_dll.lang", "ty.lang"})
            QVERIFY2(QFile::copy(QDir(binDir()).filePath(pack), path(pack)), pack);
    }

    void init() { writeAll(path("sysini.ini"), Ini); }
    void cleanup() { stopSims(); }

    void helpAndUsage()
    {
        Run r = cli({"--help"});
        QCOMPARE(r.exit, 0);
        for (const char* cmd : {"read", "write", "clone", "info", "show", "export-csv", "import-csv", "sheet"}) {
            QVERIFY2(r.out.contains(QStringLiteral("  %1 ").arg(cmd)), cmd);
            const Run h = cli({cmd, "--help"});
            QCOMPARE(h.exit, 0);
            QVERIFY(h.out.startsWith(QStringLiteral("Usage: rq300-cli %1").arg(cmd)));
            QVERIFY(h.err.isEmpty());
        }
        const struct { QStringList args; const char* says; } bad[] = {
            {{}, "no command given"},
            {{"show", "a", "b"}, "unexpected argument \"b\""},
            {{"read", "--port", "COM1"}, "--output is required"},
            {{"read", "--port", "COM17", "--output", "x.kq19"}, "\"COM17\" is neither"},
            {{"read", "--port", "COM1", "--output", "x.kq19", "--lang", "fr"}, "--lang takes zh, en or tw"},
            {{"read", "--port", "COM1", "--output", "x.kq19", "--password", "12a"}, "at most 12 digits"},
            {{"write", "--port", "COM1", "--port", "/dev/ttyUSB0", "--input", "x.kq19"}, "/dev/ttyUSB0 is given twice"},
            {{"info", "--port", "COM1", "--frob"}, "Unknown option 'frob'"},
            {{"write", "--port", "COM1", "--input", "x.kq19", "--user", "ABCDEFGH"}, "--user takes at most 7 characters"},
            {{"write", "--port", "COM1", "--input", "x.kq19", "--user", "张三", "--lang", "en"},
             "--user: \"张三\" holds the character \"张\", which the radio cannot store"},
            {{"write", "--port", "COM1", "--input", "x.kq19", "--new-password", "12*4"}, "\"*\" is not one"},
            {{"write", "--port", "COM1", "--input", "x.kq19", "--report", "r.csv"}, "--report goes with --watch"},
            {{"write", "--watch", "--port", "COM1", "--input", "x.kq19", "--user", "A", "--user-pattern", "A#"},
             "--user and --user-pattern exclude each other"},
            {{"write", "--watch", "--port", "COM1", "--input", "x.kq19", "--user-pattern", "FLEET-##", "--lang", "en"},
             "--user-pattern: The user name \"FLEET-01\" cannot be stored in a radio: at most 7 characters"},
            {{"write", "--watch", "--port", "COM1", "--input", "x.kq19", "--user-pattern", "FLEET", "--lang", "en"},
             "the pattern \"FLEET\" has no # for the counter"},
            {{"clone", "--from", "COM1"}, "--from and --to are required"},
            {{"diff", "a.kq19", "b.kq19", "--password", "1234567890123"}, "--password takes at most 12 digits"},
            // --lang is taken by every command that prints (a wrong value proves it is known).
            {{"write", "--port", "COM1", "--input", "x.kq19", "--lang", "fr"}, "--lang takes zh, en or tw"},
            {{"info", "--port", "COM1", "--lang", "fr"}, "--lang takes zh, en or tw"},
            {{"backups", "--lang", "fr"}, "--lang takes zh, en or tw"},
            {{"calibration-read", "--port", "COM1", "--output", "x.m17", "--single-port", "--lang", "fr"},
             "--lang takes zh, en or tw"},
        };
        for (const auto& b : bad) {
            r = cli(b.args);
            QCOMPARE(r.exit, 2);
            QVERIFY2(r.err.contains(QString::fromUtf8(b.says)), qPrintable(r.err));
            QCOMPARE(r.err.count(u'\n'), 1);
            QVERIFY(r.out.isEmpty());
        }
        QVERIFY(!QFile::exists(path("x.kq19")));
    }

    void showAndFileErrors()
    {
        DocumentData d;
        d.setBands({"400-470MHz"});
        d.setChoice(Key::Band, 0);
        d.setChoice(Key::Squelch, 9);
        d.setChoice(Key::Volume, 7);
        d.setFlag(Key::Alarm, false);
        d.setNumber(Key::LeaseHours, 1);
        const QStringList row = {"446.00625", "88.5", "446.00625", "D023N", "High", "Wide", "ON", "OFF", "ON", "OFF", "OFF"};
        for (int c = 1; c <= 11; ++c)
            setCellOf(d, 3, c, row[c - 1]);
        writeAll(path("s.kq19"), SettingsFile::serialize(d, texts("eng_dll.lang"), u'.'));

        Run r = cli({"show", "s.kq19", "--lang", "en"});
        QCOMPARE(r.exit, 0);
        QVERIFY(r.out.contains("Band:  400-470MHz"));
        QVERIFY(r.out.contains(QRegularExpression("Squelch level +9\n")));
        QVERIFY(r.out.contains(QRegularExpression("\n03 +446.00625 +88.5 +446.00625 +D023N +High +Wide +ON +OFF +ON +OFF +OFF\n")));
        QCOMPARE(r.out.count("446.00625"), 2);   // only the channel that exists
        QVERIFY(r.out.contains(QRegularExpression("\nVolume level +7\nAlarm +off\nLease time +0 d 1 h 0 min\n")));
        for (const QString& key : Key::NotInOlderFiles)
            d.setNotCarried(key);
        writeAll(path("old.kq19"), SettingsFile::serialize(d, texts("eng_dll.lang"), u'.'));
        QCOMPARE(cli({"show", "old.kq19", "--lang", "en"}).out.count("(not in the file)"), 3);
        // In Chinese the words are the Chinese ones.
        r = cli({"show", "s.kq19", "--lang", "zh"});
        QVERIFY(r.out.contains(QRegularExpression("\n03 +446.00625 .*高功率")));

        writeAll(path("bad.kq19"), "TAVRIN MEMORY CHANNEL \r\n");
        r = cli({"show", "bad.kq19"});
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.err.startsWith("rq300-cli: bad.kq19 is not a settings file"), qPrintable(r.err));
        r = cli({"show", "missing.kq19"});
        QCOMPARE(r.exit, 1);
        QCOMPARE(r.err, "rq300-cli: Cannot open missing.kq19: No such file or directory\n");
    }

    void csvRoundTripAndBadLines()
    {
        DocumentData d;
        d.setBands({"400-430MHz"});
        d.setChoice(Key::Band, 0);
        const QStringList row = {"430.00000", "D754I", "", "254.1", "Low", "Narrow", "OFF", "ON", "OFF", "ON", "ON"};
        for (int c = 1; c <= 11; ++c)
            setCellOf(d, 32, c, row[c - 1]);
        writeAll(path("c.kq19"), SettingsFile::serialize(d, texts("eng_dll.lang"), u'.'));

        Run r = cli({"export-csv", "c.kq19", "--output", "c.csv", "--lang", "en"});
        QCOMPARE(r.exit, 0);
        QCOMPARE(readAll(path("c.csv")),
                 "Channel,RX Frequency,RX Tone,TX Frequency,TX Tone,Power,Bandwidth,Scan,Busy Lock,Tail Elim,Comp/Scr,PTT ID\r\n"
                 "32,430.00000,D754I,,254.1,Low,Narrow,OFF,ON,OFF,ON,ON\r\n");

        // Into a settings file again: the same bytes the window program saves.
        r = cli({"import-csv", "c.csv", "--output", "c2.kq19", "--band", "400-430MHz"});
        QCOMPARE(r.exit, 0);
        QVERIFY(r.err.isEmpty());
        QCOMPARE(readAll(path("c2.kq19")), readAll(path("c.kq19")));

        // The band of sysini.ini (listnow=1) serves when --band is not given;
        // the words come out in the language asked for.
        r = cli({"import-csv", "c.csv", "--output", "c3.kq19", "--lang", "zh"});
        QCOMPARE(r.exit, 0);
        const QString zh = TextCodec::decode(readAll(path("c3.kq19")));
        QVERIFY(zh.contains("BAND 400-430MHz\r\n"));
        QVERIFY(zh.contains("CH032 | 430.00000 | D754I |  | 254.1 | 低功率 | 窄带 | 禁用 | 启用 | 禁用 | 启用 | 启用 | \r\n"));

        QByteArray bad = readAll(path("c.csv"));
        bad += "5,470.00000,OFF,,OFF,High,Wide,ON,OFF,ON,OFF,OFF\r\n";    // line 3: outside 400-430
        bad += "6,420.00000,OFF,,OFF,Loud,Wide,ON,OFF,ON,OFF,OFF\r\n";    // line 4: no such power word
        writeAll(path("bad.csv"), bad);
        r = cli({"import-csv", "bad.csv", "--output", "fromcsv.kq19"});
        QCOMPARE(r.exit, 1);
        const QStringList lines = r.err.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith("rq300-cli: check bad.csv: line 3: RX Frequency \"470.00000\""));
        QVERIFY(lines[1].startsWith("rq300-cli: check bad.csv: line 4: Power \"Loud\""));
        QVERIFY(!QFile::exists(path("fromcsv.kq19")));

        // CHIRP's dialect: written on request, recognised on import; rows the
        // radio cannot hold are named, and only a file without one importable
        // row fails.
        r = cli({"export-csv", "c.kq19", "--output", "chirp.csv", "--format", "chirp", "--lang", "en"});
        QCOMPARE(r.exit, 0);
        QVERIFY2(r.err.startsWith("rq300-cli: 1 channels exported to chirp.csv\n  CHIRP has no column for busy lock"),
                 qPrintable(r.err));
        QCOMPARE(readAll(path("chirp.csv")).split('\n').value(1),
                 "32,CH32,430.000000,off,0.000000,Cross,254.1,88.5,023,NR,754,Tone->DTCS,NFM,5.00,S,1.0W,,,,,\r");
        writeAll(path("chirp.csv"), readAll(path("chirp.csv")) + "3,,431.000000,,0,,88.5,88.5,023,NN,023,,FM,5.00,,5.0W,,,,,\r\n");
        r = cli({"import-csv", "chirp.csv", "--output", "chirp.kq19", "--band", "400-430MHz", "--lang", "en"});
        QCOMPARE(r.exit, 0);
        QCOMPARE(r.err, "rq300-cli: 1 channels imported from chirp.csv\n  1 rows refused:\n"
                        "  line 3: Frequency gives 431.000000 MHz, outside 400-430MHz\n"
                        "  Names, comments and tuning steps have no place in this radio and were left out.\n");
        QVERIFY(TextCodec::decode(readAll(path("chirp.kq19")))
                    .contains("CH032 | 430.00000 | D754I |  | 254.1 | Low | Narrow | OFF | OFF | ON | OFF | OFF | \r\n"));
        r = cli({"import-csv", "chirp.csv", "--output", "none.kq19", "--band", "400-410MHz", "--lang", "en"});
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.err.startsWith("rq300-cli: Nothing was imported from chirp.csv:\n  line 2: "), qPrintable(r.err));
        QVERIFY(!QFile::exists(path("none.kq19")));
        QCOMPARE(cli({"export-csv", "c.kq19", "--output", "x.csv", "--format", "xml"}).exit, 2);

        writeAll(path("sysini.ini"), "[list]\r\nlistcount=0\r\n");
        r = cli({"import-csv", "c.csv", "--output", "c4.kq19"});
        QCOMPARE(r.exit, 2);
        QVERIFY(r.err.contains("no band"));
    }

    // The channel sheet of a full radio: one page that holds every channel's
    // frequencies and the options window's captions in the language asked
    // for, and never the radio's password.
    void sheetOfAFullRadioOnOnePage()
    {
        const auto tool = [](const char* name) { return QStandardPaths::findExecutable(QLatin1String(name)); };
        QVERIFY2(!tool("pdftotext").isEmpty() && !tool("pdfinfo").isEmpty(), "poppler-utils (scripts/install-deps.sh)");
        DocumentData d;
        d.setBands({"400-470MHz"});
        d.setChoice(Key::Band, 0);
        d.setText(Key::Password, "918273");
        QStringList frequencies;
        for (int r = 1; r <= DocumentData::ChannelCount; ++r) {
            const QString rx = QString::number(400.00625 + r * 1.0125, 'f', 5);
            const QString tx = QString::number(440.0 + r * 0.5, 'f', 5);
            const QStringList row = {rx, "D023N", tx, "88.5", r % 2 ? "High" : "Low", "Narrow", "ON", "OFF", "ON", "OFF", "ON"};
            for (int c = 1; c <= 11; ++c)
                setCellOf(d, r, c, row[c - 1]);
            frequencies << rx << tx;
        }
        writeAll(path("full.kq19"), SettingsFile::serialize(d, texts("eng_dll.lang"), u'.'));
        const auto run = [](const QString& program, const QStringList& args) {
            QProcess p;
            p.start(program, args);
            p.waitForFinished(30000);
            // Spacing is the layout's business: compare without it.
            return QString::fromUtf8(p.readAllStandardOutput()).remove(QRegularExpression("\\s"));
        };
        for (const char* lang : {"en", "zh"}) {
            const QString pdf = path(QStringLiteral("sheet-%1.pdf").arg(lang));
            const Run r = cli({"sheet", "full.kq19", "--output", pdf, "--lang", lang});
            QCOMPARE(r.exit, 0);
            QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
            QVERIFY(run("pdfinfo", {pdf}).contains("Pages:1"));
            const QString text = run("pdftotext", {pdf, "-"});
            for (const QString& f : frequencies)
                QVERIFY2(text.contains(f), qPrintable(QStringLiteral("%1: %2").arg(lang, f)));
            const PackStrings t = texts(QLatin1String(lang) == QLatin1String("en") ? "eng_dll.lang" : "cha_dll.lang");
            // The options window's captions: the lists, VOX, the switches, the lease.
            for (int id : {81, 38, 40, 43, 44, 240, 253, 181, 45, 46, 47, 153, 154, 227, 231, 155, 196, 195})
                QVERIFY2(text.contains(t.text(id).remove(u' ')), qPrintable(QStringLiteral("%1: %2").arg(lang, t.text(id))));
            QVERIFY(text.contains("full.kq19"));
            QVERIFY(!text.contains("918273"));
        }
    }

    // An installed copy whose home configuration cannot be made warns of it
    // in the language the command then takes, not in the built-in Chinese.
    void configurationWarningInTheCommandsLanguage()
    {
        const QString bin = path("inst/bin"), share = path("inst/share/rq300");
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(share));
        QFile::remove(QDir(bin).filePath("rq300-cli"));
        QVERIFY(QFile::copy(path("rq300-cli"), QDir(bin).filePath("rq300-cli")));
        QFile::setPermissions(QDir(bin).filePath("rq300-cli"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (const char* pack : {"cha_dll.lang", "eng_dll.lang", "ty.lang"}) {
            QFile::remove(QDir(share).filePath(pack));
            QVERIFY(QFile::copy(path(pack), QDir(share).filePath(pack)));
        }
        writeAll(QDir(share).filePath("sysini.ini"), Ini);
        writeAll(path("blocked"), "a file where the configuration folder should be");
        const QString run = QStringLiteral("XDG_CONFIG_HOME=\"%1\" exec \"%2\" show missing.kq19 %3")
                                .arg(path("blocked"), QDir(bin).filePath("rq300-cli"));
        const QString english = texts("eng_dll.lang").text(TextId::ConfigFolderFailed).arg(path("blocked/rq300"));
        const QString chinese = texts("cha_dll.lang").text(TextId::ConfigFolderFailed).arg(path("blocked/rq300"));

        Run r = cli({"-c", run.arg(QString())});
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.err.startsWith("rq300-cli: warning: " + english + "\n"), qPrintable(r.err));
        r = cli({"-c", run.arg("--lang zh")}, "en_US.UTF-8");
        QVERIFY2(r.err.startsWith("rq300-cli: warning: " + chinese + "\n"), qPrintable(r.err));
        r = cli({"-c", run.arg(QString())}, "zh_CN.UTF-8");
        QVERIFY2(r.err.startsWith("rq300-cli: warning: " + chinese + "\n"), qPrintable(r.err));
    }

    // Without the English pack the texts are the built-in Chinese; the line
    // that says why is still English, word for word the pack's. A pack that
    // is there but holds nothing (empty, garbage) is no pack either.
    void missingEnglishPackSaysSoInEnglish_data()
    {
        QTest::addColumn<QByteArray>("pack");   // "<none>": no file
        QTest::addColumn<int>("why");
        QTest::newRow("missing") << QByteArray("<none>") << int(TextId::PackMissing);
        QTest::newRow("empty") << QByteArray() << int(TextId::PackEmpty);
        QTest::newRow("garbage") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR=\x01", 18) << int(TextId::PackEmpty);
    }
    void missingEnglishPackSaysSoInEnglish()
    {
        QFETCH(QByteArray, pack);
        QFETCH(int, why);
        const QString bin = path("nopack/bin");
        QVERIFY(QDir().mkpath(bin));
        QFile::remove(QDir(bin).filePath("rq300-cli"));
        QVERIFY(QFile::copy(path("rq300-cli"), QDir(bin).filePath("rq300-cli")));
        QFile::setPermissions(QDir(bin).filePath("rq300-cli"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::remove(QDir(bin).filePath("cha_dll.lang"));
        QVERIFY(QFile::copy(path("cha_dll.lang"), QDir(bin).filePath("cha_dll.lang")));
        writeAll(QDir(bin).filePath("sysini.ini"), Ini);
        const QString english = QDir(bin).filePath("eng_dll.lang");
        QFile::remove(english);
        if (pack != "<none>")
            writeAll(english, pack);
        const QString run = QStringLiteral("exec \"%1\" show missing.kq19 --lang %2").arg(QDir(bin).filePath("rq300-cli"));
        const QString says = texts("eng_dll.lang").text(why).arg(why == TextId::PackMissing ? QString("eng_dll") : english);
        Run r = cli({"-c", run.arg("en")});
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.err.startsWith("rq300-cli: warning: " + says + "\n"), qPrintable(r.err));
        // The rest is in the built-in Chinese, as the warning said.
        QVERIFY2(r.err.contains(texts("cha_dll.lang").text(TextId::FileOpenFailed).arg("missing.kq19", "")), qPrintable(r.err));
        r = cli({"-c", run.arg("tw")});
        QVERIFY2(r.err.startsWith("rq300-cli: warning: " + texts("cha_dll.lang").text(TextId::PackMissing).arg("ty") + "\n"),
                 qPrintable(r.err));
    }

    // A sysini.ini that gives nothing is named, with why; the read that
    // then lacks the band list says how to read all the same.
    void unreadableConfigurationIsNamed_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("why");
        QTest::newRow("empty") << QByteArray() << "it is empty";
        QTest::newRow("binary") << QByteArray(Ini).replace("lang", QByteArray("la\0ng", 5)) << "it is not a text file";
        QTest::newRow("too large") << Ini + QByteArray(1 << 20, ';') << "it is larger than 1048576 bytes";
    }
    void unreadableConfigurationIsNamed()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, why);
        writeAll(path("sysini.ini"), content);
        const QString device = sim("u.img");
        const Run r = cli({"read", "--port", device, "--output", "u.kq19", "--lang", "en"});
        QCOMPARE(r.exit, 1);
        QCOMPARE(r.err, QStringLiteral("rq300-cli: warning: The configuration file %1 cannot be read (%2): "
                                       "its port map, band list and language are not used\n"
                                       "rq300-cli: read %3: band: band 400-470MHz of the radio is not in the band list; "
                                       "to read it all the same, give --band 400-470MHz\n")
                            .arg(path("sysini.ini"), why, device));
        QVERIFY(!QFile::exists(path("u.kq19")));
    }

    void languageAsTheWindowProgramStarts()
    {
        const QByteArray csv = "Channel,a,b,c,d,e,f,g,h,i,j,k\r\n1,446.00625,OFF,,OFF,High,Wide,ON,OFF,ON,OFF,OFF\r\n";
        writeAll(path("l.csv"), csv);
        auto powerWord = [&](const QString& locale) {
            const Run r = cli({"import-csv", "l.csv", "--output", "l.kq19", "--band", "400-470MHz"}, locale);
            return r.exit == 0 ? TextCodec::decode(readAll(path("l.kq19"))).section(" | ", 5, 5) : r.err;
        };
        const QString english = texts("eng_dll.lang").text(36);
        const QString chinese = texts("cha_dll.lang").text(36);
        QCOMPARE(powerWord("C.UTF-8"), english);        // stored lang=1, English system
        QCOMPARE(powerWord("zh_CN.UTF-8"), chinese);    // Chinese system
        writeAll(path("sysini.ini"), "[open]\r\nlang=3\r\n");
        QCOMPARE(powerWord("C.UTF-8"), texts("ty.lang").text(36));   // traditional stays
        writeAll(path("sysini.ini"), "[Open]\r\nlang=2\r\n");
        QCOMPARE(powerWord("zh_CN.UTF-8"), chinese);
        QCOMPARE(powerWord("en_US.UTF-8"), english);
    }

    void readMatchesTheWindowProgramsSave_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("pack");
        QTest::newRow("en") << "en" << "eng_dll.lang";
        QTest::newRow("zh") << "zh" << "cha_dll.lang";
        QTest::newRow("tw") << "tw" << "ty.lang";
    }
    void readMatchesTheWindowProgramsSave()
    {
        QFETCH(QString, lang);
        QFETCH(QString, pack);
        const QString device = sim("r.img", {"--sample-channels"});
        QVERIFY(!device.isEmpty());
        writeAll(path("sysini.ini"), Ini + "[ports]\r\ncom5=" + device.toUtf8() + "\r\n");

        const Run r = cli({"read", "--port", "COM5", "--output", "r.kq19", "--lang", lang});
        QCOMPARE(r.exit, 0);
        QCOMPARE(r.out, "COM5: read into r.kq19\n");
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));   // no progress bar: stderr is no terminal
        const QByteArray file = readAll(path("r.kq19"));
        QVERIFY(file.contains("CH003 | 462.56250"));
        QCOMPARE(file, windowSaveAfterRead(device, texts(pack)));
    }

    void info()
    {
        const QString device = sim("i.img");
        const Run r = cli({"info", "--port", device});
        QCOMPARE(r.exit, 0);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[0], "Model:         MZ-209");
        QCOMPARE(lines[1], "Band:          400-470MHz");
        QCOMPARE(lines[2], "Administrator: Tavrin");
        QVERIFY(lines[4].startsWith("Factory date:  "));
        QCOMPARE(lines[5], "Sale date:     2024-02-01  10:00:00");
    }

    void writeThreeRadiosAtOnce()
    {
        const QString source = sim("src.img", {"--sample-channels"});
        QVERIFY(!source.isEmpty());
        QCOMPARE(cli({"read", "--port", source, "--output", "w.kq19"}).exit, 0);
        QStringList devices;
        for (const char* img : {"w1.img", "w2.img", "w3.img"})
            devices << sim(img);
        QVERIFY(!devices.contains(QString()));

        QElapsedTimer clock;
        clock.start();
        const Run r = cli({"write", "--port", devices[0], "--port", devices[1], "--port", devices[2],
                              "--input", "w.kq19", "--user", "FLEET"});
        QCOMPARE(r.exit, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        for (const QString& d : devices)
            QVERIFY(lines.contains(d + ": written"));
        const qint64 parallelMs = clock.elapsed();

        // Each radio now reads back as the file, and all three hold the same image.
        for (const QString& d : devices) {
            const Run back = cli({"read", "--port", d, "--output", "back.kq19"});
            QVERIFY2(back.exit == 0, qPrintable(back.err));
            QCOMPARE(readAll(path("back.kq19")), readAll(path("w.kq19")));
            QVERIFY(cli({"info", "--port", d}).out.contains("User:          FLEET\n"));
        }
        stopSims();
        const QByteArray first = readAll(path("w1.img"));
        QCOMPARE(first.size(), 65536);
        QCOMPARE(readAll(path("w2.img")), first);
        QCOMPARE(readAll(path("w3.img")), first);
        QVERIFY(first != readAll(path("src.img")));   // the user name was stamped
        qInfo("three radios written in %lld ms", parallelMs);
    }

    // A settings file with a few channels, for the commands that write one.
    QByteArray sampleFile()
    {
        DocumentData d;
        d.setBands({"400-470MHz"});
        d.setChoice(Key::Band, 0);
        const QStringList row = {"446.00625", "88.5", "446.00625", "D023N", "High", "Wide", "ON", "OFF", "ON", "ON", "OFF"};
        for (int c = 1; c <= 11; ++c)
            setCellOf(d, 2, c, row[c - 1]);
        return SettingsFile::serialize(d, texts("eng_dll.lang"), u'.');
    }

    void outputsThatAreNotRegularFiles()
    {
        writeAll(path("o.kq19"), sampleFile());
        const QByteArray csv = "Channel,RX Frequency,RX Tone,TX Frequency,TX Tone,Power,Bandwidth,Scan,Busy Lock,Tail Elim,Comp/Scr,PTT ID\r\n"
                               "02,446.00625,88.5,446.00625,D023N,High,Wide,ON,OFF,ON,ON,OFF\r\n";
        for (const char* out : {"-", "/dev/stdout"}) {
            const Run r = cli({"export-csv", "o.kq19", "--output", out, "--lang", "en"});
            QCOMPARE(r.exit, 0);
            QCOMPARE(r.out.toUtf8(), csv);
        }

        // A FIFO with its reader: the bytes go through it, the FIFO stays.
        const QString fifo = path("o.fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const NodeId fifoId = nodeId(fifo);
        const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        Run r = cli({"export-csv", "o.kq19", "--output", fifo, "--lang", "en"});
        QByteArray got(4096, 0);
        got.truncate(qMax<ssize_t>(0, ::read(reader, got.data(), got.size())));
        ::close(reader);
        QCOMPARE(r.exit, 0);
        QCOMPARE(got, csv);
        QCOMPARE(nodeId(fifo), fifoId);

        // A read into a FIFO: nobody reading it is said before the radio is
        // touched; with a reader, the file goes through.
        const QString device = sim("fifo.img", {"--sample-channels"});
        r = cli({"read", "--port", device, "--output", fifo, "--lang", "en", "--no-backup"});
        QCOMPARE(r.exit, 1);
        QCOMPARE(r.err, QStringLiteral("rq300-cli: Cannot save %1: no program is reading from this pipe\n").arg(fifo));
        const int radioReader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(radioReader >= 0);
        r = cli({"read", "--port", device, "--output", fifo, "--lang", "en", "--no-backup"});
        got = QByteArray(65536, 0);
        got.truncate(qMax<ssize_t>(0, ::read(radioReader, got.data(), got.size())));
        ::close(radioReader);
        QVERIFY2(r.exit == 0, qPrintable(r.err));
        QVERIFY(got.startsWith("TAVRIN MEMORY CHANNEL\r\n") && got.contains("CH003 | 462.56250"));
        QCOMPARE(nodeId(fifo), fifoId);

        // /dev/null as root: written into, not replaced (a copy of it, so
        // that a fault here can never remove the system's own).
        QTemporaryDir devDir;
        const QString null = deviceStandIn(devDir.path(), "/dev/null", 1, 3);
        if (null.isEmpty())
            QSKIP("root may not make device nodes here");
        const NodeId nullId = nodeId(null);
        r = cli({"export-csv", "o.kq19", "--output", null});
        QCOMPARE(r.exit, 0);
        QCOMPARE(nodeId(null), nullId);
        QVERIFY(S_ISCHR(nodeId(null).mode));
    }

    // Under ulimit -f the program reports the failure instead of dying of
    // SIGXFSZ, and the old file stays.
    void fileSizeLimitIsAFailure()
    {
        writeAll(path("l.kq19"), sampleFile());
        writeAll(path("l.csv"), "old");
        auto limited = [] {
            std::signal(SIGXFSZ, SIG_DFL);   // as a shell leaves it
            rlimit l{};
            getrlimit(RLIMIT_FSIZE, &l);
            l.rlim_cur = 150;   // room for the port's lock file, not for a CSV or a settings file
            setrlimit(RLIMIT_FSIZE, &l);
        };
        Run r = cli({"export-csv", "l.kq19", "--output", "l.csv"}, "C.UTF-8", limited);
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.err.contains("File too large"), qPrintable(r.err));
        QCOMPARE(readAll(path("l.csv")), "old");

        const QString device = sim("lim.img", {"--sample-channels"});
        writeAll(path("lim.kq19"), "old");
        r = cli({"read", "--port", device, "--output", "lim.kq19", "--no-backup"}, "C.UTF-8", limited);
        QCOMPARE(r.exit, 1);
        QCOMPARE(r.err, QStringLiteral("rq300-cli: Cannot save lim.kq19: File too large\n"));
        QCOMPARE(readAll(path("lim.kq19")), "old");
    }

    // Qt turns bytes that are not UTF-8 into U+FFFD; two such names would
    // name one file, and a third that really holds U+FFFD.
    void namesThatAreNotUtf8AreRefused()
    {
        writeAll(path("n.kq19"), sampleFile());
        const QString unrelated = path(QStringLiteral("n\uFFFD.csv"));
        writeAll(unrelated, "precious");
        for (const char* octal : {"\\377", "\\376"}) {
            const QString script = QStringLiteral("exec \"$0\" export-csv n.kq19 --output \"$(printf 'n%1.csv')\"").arg(octal);
            const Run r = cli({"-c", script});
            QCOMPARE(r.exit, 2);
            QVERIFY2(r.err.contains("not valid text"), qPrintable(r.err));
        }
        QCOMPARE(readAll(unrelated), "precious");
        QCOMPARE(QDir(m_dir.path()).entryList({"n*.csv"}).size(), 1);
    }

    void checksBeforeTalkingToTheRadio()
    {
        // The folder of the output is missing: said before the port is tried.
        Run r = cli({"read", "--port", "/dev/rq300-no-such-port", "--output", "nodir/x.kq19"});
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.err.startsWith("rq300-cli: Cannot save nodir/x.kq19: "), qPrintable(r.err));

        // One radio named twice, once through a link.
        writeAll(path("radio-dev"), "");
        QVERIFY(QFile::link(path("radio-dev"), path("radio-link")));
        r = cli({"write", "--port", path("radio-dev"), "--port", path("radio-link"), "--input", "x.kq19"});
        QCOMPARE(r.exit, 2);
        QVERIFY2(r.err.contains("are the same device"), qPrintable(r.err));

        // A file, a folder or /dev/null is no serial port, and is called that.
        for (const QString& port : {path("radio-dev"), m_dir.path(), QStringLiteral("/dev/null")}) {
            r = cli({"info", "--port", port, "--lang", "en"});
            QCOMPARE(r.exit, 1);
            QCOMPARE(r.err, QStringLiteral("rq300-cli: info %1: port: %1 is not a serial port (it is not a device)\n").arg(port));
        }
    }

    // ESC [ 2 J from a file or a radio would clear the terminal.
    void controlCharactersAreEscaped()
    {
        QByteArray file = sampleFile();
        file.replace("| 88.5 |", "| \x1b[2J |");
        writeAll(path("esc.kq19"), file);
        Run r = cli({"show", "esc.kq19", "--lang", "en"});
        QCOMPARE(r.exit, 0);
        QVERIFY(!r.out.contains(QChar(0x1b)));
        QVERIFY2(r.out.contains("446.00625  \\x1b[2J  446.00625"), qPrintable(r.out));

        // A radio whose user record holds ESC [ 2 J.
        QString device = sim("esc.img");
        QVERIFY(!device.isEmpty());
        stopSims();
        QByteArray image = readAll(path("esc.img"));
        QCOMPARE(image.size(), 65536);
        image.replace(0x4048, 8, QByteArray("\x1b[2JAB\xff\x05", 8));
        writeAll(path("esc.img"), image);
        device = sim("esc.img");
        r = cli({"info", "--port", device});
        QCOMPARE(r.exit, 0);
        QVERIFY(!r.out.contains(QChar(0x1b)));
        QVERIFY2(r.out.contains("User:          \\x1b[2J"), qPrintable(r.out));
    }

    void oversizedPackIsCalledThat()
    {
        const QString pack = path("eng_dll.lang");
        const QByteArray good = readAll(pack);
        writeAll(pack, QByteArray(PackFile::MaxFileSize + 10, '#'));
        writeAll(path("p.kq19"), sampleFile());
        const Run r = cli({"show", "p.kq19", "--lang", "en"});
        writeAll(pack, good);
        QCOMPARE(r.exit, 0);
        // In English, as the English pack would have said it.
        const QString english = texts("eng_dll.lang").text(TextId::PackTooLarge).arg(pack).arg(PackFile::MaxFileSize);
        QVERIFY2(r.err.startsWith("rq300-cli: warning: " + english + "\n"), qPrintable(r.err));
        QVERIFY(!r.err.contains(QStringLiteral("不在程序旁边")));
    }

    // A port that streams junk: one line, the quoted bytes cut.
    void junkOnThePortGivesOneShortLine()
    {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0);
        QVERIFY(::grantpt(master) == 0 && ::unlockpt(master) == 0);
        const QString slave = QString::fromLocal8Bit(::ptsname(master));
        std::atomic<bool> stop = false;
        std::thread junk([&] {
            const QByteArray bytes(256, 'Z');
            while (!stop) {
                if (::write(master, bytes.constData(), size_t(bytes.size())) < 0)
                    ::usleep(1000);
                ::usleep(2000);
            }
        });
        const Run r = cli({"read", "--port", slave, "--output", "junk.kq19"});
        stop = true;
        junk.join();
        ::close(master);
        QCOMPARE(r.exit, 1);
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY2(r.err.size() < 300, qPrintable(r.err));
        QVERIFY(!QFile::exists(path("junk.kq19")));
    }

    void writeIsJudgedFrameByFrameAtTheRealPace()
    {
        englishIni();
        // The write frames: the option block and timer records are read as
        // frames 9 to 11, then channel n's halves are written as frames
        // 12 + 2 (n - 1) and the one after; the option block 76 and 77; the
        // timer record 78. A stray 06 some milliseconds after an answer
        // never passes for the next frame's acknowledgement.
        const QString source = sim("src.img", {"--sample-channels"});
        QCOMPARE(cli({"read", "--port", source, "--output", "w.kq19"}).exit, 0);
        const struct { QStringList faults; const char* says; } cases[] = {
            {{"--refuse-write", "78"},
             ": records: no acknowledgement for the timer and DTMF record (the radio answered 15)\n"},
            {{"--stray-after-reply", "77", "--stray-delay-us", "3000", "--refuse-write", "78"},
             ": records: no trustworthy answer for the timer and DTMF record: 06 arrived before the radio could have "
             "received the frame\n"},
            {{"--refuse-write", "31"},
             ": records: no acknowledgement for channel 10 second half (the radio answered 15)\n"},
            {{"--stray-after-reply", "30", "--stray-delay-us", "8000", "--no-reply", "31"},
             ": records: no trustworthy answer for channel 10 second half: 06 arrived before the radio could have "
             "received the frame\n"},
            {{"--stray-after-reply", "78", "--stray-delay-us", "2000"},
             ": records: the radio sent 06 after acknowledging the timer and DTMF record, so that acknowledgement "
             "cannot be trusted: the radio may not hold the timer and DTMF record\n"},
        };
        int n = 0;
        for (const auto& c : cases) {
            const QString radio = sim(QStringLiteral("paced%1.img").arg(n++), QStringList{"--pace"} + c.faults);
            // The frame numbers count from the write's own handshake: no
            // backup read before it.
            const Run r = cli({"write", "--port", radio, "--input", "w.kq19", "--no-backup", "--no-verify"});
            QCOMPARE(r.exit, 1);
            QVERIFY2(!r.out.contains("written"), qPrintable(r.out));
            QVERIFY2(r.err.startsWith("rq300-cli: write " + radio + ": records: "), qPrintable(r.err));
            QVERIFY2(r.err.endsWith(QString::fromUtf8(c.says)), qPrintable(r.err));
            QCOMPARE(r.err.count('\n'), 1);
        }
    }

    void aRadioWithKeyCodesTheListsLackIsCloned()
    {
        englishIni();
        sim("keys.img", {"--sample-channels"});
        stopSims();
        QByteArray image = readAll(path("keys.img"));
        image[0x400D] = char(0xC5);   // top key, long press: code 12
        writeAll(path("keys.img"), image);
        const QString source = sim("keys.img");
        QCOMPARE(cli({"read", "--port", source, "--output", "keys.kq19", "--no-backup"}).exit, 0);
        const QString target = sim("clone.img");
        const Run r = cli({"write", "--port", target, "--input", "keys.kq19", "--no-backup"});
        QVERIFY2(r.exit == 0, qPrintable(r.err));
        stopSims();
        QCOMPARE(readAll(path("clone.img")).mid(0x4000, 0x18).toHex(), image.mid(0x4000, 0x18).toHex());
    }

    // A production line behind one port name: three radios plugged in one
    // after another (each a new device, as a USB cable plugged in again),
    // each written, named by the counter and listed in the report.
    void watchKeepsGoingThroughRadiosSwappedBehindOnePort()
    {
        englishIni();
        const QString source = sim("src.img", {"--sample-channels"});
        QCOMPARE(cli({"read", "--port", source, "--output", "w.kq19", "--no-backup"}).exit, 0);
        stopSims();
        QVERIFY(QDir().mkpath(path("line")));
        sim("fresh.img");
        stopSims();
        for (const char* name : {"a.img", "b.img", "c.img"})
            QVERIFY(QFile::copy(path("fresh.img"), path(QStringLiteral("line/") + name)));
        const QString port = path("line-port");
        QVERIFY(!sim("unused.img", {"--radios", path("line"), "--link", port, "--swap-gap", "700"}).isEmpty());
        const qint64 radios = m_sims.lastPid();

        QProcess p;
        p.setWorkingDirectory(m_dir.path());
        p.start(path("rq300-cli"), {"write", "--watch", "--port", port, "--input", "w.kq19", "--user-pattern", "T-##",
                                    "--first-number", "7", "--report", "line.csv"});
        QVERIFY(p.waitForStarted(5000));
        QString out;
        for (int n = 1; n <= 3; ++n) {
            QElapsedTimer clock;
            clock.start();
            while (out.count('\n') < n && clock.elapsed() < 30000 && p.state() == QProcess::Running) {
                p.waitForReadyRead(200);
                out += QString::fromUtf8(p.readAllStandardOutput());
            }
            QVERIFY2(out.count('\n') == n, qPrintable(out + p.readAllStandardError()));
            if (n < 3)
                ::kill(pid_t(radios), SIGUSR1);   // the next radio, please
        }
        ::kill(pid_t(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(10000));
        out += QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(p.exitCode() == 0, qPrintable(out + p.readAllStandardError()));
        const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        const QRegularExpression line(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d (\\S+) (T-\\d\\d) written$"));
        QStringList users;
        for (const QString& l : lines) {
            const QRegularExpressionMatch m = line.match(l);
            QVERIFY2(m.hasMatch(), qPrintable(l));
            QCOMPARE(m.captured(1), port);
            users << m.captured(2);
        }
        QCOMPARE(users, QStringList({"T-07", "T-08", "T-09"}));

        const QStringList report = QString::fromUtf8(readAll(path("line.csv"))).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(report.size(), 4);
        QCOMPARE(report[0], "Date and time,Port,User name,Result,Verify,Backup");
        for (int n = 1; n <= 3; ++n) {
            const QStringList f = report[n].split(',');
            QCOMPARE(f.size(), 6);
            QCOMPARE(f.mid(1, 4), QStringList({port, users[n - 1], "written", "checked"}));
            QVERIFY2(QFileInfo::exists(f[5]), qPrintable(report[n]));
        }
        stopSims();
        const QByteArray programmed = readAll(path("src.img")).mid(0x4080, 32 * 16);
        const QStringList names = {"a", "b", "c"};
        for (int n = 0; n < 3; ++n) {
            const QByteArray image = readAll(path("line/" + names[n] + ".img"));
            QCOMPARE(image.mid(0x4080, 32 * 16), programmed);
            QCOMPARE(image.mid(0x4048, 4), users[n].toLatin1());
        }
    }

    // clone copies the records themselves: also codes no list names.
    void cloneCopiesEveryProgrammingRecord()
    {
        englishIni();
        sim("orig.img", {"--sample-channels"});
        stopSims();
        QByteArray image = readAll(path("orig.img"));
        image[0x400D] = char(0xC5);   // top key, long press: code 12
        writeAll(path("orig.img"), image);
        const QString from = sim("orig.img");
        const QString to1 = sim("copy1.img"), to2 = sim("copy2.img");
        const Run r = cli({"clone", "--from", from, "--to", to1, "--to", to2});
        QVERIFY2(r.exit == 0, qPrintable(r.err));
        QCOMPARE(r.out, to1 + ": cloned from " + from + "\n" + to2 + ": cloned from " + from + "\n");
        QCOMPARE(cli({"clone", "--from", from, "--to", from}).exit, 2);
        stopSims();
        for (const char* copy : {"copy1.img", "copy2.img"}) {
            const QByteArray target = readAll(path(copy));
            QCOMPARE(target.mid(0x4000, 0x18).toHex(), image.mid(0x4000, 0x18).toHex());   // options, timer
            QCOMPARE(target.mid(0x4080, 32 * 16).toHex(), image.mid(0x4080, 32 * 16).toHex());   // channels
            QCOMPARE(target.mid(0x4048, 3), "SIM");   // the radio's own user name
        }
    }

    void writeOfFrequenciesTheRadioCannotTake()
    {
        englishIni();
        const QString radio = sim("freq.img", {"--sample-channels"});
        QCOMPARE(cli({"read", "--port", radio, "--output", "freq.kq19"}).exit, 0);
        QByteArray file = readAll(path("freq.kq19"));
        QVERIFY(file.contains("462.56250"));
        file.replace("462.56250", "446.00100");
        writeAll(path("off.kq19"), file);
        stopSims();
        const QByteArray image = readAll(path("freq.img"));
        const QString again = sim("freq.img");
        const Run r = cli({"write", "--port", again, "--input", "off.kq19"});
        QCOMPARE(r.exit, 1);
        // Every value at once, before any port is opened.
        QCOMPARE(r.err, "rq300-cli: write: encode: 2 values cannot be written:\n"
                        "  Channel 3, receive frequency: 446.00100 MHz is not on the 5 kHz or 6.25 kHz raster\n"
                        "  Channel 3, transmit frequency: 446.00100 MHz is not on the 5 kHz or 6.25 kHz raster\n");
        stopSims();
        QCOMPARE(readAll(path("freq.img")), image);
    }

    void signalDuringAWriteEndsWithWhatIsTrue_data()
    {
        QTest::addColumn<int>("signo");
        QTest::addColumn<bool>("duringBackup");
        QTest::newRow("SIGTERM while records are written") << int(SIGTERM) << false;
        QTest::newRow("SIGHUP while records are written") << int(SIGHUP) << false;
        QTest::newRow("SIGINT during the backup read") << int(SIGINT) << true;
    }
    void signalDuringAWriteEndsWithWhatIsTrue()
    {
        QFETCH(int, signo);
        QFETCH(bool, duringBackup);
        englishIni();
        const QString source = sim("src.img", {"--sample-channels"});
        QCOMPARE(cli({"read", "--port", source, "--output", "w.kq19"}).exit, 0);
        const QString image = QStringLiteral("target%1.img").arg(signo);
        const QString radio = sim(image, {"--pace"});
        const QByteArray before = readAll(path(image));
        QVERIFY(before.size() == 65536);

        QProcess p;
        p.setWorkingDirectory(m_dir.path());
        p.start(path("rq300-cli"), {"write", "--port", radio, "--input", "w.kq19"});
        QVERIFY(p.waitForStarted(5000));
        QElapsedTimer clock;
        clock.start();
        if (duringBackup) {
            // The backup read of a paced radio takes some 1.6 s after the
            // 0.3 s of pauses that open the port.
            QTest::qWait(900);
        } else {
            // Once the radio has stored its first record.
            while (readAll(path(image)) == before && clock.elapsed() < 20000)
                QTest::qWait(5);
            QVERIFY2(readAll(path(image)) != before, "the write began");
        }
        ::kill(pid_t(p.processId()), signo);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 128 + signo);
        QVERIFY(p.readAllStandardOutput().isEmpty());
        const QString says = QString::fromUtf8(p.readAllStandardError());
        if (duringBackup) {
            QCOMPARE(says, "rq300-cli: write " + radio + ": interrupted: nothing was written into the radio\n");
            QCOMPARE(readAll(path(image)), before);
        } else {
            QCOMPARE(says, "rq300-cli: write " + radio
                               + ": interrupted: the radio holds the whole configuration written, checked record by record\n");
            // And it does.
            QCOMPARE(cli({"read", "--port", radio, "--output", "back.kq19"}).exit, 0);
            QCOMPARE(readAll(path("back.kq19")), readAll(path("w.kq19")));
        }
    }

    void failuresNameTheStep()
    {
        englishIni();
        const QString deaf = sim("deaf.img", {"--ignore-handshakes", "100"});
        Run r = cli({"read", "--port", deaf, "--output", "f.kq19"});
        QCOMPARE(r.exit, 1);
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY2(r.err.startsWith(QStringLiteral("rq300-cli: read %1: handshake: ").arg(deaf)), qPrintable(r.err));
        QVERIFY(!QFile::exists(path("f.kq19")));

        const QString radio = sim("pw.img", {"--sample-channels"});
        QCOMPARE(cli({"read", "--port", radio, "--output", "pw.kq19"}).exit, 0);
        r = cli({"write", "--port", radio, "--input", "pw.kq19", "--new-password", "123456"});
        QCOMPARE(r.exit, 0);
        r = cli({"read", "--port", radio, "--output", "f.kq19", "--password", "12345"});
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.err.endsWith(": password: password does not match\n"), qPrintable(r.err));
        QVERIFY(!QFile::exists(path("f.kq19")));
        QCOMPARE(cli({"read", "--port", radio, "--output", "f.kq19", "--password", "123456"}).exit, 0);

        // A radio whose band is not in the list; a file of another band.
        r = cli({"read", "--port", radio, "--output", "g.kq19", "--band", "136-174MHz", "--password", "123456"});
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.err.endsWith(": band: band 400-470MHz of the radio is not in the band list; "
                                "to read it all the same, give --band 400-470MHz\n"),
                 qPrintable(r.err));
        QVERIFY(!QFile::exists(path("g.kq19")));
        QByteArray other = readAll(path("pw.kq19"));
        other.replace("BAND 400-470MHz", "BAND 400-430MHz");
        writeAll(path("other.kq19"), other);
        r = cli({"write", "--port", radio, "--input", "other.kq19", "--password", "123456"});
        QCOMPARE(r.exit, 1);
        // Its channels lie outside its own band, which is found before the radio is asked.
        QVERIFY2(r.err.startsWith("rq300-cli: write: encode: 6 values cannot be written:\n"
                                  "  Channel 1, receive frequency: 446.00625 MHz is outside the band 400-430MHz\n"),
                 qPrintable(r.err));
        QCOMPARE(r.err.count('\n'), 7);
        // With channels of that band, the radio's own band refuses it.
        other.replace("446.00625", "420.00625");
        other.replace("439.10000", "420.10000");
        other.replace("434.10000", "424.10000");
        other.replace("462.56250", "422.56250");
        writeAll(path("other.kq19"), other);
        r = cli({"write", "--port", radio, "--input", "other.kq19", "--password", "123456"});
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.err.contains(": band: "), qPrintable(r.err));

        // The cable pulled in the middle of a read: no file, the reason named.
        const QString pulled = sim("pull.img", {"--close-after", "20"});
        r = cli({"read", "--port", pulled, "--output", "h.kq19"});
        QCOMPARE(r.exit, 1);
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY2(r.err.contains(QRegularExpression(": (port|records): ")), qPrintable(r.err));
        QVERIFY2(r.err.contains("the connection was lost: is the cable plugged in?"), qPrintable(r.err));
        QVERIFY(!r.err.contains("ioctl"));
        QVERIFY(!QFile::exists(path("h.kq19")));

        // One radio of three fails: the others are written, the status says so.
        const QString good = sim("good.img");
        r = cli({"write", "--port", good, "--port", deaf, "--port", "/dev/rq300-no-such-port", "--input", "pw.kq19"});
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.out == good + ": written\n", qPrintable(r.err));
        QVERIFY(r.err.contains(QStringLiteral("rq300-cli: write %1: handshake: ").arg(deaf)));
        QVERIFY(r.err.contains("rq300-cli: write /dev/rq300-no-such-port: port: "));
        QVERIFY2(r.err.count('\n') == 2, qPrintable(r.err));

        // Under --lang the step and the reason are that language's; the
        // command and the port stay as typed.
        r = cli({"read", "--port", "/dev/rq300-no-such-port", "--output", "z.kq19", "--lang", "tw"});
        QCOMPARE(r.exit, 1);
        const PackStrings tw = texts("ty.lang");
        QCOMPARE(r.err, QStringLiteral("rq300-cli: read /dev/rq300-no-such-port: %1: %2\n")
                            .arg(tw.text(TextId::StepPort),
                                 tw.text(TextId::PortNoSuchDevice).arg("/dev/rq300-no-such-port")));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
