// The read/write window's backup and verify boxes, the compare list and the
// window that programs several radios at once.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QSignalSpy>
#include <QtTest>

#include "files/profile.h"
#include "app/appsession.h"
#include "files/backups.h"
#include "gui/backupswindow.h"
#include "gui/comparewindow.h"
#include "gui/fleetwindow.h"
#include "gui/readwritedialog.h"
#include "mainwindowfixture.h"
#include "radio/portmap.h"
#include "radiofixture.h"
#include "channelcells.h"

class TestSafetyWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("XDG_DATA_HOME", QDir::temp().filePath("rq300-test-windows-data").toUtf8()); }

    void boxesAreOnByDefaultAndRemembered()
    {
        {
            MainWindowFixture f("[Open]\r\nlang=2\r\n");
            QCheckBox* backup = f.form->readWriteDialog()->findChild<QCheckBox*>("CheckBackup");
            QCheckBox* verify = f.form->readWriteDialog()->findChild<QCheckBox*>("CheckVerify");
            QVERIFY(backup->isChecked() && verify->isChecked());
            verify->click();
            QVERIFY(!f.form->readWriteDialog()->safetyOptions().verify);
            QVERIFY(f.form->readWriteDialog()->safetyOptions().backup);
            const Profile ini = f.closeAndReadIni();
            QCOMPARE(ini.value("safety", "verify"), "0");
            QCOMPARE(ini.value("safety", "backup"), "1");
        }
        MainWindowFixture again("[Open]\r\nlang=2\r\n[safety]\r\nbackup=0\r\nverify=0\r\n");
        QVERIFY(!again.form->readWriteDialog()->findChild<QCheckBox*>("CheckBackup")->isChecked());
        QVERIFY(!again.form->readWriteDialog()->findChild<QCheckBox*>("CheckVerify")->isChecked());
    }

    // An installed program keeps the boxes in the home configuration, never
    // beside its executable; a configuration that cannot be saved is said.
    void boxesOfAnInstalledProgramGoToTheHomeConfiguration()
    {
        QTemporaryDir root;
        const QString bin = root.filePath("prefix/bin"), share = root.filePath("prefix/share/rq300");
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(share));
        for (const char* file : {"cha_dll.lang", "eng_dll.lang", "ty.lang"})
            QVERIFY(QFile::copy(QDir(qEnvironmentVariable("RQ300_BIN_DIR")).filePath(file), QDir(share).filePath(file)));
        QFile ini(QDir(share).filePath("sysini.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Open]\r\nlang=2\r\n[list]\r\nlistcount=1\r\ncombo0=400-430MHz\r\n");
        ini.close();
        auto installed = [&](const QString& configHome) {
            QProcessEnvironment env;
            env.insert("HOME", root.filePath("home"));
            env.insert("XDG_CONFIG_DIRS", root.filePath("etc/xdg"));
            env.insert("XDG_CONFIG_HOME", configHome);
            return ConfigLocation::forExecutable(bin, env);
        };
        const ConfigLocation where = installed(root.filePath("config"));
        QVERIFY(!where.portable);
        ScriptedPrompter prompter;
        {
            AppSession session(where);
            MainWindow form(session);
            QCheckBox* backup = form.readWriteDialog()->findChild<QCheckBox*>("CheckBackup");
            QVERIFY(backup->isChecked());
            backup->click();
            QVERIFY2(prompter.messages.isEmpty(), qPrintable(prompter.messages.value(0).text));
        }
        QCOMPARE(QDir(bin).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        const Profile saved = Profile::load(where.iniPath);
        QCOMPARE(saved.value("safety", "backup"), "0");
        QCOMPARE(saved.value("list", "combo0"), "400-430MHz");   // the rest of the file stays
        {
            AppSession session(where);
            MainWindow form(session);
            QVERIFY(!form.readWriteDialog()->findChild<QCheckBox*>("CheckBackup")->isChecked());
        }

        // A configuration folder that cannot be made: the tick stays for the
        // session and the message names the file, in the window's language.
        QFile blocked(root.filePath("blocked"));
        QVERIFY(blocked.open(QIODevice::WriteOnly));
        blocked.close();
        const ConfigLocation nowhere = installed(blocked.fileName());
        AppSession session(nowhere);
        MainWindow form(session);
        prompter.messages.clear();
        QCheckBox* verify = form.readWriteDialog()->findChild<QCheckBox*>("CheckVerify");
        verify->click();
        QVERIFY(!form.readWriteDialog()->safetyOptions().verify);
        QCOMPARE(prompter.messages.size(), 1);
        QCOMPARE(prompter.messages[0].text, QStringLiteral("Unable to write to %1").arg(nowhere.iniPath));
        QCOMPARE(QDir(bin).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    void compareListsTheDifferencesAndChangesNothing()
    {
        RadioFixture f;
        PortMap ports;
        ports.setPath(1, f.sim.devicePath());
        f.state.chosenPort = 1;
        AppContext ctx{&f.doc, &f.state, &f.link, &ports, &f.identity, {}};
        ScriptedPrompter prompter;
        f.doc.setCell(5, 1, "446.00625");
        const DocumentData before = f.doc.data();
        const QByteArray memory = f.sim.memory();
        CompareWindow w(ctx);
        QSignalSpy read(&w, &CompareWindow::readFinished);
        w.readRadio();
        // The read runs on a thread of its own; the window stays usable.
        QVERIFY(w.isReading());
        QVERIFY(read.wait(30000));
        QVERIFY(prompter.messages.isEmpty());
        const QListWidget* list = w.findChild<QListWidget*>("ListDifferences");
        QVERIFY(list->count() > 0);
        QCOMPARE(list->count(), int(w.differences().size()));
        // In the window's language, the state's built-in Chinese here.
        QVERIFY2(w.differences().contains(QStringLiteral("信道05:446.00625 -> (空)")), qPrintable(w.differences().join('\n')));
        QVERIFY(f.doc.data() == before);
        QCOMPARE(f.sim.memory(), memory);
        QVERIFY(f.sim.writtenAddresses().isEmpty());
    }

    void backupsWindowListsNewestFirstAndOpensOne()
    {
        RadioFixture f;
        const QString folder = Backups::folder();
        QDir(folder).removeRecursively();
        // Two backups of the same radio a day apart: the older one held channel 3.
        DocumentData older = f.doc.data();
        setCellOf(older, 3, 1, "446.00625");
        QString olderPath, newerPath;
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(Backups::saveSettings(older, f.state.texts, "FLEET", &olderPath, folder, now.addDays(-1)).ok());
        QVERIFY(Backups::saveSettings(f.doc.data(), f.state.texts, "FLEET", &newerPath, folder, now).ok());

        AppContext ctx{&f.doc, &f.state, &f.link, nullptr, &f.identity, {}};
        ScriptedPrompter prompter;
        BackupsWindow w(ctx);
        w.refresh();
        QCOMPARE(w.count(), 2);
        QCOMPARE(w.pathAt(0), newerPath);
        QCOMPARE(w.pathAt(1), olderPath);
        QSignalSpy loaded(&w, &BackupsWindow::loaded);
        w.selectRow(1);
        QVERIFY(w.openSelected());
        QVERIFY(prompter.messages.isEmpty());
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(f.doc.cell(3, 1), QString("446.00625"));

        // A backup that went missing is reported and changes nothing.
        QFile::remove(newerPath);
        const DocumentData before = f.doc.data();
        w.selectRow(0);
        QVERIFY(!w.openSelected());
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY(f.doc.data() == before);
        QDir(folder).removeRecursively();
    }

    // Three radios at once, one of which keeps its old bytes: the other two
    // are written and checked, the third fails with the record named, and
    // the report lists all three under their counted names.
    void fleetWindowProgramsSeveralRadiosAndReports()
    {
        RadioFixture r;
        r.state.texts = englishTexts();
        r.doc.applyLanguage(r.state.texts);
        SimRadio second, third;
        QVERIFY(second.start() && third.start());
        SimRadio::Faults forgets;
        forgets.forgetWritesAt = 0x4090;   // channel 2, first half
        third.setFaults(forgets);
        // A channel there, which the empty channel of the document would clear.
        third.memory().replace(0x4090, 16, QByteArray::fromHex("439100004341000020132013FFF63FFD"));
        PortMap ports;
        ports.setPath(1, r.sim.devicePath());
        ports.setPath(2, second.devicePath());
        ports.setPath(3, third.devicePath());
        AppContext ctx{&r.doc, &r.state, &r.link, &ports, &r.identity, {}};
        ScriptedPrompter prompter;
        QTemporaryDir dir;

        FleetWindow w(ctx);
        w.show();
        for (const char* box : {"PortBox1", "PortBox2", "PortBox3"})
            w.findChild<QCheckBox*>(box)->setChecked(true);
        w.findChild<QRadioButton*>("UserPattern")->setChecked(true);
        w.findChild<QLineEdit*>("Pattern")->setText("T-##");
        w.findChild<QSpinBox*>("FirstNumber")->setValue(7);
        w.findChild<QLineEdit*>("ReportPath")->setText(dir.filePath("report.csv"));
        QSignalSpy ended(&w, &FleetWindow::runFinished);
        QTest::mouseClick(w.findChild<QPushButton*>("ButtonStart"), Qt::LeftButton);
        QVERIFY(r.state.radioBusy());   // no other transfer meanwhile
        QVERIFY(!w.findChild<QPushButton*>("ButtonStart")->isEnabled());
        QVERIFY(ended.wait(60000));
        QVERIFY2(prompter.messages.isEmpty(), qPrintable(prompter.messages.value(0).text));
        QVERIFY(!r.state.radioBusy());

        QCOMPARE(w.findChild<QLabel*>("Totals")->text(), "Radios done: 2    failed: 1");
        auto* table = w.findChild<QTableWidget*>("FleetTable");
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->item(0, 1)->text(), "Done");
        QCOMPARE(table->item(1, 1)->text(), "Done");
        QVERIFY2(table->item(2, 1)->text().startsWith("Failed: The radio does not hold what was written:"),
                 qPrintable(table->item(2, 1)->text()));
        QVERIFY(table->item(2, 1)->text().contains("channel 2 first half: written"));
        QStringList names;
        for (int row = 0; row < 3; ++row)
            names << table->item(row, 2)->text();
        QCOMPARE(QStringList(names).size(), 3);
        names.sort();
        QCOMPARE(names, QStringList({"T-07", "T-08", "T-09"}));

        QFile file(dir.filePath("report.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList report = QString::fromUtf8(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(report.size(), 4);
        QCOMPARE(report[0], "Date and time,Port,User name,Result,Verify,Backup");
        int written = 0;
        for (const QString& line : report.mid(1)) {
            if (line.contains(",COM3,")) {
                QVERIFY2(line.contains(",\"failed: The radio does not hold what was written:"), qPrintable(line));
                QVERIFY2(line.contains("\",differs,"), qPrintable(line));
                continue;
            }
            const QStringList f = line.split(',');
            QCOMPARE(f.size(), 6);
            QCOMPARE(f.mid(3, 2), QStringList({"written", "checked"}));
            QVERIFY(QFileInfo::exists(f[5]));
            ++written;
        }
        QCOMPARE(written, 2);
        // The radios hold the names the rows show.
        QCOMPARE(r.mem(0x4048, 4), table->item(0, 2)->text().toLatin1());
        QCOMPARE(second.memory().mid(0x4048, 4), table->item(1, 2)->text().toLatin1());

        // A port another program holds: its row says why while it waits, and
        // Stop ends the batch.
        SerialLink holder;
        holder.setDevice(second.devicePath());
        QVERIFY(holder.open());
        w.findChild<QCheckBox*>("PortBox1")->setChecked(false);
        w.findChild<QCheckBox*>("PortBox3")->setChecked(false);
        QTest::mouseClick(w.findChild<QPushButton*>("ButtonStart"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(table->item(0, 1)->text().startsWith("Waiting for a radio, but the port cannot be opened: "),
                                 5000);
        QVERIFY2(table->item(0, 1)->text().contains("in use"), qPrintable(table->item(0, 1)->text()));
        QTest::mouseClick(w.findChild<QPushButton*>("ButtonStop"), Qt::LeftButton);
        QVERIFY(ended.wait(5000));
        QCOMPARE(table->item(0, 1)->text(), "Stopped");
        QVERIFY(!r.state.radioBusy());
    }
};

QTEST_MAIN(TestSafetyWindows)
#include "test_safetywindows.moc"
