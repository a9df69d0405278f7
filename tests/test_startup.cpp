// Where the configuration lives, and the start-up values both programs read
// from it and the exit writes back.
#include <QtTest>
#include <sys/resource.h>
#include <csignal>

#include "files/profile.h"
#include "app/configlocation.h"
#include "base/userfolders.h"
#include "app/startupconfig.h"
#include "base/systemlocale.h"
#include "base/textids.h"

namespace {

void writeAll(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An installed tree: prefix/bin (the programs) and prefix/share/rq300.
struct Installed {
    QTemporaryDir root;
    QString bin() const { return root.filePath("prefix/bin"); }
    QString share() const { return root.filePath("prefix/share/rq300"); }
    QString home() const { return root.filePath("home"); }
    Installed()
    {
        QDir().mkpath(bin());
        writeAll(QDir(share()).filePath("sysini.ini"), "[Open]\r\nlang=3\r\n[list]\r\nlistcount=1\r\ncombo0=400-430MHz\r\n");
        writeAll(QDir(share()).filePath("eng_dll.lang"), "1=About\n");
        QDir().mkpath(home());
    }
    QProcessEnvironment env(const QString& xdg = {}) const
    {
        QProcessEnvironment e;
        e.insert("HOME", home());
        // Not this machine's /etc/xdg.
        e.insert("XDG_CONFIG_DIRS", root.filePath("etc/xdg"));
        if (!xdg.isEmpty())
            e.insert("XDG_CONFIG_HOME", xdg);
        return e;
    }
};

}

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // A size limit must fail a write, not end the test.
        std::signal(SIGXFSZ, SIG_IGN);
    }

    // The build tree and a copy on a stick: a sysini.ini beside the program
    // keeps everything there, whatever the environment says.
    void besideTheExecutableStaysBeside()
    {
        Installed t;
        writeAll(QDir(t.bin()).filePath("sysini.ini"), "[Open]\r\ncom=4\r\n");
        const ConfigLocation where = ConfigLocation::forExecutable(t.bin(), t.env(t.root.filePath("xdg")));
        QVERIFY(where.portable);
        QCOMPARE(where.iniPath, QDir(t.bin()).filePath("sysini.ini"));
        QVERIFY(where.defaultIni.isEmpty());
        QVERIFY(where.prepare().ok());
        QVERIFY(!QFileInfo::exists(t.root.filePath("xdg")));
        QVERIFY(!QFileInfo::exists(QDir(t.home()).filePath(".config")));
        QVERIFY(where.describe().contains(where.iniPath));
    }

    void installedUsesTheHomeConfigurationFolder_data()
    {
        QTest::addColumn<QString>("xdg");        // relative to the temporary root; empty: unset
        QTest::addColumn<QString>("expected");   // likewise
        QTest::newRow("XDG_CONFIG_HOME unset") << QString() << "home/.config/rq300/sysini.ini";
        QTest::newRow("XDG_CONFIG_HOME set") << "xdg" << "xdg/rq300/sysini.ini";
        QTest::newRow("relative XDG_CONFIG_HOME is ignored") << "relative" << "home/.config/rq300/sysini.ini";
    }
    void installedUsesTheHomeConfigurationFolder()
    {
        QFETCH(QString, xdg);
        QFETCH(QString, expected);
        Installed t;
        const QString xdgValue = xdg == "relative" ? QString("some/dir") : xdg.isEmpty() ? QString() : t.root.filePath(xdg);
        const ConfigLocation where = ConfigLocation::forExecutable(t.bin(), t.env(xdgValue));
        QVERIFY(!where.portable);
        QCOMPARE(where.iniPath, t.root.filePath(expected));
        // The data folder (backups, recovery) follows the same rules.
        QProcessEnvironment dataEnv = t.env();
        if (!xdgValue.isEmpty())
            dataEnv.insert("XDG_DATA_HOME", xdgValue);
        QCOMPARE(UserFolders::data(dataEnv), xdg == "xdg" ? t.root.filePath("xdg/rq300")
                                                          : QDir(t.home()).filePath(".local/share/rq300"));
        QCOMPARE(QFileInfo(where.defaultIni).canonicalFilePath(),
                 QFileInfo(QDir(t.share()).filePath("sysini.ini")).canonicalFilePath());

        // The first start copies the installed default; the next leaves the
        // user's file alone.
        QVERIFY(!QFileInfo::exists(where.iniPath));
        QVERIFY(where.prepare().ok());
        QCOMPARE(readAll(where.iniPath), readAll(where.defaultIni));
        writeAll(where.iniPath, "[open]\r\ncom=7\r\n");
        QVERIFY(where.prepare().ok());
        QCOMPARE(readAll(where.iniPath), QByteArray("[open]\r\ncom=7\r\n"));

        // Nothing was put beside the installed programs.
        QCOMPARE(QDir(t.bin()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    // An administrator's sysini.ini in the system's configuration folders
    // is what every user's configuration starts from.
    void administratorsDefaultComesFirst()
    {
        Installed t;
        QProcessEnvironment e = t.env();
        const QString shipped = QDir(t.share()).filePath("sysini.ini");
        QCOMPARE(ConfigLocation::forExecutable(t.bin(), e).defaultIni, shipped);
        const QString admin = t.root.filePath("site/rq300/sysini.ini");
        writeAll(admin, "[Open]\r\ncom=9\r\n");
        // Relative entries are ignored; the first folder holding one wins.
        e.insert("XDG_CONFIG_DIRS", "site:" + t.root.filePath("none") + ':' + t.root.filePath("site") + ':'
                                        + t.root.filePath("etc/xdg"));
        writeAll(t.root.filePath("etc/xdg/rq300/sysini.ini"), "[Open]\r\ncom=2\r\n");
        const ConfigLocation where = ConfigLocation::forExecutable(t.bin(), e);
        QCOMPARE(where.defaultIni, admin);
        QCOMPARE(StartupConfig::read(where.load()).port, 9);
        QVERIFY(where.prepare().ok());
        QCOMPARE(readAll(where.iniPath), readAll(admin));
    }

    void packsBesideTheProgramComeBeforeTheInstalledOnes()
    {
        Installed t;
        const ConfigLocation where = ConfigLocation::forExecutable(t.bin(), t.env());
        QCOMPARE(QFileInfo(where.packFile("ENG_DLL")).canonicalFilePath(),
                 QFileInfo(QDir(t.share()).filePath("eng_dll.lang")).canonicalFilePath());
        writeAll(QDir(t.bin()).filePath("eng_dll.lang"), "1=Beside\n");
        QCOMPARE(where.packFile("eng_dll"), QDir(t.bin()).filePath("eng_dll.lang"));
        QVERIFY(where.packFile("ty").isEmpty());
    }

    // A home folder that cannot be made is reported, and the shipped file
    // is still there to read.
    void homeThatCannotBeWrittenIsReported()
    {
        Installed t;
        writeAll(t.root.filePath("blocked"), "a file where a folder should be");
        const ConfigLocation where = ConfigLocation::forExecutable(t.bin(), t.env(t.root.filePath("blocked")));
        const Result r = where.prepare();
        QCOMPARE(r.textId, int(TextId::ConfigFolderFailed));
        QCOMPARE(r.args.value(0), t.root.filePath("blocked/rq300"));
        QVERIFY(QFileInfo::exists(where.defaultIni));
    }

    // A configuration that is there but gives nothing is named, with why;
    // the programs then start from the defaults (and say so).
    void unreadableConfigurationIsNamed_data()
    {
        QTest::addColumn<QByteArray>("content");   // "<folder>": a folder in its place
        QTest::addColumn<int>("reason");
        QTest::newRow("empty") << QByteArray() << int(TextId::ConfigEmpty);
        QTest::newRow("binary") << QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0[Open]\nlang=2\n", 24) << int(TextId::ConfigNotText);
        QTest::newRow("too large") << QByteArray("[Open]\r\nlang=2\r\n") + QByteArray(Profile::MaxFileSize, ';')
                                   << int(TextId::ConfigTooLarge);
        QTest::newRow("folder") << QByteArray("<folder>") << int(TextId::SystemIsFolder);
    }
    void unreadableConfigurationIsNamed()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, reason);
        Installed t;
        const ConfigLocation where = ConfigLocation::forExecutable(t.bin(), t.env());
        QVERIFY(where.prepare().ok());
        Result warning;
        QCOMPARE(StartupConfig::read(where.load(&warning)).bands, QStringList{"400-430MHz"});
        QVERIFY(warning.ok());

        QVERIFY(QFile::remove(where.iniPath));
        if (content == "<folder>")
            QVERIFY(QDir().mkpath(where.iniPath));
        else
            writeAll(where.iniPath, content);
        const StartupConfig config = StartupConfig::read(where.load(&warning));
        QVERIFY(config.bands.isEmpty());
        QCOMPARE(warning.textId, int(TextId::ConfigUnreadable));
        QCOMPARE(warning.args, QStringList{where.iniPath});
        QCOMPARE(warning.details.size(), size_t(1));
        QCOMPARE(warning.details[0].textId, reason);
    }

    void readTakesDefaultsAndRepairsDamage()
    {
        SystemLocale::setForTesting(0x0804, u'.');
        const StartupConfig empty = StartupConfig::read(Profile());
        QCOMPARE(empty.port, 1);
        QVERIFY(!empty.singlePort);
        QCOMPARE(empty.modelIndex, 0);
        QCOMPARE(empty.language, 1);
        QVERIFY(empty.bands.isEmpty());
        QCOMPARE(empty.selectedBand, -1);

        const StartupConfig damaged = StartupConfig::read(Profile::parse(
            "[OPEN]\r\nCOM=x\r\nco_mode=1\r\nLang=7\r\n"
            "[List]\r\nlistcount=99999999\r\ncombo0=garbage\r\ncombo1=400-430MHz\r\nlistnow=5000\r\n"
            "[ports]\r\ncom3=/dev/pts/9\r\n"));
        QCOMPARE(damaged.port, 1);
        QVERIFY(damaged.singlePort);
        QCOMPARE(damaged.storedLanguage, 1);
        QCOMPARE(damaged.bands.size(), StartupConfig::MaxBands - 1);   // "garbage" left out
        QCOMPARE(damaged.bands.first(), "400-430MHz");
        QCOMPARE(damaged.bands.last(), "400-470MHz");   // missing keys take the default band
        QCOMPARE(damaged.selectedBand, -1);
        QCOMPARE(damaged.ports.path(3), "/dev/pts/9");
        SystemLocale::clearTestingOverride();
    }

    void startLanguageRule()
    {
        QCOMPARE(StartupConfig::startLanguage(3, 0x0409), 3);
        QCOMPARE(StartupConfig::startLanguage(3, 0x0804), 3);
        QCOMPARE(StartupConfig::startLanguage(2, 0x0804), 1);
        QCOMPARE(StartupConfig::startLanguage(1, 0x0409), 2);
        QCOMPARE(StartupConfig::packName(1), "cha_dll");
        QCOMPARE(StartupConfig::menuPackName(2), "eng_DLL");
        QCOMPARE(StartupConfig::packName(3), "ty");
        QVERIFY(StartupConfig::packName(0).isEmpty());
        QVERIFY(StartupConfig::menuPackName(4).isEmpty());
    }

    // The exit's keys over the file's own lines: comments, unknown keys and
    // the port map stay; "Open" becomes "open"; a shorter band list keeps
    // the old entries beyond it, as the program always has.
    void saveWritesOverTheFileKeepingTheRest()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("sysini.ini");
        writeAll(path, "; mine\r\n[Open]\r\ncom=2\r\nextra=keep\r\n[list]\r\nlistcount=3\r\ncombo2=400-430MHz\r\n"
                       "[ports]\r\ncom1=/dev/pts/4\r\n");
        StartupConfig c = StartupConfig::load(path);
        c.port = 9;
        c.singlePort = true;
        c.language = 2;
        c.bands = {"400-470MHz", "430-440MHz"};
        c.selectedBand = 1;
        QVERIFY(c.save(path).ok());
        const QByteArray text = readAll(path);
        QVERIFY(text.startsWith("; mine\r\n[open]\r\ncom=9\r\n"));
        const Profile back = Profile::load(path);
        QCOMPARE(back.value("open", "extra"), "keep");
        QCOMPARE(back.intValue("open", "co_mode", 0), 1);
        QCOMPARE(back.intValue("open", "lang", 0), 2);
        QCOMPARE(back.intValue("list", "listcount", 0), 2);
        QCOMPARE(back.intValue("list", "listnow", 0), 1);
        QCOMPARE(back.value("list", "combo1"), "430-440MHz");
        QCOMPARE(back.value("ports", "com1"), "/dev/pts/4");
        const StartupConfig again = StartupConfig::load(path);
        QCOMPARE(again.bands, c.bands);
        QCOMPARE(again.port, 9);
    }

    // A home configuration not yet copied starts from the installed default,
    // and the exit puts the result in the home folder.
    void saveStartsFromTheDefaultAndMakesTheFolder()
    {
        QTemporaryDir dir;
        const QString base = dir.filePath("share/sysini.ini");
        writeAll(base, "[Open]\r\nshipped=1\r\n");
        const QString path = dir.filePath("config/rq300/sysini.ini");
        StartupConfig c;
        QVERIFY(c.save(path, base).ok());
        QCOMPARE(Profile::load(path).intValue("open", "shipped", 0), 1);
        QCOMPARE(readAll(base), QByteArray("[Open]\r\nshipped=1\r\n"));
    }

    // A file size limit cuts nothing: the old file stays and the failure
    // names the file.
    void saveUnderASizeLimitKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("sysini.ini");
        const QByteArray old = "[open]\r\ncom=3\r\n";
        writeAll(path, old);
        StartupConfig c;
        for (int i = 0; i < StartupConfig::MaxBands; ++i)
            c.bands << "400-470MHz";
        rlimit saved;
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 256;
        setrlimit(RLIMIT_FSIZE, &small);
        const Result r = c.save(path);
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(r.textId, int(TextId::ConfigWriteFailed));
        QCOMPARE(r.args.value(0), path);
        QCOMPARE(readAll(path), old);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
