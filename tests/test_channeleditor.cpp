#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "channeleditorfixture.h"
#include "base/systemlocale.h"

using F = ChannelEditorFixture;

class TestChannelEditor : public QObject {
    Q_OBJECT
private slots:
    void typingANewChannelFillsItsDefaults()
    {
        F f;
        f.click(1, 1);
        QVERIFY(f.edit1()->isVisible());
        QVERIFY(!f.edit1()->hasFocus());   // shown, not focused, by the click
        QCOMPARE(f.edit1()->geometry(), f.grid()->cellRect(1, 1));

        QTest::keyClick(f.grid(), '4');
        QVERIFY(f.edit1()->hasFocus());
        f.type("46.006");
        QCOMPARE(f.cell(1, 1), "446.006");   // the raw text while typing
        f.key(Qt::Key_Return);

        QVERIFY(f.edit1()->isHidden());
        QVERIFY(f.grid()->hasFocus());
        const QStringList expected = {"446.00625", "禁用", "446.00625", "禁用", "高功率", "宽带",
                                      "启用", "禁用", "启用", "禁用", "禁用"};
        for (int c = 1; c <= 11; ++c)
            QCOMPARE(f.cell(1, c), expected[c - 1]);
    }

    // A committed value is rounded onto the raster; one outside the band
    // (committed "") is refused with a message and stays in its editor for
    // correction, the cell showing it, until Esc gives back the cell.
    void typedFrequenciesAreRoundedOrRefused_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("committed");
        QTest::newRow("5 kHz") << "" << "400.001" << "400.00500";
        QTest::newRow("6.25 kHz") << "" << "400.006" << "400.00625";
        QTest::newRow("on raster") << "" << "400.0125" << "400.01250";
        QTest::newRow("upper edge") << "" << "470" << "470.00000";
        QTest::newRow("above the band") << "" << "480" << "";
        QTest::newRow("separator missing") << "" << "4461" << "";
        QTest::newRow("below the band") << "" << "39" << "";
        QTest::newRow("over a channel") << "446.00000" << "4461" << "";
    }
    void typedFrequenciesAreRoundedOrRefused()
    {
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(QString, committed);
        F f;
        if (!before.isEmpty())
            f.putChannel(3, before);
        f.enterFrequency(3, typed);
        if (!committed.isEmpty()) {
            QVERIFY(f.prompter.messages.isEmpty());
            QCOMPARE(f.cell(3, 1), committed);
            QCOMPARE(f.cell(3, 3), before.isEmpty() ? committed : before);
            QVERIFY(f.edit1()->isHidden());
            return;
        }
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].text,
                 QString("信道 3，接收频率：%1 MHz 不在频段 400-470MHz 内。请改正，或按 Esc 恢复原来的值。").arg(typed));
        QCOMPARE(f.prompter.messages[0].icon, Prompter::Icon::Exclamation);
        QVERIFY(f.edit1()->isVisible());
        QVERIFY(f.edit1()->hasFocus());
        QCOMPARE(f.edit1()->text(), typed);
        QCOMPARE(f.cell(3, 1), typed);
        QCOMPARE(f.cell(3, 2), before.isEmpty() ? "" : "禁用");   // no defaults for a refused value
        QVERIFY(!f.window->finishPendingEdit());                  // nor can Save or Write take it

        // Neither can a click on another cell or a move: the selection stays.
        f.click(1, 5);
        QCOMPARE(f.prompter.messages.size(), 3);
        QCOMPARE(f.grid()->row(), 3);
        QVERIFY(f.edit1()->hasFocus());
        f.key(Qt::Key_Down);
        QCOMPARE(f.prompter.messages.size(), 4);
        QCOMPARE(f.grid()->row(), 3);

        f.key(Qt::Key_Escape);
        QVERIFY(f.edit1()->isHidden());
        QCOMPARE(f.cell(3, 1), before);
        QCOMPARE(f.cell(3, 3), before);
        QVERIFY(f.window->finishPendingEdit());
        f.click(1, 5);
        QCOMPARE(f.prompter.messages.size(), 4);
        QCOMPARE(f.grid()->row(), 5);
    }

    // Esc gives the cell back what it held before the typing in every
    // in-place editor; Enter, Down, Tab and a click take the value.
    void escapeRestoresTheCellAndMovesTakeIt()
    {
        F f;
        f.putChannel(1, "440.00000");
        f.putChannel(2, "441.00000");
        const DocumentData start = f.doc.data();

        f.enterFrequency(1, "4451");            // refused, then given up
        f.key(Qt::Key_Escape);
        f.click(1, 1);
        QTest::keyClick(f.grid(), '4');
        f.type("45");
        QCOMPARE(f.cell(1, 1), "445");
        f.key(Qt::Key_Escape);
        QVERIFY(f.edit1()->isHidden());
        QVERIFY(f.grid()->hasFocus());
        f.click(2, 2);                          // the next click takes nothing
        f.click(3, 2);                          // Backspace on a committed value
        QTest::keyClick(f.grid(), Qt::Key_Backspace);
        QCOMPARE(f.cell(2, 3), "");
        QTest::keyClick(f.grid(), Qt::Key_Escape);
        f.click(2, 4);
        f.click(2, 1);                          // a typed tone
        QTest::keyClick(f.grid(), 'd');
        f.type("023n");
        QCOMPARE(f.cell(1, 2), "D023N");
        f.key(Qt::Key_Escape);
        QVERIFY(f.edit3()->isHidden());
        f.click(4, 2);                          // the tone drop-down
        f.doc.setCell(2, 4, "88.5");
        f.click(4, 2);
        QTest::mouseDClick(f.edit3(), Qt::LeftButton);
        f.combo1()->lineEdit()->selectAll();
        f.type("67.0");
        QCOMPARE(f.cell(2, 4), "67.0");
        f.key(Qt::Key_Escape);
        QVERIFY(f.combo1()->isHidden());
        QCOMPARE(f.cell(2, 4), "88.5");
        f.doc.setCell(2, 4, "禁用");
        QVERIFY(f.prompter.messages.size() == 1);
        QVERIFY(f.doc.data() == start);

        // Down takes the frequency and moves on; so do Tab and a click.
        f.click(1, 1);
        QTest::keyClick(f.grid(), '4');
        f.type("45");
        f.key(Qt::Key_Down);
        QCOMPARE(f.cell(1, 1), "445.00000");
        QCOMPARE(f.grid()->row(), 2);
        QTest::keyClick(f.grid(), '4');
        f.type("46");
        f.key(Qt::Key_Tab);
        QCOMPARE(f.cell(2, 1), "446.00000");
        QCOMPARE(f.grid()->col(), 2);
        QVERIFY(f.edit3()->isVisible());        // the next cell's editor, not focused
        QTest::keyClick(f.grid(), '8');
        f.type("8.5");
        f.key(Qt::Key_Tab);                     // a tone too
        QCOMPARE(f.cell(2, 2), "88.5");
        QCOMPARE(f.grid()->col(), 3);
        f.click(1, 5);
        QTest::keyClick(f.grid(), '4');
        f.type("47");
        f.click(7, 1);
        QCOMPARE(f.cell(5, 1), "447.00000");
        QCOMPARE(f.cell(5, 2), "禁用");
        QCOMPARE(f.cell(1, 7), "禁用");         // the click toggled the cell it landed on
        f.key(Qt::Key_Escape);                  // nothing typed: nothing changes
        QCOMPARE(f.cell(5, 1), "447.00000");
    }

    void frequencyEditorDropsWhatIsNotAFrequency()
    {
        F f;
        f.click(1, 1);
        QTest::keyClick(f.grid(), '4');
        f.type("4.6x-");          // a separator after one digit, letters, signs
        QCOMPARE(f.edit1()->text(), "446");
        f.type(".0.1,2345678");   // one separator; nine characters at most
        QCOMPARE(f.edit1()->text(), "446.01234");
        // A pasted text obeys the same rule.
        f.edit1()->selectAll();
        f.edit1()->insert("abc");
        QCOMPARE(f.edit1()->text(), "446.01234");
    }

    void committingAnExistingChannelKeepsItsTransmitFrequency()
    {
        F f;
        f.putChannel(2, "440.00000", "445.00000");
        f.enterFrequency(2, "450.1");
        QCOMPARE(f.cell(2, 1), "450.10000");
        QCOMPARE(f.cell(2, 3), "445.00000");
        QCOMPARE(f.cell(2, 5), "高功率");

        // The transmit frequency is edited and committed the same way, and
        // typing on it starts a new value.
        f.enterFrequency(2, "4123", 3);
        QCOMPARE(f.prompter.messages.size(), 1);
        QVERIFY(f.prompter.messages[0].text.startsWith("信道 2，发射频率：4123 MHz "));
        QCOMPARE(f.cell(2, 3), "4123");
        for (int i = 0; i < 4; ++i)
            f.key(Qt::Key_Backspace);
        f.type("412.3");
        f.key(Qt::Key_Return);
        QCOMPARE(f.cell(2, 3), "412.30000");
        QCOMPARE(f.cell(2, 1), "450.10000");
    }

    void backspaceAndEmptyingTheReceiveFrequencyDeleteTheChannel()
    {
        F f;
        f.putChannel(2, "440.00000");
        f.putChannel(3, "441.00000");
        f.click(3, 2);
        QTest::keyClick(f.grid(), Qt::Key_Backspace);   // a committed value goes at once
        QCOMPARE(f.cell(2, 3), "");
        QCOMPARE(f.edit1()->text(), "");
        f.click(1, 2);                                  // leaving keeps a channel without TX
        QCOMPARE(f.cell(2, 3), "");
        QCOMPARE(f.cell(2, 1), "440.00000");

        QTest::keyClick(f.grid(), Qt::Key_Backspace);
        QCOMPARE(f.cell(2, 1), "");
        QCOMPARE(f.cell(2, 5), "高功率");                // until the cell is left
        f.click(5, 3);
        for (int c = 1; c <= 11; ++c)
            QCOMPARE(f.cell(2, c), "");
        QCOMPARE(f.cell(3, 5), "低功率");                // that click toggled row 3

        // A raw value of another length is not a committed one: Backspace
        // leaves it to the editor.
        f.putChannel(4, "442.00000");
        f.click(1, 4);
        QTest::keyClick(f.grid(), '4');
        f.type("4");
        f.grid()->setFocus();
        QTest::keyClick(f.grid(), Qt::Key_Backspace);
        QCOMPARE(f.cell(4, 1), "44");
    }

    void clicksOnAnEmptyChannelChangeNothing()
    {
        F f;
        for (int c = 2; c <= 11; ++c) {
            f.click(c, 5);
            QVERIFY(f.edit1()->isHidden());
            QVERIFY(f.edit3()->isHidden());
        }
        for (int c = 1; c <= 11; ++c)
            QCOMPARE(f.cell(5, c), "");
        f.click(1, 5);   // only the receive frequency opens an editor
        QVERIFY(f.edit1()->isVisible());
    }

    void toneEditorNormalisesWhenLeft_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::newRow("below 55") << "8" << "8" << "55.0";
        QTest::newRow("above 255") << "300" << "300" << "255.0";
        QTest::newRow("tone") << "88.5" << "88.5" << "88.5";
        QTest::newRow("one decimal only") << "67.05" << "67.0" << "67.0";
        QTest::newRow("DCS without suffix") << "D023" << "D023" << "禁用";
        QTest::newRow("DCS") << "d754i" << "D754I" << "D754I";
        QTest::newRow("no 8 in DCS") << "D0289" << "D02" << "禁用";
        QTest::newRow("D restarts") << "12D7" << "D7" << "禁用";
        QTest::newRow("separator needs 2 digits") << "1.5" << "15" << "55.0";
        QTest::newRow("over the off word") << "9" << "9" << "55.0";
        QTest::newRow("letters dropped") << "1x0a0" << "100" << "100.0";
    }
    void toneEditorNormalisesWhenLeft()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        F f;
        f.putChannel(1, "446.00625");
        f.click(2, 1);
        QVERIFY(f.edit3()->isVisible());
        QCOMPARE(f.edit3()->text(), "禁用");
        QTest::mouseClick(f.edit3(), Qt::LeftButton);
        QVERIFY(f.edit3()->hasFocus());
        f.type(typed);
        QCOMPARE(f.edit3()->text(), shown);
        QCOMPARE(f.cell(1, 2), shown);   // the cell shows what is typed
        f.key(Qt::Key_Return);
        QVERIFY(f.edit3()->isHidden());
        QVERIFY(f.grid()->hasFocus());
        QCOMPARE(f.cell(1, 2), stored);
    }

    void toneEditorKeepsTheOffWordOutOfTones()
    {
        F f;
        f.putChannel(1, "446.00625");
        f.click(4, 1);
        QTest::mouseClick(f.edit3(), Qt::LeftButton);
        f.type(".");                          // a separator over the word clears it
        QCOMPARE(f.edit3()->text(), "");
        f.edit3()->setText("禁用");
        f.key(Qt::Key_Backspace);             // so does Backspace
        QCOMPARE(f.edit3()->text(), "");
        // Text that is no tone (pasted) becomes the off word when left.
        f.edit3()->setText("7x.");
        QTest::keyClick(f.edit3(), Qt::Key_Shift);
        f.click(1, 1);                        // leaving by a click on the grid
        QCOMPARE(f.cell(1, 4), "禁用");
        f.click(4, 1);
        f.edit3()->setFocus();
        f.edit3()->setText("DN023");
        QTest::keyClick(f.edit3(), Qt::Key_Shift);
        f.key(Qt::Key_Return);
        QCOMPARE(f.cell(1, 4), "禁用");
    }

    void toneDropDownWritesOnlyListedTones()
    {
        F f;
        f.putChannel(1, "446.00625");
        f.doc.setCell(1, 2, "88.5");
        f.click(2, 1);
        QTest::mouseDClick(f.edit3(), Qt::LeftButton);
        QComboBox* box = f.combo1();
        QVERIFY(box->isVisible());
        QVERIFY(box->hasFocus());
        QCOMPARE(box->count(), 273);
        QCOMPARE(box->itemText(0), "禁用");
        QCOMPARE(box->currentText(), "88.5");
        QCOMPARE(box->geometry().topLeft(), f.grid()->cellRect(2, 1).topLeft());

        box->setCurrentIndex(box->findText("D023N"));   // picking an entry
        QCOMPARE(f.cell(1, 2), "D023N");
        box->lineEdit()->selectAll();
        f.type("d7");                                  // typing: upper case, not listed yet
        QCOMPARE(box->currentText(), "D7");
        QCOMPARE(f.cell(1, 2), "禁用");
        f.type("x54i");                                // 'x' dropped
        QCOMPARE(box->currentText(), "D754I");
        QCOMPARE(f.cell(1, 2), "D754I");
        f.key(Qt::Key_Return);
        QVERIFY(box->isHidden());
        QCOMPARE(f.cell(1, 2), "D754I");

        // Backspace over the off word clears the text, not the cell.
        f.click(2, 1);
        QTest::mouseDClick(f.edit3(), Qt::LeftButton);
        box->setCurrentIndex(0);
        f.key(Qt::Key_Backspace);
        QCOMPARE(box->currentText(), "");
        QCOMPARE(f.cell(1, 2), "禁用");
        f.type("67.0");
        QCOMPARE(f.cell(1, 2), "67.0");
        f.click(1, 1);                                 // leaving hides it
        QVERIFY(box->isHidden());
    }

    void onlyAClickTogglesAWordCell()
    {
        F f;
        f.putChannel(1, "446.00625");
        f.putChannel(2, "447.00000");
        f.click(5, 1);
        QCOMPARE(f.cell(1, 5), "低功率");
        f.click(5, 1);                          // a click on the selected cell toggles too
        QCOMPARE(f.cell(1, 5), "高功率");

        QTest::keyClick(f.grid(), Qt::Key_Right);
        QCOMPARE(f.grid()->col(), 6);
        QCOMPARE(f.cell(1, 6), "宽带");
        QTest::keyClick(f.grid(), Qt::Key_Down);
        QCOMPARE(f.cell(2, 6), "宽带");

        QWheelEvent wheelUp(f.grid()->cellRect(6, 2).center(), f.grid()->viewport()->mapToGlobal(QPoint()),
                            {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.grid()->viewport(), &wheelUp);
        QCOMPARE(f.grid()->row(), 1);
        QCOMPARE(f.window->editRow(), 1);
        QCOMPARE(f.cell(1, 6), "宽带");

        // A key that cannot move does not swallow the next click.
        QTest::keyClick(f.grid(), Qt::Key_Up);
        f.click(6, 1);
        QCOMPARE(f.cell(1, 6), "窄带");
        f.click(11, 1);
        QCOMPARE(f.cell(1, 11), "启用");
        f.doc.setCell(1, 7, "ON");              // a word of another language
        f.click(7, 1);
        QCOMPARE(f.cell(1, 7), "禁用");
    }

    void deleteKeyAndDeleteButtonEmptyTheChannelUnderEdit()
    {
        F f;
        f.putChannel(1, "446.00625");
        f.putChannel(2, "447.00000");
        f.click(4, 1);
        QTest::keyClick(f.grid(), Qt::Key_Delete);
        QVERIFY(f.edit3()->isHidden());
        QCOMPARE(f.cell(1, 1), "");
        QCOMPARE(f.cell(1, 11), "");
        f.click(3, 2);
        f.window->findChild<QPushButton*>("Button5")->click();
        QCOMPARE(f.cell(2, 3), "");
        QCOMPARE(f.cell(2, 1), "");
        QVERIFY(f.edit1()->isHidden());
        QVERIFY(f.prompter.questions.isEmpty());   // no confirmation
    }

    void deleteAllAsksFirst()
    {
        F f;
        f.putChannel(1, "446.00625");
        f.putChannel(32, "447.00000");
        auto* button = f.window->findChild<QPushButton*>("Button2");
        f.prompter.answers = {false};
        button->click();
        QCOMPARE(f.prompter.questions.size(), 1);
        QCOMPARE(f.prompter.questions[0].caption, "警告");
        QCOMPARE(f.prompter.questions[0].text, "删除所有信道!");
        QCOMPARE(f.prompter.questions[0].icon, Prompter::Icon::Warning);
        QCOMPARE(f.cell(1, 1), "446.00625");
        f.prompter.answers = {true};
        button->click();
        for (int r : {1, 32})
            for (int c = 1; c <= 11; ++c)
                QCOMPARE(f.cell(r, c), "");
        QCOMPARE(f.cell(32, 0), "32");
    }

    void moveButtonsCarryTheChannelAlong()
    {
        F f;
        f.putChannel(1, "401.00000");
        f.putChannel(2, "402.00000");
        auto* up = f.window->findChild<QPushButton*>("Button3");
        auto* down = f.window->findChild<QPushButton*>("Button4");

        f.click(1, 1);
        up->click();                         // the first row cannot go up
        QCOMPARE(f.cell(1, 1), "401.00000");
        QCOMPARE(f.window->editRow(), 1);
        down->click();
        down->click();                       // the same channel again, one row further
        QCOMPARE(f.cell(1, 1), "402.00000");
        QCOMPARE(f.cell(2, 1), "");
        QCOMPARE(f.cell(3, 1), "401.00000");
        QCOMPARE(f.cell(3, 5), "高功率");
        QCOMPARE(f.window->editRow(), 3);
        QCOMPARE(f.grid()->row(), 3);        // the selection follows the channel
        QCOMPARE(f.edit1()->text(), "401.00000");
        f.settle();
        QVERIFY(f.edit1()->isHidden());      // it no longer sits on the cell under edit
        up->click();
        QCOMPARE(f.cell(2, 1), "401.00000");
        QCOMPARE(f.window->editRow(), 2);

        f.putChannel(32, "432.00000");
        f.grid()->scrollToBottom();
        f.click(1, 32);
        down->click();                       // nor can the last go down
        QCOMPARE(f.cell(32, 1), "432.00000");
        QCOMPARE(f.window->editRow(), 32);
        f.click(1, 20);
        down->click();                       // an empty channel does not move
        QCOMPARE(f.window->editRow(), 20);
    }

    void moveCommitsTheTypedFrequencyFirst()
    {
        F f;
        f.click(1, 1);
        QTest::keyClick(f.grid(), '4');
        f.type("46");
        f.window->findChild<QPushButton*>("Button4")->click();
        QCOMPARE(f.cell(2, 1), "446.00000");
        QCOMPARE(f.cell(2, 2), "禁用");
        QCOMPARE(f.cell(1, 1), "");
    }

    void editorsHideWhenTheirCellScrollsOrTheWindowDeactivates()
    {
        F f;
        f.putChannel(1, "446.00625");
        f.click(2, 1);
        QVERIFY(f.edit3()->isVisible());
        f.grid()->verticalScrollBar()->setValue(3);
        f.settle();
        // The editor scrolls with its cell, so it stays on it.
        QCOMPARE(f.edit3()->geometry(), f.grid()->cellRect(2, 1));
        f.grid()->setColumnWidth(1, 90);   // its cell moves away under it
        f.settle();
        QVERIFY(f.edit3()->isHidden());

        QMdiArea area;
        auto* other = area.addSubWindow(new QWidget);
        QMdiSubWindow* frame = area.addSubWindow(f.window.get());
        area.show();
        area.setActiveSubWindow(frame);
        f.click(1, 1);
        QVERIFY(f.edit1()->isVisible());
        area.setActiveSubWindow(other);
        QVERIFY(f.edit1()->isHidden());
        frame->setWidget(nullptr);
        f.window->setParent(nullptr);
    }

    void aTeardownAfterTheDocumentIsGoneLeavesItAlone()
    {
        // The main window may destroy the document before its child windows;
        // the focus and activation changes of that teardown must not reach it.
        ScriptedPrompter prompter;
        auto doc = std::make_unique<SettingsDocument>();
        doc->setBandList({"400-470MHz"});
        doc->setChoice(Key::Band, 0);
        AppState state;
        AppContext ctx;
        ctx.doc = doc.get();
        ctx.state = &state;
        QMdiArea area;
        auto* window = new ChannelEditor(ctx);
        QMdiSubWindow* other = area.addSubWindow(new QWidget);
        QMdiSubWindow* frame = area.addSubWindow(window);
        area.show();
        QApplication::setActiveWindow(&area);
        QVERIFY(QTest::qWaitForWindowActive(&area));
        area.setActiveSubWindow(frame);
        doc->setCell(1, 1, "446.00625");
        doc->setCell(1, 2, "禁用");
        ChannelGrid* grid = window->grid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(2, 1).center());
        auto* tone = window->findChild<QLineEdit*>("Edit3");
        QTest::mouseClick(tone, Qt::LeftButton);
        QTest::keyClicks(tone, "8");
        QCOMPARE(doc->cell(1, 2), "8");
        doc.reset();
        area.setActiveSubWindow(other);
        QVERIFY(!tone->isHidden());
    }

    void closingHidesTheWindowAndKeepsTheTable()
    {
        F f;
        f.putChannel(1, "446.00625");
        QVERIFY(!f.window->close());
        QVERIFY(f.window->isHidden());
        f.window->show();
        QCOMPARE(f.cell(1, 1), "446.00625");
        QCOMPARE(f.grid()->model()->index(0, 1).data().toString(), "446.00625");

        QMdiArea area;
        QMdiSubWindow* frame = area.addSubWindow(f.window.get());
        frame->setAttribute(Qt::WA_DeleteOnClose, false);
        area.show();
        frame->show();
        QVERIFY(!frame->close());
        QVERIFY(frame->isHidden());
        frame->showNormal();
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.grid()->model()->index(0, 1).data().toString(), "446.00625");
        frame->setWidget(nullptr);
        f.window->setParent(nullptr);
    }

    void finishPendingEditCommitsWhatIsTyped()
    {
        F f;
        f.putChannel(1, "446.00625");
        f.click(2, 1);
        QTest::mouseClick(f.edit3(), Qt::LeftButton);
        f.type("D02");
        QVERIFY(f.window->finishPendingEdit());
        QCOMPARE(f.cell(1, 2), "禁用");
        QVERIFY(f.edit3()->isHidden());

        // A typed frequency whose editor was hidden by a deactivation.
        f.click(1, 2);
        QTest::keyClick(f.grid(), '4');
        f.type("41.5");
        f.window->hideEditors();
        QCOMPARE(f.cell(2, 1), "441.5");
        QVERIFY(f.window->finishPendingEdit());
        QCOMPARE(f.cell(2, 1), "441.50000");
        QCOMPARE(f.cell(2, 3), "441.50000");
        QVERIFY(!f.window->frequencyEditorVisible());
    }

    void withoutABandTheRawTextStays()
    {
        F f;
        f.doc.setChoice(Key::Band, -1);
        f.enterFrequency(1, "446");
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].caption, "RQ-300");
        QCOMPARE(f.prompter.messages[0].text, "'' is not a valid floating point value");
        QCOMPARE(f.cell(1, 1), "446");
        QCOMPARE(f.cell(1, 2), "");
        QVERIFY(!f.window->finishPendingEdit());
    }

    void commaLocale()
    {
        F f(u',');
        f.enterFrequency(1, "446,006");
        QCOMPARE(f.cell(1, 1), "446,00625");
        QCOMPARE(f.cell(1, 3), "446,00625");
        f.enterFrequency(2, "446.006");   // the point is dropped: 446006 MHz
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.cell(2, 1), "446006");
        f.key(Qt::Key_Escape);
        QCOMPARE(f.cell(2, 1), "");

        f.click(2, 1);
        QTest::mouseClick(f.edit3(), Qt::LeftButton);
        f.type("88.5");
        QCOMPARE(f.edit3()->text(), "885");
        f.edit3()->clear();
        f.type("88,5");
        f.key(Qt::Key_Return);
        QCOMPARE(f.cell(1, 2), "88,5");
        QCOMPARE(f.combo1()->itemText(17), "88,5");
        QTest::mouseClick(f.grid()->viewport(), Qt::LeftButton, {}, f.grid()->cellRect(2, 1).center());
        QTest::mouseDClick(f.edit3(), Qt::LeftButton);
        QCOMPARE(f.combo1()->currentIndex(), 17);
        f.combo1()->lineEdit()->selectAll();
        f.type("67,0");
        QCOMPARE(f.cell(1, 2), "67,0");
    }

    void textsComeFromThePack()
    {
        F f;
        QCOMPARE(f.window->objectName(), "channel");
        QCOMPARE(f.window->windowTitle(), "信道编辑");
        PackStrings en;
        const std::pair<int, const char*> texts[] = {
            {19, "Channel Edit"}, {25, "CH"}, {26, "RX Freq"}, {76, "Flag C"}, {33, "Flag D"},
            {96, "Delete All"}, {65, "Move Up"}, {66, "Move Down"}, {67, "Delete"}, {34, "OFF"},
            {78, "Comp"}, {79, "scrambler"}};
        for (const auto& [id, t] : texts)
            en.set(id, QString::fromUtf8(t));
        // As a language switch: the document's words first, then the window's.
        f.doc.applyLanguage(PackStrings::withFallback(en));
        f.window->applyTexts(en);
        QAbstractItemModel* m = f.grid()->model();
        QCOMPARE(f.window->windowTitle(), "Channel Edit");
        QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), "CH");
        QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), "RX Freq");
        QCOMPARE(m->headerData(9, Qt::Horizontal).toString(), "Flag C");
        QCOMPARE(m->headerData(10, Qt::Horizontal).toString(), "Flag D");
        QCOMPARE(m->headerData(11, Qt::Horizontal).toString(), "PTT ID");
        QCOMPARE(m->headerData(2, Qt::Horizontal).toString(), "接收亚音");   // missing id: kept
        QCOMPARE(f.window->findChild<QPushButton*>("Button2")->text(), "Delete All");
        QCOMPARE(f.window->findChild<QPushButton*>("Button5")->text(), "Delete");
        QCOMPARE(f.combo1()->itemText(0), "OFF");
        QCOMPARE(f.combo1()->count(), 273);
    }

    void pictureFitsItsFrame()
    {
        F f;
        auto* image = f.window->findChild<QLabel*>("Image1");
        QVERIFY(image);
        QCOMPARE(image->size(), QSize(268, 89));
        const QPixmap pm = image->pixmap();
        QVERIFY(!pm.isNull());
        const QSizeF shown = pm.deviceIndependentSize();
        QVERIFY(shown.width() <= 268 && shown.height() <= 89);
        QVERIFY(shown.width() == 268 || shown.height() == 89);
        // It names the model and the band selected, and follows the band.
        QCOMPARE(image->toolTip(), "MZ-209  \u00b7  400-470 MHz");
        f.doc.setBandList({"400-470MHz", "430-440MHz"});
        f.doc.setChoice(Key::Band, 1);
        QCOMPARE(image->toolTip(), "MZ-209  \u00b7  430-440 MHz");
        QVERIFY(image->pixmap().toImage() != pm.toImage());
    }
};

QTEST_MAIN(TestChannelEditor)
#include "test_channeleditor.moc"
