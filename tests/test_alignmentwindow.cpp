#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "files/alignmentfile.h"
#include "files/backups.h"
#include "document/alignmentvalues.h"
#include "app/appstate.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "radio/identity.h"
#include "radio/portmap.h"
#include "radio/seriallink.h"
#include "englishtexts.h"
#include "scriptedprompter.h"
#include "gui/alignmentwindow.h"
#include "gui/updown.h"
#include "sim/simradio.h"

namespace {

const QString Caption = QStringLiteral("系统提示");
const QString FailureMessage = QStringLiteral("通信连接失败!\n\n请检查连接是否正确或对讲机电源是否打开!");
const QByteArray ServiceHello = QByteArray("\x02\x06TAVRIN");
const QByteArray ProgHello = QByteArray("\x02TAVRIN");

// The window with everything it is given, COM1 pointing at a simulated radio
// and the second band of the list selected.
struct Bench {
    SimRadio sim;
    SerialLink link;
    SettingsDocument doc;
    AppState state;
    PortMap ports;
    RadioIdentity identity;
    AppContext ctx;
    ScriptedPrompter prompter;
    std::unique_ptr<AlignmentWindow> form;

    Bench()
    {
        QString error;
        if (!sim.start(&error))
            qFatal("cannot start the simulated radio: %s", qPrintable(error));
        for (int n = 1; n <= PortMap::Count; ++n)
            ports.setPath(n, QStringLiteral("/dev/rq300-test-missing-%1").arg(n));
        ports.setPath(1, sim.devicePath());
        doc.setBandList({QStringLiteral("400-470MHz"), QStringLiteral("400-430MHz")});
        doc.setChoice(Key::Band, 1);
        state.modelId = QStringLiteral("4B512D195A18FF06");
        ctx = AppContext{&doc, &state, &link, &ports, &identity, {}};
        form = std::make_unique<AlignmentWindow>(ctx);
        form->show();
    }

    QLineEdit* edit(const char* name) { return form->findChild<QLineEdit*>(QLatin1String(name)); }
    QPushButton* button(int n) { return form->findChild<QPushButton*>(QStringLiteral("Button%1").arg(n)); }
    // Clicks a radio command and waits for its operation, message included,
    // to end; false if it did not.
    bool run(int n)
    {
        button(n)->click();
        return QTest::qWaitFor([this] { return !form->operationRunning(); }, 30000);
    }
    QLabel* label25() { return form->findChild<QLabel*>(QStringLiteral("Label25")); }
    UpDown* spin(const char* edit) { return form->findChild<UpDown*>(QLatin1String("UpDown") + QLatin1String(edit + 4)); }
    void put(int address, const char* hex)
    {
        const QByteArray b = QByteArray::fromHex(hex);
        sim.memory().replace(address, b.size(), b);
    }
    void type(const char* name, const QString& text)
    {
        edit(name)->clear();
        QTest::keyClicks(edit(name), text);
    }
};

} // namespace

class TestAlignmentWindow : public QObject {
    Q_OBJECT
private slots:
    void firstAdjustKeepsWhatTheRadioHeld()
    {
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        Bench b;
        b.put(0x4020, "0102030405060708");   // values a radio may hold
        const QByteArray held = b.sim.memory().mid(0x4020, 24);
        b.type("Edit401", "20");
        QVERIFY(b.run(2));
        QVERIFY2(b.prompter.messages.isEmpty(), qPrintable(b.prompter.messages.value(0).text));
        QVERIFY2(b.prompter.questions.isEmpty(), qPrintable(b.prompter.questions.value(0).text));
        QVERIFY(b.sim.memory().mid(0x4020, 24) != held);   // the adjust wrote
        const QDir folder(Backups::folder());
        const QStringList kept = folder.entryList({"*.m17"});
        QCOMPARE(kept.size(), 1);
        // The backup loads into the window and holds the radio's old values.
        AlignmentValues backup;
        QVERIFY(AlignmentFile::load(folder.filePath(kept[0]), backup).ok());
        AlignmentValues radio;
        for (int address : {AlignmentValues::FrequencyRecord, AlignmentValues::DeviationRecord,
                            AlignmentValues::ModRecord})
            radio.setFromRecord(address, held.mid(address - 0x4020, 8));
        for (const AlignmentValues::Field& f : AlignmentValues::fields())
            QCOMPARE(backup.text(f.name), radio.text(f.name));
        QCOMPARE(backup.text("Edit401"), radio.text("Edit401"));
        QVERIFY(radio.text("Edit401") != "20");
        // Later adjusts of the same window keep no more copies.
        QVERIFY(b.run(2));
        QCOMPARE(folder.entryList({"*.m17"}).size(), 1);
        qunsetenv("XDG_DATA_HOME");
    }

