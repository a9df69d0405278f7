#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "mainwindowfixture.h"
#include "gui/readwritedialog.h"
#include "gui/alignmentwindow.h"
#include "sim/simradio.h"

// The read/write window's initialise command: the alignment window's adjust
// without its end command, then the transfer, over one radio connection.
class TestInitialise : public QObject {
    Q_OBJECT

    static QByteArray at(SimRadio& sim, int address, int size = 8)
    {
        return sim.memory().mid(address, size);
    }

    static QByteArray sysini(const SimRadio& sim, int listnow)
    {
        return QStringLiteral("[Open]\r\ncom=1\r\n[ports]\r\ncom1=%1\r\n[list]\r\nlistcount=2\r\n"
                              "combo0=400-430MHz\r\ncombo1=400-470MHz\r\nlistnow=%2\r\n")
            .arg(sim.devicePath())
            .arg(listnow)
            .toUtf8();
    }

private slots:
    void newRadioIsInitialisedThenRead()
    {
        SimRadio sim;
        QVERIFY(sim.start());
        sim.memory().replace(0x4070, 16, QByteArray(16, char(0xFF)));   // no model, no band yet
        MainWindowFixture fx(sysini(sim, 1));
        MainWindow& f = *fx.form;
        f.alignmentWindow()->findChild<QLineEdit*>("Edit413")->setText("123");

        ReadWriteDialog& rw = *f.readWriteDialog();
        QVERIFY(rw.prepareCommand(1, "读频", "读 频"));
        rw.focusStart();
        QSignalSpy readDone(&rw, &ReadWriteDialog::transferFinished);
        rw.findChild<QPushButton*>("Button3")->click();
        // The adjust and then the read run on threads of their own.
        QVERIFY(readDone.wait(30000));

        QCOMPARE(at(sim, 0x4070).toHex(' '), QByteArray("4b 51 2d 19 5a 18 ff 06"));
        QCOMPARE(at(sim, 0x4078).toHex(' '), QByteArray("47 00 40 00 47 00 40 00"));
        QCOMPARE(at(sim, 0x4020, 2).toHex(' '), QByteArray("04 ce"));
        // The read that followed found the band just written.
        QVERIFY2(fx.prompter.messages.isEmpty(),
                 qPrintable(fx.prompter.messages.value(0).text));
        QCOMPARE(f.document().selectedBand(), "400-470MHz");
        QVERIFY(f.windowTitle().endsWith(" - MZ-209     [400-470MHz]"));
        QVERIFY(rw.findChild<QPushButton*>("Button1")->isEnabled());
        QVERIFY(rw.findChild<QPushButton*>("Button3")->isEnabled());
        rw.closed();
    }

    void refusedAdjustStartsNoTransfer()
    {
        SimRadio sim;
        QVERIFY(sim.start());
        MainWindowFixture fx(sysini(sim, -1));   // no band selected: nothing can be written
        ReadWriteDialog& rw = *fx.form->readWriteDialog();
        QVERIFY(rw.prepareCommand(2, "写频", "写 频"));
        rw.focusStart();
        sim.resetCounters();
        rw.findChild<QPushButton*>("Button3")->click();
        QCOMPARE(sim.framesReceived(), 0);
        QCOMPARE(fx.prompter.messages.size(), 1);
        QVERIFY(rw.mayClose());
        rw.closed();
    }
};

QTEST_MAIN(TestInitialise)
#include "test_initialise.moc"
