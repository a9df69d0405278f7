#include <QtTest>

#include "base/packstrings.h"
#include "document/band.h"
#include "document/frequency.h"
#include "document/optionlists.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "document/tonelist.h"
#include "channelcells.h"

class TestDocument : public QObject {
    Q_OBJECT
private slots:
    void toneListHasEveryEntryInOrder()
    {
        const QStringList dot = ToneList::entries("OFF", u'.');
        QCOMPARE(dot.size(), 273);
        QCOMPARE(dot[0], "OFF");
        QCOMPARE(dot[1], "56.0");
        QCOMPARE(dot[9], "67.0");
        QCOMPARE(dot[58], "254.1");
        QCOMPARE(dot[59], "D017N");
        QCOMPARE(dot[165], "D754N");
        QCOMPARE(dot[166], "D017I");
        QCOMPARE(dot[272], "D754I");
        const QStringList comma = ToneList::entries("禁用", u',');
        QCOMPARE(comma[9], "67,0");
        QCOMPARE(comma[17], "88,5");
        QCOMPARE(ToneList::dcsCodes().size(), 107);
    }

    void defaultsAndOptionLists()
    {
        const DocumentData d;
        QCOMPARE(d.choice(Key::AutoPowerOff), 0);
        QCOMPARE(d.options(Key::AutoPowerOff, PackStrings::builtIn()).size(), 16);
        QCOMPARE(d.options(Key::TimeOut, PackStrings::builtIn()).size(), 13);
        QCOMPARE(d.choice(Key::Volume), 7);
        QCOMPARE(d.choiceText(Key::DtmfTime, PackStrings::builtIn()), "100ms");
        QCOMPARE(d.options(Key::DtmfTime, PackStrings::builtIn()).last(), "150ms");
        QCOMPARE(d.choiceText(Key::VoxDelay, PackStrings::builtIn()), "3S");
        QCOMPARE(d.choiceText(Key::Model, PackStrings::builtIn()), "MZ-209");
        QCOMPARE(d.options(Key::P2Short, PackStrings::builtIn()).size(), 11);
        QCOMPARE(d.choice(Key::P2Short), 10);
        QCOMPARE(d.choice(Key::Band), -1);
        QVERIFY(d.flag(Key::PowerOnTone));
        QVERIFY(!d.flag(Key::EndTone));
        QCOMPARE(d.text(Key::EndDtmf), "123");
        QCOMPARE(d.number(Key::LeaseHours), 1);
        QCOMPARE(cellOf(d, 1, 0), "01");
        QCOMPARE(cellOf(d, 32, 0), "32");
        QVERIFY(cellOf(d, 5, 1).isEmpty());
    }

    void numbersStayInRangeAndStep()
    {
        DocumentData d;
        d.setNumber(Key::LeaseDays, 300);
        QCOMPARE(d.number(Key::LeaseDays), 255);
        d.setNumber(Key::LeaseMinutes, 37);
        QCOMPARE(d.number(Key::LeaseMinutes), 30);
        d.setNumber(Key::LeaseHours, -4);
        QCOMPARE(d.number(Key::LeaseHours), 0);
    }

    void languageSwitchKeepsPositionsAndRewritesWords()
    {
        SettingsDocument doc;
        doc.setChoice(Key::Voice, 2);
        doc.setChoice(Key::TopLong, 4);
        doc.setCell(3, 1, "446.00625");
        doc.setCell(3, 2, "禁用");
        doc.setCell(3, 4, "88.5");
        doc.setCell(3, 5, "高功率");
        doc.setCell(3, 6, "窄带");
        doc.setCell(3, 7, "启用");
        doc.setCell(3, 10, "扰频");
        doc.setCell(3, 11, "something");

        PackStrings en;
        for (auto [id, t] : std::initializer_list<std::pair<int, const char*>>{
                 {34, "OFF"}, {35, "ON"}, {36, "High"}, {37, "Low"}, {74, "Wide"},
                 {75, "Narrow"}, {78, "Comp"}, {79, "scrambler"}, {51, "Chinese"}, {52, "English"}})
            en.set(id, t);
        doc.applyLanguage(PackStrings::withFallback(en));

        QCOMPARE(doc.choice(Key::Voice), 2);
        QCOMPARE(doc.choiceText(Key::Voice), "English");
        QCOMPARE(doc.choice(Key::TopLong), 4);
        QCOMPARE(doc.options(Key::AutoPowerOff).first(), "OFF");
        QCOMPARE(doc.cell(3, 1), "446.00625");
        QCOMPARE(doc.cell(3, 2), "OFF");
        QCOMPARE(doc.cell(3, 4), "88.5");
        QCOMPARE(doc.cell(3, 5), "High");
        QCOMPARE(doc.cell(3, 6), "Narrow");
        QCOMPARE(doc.cell(3, 7), "ON");
        QCOMPARE(doc.cell(3, 10), "scrambler");
        QCOMPARE(doc.cell(3, 11), "something");
        QCOMPARE(doc.words().high, "High");
        QCOMPARE(doc.toneList().first(), "OFF");
    }