    void controlsAsDelivered()
    {
        Bench b;
        QCOMPARE(b.form->objectName(), QString("TestForm"));
        QCOMPARE(b.form->windowTitle(), QString("调试"));
        QCOMPARE(b.edit("Edit405")->text(), QString("43"));
        QCOMPARE(b.edit("Edit202")->text(), QString("0D"));
        QCOMPARE(b.form->findChildren<QLineEdit*>().size(), 15);
        QCOMPARE(b.form->findChildren<UpDown*>().size(), 13);
        auto* stamp = b.form->findChild<QCheckBox*>("CheckBox3");
        QCOMPARE(stamp->text(), QString("写入出厂日期"));
        QVERIFY(!stamp->isChecked());
        stamp->click();
        QVERIFY(b.state.stampFactoryDate);
        stamp->click();
        QVERIFY(!b.state.stampFactoryDate);
    }

    void typingIsFilteredAndLimited()
    {
        Bench b;
        b.type("Edit401", "99");
        QCOMPARE(b.edit("Edit401")->text(), QString("63"));
        QCOMPARE(b.spin("Edit401")->position(), 63);
        // The arrows still go past what typing allows, up to the range's end.
        auto* up = b.spin("Edit401")->findChild<QToolButton*>("Up");
        QTest::mouseClick(up, Qt::LeftButton);
        QCOMPARE(b.edit("Edit401")->text(), QString("64"));
        for (int i = 0; i < 200; ++i)
            b.spin("Edit401")->step(1);
        QCOMPARE(b.edit("Edit401")->text(), QString("200"));

        b.type("Edit402", "a1-b2.");
        QCOMPARE(b.edit("Edit402")->text(), QString("12"));
        b.type("Edit407", "300");
        QCOMPARE(b.edit("Edit407")->text(), QString("255"));
        b.type("Edit408", "1234");
        QCOMPARE(b.edit("Edit408")->text(), QString("123"));
        QTest::keyClick(b.edit("Edit408"), Qt::Key_Backspace);
        QCOMPARE(b.edit("Edit408")->text(), QString("12"));
        QCOMPARE(b.spin("Edit408")->position(), 12);
        // No replacement here; the spin stops at its end, the text stays.
        b.type("Edit405", "999999");
        QCOMPARE(b.edit("Edit405")->text(), QString("99999"));
        QCOMPARE(b.spin("Edit405")->position(), 255);
        // No key filter on these.
        b.type("Edit413", "12x");
        QCOMPARE(b.edit("Edit413")->text(), QString("12x"));
        b.type("Edit201", "zz9");
        QCOMPARE(b.edit("Edit201")->text(), QString("zz9"));
        // Setting a text moves the spin as typing does.
        b.edit("Edit412")->setText("150");
        QCOMPARE(b.spin("Edit412")->position(), 150);
    }

    void readOfUnsetBandLeavesTheSelectionAlone()
    {
        Bench b;
        b.put(0x4078, "FFFFFFFFFFFFFFFF");
        QSignalSpy band(b.form.get(), &AlignmentWindow::bandSelected);
        QVERIFY(b.run(1));
        QVERIFY(b.prompter.messages.isEmpty());
        QCOMPARE(b.doc.choice(Key::Band), 1);
        QCOMPARE(band.size(), 0);
        QCOMPARE(b.identity.band, RadioIdentity::Unfilled);
        QCOMPARE(b.edit("Edit413")->text(), QString("200"));
        QCOMPARE(b.spin("Edit413")->position(), 200);
        QCOMPARE(b.edit("Edit201")->text(), QString("5A"));
    }

