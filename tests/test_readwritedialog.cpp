#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

#include "transferwait.h"

#include "base/packstrings.h"
#include "base/result.h"
#include "base/textids.h"
#include "gui/radioinfowindow.h"
#include "radio/codecs.h"
#include "radio/portmap.h"
#include "gui/readwritedialog.h"
#include "radiofixture.h"
#include "scriptedprompter.h"

namespace {

// The windows of a transfer around a simulated radio on COM1.
struct Windows : RadioFixture {
    PortMap ports;
    AppContext ctx;
    ScriptedPrompter prompter;
    ReadWriteDialog rw;
    RadioInfoWindow info;

    Windows() : ctx(makeContext()), rw(ctx), info(ctx)
    {
        QObject::connect(&rw, &ReadWriteDialog::identityChanged, &info, &RadioInfoWindow::refresh);
        // These tests count the frames of one plain transfer.
        for (const char* box : {"CheckBackup", "CheckVerify"})
            rw.findChild<QCheckBox*>(box)->setChecked(false);
    }
    AppContext makeContext()
    {
        ports.setPath(1, sim.devicePath());
        ports.setPath(2, QStringLiteral("/nonexistent/ttyRQ300"));
        state.chosenPort = 1;
        return AppContext{&doc, &state, &link, &ports, &identity, {}};
    }

    QPushButton* button(const char* name) { return rw.findChild<QPushButton*>(name); }
    QProgressBar* progress() { return rw.findChild<QProgressBar*>("ProgressBar1"); }
    QLineEdit* edit(const char* name) { return info.findChild<QLineEdit*>(name); }
    // Starts the transfer and waits for its end: it runs on a thread of its
    // own while this one serves the simulated radio.
    void clickStart() { QVERIFY(startTransferAndWait(rw)); }
    // Shows the window as the Read or Write command does, without blocking.
    void open(int direction)
    {
        QVERIFY(rw.prepareCommand(direction, direction == 1 ? "读频" : "写频", direction == 1 ? "读 频" : "写 频"));
        rw.show();
    }
};

}

class TestReadWriteDialog : public QObject {
    Q_OBJECT
private slots:
    void readAndWriteThroughTheModalWindow()
    {
        Windows w;
        SimRadio::addSampleChannels(w.sim.memory());
        struct Seen { bool modal = false, verifyShown = true; QString title, start, status; } seen;
        QStatusBar* status = w.rw.findChild<QStatusBar*>("StatusBar");
        QCheckBox* verify = w.rw.findChild<QCheckBox*>("CheckVerify");
        const auto said = [&](int id) { return Result::fail(id, {"COM1", w.sim.devicePath()}).text(w.state.texts); };
        QTimer::singleShot(0, [&] {
            seen.modal = w.rw.isVisible() && w.rw.isModal();
            seen.title = w.rw.windowTitle();
            seen.start = w.button("Button1")->text();
            seen.verifyShown = verify->isVisible();   // a read checks nothing
            w.clickStart();
            seen.status = status->currentMessage();
            w.rw.close();
        });
        w.rw.startCommand(1, "读频", "读 频");
        QVERIFY(seen.modal);
        QCOMPARE(seen.title, QString("读频"));
        QCOMPARE(seen.start, QString("读 频"));
        QVERIFY(!seen.verifyShown);
        // The end is said: what was done, on which port (no backup was asked).
        QCOMPARE(seen.status, said(TextId::StatusRead));
        QVERIFY(!w.rw.isVisible());
        QVERIFY(!w.link.isOpen());
        QVERIFY(w.prompter.messages.isEmpty());
        QCOMPARE(w.progress()->value(), 180);
        QCOMPARE(w.progress()->maximum(), 180);
        QCOMPARE(w.doc.cell(2, 1), QString("439.10000"));
        QCOMPARE(w.edit("Edit3")->text(), QString("Tavrin"));
        QCOMPARE(w.edit("Edit1")->text(), QString("MZ-209"));
        QCOMPARE(w.edit("Edit2")->text(), QString("400-470MHz"));
        QCOMPARE(w.edit("Edit9")->text(), QString("SIM"));

        // Edit, then write with the user name stamped from the information window.
        w.doc.setCell(2, 5, w.doc.words().high);
        QTest::keyClicks(w.edit("Edit8"), "USER1");
        w.info.findChild<QCheckBox*>("CheckBox2")->setChecked(true);
        w.sim.resetCounters();
        QTimer::singleShot(0, [&] {
            seen.start = w.button("Button1")->text();
            seen.verifyShown = verify->isVisible();
            w.clickStart();
            seen.status = status->currentMessage();
            w.rw.close();
        });
        w.rw.startCommand(2, "写频", "写 频");
        QCOMPARE(seen.start, QString("写 频"));
        QVERIFY(seen.verifyShown);
        QCOMPARE(seen.status, said(TextId::StatusWritten));
        QVERIFY(w.prompter.messages.isEmpty());
        QCOMPARE(w.rw.direction(), 2);
        QCOMPARE(w.sim.writtenAddresses().first(), Codec::UserAddr);
        QCOMPARE(w.mem(Codec::UserAddr, 8).toHex().toUpper(), QByteArray("5553455231FFFF05"));
        QCOMPARE(quint8(w.mem(0x4090 + 14, 1).at(0)) & 0x80, 0x80);

        // With a backup and the check, both are said, and the backup is there.
        w.rw.findChild<QCheckBox*>("CheckBackup")->setChecked(true);
        verify->setChecked(true);
        w.open(2);
        w.clickStart();
        QVERIFY(w.prompter.messages.isEmpty());
        const QString lead = said(TextId::StatusWrittenChecked) + u' '
                             + Result::fail(TextId::BackupSaved, {QString()}).text(w.state.texts);
        const QString line = status->currentMessage();
        QVERIFY2(line.startsWith(lead), qPrintable(line));
        const QString backup = line.mid(lead.size());
        QVERIFY2(backup.endsWith(".kq19") && QFile::exists(backup), qPrintable(backup));
    }