    void newResetsTheNewTableOnly()
    {
        SettingsDocument doc;
        doc.setCell(1, 1, "400.00000");
        doc.setChoice(Key::Squelch, 9);
        doc.setChoice(Key::Volume, 3);
        doc.setFlag(Key::Lease, true);
        doc.setFlag(Key::Alarm, true);
        doc.setText(Key::Password, "1234");
        doc.setNumber(Key::LeaseDays, 9);
        doc.resetToNew();
        QVERIFY(doc.cell(1, 1).isEmpty());
        QCOMPARE(doc.cell(1, 0), "01");
        QCOMPARE(doc.choice(Key::Squelch), 2);
        QCOMPARE(doc.choice(Key::Volume), 3);
        QVERIFY(doc.flag(Key::Lease));
        QVERIFY(doc.flag(Key::Alarm));
        QCOMPARE(doc.text(Key::Password), "1234");
        QCOMPARE(doc.number(Key::LeaseDays), 0);
    }

    // "?": refused, as outside the band (a typing slip, never the edge).
    void frequencyCommitRoundsAndRefusesOutsideTheBand_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("5k") << "400.001" << "400.00500";
        QTest::newRow("6.25k") << "400.006" << "400.00625";
        QTest::newRow("on raster") << "400.0125" << "400.01250";
        QTest::newRow("typed") << "446.006" << "446.00625";
        QTest::newRow("lower edge") << "400" << "400.00000";
        QTest::newRow("upper edge") << "470" << "470.00000";
        QTest::newRow("rounds up onto the upper edge") << "469.9999" << "470.00000";
        QTest::newRow("above") << "480" << "?";
        QTest::newRow("missing separator") << "4461" << "?";
        QTest::newRow("just above") << "470.001" << "?";
        QTest::newRow("below") << "399.99999" << "?";
    }
    void frequencyCommitRoundsAndRefusesOutsideTheBand()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QCOMPARE(Frequency::commit(typed, "400-470MHz", u'.').value_or("?"), expected);
        QCOMPARE(Frequency::isOutsideBand(typed, "400-470MHz", u'.'), expected == "?");
        QString commaTyped = typed, commaExpected = expected;
        commaTyped.replace('.', ',');
        commaExpected.replace('.', ',');
        QCOMPARE(Frequency::commit(commaTyped, "400-470MHz", u',').value_or("?"), commaExpected);
    }

    void frequencyRejectsWhatCannotBeCommitted()
    {
        QVERIFY(!Frequency::commit("446.5", "", u'.'));
        QVERIFY(!Frequency::commit("446,5", "400-470MHz", u'.'));
        QVERIFY(!Frequency::commit("abc", "400-470MHz", u'.'));
        QVERIFY(!Frequency::commit("446.5", "4x0-470MHz", u'.'));
        QVERIFY(Frequency::isCommitted("446.00625", "400-470MHz", u'.'));
        QVERIFY(!Frequency::isCommitted("446.00100", "400-470MHz", u'.'));
        QVERIFY(!Frequency::isCommitted("480.00000", "400-470MHz", u'.'));
        // Not a number, or no band to hold it: no value outside the band.
        QVERIFY(!Frequency::isOutsideBand("abc", "400-470MHz", u'.'));
        QVERIFY(!Frequency::isOutsideBand("480", "", u'.'));
    }

    void bandTexts()
    {
        QVERIFY(Band::isWellFormed("400-470MHz"));
        QVERIFY(!Band::isWellFormed("400-470MH"));
        QVERIFY(!Band::isWellFormed("FFF-FFFMHz"));
        QCOMPARE(Band::lower("400-430MHz"), 400);
        QCOMPARE(Band::upper("400-430MHz"), 430);
    }
};

QTEST_GUILESS_MAIN(TestDocument)
#include "test_document.moc"
