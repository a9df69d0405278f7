// The window program over its session: where it keeps its configuration when
// installed, the communication log of Tools, and the session outliving the
// windows.
#include <QAction>
#include <QtTest>

#include "gui/mainform.h"
#include "radio/seriallink.h"
#include "scriptedprompter.h"
#include "app/appstate.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "files/profile.h"
#include "base/systemlocale.h"
#include "sim/simradio.h"

class TestSession : public QObject {
    Q_OBJECT

    static void copyPacks(const QString& to)
    {
        QDir().mkpath(to);
        for (const char* pack : {"cha_dll.lang", "eng_dll.lang", "ty.lang", "sysini.ini"})
            QFile::copy(QDir(qEnvironmentVariable("RQ300_BIN_DIR")).filePath(QLatin1String(pack)),
                        QDir(to).filePath(QLatin1String(pack)));
    }

private slots:
    void init() { SystemLocale::setForTesting(0x0409, u'.'); }
    void cleanup() { SystemLocale::clearTestingOverride(); }

    // Installed: the packs and the default come from share/rq300, the
    // settings go to the home folder, and bin/ stays as installed.
    void installedWindowProgramKeepsItsSettingsAtHome()
    {
        QTemporaryDir root;
        const QString bin = root.filePath("usr/bin");
        QDir().mkpath(bin);
        copyPacks(root.filePath("usr/share/rq300"));
        QProcessEnvironment env;
        env.insert("HOME", root.filePath("home"));
        ScriptedPrompter prompter;
        AppSession session(ConfigLocation::forExecutable(bin, env));
        {
            TMainForm form(session);
            form.show();
            QCoreApplication::processEvents();
            // The shipped bands, and the English pack found in share/.
            QCOMPARE(session.doc->bandList(), QStringList({"400-470MHz", "400-430MHz"}));
            QCOMPARE(session.state->language, 2);
            QCOMPARE(session.doc->words().off, "OFF");
            form.close();
        }
        QVERIFY(prompter.messages.isEmpty());
        const QString ini = root.filePath("home/.config/rq300/sysini.ini");
        QCOMPARE(Profile::load(ini).intValue("open", "lang", 0), 2);
        QCOMPARE(Profile::load(ini).intValue("list", "listcount", 0), 2);
        QVERIFY(QDir(bin).isEmpty());
    }

    void communicationLogFromTheToolsMenu()
    {
        QTemporaryDir dir;
        copyPacks(dir.path());
        SimRadio sim;
        QVERIFY(sim.start());
        ScriptedPrompter prompter;
        AppSession session(ConfigLocation::beside(dir.path()));
        auto form = std::make_unique<TMainForm>(session);
        form->show();
        QCoreApplication::processEvents();
        auto* item = form->findChild<QAction*>("CommunicationLog1");
        QVERIFY(item);
        QCOMPARE(item->text(), "Communication lo&g...");

        // Cancelling the file dialog starts nothing.
        item->trigger();
        QVERIFY(!item->isChecked());
        QVERIFY(!session.link->log());

        const QString path = dir.filePath("trace.txt");
        prompter.files << path;
        item->trigger();
        QVERIFY(item->isChecked());
        QVERIFY(QFileInfo::exists(path));
        session.link->setDevice(sim.devicePath());
        QVERIFY(session.link->open());
        session.link->sendHex("0254415652494E");
        session.link->aSysDelay(16, 2000);
        session.link->close();

        item->trigger();
        QVERIFY(!item->isChecked());
        QVERIFY(!session.link->log());
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY(prompter.messages[0].text.contains(path));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QVERIFY(text.contains("TX  02 54 41 56 52 49 4E\n"));
        QVERIFY(text.contains("RX  06 74 61 76 72 69 6E\n"));

        // The session outlives the window: its document and link go on.
        form.reset();
        session.doc->setChoice(Key::Band, 1);
        QCOMPARE(session.doc->selectedBand(), "400-430MHz");
        QVERIFY(!session.link->isOpen());
    }
};

QTEST_MAIN(TestSession)
#include "test_session.moc"
