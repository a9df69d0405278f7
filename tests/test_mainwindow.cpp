#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>
#include <csignal>

#include "gui/portwindow.h"
#include "gui/signalclose.h"
#include "app/appstate.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "gui/channeleditor.h"
#include "gui/radioinfowindow.h"
#include "gui/alignmentwindow.h"
#include "gui/prompter.h"
#include "mainwindowfixture.h"

class TestMainWindow : public QObject {
    Q_OBJECT

    static QAction* action(MainWindow& f, const char* name)
    {
        return f.findChild<QAction*>(QLatin1String(name));
    }

private slots:
    void firstStartWithoutConfiguration()
    {
        MainWindowFixture fx;
        MainWindow& f = *fx.form;
        QCOMPARE(f.state().chosenPort, 1);
        QVERIFY(!f.state().singlePort);
        QCOMPARE(f.document().choice(Key::Model), 0);
        QCOMPARE(f.state().language, 1);
        QVERIFY(action(f, "N5")->isChecked());
        QVERIFY(!action(f, "N6")->isChecked());
        QVERIFY(f.document().bandList().isEmpty());
        QCOMPARE(f.document().choice(Key::Band), -1);
        QCOMPARE(f.windowTitle(), "未命名 - MZ-209");
        QCOMPARE(f.state().modelId, "4B512D195A18FF06");
        QCOMPARE(f.document().cell(1, 0), "01");
        QCOMPARE(f.document().cell(32, 0), "32");
        QVERIFY(!f.subWindowOf(f.radioInfoWindow())->isVisible());
        QVERIFY(!f.subWindowOf(f.alignmentWindow())->isVisible());
        QVERIFY(f.subWindowOf(f.channelEditor())->isVisible());

        const Profile ini = fx.closeAndReadIni();
        QCOMPARE(ini.intValue("open", "com", 0), 1);
        QCOMPARE(ini.intValue("open", "co_mode", 9), 0);
        QCOMPARE(ini.intValue("open", "M_type", 9), 0);
        QCOMPARE(ini.intValue("open", "lang", 0), 1);
        QCOMPARE(ini.intValue("list", "listcount", 9), 0);
        QCOMPARE(ini.intValue("list", "listnow", 9), -1);
    }