    void readOfListedBandSelectsIt()
    {
        Bench b;
        QSignalSpy band(b.form.get(), &AlignmentWindow::bandSelected);
        QVERIFY(b.run(1));
        QVERIFY(b.prompter.messages.isEmpty());
        QCOMPARE(b.doc.choice(Key::Band), 0);
        QCOMPARE(band.size(), 1);
        QCOMPARE(band.first().first().toString(), QString("400-470MHz"));
        QCOMPARE(b.identity.band, QString("400-470MHz"));
        QCOMPARE(b.identity.model, b.doc.choiceText(Key::Model));
    }

    // The core's reason in the window's language; the cable is blamed only
    // when the talk with the radio broke down.
    void readOfUnlistedBandFails()
    {
        Bench b;
        b.state.texts = englishTexts();
        b.put(0x4078, "4800450048004500");
        QVERIFY(b.run(1));
        QCOMPARE(b.prompter.messages.size(), 1);
        QCOMPARE(b.prompter.messages[0].caption, englishTexts().text(MsgId::Caption));
        QCOMPARE(b.prompter.messages[0].text, QString("The radio's band 450-480MHz is not in the band list"));
        QCOMPARE(b.prompter.messages[0].icon, Prompter::Icon::Exclamation);
        QCOMPARE(b.doc.choice(Key::Band), 1);
        QCOMPARE(b.edit("Edit413")->text(), QString("0"));
        QVERIFY(b.button(1)->isEnabled());
        QVERIFY(!b.state.radioBusy());
    }

    void portThatCannotBeOpened()
    {
        Bench b;
        b.state.chosenPort = 2;
        QVERIFY(b.run(7));
        QCOMPARE(b.prompter.messages.size(), 1);
        QCOMPARE(b.prompter.messages[0].caption, Caption);
        QVERIFY(b.prompter.messages[0].text.startsWith("通信端口无法打开!\n\n请选择别的通信端口!\n\n"));
        QVERIFY(b.prompter.messages[0].text.contains("/dev/rq300-test-missing-2"));
        QCOMPARE(b.sim.framesReceived(), 0);

        // A radio that goes silent after the handshake: aging fails, blaming
        // the connection, in English too.
        b.state.texts = englishTexts();
        b.state.chosenPort = 1;
        b.sim.setFaults({.noReplyToFrame = 3});
        QVERIFY(b.run(5));
        QCOMPARE(b.prompter.messages.size(), 2);
        QCOMPARE(b.prompter.messages[1].text, englishTexts().text(MsgId::TransferFailed)
                                                  + "\n\nThe radio did not answer the aging command (56084556750045567500)");
    }

    void adjustChecksBeforeTouchingTheRadio()
    {
        Bench b;
        b.type("Edit201", "G1");
        QVERIFY(b.run(2));
        QCOMPARE(b.prompter.messages.size(), 1);
        QVERIFY(b.prompter.messages[0].text.contains("Edit201"));

        b.type("Edit201", "1F");
        b.doc.setBandList({});
        QVERIFY(b.run(2));
        QVERIFY(b.prompter.messages.last().text.contains("频段"));
        QCOMPARE(b.prompter.messages.size(), 2);
        QCOMPARE(b.sim.framesReceived(), 0);
    }

    void adjustWritesModelBandAndValues()
    {
        Bench b;
        b.put(0x4078, "FFFFFFFFFFFFFFFF");
        b.doc.setChoice(Key::Band, 0);
        b.type("Edit413", "123");
        b.type("Edit402", "99");
        QVERIFY(b.run(2));
        QVERIFY(b.prompter.messages.isEmpty());
        QCOMPARE(b.sim.memory().mid(0x4078, 8).toHex(), QByteArray("4700400047004000"));
        QCOMPARE(b.sim.memory().mid(0x4020, 8).toHex(), QByteArray("04ce00ff3f00ff00"));
        QCOMPARE(b.sim.writtenAddresses(), (QList<int>{0x4070, 0x4078, 0x4020, 0x4028, 0x4030}));
    }

