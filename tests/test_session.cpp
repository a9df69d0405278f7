// The window program over its session: where it keeps its configuration when
// installed, the communication log of Tools, and the session outliving the
// windows.
#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QtTest>

#include "gui/mainwindow.h"
#include "radio/seriallink.h"
#include "scriptedprompter.h"
#include "app/appstate.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "files/profile.h"
#include "files/settingsfile.h"
#include "base/packstrings.h"
#include "app/appsession.h"
#include "app/configlocation.h"
#include "gui/prompter.h"
#include "base/systemlocale.h"
#include "sim/simradio.h"
#include "filebytes.h"

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
        env.insert("XDG_CONFIG_DIRS", root.filePath("etc/xdg"));
        ScriptedPrompter prompter;
        AppSession session(ConfigLocation::forExecutable(bin, env));
        {
            MainWindow form(session);
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
        auto form = std::make_unique<MainWindow>(session);
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

    // A termination never waits for a click and never loses unsaved work,
    // whatever question is open.
    void terminationWhileAQuestionIsOpenKeepsTheWork()
    {
        // The program itself, asked at start whether to restore the work of
        // last time: the work stays for the next start.
        QTemporaryDir dir;
        copyPacks(dir.filePath("bin"));
        QVERIFY(QFile::copy(QDir(qEnvironmentVariable("RQ300_BIN_DIR")).filePath("rq300"), dir.filePath("bin/rq300")));
        QFile::setPermissions(dir.filePath("bin/rq300"), QFile::ReadOwner | QFile::ExeOwner);
        const QString recovery = dir.filePath("data/rq300/recovery.kq19");
        QDir().mkpath(QFileInfo(recovery).absolutePath());
        {
            SettingsDocument doc;
            doc.setCell(1, 1, "446.00625");
            QVERIFY(SettingsFile::save(recovery, doc.data(), PackStrings::builtIn(), u'.').ok());
        }
        const QByteArray kept = readAll(recovery);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", dir.filePath("data"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(env);
        program.start(dir.filePath("bin/rq300"), {});
        QVERIFY(program.waitForStarted());
        // Time for the question to come up.
        QVERIFY(!program.waitForFinished(1500));
        program.terminate();
        QVERIFY2(program.waitForFinished(10000), "the program waited for an answer");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(readAll(recovery), kept);

        // Exit's Save / Discard / Cancel in a real message box: the work
        // goes to the recovery file and the program ends.
        copyPacks(dir.filePath("here"));
        qputenv("XDG_DATA_HOME", dir.filePath("data2").toUtf8());
        Prompter::install(nullptr);
        AppSession session(ConfigLocation::beside(dir.filePath("here")));
        {
            MainWindow form(session);
            form.show();
            QCoreApplication::processEvents();
            form.document().setCell(3, 1, "447.00000");
            bool askedAndEnded = false;
            QTimer::singleShot(500, &form, [&] {
                askedAndEnded = QApplication::activeModalWidget() != nullptr;
                form.closeForTermination();
            });
            form.findChild<QAction*>("FileExitItem")->trigger();
            QVERIFY(askedAndEnded);
            QVERIFY(!form.isVisible());
        }
        const QString saved = dir.filePath("data2/rq300/recovery.kq19");
        QVERIFY(QFile::exists(saved));
        QVERIFY(readAll(saved).contains("447.00000"));
        // The program would end now; the tests go on, so the event loops
        // are let run again.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
    }
};

QTEST_MAIN(TestSession)
#include "test_session.moc"
