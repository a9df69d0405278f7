// Editing in the main window as a user meets it: the question before work
// is lost, undo and redo, Save / Save As / Open and their messages, the
// title, the recovery file after SIGTERM, and the grid's spreadsheet
// commands.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "transferwait.h"
#include <csignal>
#include <functional>

#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "gui/channeleditor.h"
#include "gui/channelgrid.h"
#include "gui/optionseditor.h"
#include "gui/signalclose.h"
#include "gui/readwritedialog.h"
#include "app/appstate.h"
#include "sim/simradio.h"
#include "mainwindowfixture.h"
#include "filebytes.h"

namespace {
const QByteArray Bands = "[list]\r\nlistcount=1\r\ncombo0=400-470MHz\r\nlistnow=0\r\n";
using Choice = Prompter::SaveChoice;

// A main window with one band and English texts.
struct Editing : MainWindowFixture {
    explicit Editing(const QByteArray& sysini = Bands) : MainWindowFixture(sysini, true, 0x0409)
    {
        // Short-cuts reach the window that is active.
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            qWarning("the main window did not become active");
    }

    MainWindow& f() { return *form; }
    SettingsDocument& doc() { return form->document(); }
    ChannelEditor* channel() { return form->channelEditor(); }
    ChannelGrid* grid() { return channel()->grid(); }
    QAction* action(const char* name) { return form->findChild<QAction*>(QLatin1String(name)); }
    void settle() { QTest::qWait(5); }

    void click(int c, int r, Qt::KeyboardModifiers mods = {})
    {
        form->showChannelEditor();
        grid()->scrollTo(grid()->model()->index(r - 1, c));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, mods, grid()->cellRect(c, r).center());
        settle();
    }
    // A channel typed in as a user does: click, digits, Enter.
    void typeChannel(int r, const QString& mhz)
    {
        click(1, r);
        QTest::keyClick(grid(), mhz.at(0).toLatin1());
        QTest::keyClicks(QApplication::focusWidget(), mhz.mid(1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        settle();
    }
    QString path(const char* name) { return dir.filePath(QLatin1String(name)); }
    QString saveQuestion() { return prompter.saveQuestions.isEmpty() ? QString() : prompter.saveQuestions.last().text; }
};
}

class TestEditing : public QObject {
    Q_OBJECT

private slots:
    void lossCommandsAskOnlyWhenSomethingChanged()
    {
        Editing e;
        // Nothing changed: New, Open and Exit go on without a question.
        e.f().newDocument();
        e.prompter.files = {QString()};
        e.f().openDocument();
        e.settle();
        QCOMPARE(e.prompter.saveQuestions.size(), 0);
        QVERIFY(e.f().windowTitle().startsWith("Untitled - "));

        e.typeChannel(3, "446");
        QVERIFY(e.f().windowTitle().startsWith("Untitled* - "));

        // Cancel keeps everything.
        e.prompter.saveAnswers = {Choice::Cancel};
        e.f().newDocument();
        QCOMPARE(e.saveQuestion(), "Save changes to Untitled?");
        QCOMPARE(e.doc().cell(3, 1), "446.00000");
        e.prompter.saveAnswers = {Choice::Cancel};
        e.action("FileExitItem")->trigger();
        QVERIFY(e.f().isVisible());
        e.prompter.saveAnswers = {Choice::Cancel};
        e.f().openDocument();
        QCOMPARE(e.prompter.saveQuestions.size(), 3);
        e.prompter.saveAnswers = {Choice::Cancel};
        e.f().readRadio();   // Read
        QCOMPARE(e.prompter.saveQuestions.size(), 4);
        QVERIFY(e.prompter.messages.isEmpty());   // the read never started

        // Discard lets Read go on (to the port, which this machine lacks).
        e.prompter.saveAnswers = {Choice::Discard};
        e.f().readRadio();
        QCOMPARE(e.prompter.messages.size(), 1);
        QCOMPARE(e.doc().cell(3, 1), "446.00000");

        // Save writes the file, then New goes on.
        e.prompter.saveAnswers = {Choice::Save};
        e.prompter.files = {e.path("kept.kq19")};
        e.f().newDocument();
        QVERIFY(QFile::exists(e.path("kept.kq19")));
        QCOMPARE(e.doc().cell(3, 1), "");
        QCOMPARE(e.prompter.saveQuestions.size(), 6);

        // A cancelled save dialog cancels the command too.
        e.typeChannel(4, "447");
        e.prompter.saveAnswers = {Choice::Save};
        e.f().newDocument();
        QCOMPARE(e.doc().cell(4, 1), "447.00000");

        // A file named on the command line (a double-click on it) asks as Open does.
        const qsizetype asked = e.prompter.saveQuestions.size();
        e.prompter.saveAnswers = {Choice::Cancel};
        e.f().openFromCommandLine(e.path("kept.kq19"));
        QCOMPARE(e.prompter.saveQuestions.size(), asked + 1);
        QCOMPARE(e.doc().cell(4, 1), "447.00000");
        e.prompter.saveAnswers = {Choice::Discard};
        e.f().openFromCommandLine(e.path("kept.kq19"));
        QCOMPARE(e.doc().cell(3, 1), "446.00000");
        QCOMPARE(e.doc().cell(4, 1), "");
        QCOMPARE(e.doc().filePath(), e.path("kept.kq19"));
        QVERIFY(!e.doc().isModified());

        // Discard on Exit closes the window.
        e.prompter.saveAnswers = {Choice::Discard};
        e.f().close();
        QVERIFY(!e.f().isVisible());
    }