    void storedLanguageAgainstTheSystemLanguage_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("system");
        QTest::addColumn<int>("expected");
        QTest::newRow("3 stays on Chinese") << 3 << 0x0804 << 3;
        QTest::newRow("3 stays on English") << 3 << 0x0409 << 3;
        QTest::newRow("2 on Chinese") << 2 << 0x0804 << 1;
        QTest::newRow("1 on English") << 1 << 0x0409 << 2;
        QTest::newRow("7 on Chinese") << 7 << 0x0804 << 1;
        QTest::newRow("7 on English") << 7 << 0x0409 << 2;
    }
    void storedLanguageAgainstTheSystemLanguage()
    {
        QFETCH(int, stored);
        QFETCH(int, system);
        QFETCH(int, expected);
        MainWindowFixture fx(QStringLiteral("[Open]\r\nlang=%1\r\n").arg(stored).toLatin1(), true, system);
        QCOMPARE(fx.form->state().language, expected);
        const char* items[] = {"N5", "N6", "N7"};
        for (int i = 0; i < 3; ++i)
            QCOMPARE(action(*fx.form, items[i])->isChecked(), i + 1 == expected);
        QCOMPARE(fx.closeAndReadIni().intValue("open", "lang", 0), expected);
    }

    void englishShowsEnglishTexts()
    {
        MainWindowFixture fx("[Open]\r\nlang=2\r\n", true, 0x0409);
        QCOMPARE(fx.form->document().words().off, "OFF");
        QCOMPARE(fx.form->document().options(Key::AutoPowerOff).first(), "OFF");
        QVERIFY(action(*fx.form, "File1")->text() != "文件");
    }

    void bandListFromConfiguration()
    {
        MainWindowFixture fx("[list]\r\nlistcount=3\r\ncombo0=400-430MHz\r\ncombo1=400-470MHz\r\nlistnow=1\r\n");
        QCOMPARE(fx.form->document().bandList(),
                 QStringList({"400-430MHz", "400-470MHz", "400-470MHz"}));
        QCOMPARE(fx.form->document().selectedBand(), "400-470MHz");
        auto* band = fx.form->findChild<QComboBox*>("ComboBand");
        QCOMPARE(band->currentText(), "400-470MHz");
        QCOMPARE(band->count(), 3);

        // A band picked that leaves channels outside says which; the title
        // and the picture under the table name the new band at once.
        SettingsDocument& doc = fx.form->document();
        doc.setCell(1, 1, "446.00000");
        doc.setCell(2, 1, "420.00000");
        doc.setCell(2, 3, "435.00000");
        doc.setCell(3, 1, "410.00000");
        doc.setCell(3, 3, "410.00000");
        band->setFocus();
        QTest::keyClick(band, Qt::Key_Up);
        QCOMPARE(doc.selectedBand(), "400-430MHz");
        QCOMPARE(fx.prompter.messages.size(), 1);
        QCOMPARE(fx.prompter.messages[0].caption, "警告");
        QCOMPARE(fx.prompter.messages[0].text, "频段已改为 400-430MHz。下列信道不在此频段内，改正之前无法写入对讲机：\n"
                                               "信道 01：446.00000 MHz\n信道 02：435.00000 MHz");
        QCOMPARE(fx.prompter.messages[0].icon, Prompter::Icon::Warning);
        QVERIFY2(fx.form->windowTitle().endsWith("[400-430MHz]"), qPrintable(fx.form->windowTitle()));
        auto* picture = fx.form->channelEditor()->findChild<QLabel*>("Image1");
        QCOMPARE(picture->toolTip(), "MZ-209  \u00b7  400-430 MHz");
        const QImage narrowBand = picture->pixmap().toImage();
        QTest::keyClick(band, Qt::Key_Down);   // every channel within: nothing to say
        QCOMPARE(fx.prompter.messages.size(), 1);
        QVERIFY(fx.form->windowTitle().endsWith("[400-470MHz]"));
        QCOMPARE(picture->toolTip(), "MZ-209  \u00b7  400-470 MHz");
        QVERIFY(picture->pixmap().toImage() != narrowBand);
    }

    void damagedBandListIsSane()
    {
        MainWindowFixture fx("[list]\r\nlistcount=99999999\r\ncombo0=garbage\r\ncombo1=400-470MHz\r\ncombo2=40-470MHz\r\nlistnow=0\r\n");
        const QStringList bands = fx.form->document().bandList();
        QVERIFY(bands.size() <= 64);
        QVERIFY(!bands.contains("garbage"));
        QVERIFY(!bands.contains("40-470MHz"));
        QCOMPARE(bands.first(), "400-470MHz");
    }

    void listnowOutOfRangeIsStoredAsMinusOne()
    {
        MainWindowFixture fx("[list]\r\nlistcount=1\r\ncombo0=400-470MHz\r\nlistnow=5\r\n");
        QCOMPARE(fx.form->document().choice(Key::Band), -1);
        QCOMPARE(fx.form->findChild<QComboBox*>("ComboBand")->currentIndex(), -1);
        QCOMPARE(fx.closeAndReadIni().intValue("list", "listnow", 0), -1);
    }

    void unknownModelSelectsTheOnlyModel()
    {
        MainWindowFixture fx("[Open]\r\nM_type=4\r\n");
        QCOMPARE(fx.form->document().choice(Key::Model), 0);
        QCOMPARE(fx.form->windowTitle(), "未命名 - MZ-209");
    }

    void unknownLinesSurviveShutdown()
    {
        MainWindowFixture fx("; kept\r\n[Open]\r\ncom=5\r\nco_mode=1\r\nmine=yes\r\n[ports]\r\ncom5=/dev/null-port\r\n[other]\r\nx=1\r\n");
        QCOMPARE(fx.form->state().chosenPort, 5);
        QVERIFY(fx.form->state().singlePort);
        auto* com5 = fx.form->portWindow()->findChild<QRadioButton*>("com5");
        QVERIFY(com5->isChecked());
        QVERIFY(fx.form->portWindow()->findChild<QCheckBox*>("CheckBox1")->isChecked());
        fx.form->close();
        QFile f(fx.dir.filePath("sysini.ini"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(text.startsWith("; kept\r\n[open]\r\ncom=5\r\nco_mode=1\r\nmine=yes\r\n"));
        QVERIFY(text.contains("[ports]\r\ncom5=/dev/null-port\r\n[other]\r\nx=1\r\n"));
    }

    void unwritableConfigurationIsReported()
    {
        MainWindowFixture fx;
        QFile::remove(fx.dir.filePath("sysini.ini"));
        QDir(fx.dir.path()).mkdir("sysini.ini");   // a directory where the file should go
        fx.form->close();
        QCOMPARE(fx.prompter.messages.size(), 1);
        QCOMPARE(fx.prompter.messages[0].text, "Unable to write to " + fx.dir.filePath("sysini.ini"));
    }

    void newAsksAboutUnsavedChangesThenResets()
    {
        MainWindowFixture fx("[list]\r\nlistcount=1\r\ncombo0=400-470MHz\r\nlistnow=0\r\n");
        SettingsDocument& doc = fx.form->document();
        doc.setCell(4, 1, "446.00625");
        doc.setCell(4, 5, doc.words().high);
        doc.setChoice(Key::Squelch, 8);
        doc.setChoice(Key::Volume, 12);

        // The question is the one about unsaved changes.
        fx.prompter.saveAnswers = {Prompter::SaveChoice::Cancel};
        fx.form->newDocument();
        QCOMPARE(fx.prompter.saveQuestions.size(), 1);
        QCOMPARE(fx.prompter.saveQuestions[0].text, "是否保存对 未命名 的修改？");
        QCOMPARE(doc.cell(4, 1), "446.00625");
        QCOMPARE(doc.choice(Key::Squelch), 8);

        fx.prompter.saveAnswers = {Prompter::SaveChoice::Discard};
        fx.form->newDocument();
        QVERIFY(doc.cell(4, 1).isEmpty());
        QVERIFY(doc.cell(4, 5).isEmpty());
        QCOMPARE(doc.cell(4, 0), "04");
        QCOMPARE(doc.choice(Key::Squelch), 2);
        QCOMPARE(doc.choice(Key::Volume), 12);
        QCOMPARE(doc.selectedBand(), "400-470MHz");
        QCOMPARE(fx.form->windowTitle(), "未命名 - MZ-209");
    }

    void languageSwitchRewritesWordsAndKeepsPositions()
    {
        MainWindowFixture fx;
        SettingsDocument& doc = fx.form->document();
        doc.setCell(2, 1, "446.00625");
        doc.setCell(2, 5, "高功率");
        doc.setCell(2, 7, "启用");
        doc.setChoice(Key::TopShort, 3);
        doc.setChoice(Key::Voice, 2);
        action(*fx.form, "N6")->trigger();
        QCOMPARE(fx.form->state().language, 2);
        QVERIFY(action(*fx.form, "N6")->isChecked());
        QVERIFY(!action(*fx.form, "N5")->isChecked());
        QCOMPARE(doc.cell(2, 5), "High");
        QCOMPARE(doc.cell(2, 7), "ON");
        QCOMPARE(doc.cell(2, 1), "446.00625");
        QCOMPARE(doc.choice(Key::TopShort), 3);
        QCOMPARE(doc.choice(Key::Voice), 2);
        action(*fx.form, "N7")->trigger();
        QCOMPARE(doc.cell(2, 7), "啟用");
        QCOMPARE(fx.closeAndReadIni().intValue("open", "lang", 0), 3);
    }

    void missingPackMovesOnlyTheTick()
    {
        MainWindowFixture fx({}, false);
        const QString file = action(*fx.form, "File1")->text();
        action(*fx.form, "N6")->trigger();
        QVERIFY(action(*fx.form, "N6")->isChecked());
        QCOMPARE(fx.form->state().language, 2);
        QCOMPARE(action(*fx.form, "File1")->text(), file);
        // The built-in words stand in for the missing pack.
        QCOMPARE(fx.form->document().words().off, "禁用");
        QVERIFY(!fx.form->state().text(60).isEmpty());
    }

    void closedChildComesBackWithItsContents()
    {
        MainWindowFixture fx;
        MainWindow& f = *fx.form;
        f.document().setCell(7, 1, "440.00000");
        QMdiSubWindow* sub = f.subWindowOf(f.channelEditor());
        sub->close();
        QVERIFY(!sub->isVisible());
        action(f, "ChannelInformation1")->trigger();
        QVERIFY(sub->isVisible());
        QCOMPARE(f.subWindowOf(f.channelEditor()), sub);
        QCOMPARE(f.document().cell(7, 1), "440.00000");
    }

    void serviceKeyBringsUpTheAlignmentWindow()
    {
        MainWindowFixture fx;
        MainWindow& f = *fx.form;
        QVERIFY(!f.findChild<QToolButton*>("ToolButton12")->isVisible());
        QVERIFY(!f.subWindowOf(f.alignmentWindow())->isVisible());
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QTest::keyClick(&f, Qt::Key_T, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
        QVERIFY(f.subWindowOf(f.alignmentWindow())->isVisible());
    }

    void exitWaitsForARadioOperation()
    {
        MainWindowFixture fx;
        fx.form->state().setRadioBusy(true);
        QVERIFY(!action(*fx.form, "CutItem")->isEnabled());
        fx.form->close();
        QVERIFY(fx.form->isVisible());
        QVERIFY(!QFile::exists(fx.dir.filePath("sysini.ini")));
        fx.form->state().setRadioBusy(false);
        QVERIFY(!fx.form->isVisible());
        QVERIFY(QFile::exists(fx.dir.filePath("sysini.ini")));
    }

    void terminationSignalClosesInOrder()
    {
        MainWindowFixture fx("[Open]\r\ncom=3\r\n");
        closeOnTerminationSignals(fx.form.get());
        std::raise(SIGTERM);
        QTRY_VERIFY(!fx.form->isVisible());
        QCOMPARE(Profile::load(fx.dir.filePath("sysini.ini")).intValue("open", "com", 0), 3);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
