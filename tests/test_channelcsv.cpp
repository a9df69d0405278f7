#include <QtTest>

#include "testpaths.h"

#include "files/packfile.h"
#include "files/channelcsv.h"
#include "files/textcodec.h"
#include "base/packstrings.h"
#include "document/settingkeys.h"
#include "channelcells.h"

namespace {

const ValueWords English{"OFF", "ON", "High", "Low", "Wide", "Narrow", "Comp", "scrambler"};

DocumentData withBand(const QString& band = "400-470MHz")
{
    DocumentData d;
    d.setBands({band});
    d.setChoice(Key::Band, 0);
    return d;
}

void setRow(DocumentData& d, int row, const QStringList& cells)
{
    for (int c = 1; c <= 11; ++c)
        setCellOf(d, row, c, cells.value(c - 1));
}

PackStrings pack(const char* name)
{
    const auto p = PackFile::load(PackFile::find(QStringLiteral(RQ300_PACKS_DIR), name));
    if (!p)
        qFatal("pack %s not found", name);
    return *p;
}

QStringList english(const ChannelCsv::ImportResult& r)
{
    static const PackStrings texts = pack("eng_dll");
    return ChannelCsv::errorTexts(r, texts);
}

// The header of files written before the flags had their table's names:
// still read.
const QByteArray OldHeader = "Channel,RX Frequency,RX Tone,TX Frequency,TX Tone,Power,Bandwidth,Flag A,Flag B,Flag C,Flag D,PTT ID\r\n";

} // namespace