    void saveStartsAtTheFileAndAsksBeforeReplacingAnother()
    {
        Editing e;
        e.typeChannel(1, "440");
        e.prompter.files = {e.path("one.kq19")};
        e.f().save();
        QCOMPARE(e.prompter.saveStarts.last(), "");
        QCOMPARE(e.f().windowTitle(), "one.kq19 - MZ-209");
        QVERIFY(e.prompter.questions.isEmpty());

        // Saving over the file itself asks nothing.
        e.typeChannel(2, "441");
        QVERIFY(e.f().windowTitle().startsWith("one.kq19* - "));
        e.prompter.files = {e.path("one.kq19")};
        e.f().save();
        QCOMPARE(e.prompter.saveStarts.last(), e.path("one.kq19"));
        QVERIFY(e.prompter.questions.isEmpty());
        QVERIFY(!e.doc().isModified());

        // Another existing file: asked, and No leaves it alone.
        QFile other(e.path("other.kq19"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("keep me");
        other.close();
        e.typeChannel(3, "442");
        e.prompter.files = {e.path("other.kq19")};
        e.action("FileSaveAsItem")->trigger();
        QCOMPARE(e.prompter.saveStarts.last(), e.dir.path());   // Save As: the folder, a new name
        QCOMPARE(e.prompter.questions.size(), 1);
        QCOMPARE(e.prompter.questions[0].text, "other.kq19 already exists. Replace it?");
        QVERIFY(other.open(QIODevice::ReadOnly));
        QCOMPARE(other.readAll(), QByteArray("keep me"));
        other.close();
        QVERIFY(e.doc().isModified());

        e.prompter.files = {e.path("other.kq19")};
        e.prompter.answers = {true};
        e.action("FileSaveAsItem")->trigger();
        QCOMPARE(e.f().windowTitle(), "other.kq19 - MZ-209");
        QCOMPARE(e.f().recentFiles(), QStringList({e.path("other.kq19"), e.path("one.kq19")}));

        // Export PDF starts beside the file, named after it, and writes the
        // channel sheet there.
        e.prompter.files = {e.path("other.pdf")};
        e.action("ExportPdfItem")->trigger();
        QCOMPARE(e.prompter.saveStarts.last(), e.path("other.pdf"));
        QFile pdf(e.path("other.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
        QCOMPARE(e.f().statusText(), "Channel sheet saved to " + QDir::toNativeSeparators(e.path("other.pdf")));
    }

    void openSaysWhatIsWrongWithAFile()
    {
        Editing e;
        QFile text(e.path("notes.txt"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("shopping list\r\n");
        text.close();
        e.prompter.files = {e.path("notes.txt")};
        e.f().openDocument();
        QCOMPARE(e.prompter.messages.size(), 1);
        QCOMPARE(e.prompter.messages[0].text, "notes.txt is not an RQ-300 settings file");

        // A file saved here, then damaged in its seventh line.
        e.prompter.files = {e.path("good.kq19")};
        e.f().save();
        QFile f(e.path("good.kq19"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = f.readAll().split('\n');
        f.close();
        lines[6] = "x broken\r";
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(lines.join('\n'));
        f.close();
        e.doc().setChoice(Key::Squelch, 9);
        e.prompter.files = {e.path("good.kq19")};
        e.prompter.saveAnswers = {Choice::Discard};
        e.f().openDocument();
        QCOMPARE(e.prompter.messages.size(), 2);
        QCOMPARE(e.prompter.messages[1].text, "good.kq19 is damaged at line 7: 'x' is not a valid integer value");
        QCOMPARE(e.doc().choice(Key::Squelch), 9);   // nothing changed
    }

    void undoAndRedoRestoreEachKindOfChange()
    {
        Editing e;
        QList<DocumentData> states{e.doc().data()};
        auto step = [&] {
            e.settle();
            QVERIFY(!(e.doc().data() == states.last()));
            states << e.doc().data();
        };
        e.typeChannel(1, "446");                                    step();   // typed cell
        e.typeChannel(2, "447");                                    step();
        e.click(5, 1);                                              step();   // toggle
        e.click(2, 1);
        QTest::keyClick(e.grid(), '8');                                        // tone typed after one click
        QTest::keyClicks(QApplication::focusWidget(), "8.5");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); step();
        QCOMPARE(e.doc().cell(1, 2), "88.5");
        e.click(1, 1);
        e.channel()->findChild<QPushButton*>("Button4")->click();    step();   // move down
        QCOMPARE(e.grid()->row(), 2);                                          // the selection follows
        e.click(1, 1);
        QTest::keyClick(e.grid(), Qt::Key_Delete);                   step();   // delete
        auto* squelch = e.f().optionsEditor()->findChild<QComboBox*>("ComboBox2");
        squelch->setCurrentIndex(6);                                 step();   // optional features
        auto* beep = e.f().optionsEditor()->findChild<QCheckBox*>("CheckBox2");
        beep->click();                                               step();
        auto* dtmf = e.f().optionsEditor()->findChild<QLineEdit*>("Edit8");
        dtmf->setFocus();
        dtmf->selectAll();
        QTest::keyClicks(dtmf, "4AB");                               step();   // one step for the typing
        e.prompter.answers = {true};
        e.channel()->findChild<QPushButton*>("Button2")->click();    step();   // delete all
        e.prompter.saveAnswers = {Choice::Discard};
        e.f().newDocument();                                    step();   // New

        for (int i = states.size() - 2; i >= 0; --i) {
            e.f().undo();
            QVERIFY2(e.doc().data() == states[i], qPrintable(QString("undo to state %1").arg(i)));
        }
        QVERIFY(!e.action("UndoItem")->isEnabled());
        for (int i = 1; i < states.size(); ++i) {
            e.action("RedoItem")->trigger();
            QVERIFY2(e.doc().data() == states[i], qPrintable(QString("redo to state %1").arg(i)));
        }
        // The optional features window shows what undo brings back.
        e.f().undo();
        e.f().undo();
        QCOMPARE(dtmf->text(), "4AB");
        QCOMPARE(squelch->currentIndex(), 6);
    }

    void undoOfOpenBringsBackTheDocumentAndItsName()
    {
        Editing e;
        e.typeChannel(5, "445");
        e.prompter.files = {e.path("a.kq19")};
        e.f().save();
        e.typeChannel(6, "446");
        e.prompter.files = {e.path("b.kq19")};
        e.f().save();
        e.prompter.files = {e.path("a.kq19")};
        e.f().openDocument();
        QCOMPARE(e.doc().cell(6, 1), "");
        QVERIFY(e.f().windowTitle().startsWith("a.kq19 - "));
        // Ctrl+Z from the grid, as a user presses it.
        e.grid()->setFocus();
        QTest::keyClick(e.grid(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(e.doc().cell(6, 1), "446.00000");
        QCOMPARE(e.doc().filePath(), e.path("b.kq19"));
        QTest::keyClick(e.grid(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(e.doc().cell(6, 1), "");
    }

    void readIsOneStepAndUndoNeverTalksToTheRadio()
    {
        SimRadio sim;
        QVERIFY(sim.start());
        SimRadio::addSampleChannels(sim.memory());
        Editing e(QStringLiteral("[ports]\r\ncom1=%1\r\n").arg(sim.devicePath()).toUtf8() + Bands);
        e.typeChannel(30, "430");
        e.prompter.files = {e.path("mine.kq19")};
        e.f().save();
        e.typeChannel(31, "431");
        const DocumentData mine = e.doc().data();

        ReadWriteDialog& rw = *e.f().readWriteDialog();
        QVERIFY(rw.prepareCommand(1, "Read", "Read"));
        rw.focusStart();
        QVERIFY(startTransferAndWait(rw));
        rw.closed();
        QVERIFY2(e.prompter.messages.isEmpty(), qPrintable(e.prompter.messages.value(0).text));
        e.settle();
        QVERIFY(e.doc().data().channelExists(1));
        QCOMPARE(e.doc().cell(31, 1), "");
        // The document is what the radio holds: nothing unsaved.
        QVERIFY(!e.doc().isModified());
        QVERIFY(e.f().windowTitle().startsWith("Untitled - "));
        const DocumentData radio = e.doc().data();

        const int frames = sim.framesReceived();
        e.f().undo();
        QVERIFY(e.doc().data() == mine);
        QCOMPARE(e.doc().filePath(), e.path("mine.kq19"));
        QVERIFY(e.doc().isModified());
        e.f().redo();
        QVERIFY(e.doc().data() == radio);
        QCOMPARE(sim.framesReceived(), frames);

        // After a write the document matches the radio too.
        e.click(5, 1);
        QVERIFY(e.doc().isModified());
        QVERIFY(rw.prepareCommand(2, "Write", "Write"));
        rw.focusStart();
        QVERIFY(startTransferAndWait(rw));
        rw.closed();
        QVERIFY2(e.prompter.messages.isEmpty(), qPrintable(e.prompter.messages.value(0).text));
        e.settle();
        QVERIFY(!e.doc().isModified());
    }

    void recoveryAfterTerminationIsOfferedAndRestored()
    {
        QTemporaryDir data;
        MainWindowFixture::dataHome = data.path();
        {
            Editing e;
            e.typeChannel(7, "447");
            e.doc().setChoice(Key::Volume, 12);
            e.prompter.files = {e.path("work.kq19")};
            e.f().save();
            e.typeChannel(8, "448");
            // The radio's records the document came with come back too.
            RadioImage records;
            records.set(0x4000, QByteArray::fromHex("2000050703000EFF"));
            DocumentData withRecords = e.doc().data();
            withRecords.setImage(records);
            e.doc().replace(withRecords);
            closeOnTerminationSignals(e.form.get());
            std::raise(SIGTERM);
            QTRY_VERIFY(!e.f().isVisible());
            QVERIFY(e.prompter.saveQuestions.isEmpty());   // a termination asks nothing
            QVERIFY(QFile::exists(data.filePath("rq300/recovery.kq19")));

            // The next start offers the work back.
            MainWindowFixture::startAnswers = {true};
            Editing again;
            QTRY_COMPARE(again.prompter.questions.size(), 1);
            QCOMPARE(again.prompter.questions[0].text,
                     "The program was stopped while work.kq19 had unsaved changes. Restore them?");
            QCOMPARE(again.doc().cell(7, 1), "447.00000");
            QCOMPARE(again.doc().cell(8, 1), "448.00000");
            QCOMPARE(again.doc().choice(Key::Volume), 12);
            QCOMPARE(again.doc().data().image(), records);
            QCOMPARE(again.doc().filePath(), e.path("work.kq19"));
            QVERIFY(again.doc().isModified());
            QVERIFY(again.f().windowTitle().startsWith("work.kq19* - "));
            QVERIFY(!QFile::exists(data.filePath("rq300/recovery.kq19")));
        }
        {
            // Nothing unsaved: no recovery file, nothing offered.
            Editing e;
            QVERIFY(e.prompter.questions.isEmpty());
            e.f().closeForTermination();
            QVERIFY(!e.f().isVisible());
            QVERIFY(!QFile::exists(data.filePath("rq300/recovery.kq19")));
        }
        MainWindowFixture::dataHome.clear();
    }

    // The recovery file is named after what it holds: the user's work with
    // its file while a read has not been taken, and no file once the
    // document is what a read found.
    void recoveryCarriesTheNameOfWhatItHolds()
    {
        QTemporaryDir data;
        MainWindowFixture::dataHome = data.path();
        SimRadio sim;
        QVERIFY(sim.start());
        SimRadio::addSampleChannels(sim.memory());
        sim.setPacing(true);   // a read takes a second and a half
        const QByteArray sysini = QStringLiteral("[ports]\r\ncom1=%1\r\n").arg(sim.devicePath()).toUtf8() + Bands;
        QString work;
        {
            Editing e(sysini);
            work = e.path("work.kq19");
            e.typeChannel(7, "447");
            e.prompter.files = {work};
            e.f().save();
            e.typeChannel(8, "448");
            // Terminated while a read runs.
            ReadWriteDialog& rw = *e.f().readWriteDialog();
            QVERIFY(rw.prepareCommand(1, "Read", "Read"));
            rw.show();
            QTest::mouseClick(rw.findChild<QPushButton*>("Button1"), Qt::LeftButton);
            QTRY_VERIFY(rw.findChild<QProgressBar*>("ProgressBar1")->value() > 0);
            e.f().closeForTermination();
            QVERIFY(!e.f().isVisible());
            QCOMPARE(Profile::load(data.filePath("rq300/recovery.ini")).value("recovery", "file"), work);
            QCoreApplication::processEvents();   // the read's end, if it was still on its way

            MainWindowFixture::startAnswers = {true};
            Editing again(sysini);
            QTRY_COMPARE(again.prompter.questions.size(), 1);
            QVERIFY(again.prompter.questions[0].text.contains("work.kq19"));
            QCOMPARE(again.doc().cell(8, 1), "448.00000");
            QCOMPARE(again.doc().cell(2, 1), "");   // nothing of the radio's
            QVERIFY(again.f().windowTitle().startsWith("work.kq19* - "));

            // Read to the end, then changed: the radio's contents, in no file.
            // (A termination ends every event loop for good, so the wait is
            // one that only handles events.)
            ReadWriteDialog& rw2 = *again.f().readWriteDialog();
            QVERIFY(rw2.prepareCommand(1, "Read", "Read"));
            QTest::mouseClick(rw2.findChild<QPushButton*>("Button1"), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!rw2.isTransferRunning(), 30000);
            QVERIFY(again.prompter.messages.isEmpty());
            rw2.close();
            QCOMPARE(again.doc().filePath(), "");
            again.typeChannel(9, "449");
            again.f().closeForTermination();
            QCOMPARE(Profile::load(data.filePath("rq300/recovery.ini")).value("recovery", "file"), "");
        }
        MainWindowFixture::startAnswers = {true};
        Editing third(sysini);
        QTRY_COMPARE(third.prompter.questions.size(), 1);
        QCOMPARE(third.prompter.questions[0].text,
                 "The program was stopped while Untitled had unsaved changes. Restore them?");
        QCOMPARE(third.doc().cell(2, 1), "439.10000");
        QCOMPARE(third.doc().cell(9, 1), "449.00000");
        QVERIFY(third.f().windowTitle().startsWith("Untitled* - "));
        MainWindowFixture::dataHome.clear();
    }

    void recentFilesSurviveARestart()
    {
        QTemporaryDir home;
        QString first;
        {
            Editing e;
            for (int i = 1; i <= 9; ++i) {
                e.typeChannel(1, QString::number(440 + i));
                e.prompter.files = {e.path(qPrintable(QString("f%1.kq19").arg(i)))};
                e.action("FileSaveAsItem")->trigger();
            }
            QCOMPARE(e.f().recentFiles().size(), 8);
            QCOMPARE(e.f().recentFiles().first(), e.path("f9.kq19"));
            const Profile ini = e.closeAndReadIni();
            QCOMPARE(ini.value("recent", "file1"), e.path("f9.kq19"));
            QCOMPARE(ini.value("recent", "file8"), e.path("f2.kq19"));
            // The same directory again.
            QFile::copy(e.path("sysini.ini"), home.filePath("sysini.ini"));
            for (const char* p : {"cha_dll.lang", "eng_dll.lang", "ty.lang"})
                QFile::copy(e.path(p), home.filePath(p));
            first = e.path("f9.kq19");
            QFile::copy(first, home.filePath("f9.kq19"));
        }
        ScriptedPrompter prompter;
        AppSession session(ConfigLocation::beside(home.path()));
        MainWindow again(session);
        again.show();
        QCoreApplication::processEvents();
        QCOMPARE(again.recentFiles().size(), 8);
        QCOMPARE(again.recentFiles().first(), first);
        QVERIFY(again.openSettingsFile(home.filePath("f9.kq19")));
        QCOMPARE(again.document().cell(1, 1), "449.00000");
        QCOMPARE(again.recentFiles().first(), home.filePath("f9.kq19"));
        QTest::qWait(5);
        auto* item = again.findChild<QAction*>("RecentFile2");
        QVERIFY(item);
        QCOMPARE(item->toolTip(), first);
        // The first directory is gone: its files are reported and leave the list.
        item->trigger();
        QCOMPARE(prompter.messages.size(), 1);
        QCOMPARE(again.recentFiles().size(), 7);
        QVERIFY(!again.recentFiles().contains(first));
        QCOMPARE(again.document().cell(1, 1), "449.00000");
    }

    void pasteOfRowsTakesAllOrNothing()
    {
        Editing e;
        e.typeChannel(2, "442");
        const DocumentData before = e.doc().data();
        e.click(1, 4);
        // Rows from a spreadsheet; the third cell of the second row is no tone.
        QApplication::clipboard()->setText(
            "446.00625\t88.5\t446.00625\tD023N\tLow\tNarrow\tOFF\tON\tOFF\tON\tOFF\n"
            "447.00000\tD999N\t447.00000\tOFF\tHigh\tWide\tON\tOFF\tON\tOFF\tOFF\n");
        QTest::keyClick(e.grid(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(e.prompter.messages.size(), 1);
        QVERIFY2(e.prompter.messages[0].text.startsWith("Nothing was pasted: channel 5, "),
                 qPrintable(e.prompter.messages[0].text));
        QVERIFY(e.prompter.messages[0].text.contains("'D999N' is not a tone"));
        QVERIFY(e.doc().data() == before);

        QApplication::clipboard()->setText(
            "446.00625\t88.5\t446.00625\tD023N\tLow\tNarrow\tOFF\tON\tOFF\tON\tOFF\n"
            "447.00000\tD754I\t\tOFF\tHigh\tWide\tON\tOFF\tON\tOFF\tOFF\n");
        e.f().pasteChannels();
        QCOMPARE(e.prompter.messages.size(), 1);
        QCOMPARE(e.doc().cell(4, 5), "Low");
        QCOMPARE(e.doc().cell(5, 2), "D754I");
        QCOMPARE(e.doc().cell(5, 3), "");
        QCOMPARE(e.doc().cell(2, 1), "442.00000");
        e.f().undo();   // one step
        QVERIFY(e.doc().data() == before);

        // Copy of two selected rows, pasted further down: a copy of the channels.
        e.f().redo();
        e.click(0, 4);
        e.click(0, 5, Qt::ShiftModifier);
        e.grid()->setFocus();
        QTest::keyClick(e.grid(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text().count('\n'), 2);
        e.click(1, 20);
        e.f().pasteChannels();
        for (int c = 1; c <= 11; ++c) {
            QCOMPARE(e.doc().cell(20, c), e.doc().cell(4, c));
            QCOMPARE(e.doc().cell(21, c), e.doc().cell(5, c));
        }
        // Cut empties the rows it took.
        e.click(0, 20);
        e.f().cutChannels();
        QCOMPARE(e.doc().cell(20, 1), "");
        QCOMPARE(QApplication::clipboard()->text().split('\t').first(), "446.00625");
    }

    void bulkSetChangesTheSelectedChannels()
    {
        Editing e;
        e.typeChannel(1, "441");
        e.typeChannel(2, "442");
        e.typeChannel(4, "444");
        e.click(0, 1);
        e.click(0, 4, Qt::ShiftModifier);
        e.f().findChild<QAction*>("SetColumn5_1")->trigger();   // power: Low
        for (int r : {1, 2, 4})
            QCOMPARE(e.doc().cell(r, 5), "Low");
        QCOMPARE(e.doc().cell(3, 5), "");   // no channel there
        e.f().findChild<QAction*>("SetColumn8_0")->trigger();   // flag B: ON
        QCOMPARE(e.doc().cell(2, 8), "ON");
        e.f().undo();
        QCOMPARE(e.doc().cell(2, 8), "OFF");
        QCOMPARE(e.doc().cell(2, 5), "Low");
    }

    void insertMovesRowsDownAndIsRefusedWhenFull()
    {
        Editing e;
        e.typeChannel(3, "443");
        e.click(1, 3);
        e.action("DuplicateChannelItem")->trigger();
        QCOMPARE(e.doc().cell(4, 1), "443.00000");
        e.click(5, 3);
        e.action("InsertChannelItem")->trigger();
        QCOMPARE(e.doc().cell(3, 1), "");
        QCOMPARE(e.doc().cell(4, 1), "443.00000");
        QCOMPARE(e.doc().cell(5, 1), "443.00000");

        e.typeChannel(32, "432");
        const DocumentData full = e.doc().data();
        e.click(1, 1);
        e.action("InsertChannelItem")->trigger();
        QCOMPARE(e.prompter.messages.size(), 1);
        QCOMPARE(e.prompter.messages[0].text, "Channel 32 is in use: no channel can be inserted");
        QVERIFY(e.doc().data() == full);
    }

    void keyboardEditsLikeASpreadsheet()
    {
        Editing e;
        e.typeChannel(1, "446");
        e.click(6, 1);   // a click toggles: Narrow
        QCOMPARE(e.doc().cell(1, 6), "Narrow");
        QTest::keyClick(e.grid(), Qt::Key_Space);
        QCOMPARE(e.doc().cell(1, 6), "Wide");
        QTest::keyClick(e.grid(), Qt::Key_Return);
        QCOMPARE(e.doc().cell(1, 6), "Narrow");
        // F2 edits the frequency where it is.
        e.click(1, 1);
        QTest::keyClick(e.grid(), Qt::Key_F2);
        auto* edit1 = e.channel()->findChild<QLineEdit*>("Edit1");
        QCOMPARE(QApplication::focusWidget(), edit1);
        QCOMPARE(edit1->text(), "446.00000");
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(edit1, Qt::Key_Backspace);
        QTest::keyClicks(edit1, "125");
        QTest::keyClick(edit1, Qt::Key_Return);
        QCOMPARE(e.doc().cell(1, 1), "446.01250");
        // Esc gives the cell back what it held, in the whole window too, and
        // the next click takes nothing.
        e.click(1, 1);
        QTest::keyClick(e.grid(), '4');
        QTest::keyClicks(QApplication::focusWidget(), "47");
        QCOMPARE(e.doc().cell(1, 1), "447");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(e.doc().cell(1, 1), "446.01250");
        QVERIFY(!edit1->isVisible());
        e.click(1, 2);
        QCOMPARE(e.doc().cell(1, 1), "446.01250");
        QVERIFY(e.prompter.messages.isEmpty());
        // A DCS code typed into a tone cell after one click.
        e.click(4, 1);
        QTest::keyClick(e.grid(), 'd');
        QTest::keyClicks(QApplication::focusWidget(), "023n");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(e.doc().cell(1, 4), "D023N");
        // F2 on a tone cell edits the tone where it is.
        e.click(4, 1);
        QTest::keyClick(e.grid(), Qt::Key_F2);
        auto* edit3 = e.channel()->findChild<QLineEdit*>("Edit3");
        QCOMPARE(QApplication::focusWidget(), edit3);
        QCOMPARE(edit3->text(), "D023N");
        QTest::keyClick(edit3, Qt::Key_Escape);
        // Shift with the arrows selects rows, without toggling anything.
        e.click(1, 1);
        QTest::keyClick(e.grid(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(e.grid(), Qt::Key_Right, Qt::ShiftModifier);
        const ChannelGrid::Block b = e.grid()->selectedBlock();
        QCOMPARE(QList<int>({b.r1, b.r2, b.c1, b.c2}), QList<int>({1, 2, 1, 2}));
        QCOMPARE(e.doc().cell(1, 4), "D023N");
    }

    void menusShowKeysAndButtonsNameTheirCommands()
    {
        Editing e;
        QCOMPARE(e.action("File1")->text(), "&File");
        QCOMPARE(e.action("CutItem")->shortcut(), QKeySequence("Ctrl+R"));
        QCOMPARE(e.action("CopyItem")->shortcut(), QKeySequence("Ctrl+W"));
        QCOMPARE(e.action("FileNewItem")->shortcut(), QKeySequence("Ctrl+N"));
        for (QToolButton* b : e.f().findChildren<QToolButton*>()) {
            if (!b->objectName().startsWith("ToolButton") || !b->isVisible())
                continue;
            QVERIFY2(!b->toolTip().isEmpty(), qPrintable(b->objectName()));
        }
        QCOMPARE(e.f().findChild<QToolButton*>("ToolButton4")->toolTip(), "Read (Ctrl+R)");
        // Every item of every menu has a letter of its own in its menu (the
        // languages are named in themselves), the bulk-set values too.
        std::function<void(QMenu*)> lettered = [&](QMenu* menu) {
            QHash<QChar, QString> taken;
            for (QAction* a : menu->actions()) {
                if (a->isSeparator() || a->actionGroup())
                    continue;
                const QString path = menu->title() + " > " + a->text();
                const qsizetype at = a->text().indexOf(u'&');
                QVERIFY2(at >= 0 && at + 1 < a->text().size(), qPrintable(path));
                const QChar letter = a->text().at(at + 1).toUpper();
                QVERIFY2(!taken.contains(letter), qPrintable(path + " and " + taken.value(letter)));
                taken.insert(letter, a->text());
                if (a->menu())
                    lettered(a->menu());
            }
        };
        for (const char* language : {"N6", "N5"}) {
            e.action(language)->trigger();
            for (QAction* top : e.f().menuBar()->actions())
                lettered(top->menu());
        }
        QCOMPARE(e.action("CommunicationLog1")->text(), "通信记录(&G)...");
        e.action("N6")->trigger();
        QCOMPARE(e.action("CommunicationLog1")->text(), "Communication lo&g...");
        QCOMPARE(e.action("CompareItem")->text(), "Co&mpare with radio");
        QCOMPARE(e.action("BackupsItem")->text(), "&Backups");
        QCOMPARE(e.f().findChild<QMenu*>("SetColumn8")->title(), "Busy &Lock");
        QCOMPARE(e.action("SetColumn8_1")->text(), "O&FF");
        e.action("N5")->trigger();   // Chinese: the letter in brackets
        QCOMPARE(e.action("File1")->text(), "文件(&F)");
        QCOMPARE(e.f().findChild<QToolButton*>("ToolButton2")->toolTip(), "保存 (Ctrl+S)");
        QVERIFY(e.f().windowTitle().startsWith("未命名 - "));
    }

    // A key that two actions share does neither ("Ambiguous shortcut
    // overload"): Ctrl+W is Write, also with an inner window focused and
    // after a language switch, which retranslates Qt's own menus.
    void everyShortcutBelongsToOneAction()
    {
        Editing e;
        e.action("N7")->trigger();
        e.action("N6")->trigger();
        // Keys of the whole window are unique; a key of one inner window
        // (its frame's Close) is none of them.
        QHash<QString, QString> owner;
        QList<std::pair<QString, QString>> inner;
        for (QAction* a : e.f().findChildren<QAction*>()) {
            for (const QKeySequence& k : a->shortcuts()) {
                const QString key = k.toString();
                if (a->shortcutContext() != Qt::WindowShortcut) {
                    inner.append({key, a->text()});
                    continue;
                }
                QVERIFY2(!owner.contains(key), qPrintable(key + ": " + owner.value(key) + " and " + a->text()));
                owner.insert(key, a->text());
            }
        }
        for (const auto& [key, text] : inner)
            QVERIFY2(!owner.contains(key), qPrintable(key + ": " + owner.value(key) + " and " + text));
        QCOMPARE(owner.value("Ctrl+W"), "&Write");
        QVERIFY(owner.contains("Ctrl+F4"));
        for (const char* focus : {"StringGrid1", "ComboBox2"}) {
            e.f().findChild<QWidget*>(focus)->setFocus();
            const qsizetype before = e.prompter.messages.size();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
            // Write ran: it found no port on this machine.
            QCOMPARE(e.prompter.messages.size(), before + 1);
            QVERIFY(e.prompter.messages.last().text.startsWith("The communication port cannot be opened!"));
        }
        QVERIFY(e.f().subWindowOf(e.channel())->isVisible());
        // Ctrl+F4 closes the inner window that is active, and only that one.
        e.click(1, 1);
        QTest::keyClick(e.grid(), Qt::Key_F4, Qt::ControlModifier);
        QVERIFY(e.f().subWindowOf(e.channel())->isHidden());
        QVERIFY(e.f().subWindowOf(e.f().optionsEditor())->isVisible());
    }

    void csvExportAndImportThroughTheFileMenu()
    {
        Editing e;
        e.typeChannel(1, "441");
        e.typeChannel(2, "442");
        e.prompter.files = {e.path("table.csv")};
        e.action("ExportCsvItem")->trigger();
        QVERIFY(QFile::exists(e.path("table.csv")));
        // Each says what it did in the status bar.
        QCOMPARE(e.f().statusText(), "2 channels exported to " + QDir::toNativeSeparators(e.path("table.csv")));
        const DocumentData exported = e.doc().data();
        e.click(0, 1);
        QTest::keyClick(e.grid(), Qt::Key_Delete);
        e.prompter.files = {e.path("table.csv")};
        e.action("ImportCsvItem")->trigger();
        QVERIFY(e.doc().data() == exported);
        QCOMPARE(e.f().statusText(), "2 channels imported from " + QDir::toNativeSeparators(e.path("table.csv")));

        QFile bad(e.path("bad.csv"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("Channel,RX Frequency,RX Tone,TX Frequency,TX Tone,Power,Bandwidth,Flag A,Flag B,Flag C,Flag D,PTT ID\r\n"
                  "1,999.00000,OFF,,OFF,High,Wide,ON,OFF,ON,OFF,OFF\r\n");
        bad.close();
        e.prompter.files = {e.path("bad.csv")};
        e.action("ImportCsvItem")->trigger();
        QCOMPARE(e.prompter.messages.size(), 1);
        QVERIFY(e.prompter.messages[0].text.startsWith("Nothing was imported from bad.csv:\nline 2: "));
        QVERIFY(e.doc().data() == exported);

        // The same line in simplified Chinese: only values, the column name
        // of the header and units stay in Latin letters.
        e.action("N5")->trigger();
        const DocumentData inChinese = e.doc().data();
        e.prompter.files = {e.path("bad.csv")};
        e.action("ImportCsvItem")->trigger();
        QCOMPARE(e.prompter.messages.size(), 2);
        const QString zh = e.prompter.messages[1].text;
        QVERIFY2(zh.contains("第 2 行：RX Frequency“999.00000”不是400-470MHz 内 5 kHz 或 6.25 kHz 步进上的频率"),
                 qPrintable(zh));
        QString words = zh;
        for (const char* allowed : {"bad.csv", "RX Frequency", "MHz", "kHz"})
            words.remove(QString::fromUtf8(allowed));
        QVERIFY2(std::none_of(words.cbegin(), words.cend(), [](QChar c) { return c.isLetter() && c.unicode() < 0x80; }),
                 qPrintable(zh));
        QVERIFY(e.doc().data() == inChinese);
        e.action("N6")->trigger();

        // CHIRP's dialect, chosen in the export dialog and offered first next
        // time; an import recognises it, takes what the radio can hold, names
        // what it refused, and is one step to undo.
        e.prompter.messages.clear();
        e.prompter.files = {e.path("chirp.csv")};
        e.prompter.typeAnswers = {1};
        e.action("ExportCsvItem")->trigger();
        QVERIFY(readAll(e.path("chirp.csv")).startsWith("Location,Name,Frequency,Duplex,"));
        QCOMPARE(e.prompter.messages.size(), 1);
        QVERIFY2(e.prompter.messages[0].text.contains("CHIRP has no column for busy lock"),
                 qPrintable(e.prompter.messages[0].text));
        QByteArray chirp = readAll(e.path("chirp.csv"));
        chirp += "7,,999.000000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,\r\n";
        writeAll(e.path("chirp.csv"), chirp);
        e.click(0, 1);
        QTest::keyClick(e.grid(), Qt::Key_Delete);
        e.settle();
        const DocumentData beforeImport = e.doc().data();
        e.prompter.files = {e.path("chirp.csv")};
        e.action("ImportCsvItem")->trigger();
        QCOMPARE(e.prompter.messages.size(), 2);
        QCOMPARE(e.prompter.messages[1].icon, Prompter::Icon::Warning);
        QCOMPARE(e.prompter.messages[1].text.split(u'\n'),
                 (QStringList{"2 channels imported from chirp.csv", "1 rows refused:",
                              "line 4: Frequency gives 999.000000 MHz, outside 400-470MHz",
                              "Names, comments and tuning steps have no place in this radio and were left out."}));
        for (int row : {1, 2})
            QCOMPARE(e.doc().data().channel(row), exported.channel(row));
        QVERIFY(e.action("UndoItem")->isEnabled());
        e.action("UndoItem")->trigger();
        QVERIFY(e.doc().data() == beforeImport);
        e.prompter.files = {e.path("again.csv")};
        e.action("ExportCsvItem")->trigger();
        QVERIFY(readAll(e.path("again.csv")).startsWith("Location,"));   // CHIRP, as last time
    }

    void fileDialogsFilterInTheActiveLanguage()
    {
        Editing e;
        const std::pair<const char*, QString> languages[] = {
            {"N6", "TAVRIN  Files (*.kq19)|*.kq19"},
            {"N5", "TAVRIN  文件 (*.kq19)|*.kq19"},
            {"N7", "TAVRIN  檔案 (*.kq19)|*.kq19"}};
        for (const auto& [item, filter] : languages) {
            e.action(item)->trigger();
            e.prompter.filters.clear();
            e.action("FileOpenItem")->trigger();
            e.action("FileSaveAsItem")->trigger();
            e.action("FileCloseItem")->trigger();
            QCOMPARE(e.prompter.filters, QStringList({filter, filter, filter}));
        }
        e.prompter.filters.clear();
        e.action("ImportCsvItem")->trigger();
        e.action("ExportCsvItem")->trigger();
        QCOMPARE(e.prompter.filters, QStringList({"CSV (*.csv)|*.csv"}));
        QCOMPARE(e.prompter.typeLists, QList<QStringList>({{"信道表 CSV (*.csv)|*.csv", "CHIRP CSV (*.csv)|*.csv"}}));
    }
};

QTEST_MAIN(TestEditing)
#include "test_editing.moc"
