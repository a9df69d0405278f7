// The read/write window's backup and verify boxes, and the compare list.
#include <QCheckBox>
#include <QListWidget>
#include <QtTest>

#include "files/profile.h"
#include "gui/comparewindow.h"
#include "gui/rwform.h"
#include "mainformfixture.h"
#include "radio/portmap.h"
#include "radiofixture.h"

class TestSafetyWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("XDG_DATA_HOME", QDir::temp().filePath("rq300-test-windows-data").toUtf8()); }

    void boxesAreOnByDefaultAndRemembered()
    {
        {
            MainFormFixture f("[Open]\r\nlang=2\r\n");
            QCheckBox* backup = f.form->rwForm()->findChild<QCheckBox*>("CheckBackup");
            QCheckBox* verify = f.form->rwForm()->findChild<QCheckBox*>("CheckVerify");
            QVERIFY(backup->isChecked() && verify->isChecked());
            verify->click();
            QVERIFY(!f.form->rwForm()->safetyOptions().verify);
            QVERIFY(f.form->rwForm()->safetyOptions().backup);
            const Profile ini = f.closeAndReadIni();
            QCOMPARE(ini.value("safety", "verify"), "0");
            QCOMPARE(ini.value("safety", "backup"), "1");
        }
        MainFormFixture again("[Open]\r\nlang=2\r\n[safety]\r\nbackup=0\r\nverify=0\r\n");
        QVERIFY(!again.form->rwForm()->findChild<QCheckBox*>("CheckBackup")->isChecked());
        QVERIFY(!again.form->rwForm()->findChild<QCheckBox*>("CheckVerify")->isChecked());
    }

    void compareListsTheDifferencesAndChangesNothing()
    {
        RadioFixture f;
        PortMap ports;
        ports.setPath(1, f.sim.devicePath());
        f.state.chosenPort = 1;
        AppContext ctx{&f.doc, &f.state, &f.link, &ports, &f.identity, QString()};
        ScriptedPrompter prompter;
        f.doc.setCell(5, 1, "446.00625");
        const DocumentData before = f.doc.data();
        const QByteArray memory = f.sim.memory();
        TCompareWindow w(ctx);
        w.ButtonReadClick();
        QVERIFY(prompter.messages.isEmpty());
        const QListWidget* list = w.findChild<QListWidget*>("ListDifferences");
        QVERIFY(list->count() > 0);
        QCOMPARE(list->count(), int(w.differences().size()));
        QVERIFY(w.differences().contains("channel 05: 446.00625 -> (empty)"));
        QVERIFY(f.doc.data() == before);
        QCOMPARE(f.sim.memory(), memory);
        QVERIFY(f.sim.writtenAddresses().isEmpty());
    }
};

QTEST_MAIN(TestSafetyWindows)
#include "test_safetywindows.moc"