    void portThatCannotBeOpened()
    {
        Windows w;
        w.state.chosenPort = 2;
        w.rw.startCommand(1, "读频", "读 频");   // returns at once: nothing modal runs
        QVERIFY(!w.rw.isVisible());
        QCOMPARE(w.prompter.messages.size(), 1);
        const ScriptedPrompter::Shown m = w.prompter.messages.first();
        QCOMPARE(m.caption, w.state.text(TextId::WarningCaption));   // not "Information" under a warning icon
        QVERIFY(m.text.startsWith(w.state.text(MsgId::PortFailed)));
        QVERIFY2(m.text.contains("/nonexistent/ttyRQ300"), qPrintable(m.text));
        QCOMPARE(m.icon, Prompter::Icon::Exclamation);
    }

    void closeRefusedWhileRunning()
    {
        Windows w;
        w.open(1);
        struct { bool visible = false, startEnabled = true, running = false; } during;
        QTimer::singleShot(100, [&] {
            w.rw.close();
            QTest::keyClick(&w.rw, Qt::Key_Escape);
            w.button("Button2")->click();
            during.visible = w.rw.isVisible();
            during.startEnabled = w.button("Button1")->isEnabled();
            during.running = w.rw.isTransferRunning();
        });
        w.clickStart();
        QVERIFY(during.running);
        QVERIFY(during.visible);
        QVERIFY(!during.startEnabled);
        QVERIFY(w.rw.isVisible());
        QVERIFY(w.prompter.messages.isEmpty());
        w.button("Button2")->click();
        QVERIFY(!w.rw.isVisible());
        QVERIFY(!w.link.isOpen());
    }

    void missingAckKeepsProgressAndWindowUsable()
    {
        Windows w;
        w.state.texts = englishTexts();
        w.sim.setFaults({.noReplyToFrame = Frame::writtenSecondHalf(5)});
        w.open(2);
        w.clickStart();
        QCOMPARE(w.progress()->value(), 20);
        QCOMPARE(w.progress()->maximum(), 180);
        QCOMPARE(w.prompter.messages.size(), 1);
        const ScriptedPrompter::Shown m = w.prompter.messages.first();
        QCOMPARE(m.caption, w.state.text(TextId::WarningCaption));   // not "Information" under a warning icon
        QVERIFY(m.text.startsWith(w.state.text(MsgId::TransferFailed)));
        QVERIFY2(m.text.endsWith("\n\nNo acknowledgement for channel 5 second half"), qPrintable(m.text));
        QCOMPARE(m.icon, Prompter::Icon::Exclamation);
        QVERIFY(w.button("Button1")->isEnabled());

        // The same window runs the next transfer.
        w.clickStart();
        QCOMPARE(w.prompter.messages.size(), 1);
        QCOMPARE(w.progress()->value(), 180);
    }