    void calibrationShowsItsResult()
    {
        Bench b;
        b.sim.setCalibrationReadings(QByteArray::fromHex("60616162"));
        QVERIFY(b.run(6));
        QCOMPARE(b.label25()->text(), QString("成功 !"));
        QCOMPARE(quint8(b.sim.memory().at(0x01BE)), quint8(64));

        b.sim.setCalibrationReadings(QByteArray::fromHex("60606060"));
        QVERIFY(b.run(6));
        QCOMPARE(b.label25()->text(), QString("失败 !"));
        QCOMPARE(b.prompter.messages.size(), 1);
        QCOMPARE(b.prompter.messages[0].text, QString("电池读数为 63，超出 64 到 112 的范围：未存储（是否已接上标准电压？）"));
        b.state.texts = englishTexts();
        QVERIFY(b.run(6));
        QCOMPARE(b.label25()->text(), QString("Fail !"));
        QVERIFY(b.prompter.messages[1].text.startsWith("The battery readings give 63, outside 64 to 112"));
        b.prompter.messages.clear();
        b.state.texts = PackStrings::builtIn();

        // A radio that gives no readings empties the label and says so.
        b.sim.resetCounters();
        SimRadio::Faults faults;
        faults.corruptReplyToFrame = 3;
        b.sim.setFaults(faults);
        QVERIFY(b.run(6));
        QVERIFY(b.label25()->text().isEmpty());
        QCOMPARE(b.prompter.messages.size(), 1);
        QVERIFY2(b.prompter.messages[0].text.startsWith(FailureMessage + "\n\n"), qPrintable(b.prompter.messages[0].text));
    }

    void fileSaveAndLoad()
    {
        Bench b;
        QTemporaryDir dir;
        const QString path = dir.filePath("unit.m17");
        b.type("Edit401", "12");
        b.type("Edit202", "3c");
        b.prompter.files = {path};
        b.button(4)->click();
        QCOMPARE(b.prompter.suffixes, QStringList{"m17"});
        QVERIFY(QFile::exists(path));

        b.type("Edit401", "40");
        b.type("Edit202", "00");
        b.prompter.files = {path};
        b.button(3)->click();
        QVERIFY(b.prompter.messages.isEmpty());
        QCOMPARE(b.edit("Edit401")->text(), QString("12"));
        QCOMPARE(b.spin("Edit401")->position(), 12);
        QCOMPARE(b.edit("Edit202")->text(), QString("3c"));

        // A broken file is refused and the fields keep their values.
        QFile bad(dir.filePath("bad.m17"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("RQ-300\r\n\r\n01\r\n02\r\nseven\r\n");
        bad.close();
        b.prompter.files = {bad.fileName()};
        b.button(3)->click();
        QCOMPARE(b.prompter.messages.size(), 1);
        QVERIFY(b.prompter.messages[0].text.contains("Edit401"));
        QCOMPARE(b.edit("Edit401")->text(), QString("12"));
    }

    void noSecondOperationWhileOneRuns()
    {
        Bench b;
        b.sim.setBusyReplies(5);
        b.button(5)->click();
        QVERIFY(b.state.radioBusy() && b.form->operationRunning());
        for (int n : {1, 2, 3, 5, 6, 7})
            QVERIFY2(!b.button(n)->isEnabled(), qPrintable(QString::number(n)));
        // Even called directly, the handlers start nothing.
        b.form->readValues();
        b.form->adjustSquelch();
        QVERIFY(QTest::qWaitFor([&] { return !b.form->operationRunning(); }, 30000));
        const QList<QByteArray> frames = b.sim.receivedFrames();
        QCOMPARE(std::count(frames.begin(), frames.end(), ServiceHello), 1);
        QVERIFY(!frames.contains(ProgHello));
        QVERIFY(b.prompter.messages.isEmpty());
        QVERIFY(!b.state.radioBusy());
        QVERIFY(b.button(1)->isEnabled() && b.button(5)->isEnabled());

        // Another window's operation holds this one's commands back too.
        b.sim.resetCounters();
        b.state.setRadioBusy(true);
        QVERIFY(!b.button(6)->isEnabled());
        b.form->calibrateBattery();
        QCOMPARE(b.sim.framesReceived(), 0);
        b.state.setRadioBusy(false);
        QVERIFY(b.button(6)->isEnabled());
    }
};

QTEST_MAIN(TestAlignmentWindow)
#include "test_alignmentwindow.moc"
