// Undo/redo snapshots, the modified mark and the tab-separated clipboard
// format, without windows.
#include <QtTest>

#include "document/history.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "files/channelclipboard.h"
#include "base/packstrings.h"
#include "channelcells.h"

namespace {
void putChannel(SettingsDocument& doc, int r, const QString& rx)
{
    const ValueWords& w = doc.words();
    const QString cells[] = {rx, w.off, rx, w.off, w.high, w.wide, w.on, w.off, w.on, w.off, w.off};
    for (int c = 1; c <= 11; ++c)
        doc.setCell(r, c, cells[c - 1]);
}

SettingsDocument* bandDocument()
{
    auto* doc = new SettingsDocument;
    doc->setBandList({QStringLiteral("400-470MHz")});
    doc->setChoice(Key::Band, 0);
    doc->startHistory();
    return doc;
}
}

class TestHistory : public QObject {
    Q_OBJECT

private slots:
    void undoRedoWalkTheSteps()
    {
        std::unique_ptr<SettingsDocument> doc(bandDocument());
        const DocumentData start = doc->data();
        QVERIFY(!doc->checkpoint());   // nothing changed, no step
        doc->setChoice(Key::Squelch, 7);
        QVERIFY(doc->checkpoint());
        putChannel(*doc, 3, "446.00625");
        doc->checkpoint();
        const DocumentData two = doc->data();

        QVERIFY(doc->undo());
        QCOMPARE(doc->cell(3, 1), "");
        QCOMPARE(doc->choice(Key::Squelch), 7);
        QVERIFY(doc->undo());
        QVERIFY(doc->data() == start);
        QVERIFY(!doc->undo());
        QVERIFY(doc->redo());
        QVERIFY(doc->redo());
        QVERIFY(doc->data() == two);
        QVERIFY(!doc->redo());

        // A new change after an undo ends the redo.
        doc->undo();
        doc->setFlag(Key::EndTone, true);
        doc->checkpoint();
        QVERIFY(!doc->canRedo());
    }

    void typingIntoOneFieldIsOneStep()
    {
        std::unique_ptr<SettingsDocument> doc(bandDocument());
        for (const char* t : {"1", "12", "12A"}) {
            doc->setText(Key::EndDtmf, t);
            doc->checkpoint();
        }
        doc->setChoice(Key::Squelch, 4);
        doc->checkpoint();
        doc->setText(Key::EndDtmf, "9");
        doc->checkpoint();
        doc->undo();
        QCOMPARE(doc->text(Key::EndDtmf), "12A");
        doc->undo();
        QCOMPARE(doc->choice(Key::Squelch), 2);
        doc->undo();
        QCOMPARE(doc->text(Key::EndDtmf), "123");
        QVERIFY(!doc->canUndo());
    }

    void modifiedMarkFollowsSavedState()
    {
        std::unique_ptr<SettingsDocument> doc(bandDocument());
        QVERIFY(!doc->isModified());
        // The passwords are typed for a transfer; they change nothing kept.
        doc->setText(Key::Password, "1234");
        doc->setFlag(Key::WriteNewPassword, true);
        QVERIFY(!doc->isModified());
        doc->setCell(1, 1, "440.00000");
        QVERIFY(doc->isModified());
        doc->setCell(1, 1, "");
        QVERIFY(!doc->isModified());   // back as it was saved
        doc->setCell(1, 1, "440.00000");
        doc->markSaved("/tmp/a.kq19");
        QVERIFY(!doc->isModified());
        QCOMPARE(doc->filePath(), "/tmp/a.kq19");
        // Undo goes back before the save: the file and the cell both differ.
        doc->undo();
        QVERIFY(doc->isModified());
        QCOMPARE(doc->filePath(), "");
        // The passwords survive undo.
        QCOMPARE(doc->text(Key::Password), "1234");
    }

    void languageSwitchIsNoChange()
    {
        std::unique_ptr<SettingsDocument> doc(bandDocument());
        putChannel(*doc, 1, "440.00000");
        doc->checkpoint();
        doc->markClean();
        doc->setCell(1, 5, doc->words().low);
        doc->checkpoint();
        PackStrings english = PackStrings::builtIn();
        english.set(34, "OFF");
        english.set(35, "ON");
        english.set(36, "High");
        english.set(37, "Low");
        doc->applyLanguage(english);
        QVERIFY(!doc->checkpoint());
        QCOMPARE(doc->cell(1, 5), "Low");
        doc->undo();
        // The state undo brings back is in the language now shown.
        QCOMPARE(doc->cell(1, 5), "High");
        QCOMPARE(doc->cell(1, 7), "ON");
        QVERIFY(!doc->isModified());
    }