    void passwordErrorMessage()
    {
        Windows w;
        w.put(Codec::PasswordAddr, "123456FFFFFFFFF6");
        w.doc.setText(Key::Password, "12345");
        w.open(1);
        w.clickStart();
        QCOMPARE(w.prompter.messages.size(), 1);
        // The original words, then which field must hold the radio's password.
        const QString text = w.prompter.messages.first().text;
        QVERIFY2(text.startsWith("Communication Password Error !\n\n"), qPrintable(text));
        QVERIFY2(text.contains("“功能选项”中的“通信密码”") && text.contains("留空"), qPrintable(text));
        QCOMPARE(w.prompter.messages.first().icon, Prompter::Icon::None);
    }

    void cablePulledDuringTransfer()
    {
        Windows w;
        w.state.texts = englishTexts();
        w.sim.setFaults({.closeAfterFrames = Frame::channelFirstHalf(2)});
        w.open(1);
        w.clickStart();
        QCOMPARE(w.prompter.messages.size(), 1);
        QVERIFY2(w.prompter.messages.first().text.contains("\n\nPort error: "),
                 qPrintable(w.prompter.messages.first().text));
        QVERIFY(w.button("Button1")->isEnabled());
        w.rw.close();
        QVERIFY(!w.rw.isVisible());
    }

    void malformedCellRefusedWithItsName()
    {
        Windows w;
        const ValueWords& words = w.doc.words();
        const QStringList row = {"446.00625", words.off, "446.00625", words.off, "大功率", words.wide,
                                 words.on, words.off, words.on, words.off, words.off};
        for (int c = 1; c <= 11; ++c)
            w.doc.setCell(7, c, row[c - 1]);
        w.open(2);
        w.clickStart();
        QCOMPARE(w.sim.framesReceived(), 0);
        QCOMPARE(w.prompter.messages.size(), 1);
        QVERIFY2(w.prompter.messages.first().text.contains(QStringLiteral("信道7,功率:\"大功率\" 不是")),
                 qPrintable(w.prompter.messages.first().text));
    }

    void windowTexts()
    {
        Windows w;
        QVERIFY(w.button("Button3")->isHidden());
        QCOMPARE(w.button("Button3")->text(), QString("初始化"));
        QCOMPARE(w.button("Button2")->text(), QString("退 出"));
        PackStrings t;
        t.set(2, "Exit");
        t.set(61, "RQ-300 Programming");
        t.set(159, "Admin");
        t.set(145, "Radio Info");
        w.rw.applyTexts(t);
        QCOMPARE(w.button("Button2")->text(), QString("Exit"));
        QCOMPARE(w.rw.findChild<QStatusBar*>("StatusBar")->currentMessage(), QString("     RQ-300 Programming"));

        QStatusBar* bar = w.info.findChild<QStatusBar*>("StatusBar");
        w.info.setStatusAdmin();
        QCOMPARE(bar->currentMessage(), QString("  管理员：Tavrin"));
        w.info.applyTexts(t);
        QCOMPARE(w.info.windowTitle(), QString("Radio Info"));
        QCOMPARE(w.info.findChild<QLabel*>("Label1")->text(), QString("机型"));   // not in this pack
        w.info.setStatusAdmin();
        QCOMPARE(bar->currentMessage(), QString("  Admin：Tavrin"));
    }

    void informationWindow()
    {
        Windows w;
        for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit9"}) {
            QCOMPARE(w.edit(name)->text(), QString("--------"));
            QVERIFY(w.edit(name)->isReadOnly());
        }
        QVERIFY(w.edit("Edit4")->isHidden());
        QVERIFY(w.info.findChild<QLabel*>("Label4")->isHidden());

        QLineEdit* user = w.edit("Edit8");
        QTest::keyClicks(user, "ab");
        QTest::sendKeyEvent(QTest::Click, user, Qt::Key_unknown, QString(QChar(0x4E2D)), Qt::NoModifier);
        QInputMethodEvent composed;
        composed.setCommitString(QString(QChar(0x6587)));
        QCoreApplication::sendEvent(user, &composed);
        QTest::keyClicks(user, "cdefghij");
        QCOMPARE(user->text(), QString("abcdefg"));
        QCOMPARE(w.identity.userToWrite, QString("abcdefg"));
        QTest::mouseClick(w.info.findChild<QCheckBox*>("CheckBox2"), Qt::LeftButton);
        QVERIFY(w.identity.writeUser);

        w.info.show();
        w.identity.admin = "Keeper";
        w.info.findChild<QPushButton*>("Button1")->click();
        QVERIFY(!w.info.isVisible());
        w.info.show();
        QCOMPARE(w.edit("Edit3")->text(), QString("Keeper"));
        QCOMPARE(user->text(), QString("abcdefg"));
    }
};

QTEST_MAIN(TestReadWriteDialog)
#include "test_readwritedialog.moc"
