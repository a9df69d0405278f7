#include <QtTest>

#include "files/filesave.h"
#include "files/profile.h"
#include "base/textids.h"

#include <cerrno>
#include <cstring>

class TestProfile : public QObject {
    Q_OBJECT
private slots:
    void readsWithoutRegardToCase()
    {
        const Profile p = Profile::parse("[Open]\r\nCOM=5\r\nco_mode = 1 \r\nlang=abc\r\n[LIST]\r\ncombo0=400-470MHz\r\n");
        QCOMPARE(p.intValue("open", "com", 1), 5);
        QCOMPARE(p.intValue("OPEN", "co_mode", 0), 1);
        QCOMPARE(p.intValue("Open", "lang", 1), 1);          // not a number: default
        QCOMPARE(p.intValue("Open", "M_type", 0), 0);        // missing: default
        QCOMPARE(p.value("list", "Combo0"), "400-470MHz");
        QVERIFY(!p.contains("list", "combo1"));
    }

    void writingKeepsEveryOtherLine()
    {
        const QByteArray before =
            "; written by hand\r\n[Open]\r\ncom=5\r\nextra=keep me\r\n\r\n[ports]\r\ncom1=/tmp/x\r\n[list]\r\nlistcount=1\r\ncombo0=400-470MHz\r\n";
        Profile p = Profile::parse(before);
        QCOMPARE(p.serialize(), before);
        p.renameSection("Open", "open");
        p.setInt("open", "com", 3);
        p.setInt("open", "lang", 2);
        p.setInt("list", "listnow", -1);
        p.setValue("mine", "k", "v");
        QCOMPARE(p.serialize(),
                 QByteArray("; written by hand\r\n[open]\r\ncom=3\r\nextra=keep me\r\nlang=2\r\n\r\n[ports]\r\ncom1=/tmp/x\r\n"
                            "[list]\r\nlistcount=1\r\ncombo0=400-470MHz\r\nlistnow=-1\r\n[mine]\r\nk=v\r\n"));
    }

    void keepsUnixLineEndsAndNonUtf8Lines()
    {
        const QByteArray before = "[x]\nname=\xb1\xea\n[open]\ncom=1";
        Profile p = Profile::parse(before);
        p.setInt("Open", "com", 2);
        QCOMPARE(p.serialize(), QByteArray("[x]\nname=\xb1\xea\n[open]\ncom=2"));
    }

    void savesAtomicallyAndReportsFailure()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("sysini.ini");
        Profile p;
        p.setInt("open", "com", 4);
        QVERIFY(p.save(path));
        QCOMPARE(Profile::load(path).intValue("Open", "com", 1), 4);
        const Result failed = p.save(dir.filePath("missing/dir/sysini.ini"));
        QCOMPARE(failed.textId, int(TextId::FileSaveFailed));
        QCOMPARE(failed, Result::because(TextId::FileSaveFailed, FileSave::systemReason(ENOENT),
                                         {dir.filePath("missing/dir/sysini.ini")}));
        QCOMPARE(Profile::load(dir.filePath("nothing.ini")).serialize(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestProfile)
#include "test_profile.moc"