class TestChannelCsv : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QChar>("sep");
        QTest::newRow("point") << QChar(u'.');
        QTest::newRow("comma") << QChar(u',');
    }
    void roundTrip()
    {
        QFETCH(QChar, sep);
        DocumentData d = withBand();
        auto f = [&](QString t) { return t.replace(u'.', sep); };
        setRow(d, 1, {f("446.00625"), f("67.0"), f("446.00625"), "D754I", "高功率", "宽带", "启用", "禁用", "启用", "禁用", "禁用"});
        setRow(d, 32, {f("469.99375"), "禁用", "", f("254.1"), "低功率", "窄带", "禁用", "启用", "禁用", "扰频", "启用"});
        const QByteArray csv = ChannelCsv::exportTable(d, PackStrings::builtIn().words(), sep);
        QVERIFY(csv.contains("\xB8\xDF\xB9\xA6\xC2\xCA"));   // the Chinese code page, as settings files
        QCOMPARE(csv.count('\n'), 3);                          // the header and the two channels
        QVERIFY2(csv.startsWith("Channel,RX Frequency,RX Tone,TX Frequency,TX Tone,Power,Bandwidth,"
                                "Scan,Busy Lock,Tail Elim,Comp/Scr,PTT ID\r\n"), csv.left(100).constData());

        DocumentData base = withBand();
        setRow(base, 5, {"400.00000", "禁用"});   // replaced: the table comes only from the CSV
        const auto r = ChannelCsv::importTable(csv, base, PackStrings::builtIn().words(), sep);
        QVERIFY2(r.ok, qPrintable(english(r).join('\n')));
        QCOMPARE(r.data, d);
    }

    void acceptsWhatSpreadsheetsMake()
    {
        // Words of another language, either separator, trailing zeros dropped,
        // lower case, ";" between fields, trailing empty columns, blank lines.
        const QByteArray csv = "Channel;RX Frequency;RX Tone;TX Frequency;TX Tone;Power;Bandwidth;A;B;C;D;PTT ID\n"
                               "3;446.00625;88.5;446,1;d023n;high;Narrow;ON;OFF;on;scrambler;off;;\n"
                               "\n"
                               "4;430;OFF;;67;Low;wide;啟用;禁用;啟用;壓擴;OFF\n";
        const auto r = ChannelCsv::importTable(csv, withBand(), English, u',');
        QVERIFY2(r.ok, qPrintable(english(r).join('\n')));
        const DocumentData& d = r.data;
        QCOMPARE(cellOf(d, 3, 1, English, u','), "446,00625");
        QCOMPARE(cellOf(d, 3, 2, English, u','), "88,5");
        QCOMPARE(cellOf(d, 3, 3, English, u','), "446,10000");
        QCOMPARE(cellOf(d, 3, 4, English, u','), "D023N");
        QCOMPARE(cellOf(d, 3, 5, English, u','), "High");
        QCOMPARE(cellOf(d, 3, 6, English, u','), "Narrow");
        QCOMPARE(cellOf(d, 3, 9, English, u','), "ON");
        QCOMPARE(cellOf(d, 3, 10, English, u','), "scrambler");
        QCOMPARE(cellOf(d, 4, 1, English, u','), "430,00000");
        QCOMPARE(cellOf(d, 4, 3, English, u','), "");
        QCOMPARE(cellOf(d, 4, 4, English, u','), "67,0");
        QCOMPARE(cellOf(d, 4, 7, English, u','), "ON");
        QCOMPARE(cellOf(d, 4, 10, English, u','), "Comp");
        QVERIFY(!d.channelExists(1));
    }

    void reportsEveryBadLineAndGivesNothing()
    {
        const QByteArray csv = OldHeader
            + "1,446.00625,OFF,446.00625,OFF,High,Wide,ON,OFF,ON,OFF,OFF\r\n"     // line 2: good
              "2,480.00000,OFF,,OFF,High,Wide,ON,OFF,ON,OFF,OFF\r\n"              // 3: outside the band
              "3,446.00100,OFF,,OFF,High,Wide,ON,OFF,ON,OFF,OFF\r\n"              // 4: off the raster
              "4,446.00625,50.0,,D028N,High,Wide,ON,OFF,ON,OFF,OFF\r\n"           // 5: two bad tones
              "5,446.00625,88.55,,D02N,High,Wide,ON,OFF,ON,OFF,OFF\r\n"           // 6: two bad tones
              "6,446.00625,OFF,,OFF,Medium,Wide,yes,OFF,ON,High,OFF\r\n"          // 7: three bad words
              "1,446.00625,OFF,,OFF,High,Wide,ON,OFF,ON,OFF,OFF\r\n"              // 8: channel 1 again
              "33,446.00625,OFF,,OFF,High,Wide,ON,OFF,ON,OFF,OFF\r\n"             // 9: no channel 33
              "7,446.00625,OFF\r\n"                                               // 10: too few fields
              "\"8,446.00625,OFF,,OFF,High,Wide,ON,OFF,ON,OFF,OFF\r\n";           // 11: open quote
        auto r = ChannelCsv::importTable(csv, withBand(), English, u'.');
        QVERIFY(!r.ok);
        QCOMPARE(english(r), QStringList({"line 11: a quoted field is not closed"}));

        r = ChannelCsv::importTable(csv.left(csv.lastIndexOf("\"8")), withBand(), English, u'.');
        QVERIFY(!r.ok);
        QCOMPARE(r.data, DocumentData());
        QCOMPARE(english(r).size(), 8);
        QVERIFY(english(r)[0].startsWith("line 3: RX Frequency \"480.00000\" is not a frequency"));
        QVERIFY(english(r)[1].startsWith("line 4: RX Frequency \"446.00100\""));
        QVERIFY(english(r)[2].startsWith("line 5: RX Tone \"50.0\""));
        QVERIFY(english(r)[2].contains("TX Tone \"D028N\""));
        QVERIFY(english(r)[3].contains("RX Tone \"88.55\"") && english(r)[3].contains("TX Tone \"D02N\""));
        QCOMPARE(english(r)[4].count("is not"), 3);
        QCOMPARE(english(r)[5], "line 8: channel 1 is given twice");
        QVERIFY(english(r)[6].startsWith("line 9: channel \"33\""));
        QCOMPARE(english(r)[7], "line 10: 3 fields where 12 are expected");
    }

    void badLinesInChinese()
    {
        // Chinese words, Chinese texts: nothing in Latin letters but the
        // values, the column names of the header and units.
        const ValueWords chinese{"禁用", "启用", "高功率", "低功率", "宽带", "窄带", "压扩", "扰频"};
        const QByteArray csv = OldHeader
            + "1,480.00000,50.0,,D028N,Medium,宽带,是,禁用,启用,禁用,禁用\r\n"
            + "1,446.00625,禁用,,禁用,高功率,宽带,启用,禁用,启用,禁用,禁用\r\n"
            + "1,446.00625,禁用,,禁用,高功率,宽带,启用,禁用,启用,禁用,禁用\r\n"
            + "x,446.00625,禁用\r\n"
            + "y,446.00625,禁用,,禁用,高功率,宽带,启用,禁用,启用,禁用,禁用\r\n";
        const auto r = ChannelCsv::importTable(TextCodec::encode(QString::fromUtf8(csv)), withBand(), chinese, u'.');
        QVERIFY(!r.ok);
        const QStringList zh = ChannelCsv::errorTexts(r, pack("cha_dll"));
        QCOMPARE(zh.size(), 4);
        QCOMPARE(zh[1], "第 4 行：信道 1 出现了两次");
        QCOMPARE(zh[2], "第 5 行：有 3 个字段，应为 12 个");
        QVERIFY2(zh[0].startsWith("第 2 行：RX Frequency“480.00000”不是400-470MHz 内 5 kHz 或 6.25 kHz 步进上的频率；"),
                 qPrintable(zh[0]));
        QVERIFY2(zh[0].contains("Power“Medium”不是高功率或低功率"), qPrintable(zh[0]));
        QVERIFY2(zh[0].contains("Scan“是”不是启用或禁用"), qPrintable(zh[0]));
        for (QString t : zh) {
            for (const char* kept : {"RX Frequency", "RX Tone", "TX Tone", "Power", "Scan", "Medium", "MHz", "kHz",
                                     "Hz", "D028N", "y"})
                t.remove(QString::fromUtf8(kept));
            t.remove(QRegularExpression(" D | N | I"));   // the letters of the tone form
            QVERIFY2(std::none_of(t.cbegin(), t.cend(), [](QChar c) { return c.isLetter() && c.unicode() < 0x80; }),
                     qPrintable(t));
        }
    }

    void refusesWithoutHeaderOrBand()
    {
        const QByteArray row = "1,446.00625,OFF,,OFF,High,Wide,ON,OFF,ON,OFF,OFF\r\n";
        auto r = ChannelCsv::importTable(row, withBand(), English, u'.');
        QVERIFY(!r.ok);
        QVERIFY(english(r).value(0).startsWith("line 1: the first line must be the header row"));
        r = ChannelCsv::importTable(QByteArray(), withBand(), English, u'.');
        QVERIFY(!r.ok);

        DocumentData noBand;
        r = ChannelCsv::importTable(OldHeader + row, noBand, English, u'.');
        QVERIFY(!r.ok);
        QVERIFY(english(r).value(0).contains("no band"));
        // The band decides what is in range.
        r = ChannelCsv::importTable(OldHeader + row, withBand("400-430MHz"), English, u'.');
        QVERIFY(!r.ok);
        r = ChannelCsv::importTable(OldHeader + "1,430.00000,OFF,,OFF,High,Wide,ON,OFF,ON,OFF,OFF\r\n",
                                    withBand("400-430MHz"), English, u'.');
        QVERIFY(r.ok);
    }
};

QTEST_GUILESS_MAIN(TestChannelCsv)
#include "test_channelcsv.moc"