    void insertAndDuplicateNeedRoom()
    {
        std::unique_ptr<SettingsDocument> doc(bandDocument());
        putChannel(*doc, 2, "402.00000");
        putChannel(*doc, 31, "431.00000");
        QVERIFY(doc->insertChannel(2));
        QCOMPARE(doc->cell(2, 1), "");
        QCOMPARE(doc->cell(3, 1), "402.00000");
        QCOMPARE(doc->cell(32, 1), "431.00000");
        QVERIFY(!doc->insertChannel(1));   // channel 32 is in use
        QVERIFY(!doc->duplicateChannel(3));
        QCOMPARE(doc->cell(3, 1), "402.00000");
        doc->clearChannel(32);
        QVERIFY(doc->duplicateChannel(3));
        QCOMPARE(doc->cell(4, 1), "402.00000");
        QCOMPARE(doc->cell(4, 0), "04");
        QVERIFY(!doc->duplicateChannel(5));   // nothing to copy
    }

    void historyKeepsABoundedNumberOfSteps()
    {
        DocumentHistory h;
        DocumentSnapshot s;
        h.reset(s);
        for (int i = 0; i < DocumentHistory::MaxSteps + 10; ++i) {
            setCellOf(s.data, 1, 1, QString::number(i));
            QVERIFY(h.record(s));
        }
        int undone = 0;
        while (h.undo())
            ++undone;
        QCOMPARE(undone, DocumentHistory::MaxSteps);
    }

    void copiedCellsAreTabSeparated()
    {
        std::unique_ptr<SettingsDocument> doc(bandDocument());
        putChannel(*doc, 1, "440.00000");
        putChannel(*doc, 2, "441.00000");
        QCOMPARE(ChannelClipboard::copy(doc->data(), 1, 2, 1, 2, doc->words(), u'.'),
                 QString("440.00000\t禁用\n441.00000\t禁用\n"));
    }

    void pasteOfRowsChecksEveryCell_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("problem");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        using P = ChannelClipboard::PasteResult::Problem;
        const QString good = "446.00625\t88.5\t446.00625\tD023N\tLow\tNarrow\tOFF\tON\tOFF\tON\tOFF\n";
        QTest::newRow("good") << good << int(P::None) << 5 << 1;
        QTest::newRow("off raster") << good + "446.001\tOFF\t\tOFF\tHigh\tWide\tON\tOFF\tON\tOFF\tOFF\n"
                                    << int(P::BadValue) << 6 << 1;
        QTest::newRow("outside band") << "480.00000\n" << int(P::BadValue) << 5 << 1;
        QTest::newRow("bad tone") << good + "440.00000\tD999N\n" << int(P::BadValue) << 6 << 2;
        QTest::newRow("bad word") << "440.00000\tOFF\t440.00000\tOFF\tMedium\n" << int(P::BadValue) << 5 << 5;
        QTest::newRow("no channel") << "\tOFF\t\tOFF\tHigh\tWide\tON\tOFF\tON\tOFF\tOFF\n"
                                    << int(P::NoChannel) << 5 << 2;
        QString many;
        for (int i = 0; i < 29; ++i)
            many += "440.00000\n";
        QTest::newRow("does not fit") << many << int(P::DoesNotFit) << 5 << 1;
    }

    void pasteOfRowsChecksEveryCell()
    {
        QFETCH(QString, text);
        QFETCH(int, problem);
        QFETCH(int, row);
        QFETCH(int, col);
        std::unique_ptr<SettingsDocument> doc(bandDocument());
        putChannel(*doc, 6, "406.00000");
        const ChannelClipboard::PasteResult r =
            ChannelClipboard::paste(doc->data(), 5, 1, text, doc->words(), u'.');
        QCOMPARE(int(r.problem), problem);
        QCOMPARE(r.row, row);
        QCOMPARE(r.col, col);
        if (r.ok()) {
            QCOMPARE(cellOf(r.data, 5, 2, doc->words()), "88.5");
            QCOMPARE(cellOf(r.data, 5, 5, doc->words()), "低功率");   // English words name the same values
            QCOMPARE(cellOf(r.data, 5, 11, doc->words()), "禁用");
        }
    }

    void pastedChannelGetsNewChannelDefaults()
    {
        std::unique_ptr<SettingsDocument> doc(bandDocument());
        // A spreadsheet block with the channel numbers and the export's header.
        const QString text = "Channel\tRX Frequency\n1\t440\t\t\t\t\t\t\t\t\t\t\n2\t\t\t\t\t\t\t\t\t\t\t\n";
        const ChannelClipboard::PasteResult r = ChannelClipboard::paste(doc->data(), 10, 4, text, doc->words(), u'.');
        QVERIFY(r.ok());
        QCOMPARE(r.rows, 2);
        QCOMPARE(cellOf(r.data, 10, 1), "440.00000");
        QCOMPARE(cellOf(r.data, 10, 3), "");        // the block says: no transmit frequency
        QCOMPARE(cellOf(r.data, 10, 5, doc->words()), "高功率");
        QCOMPARE(cellOf(r.data, 10, 7, doc->words()), "启用");
        QCOMPARE(cellOf(r.data, 11, 1), "");
        QCOMPARE(cellOf(r.data, 11, 5), "");

        // Frequencies alone into an empty row: transmit where it receives.
        const ChannelClipboard::PasteResult one = ChannelClipboard::paste(doc->data(), 3, 1, "441,5\n", doc->words(), u'.');
        QVERIFY(one.ok());
        QCOMPARE(cellOf(one.data, 3, 3), "441.50000");
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
