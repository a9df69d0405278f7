#include <QtTest>

#include "testpaths.h"

#include "files/packfile.h"
#include "files/channelcsv.h"
#include "files/chirpcsv.h"
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

const QByteArray ChirpHeader = ChirpCsv::Header.join(u',').toUtf8() + "\r\n";
// Files of CHIRP before 2023: no RxDtcsCode, CrossMode or Power.
const QByteArray OldChirpHeader = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
                                  "DtcsPolarity,Mode,TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL\r\n";

// Receive frequency to scan of channel `row` as the English table shows them.
QStringList chirpCells(const DocumentData& d, int row)
{
    QStringList cells;
    for (int col = 1; col <= 7; ++col)
        cells << cellOf(d, row, col, English, u'.');
    return cells;
}

QString englishText(const Result& r)
{
    static const PackStrings texts = pack("eng_dll");
    return r.text(texts);
}

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

    // Each row of a CHIRP file means in the radio what it means in CHIRP, and
    // exporting the channel again gives the simplest row that says the same.
    void chirpRowsKeepTheirMeaning_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("cells");      // receive frequency .. scan
        QTest::addColumn<QStringList>("exported");   // Duplex, Offset, Tone, CrossMode

        const auto row = [](const char* fields) { return ChirpHeader + "1,Name," + fields + "\r\n"; };
        const auto old = [](const char* fields) { return OldChirpHeader + "1,," + fields + "\r\n"; };
        QTest::newRow("simplex, no tones")
            << row("446.006250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,5.0W,,,,,")
            << QStringList{"446.00625", "OFF", "446.00625", "OFF", "High", "Wide", "ON"}
            << QStringList{"", "0.000000", "", "Tone->Tone"};
        QTest::newRow("+ offset, Tone")
            << row("446.006250,+,5.000000,Tone,67.0,88.5,023,NN,023,Tone->Tone,FM,6.25,,5.0W,,,,,")
            << QStringList{"446.00625", "OFF", "451.00625", "67.0", "High", "Wide", "ON"}
            << QStringList{"+", "5.000000", "Tone", "Tone->Tone"};
        QTest::newRow("- offset, TSQL, narrow, skipped, low")
            << row("446.100000,-,0.600000,TSQL,88.5,100.0,023,NN,023,Tone->Tone,NFM,5.00,S,0.5W,,,,,")
            << QStringList{"446.10000", "100.0", "445.50000", "100.0", "Low", "Narrow", "OFF"}
            << QStringList{"-", "0.600000", "TSQL", "Tone->Tone"};
        QTest::newRow("split, DTCS with both polarities")
            << row("446.100000,split,460.000000,DTCS,88.5,88.5,754,RN,023,Tone->Tone,FM,5.00,,1.9W,,,,,")
            << QStringList{"446.10000", "D754N", "460.00000", "D754I", "Low", "Wide", "ON"}
            << QStringList{"split", "460.000000", "DTCS", "Tone->Tone"};
        QTest::newRow("off: no transmit, Cross Tone->Tone")
            << row("446.100000,off,0.000000,Cross,67.0,100.0,023,NN,023,Tone->Tone,FM,5.00,P,2.0W,,,,,")
            << QStringList{"446.10000", "100.0", "", "67.0", "High", "Wide", "ON"}
            << QStringList{"off", "0.000000", "Cross", "Tone->Tone"};
        QTest::newRow("Cross Tone->DTCS")
            << row("446.100000,,0,Cross,88.5,88.5,023,NR,131,Tone->DTCS,FM,5.00,,5.0W,,,,,")
            << QStringList{"446.10000", "D131I", "446.10000", "88.5", "High", "Wide", "ON"}
            << QStringList{"", "0.000000", "Cross", "Tone->DTCS"};
        QTest::newRow("Cross DTCS->Tone")
            << row("446.100000,,0,Cross,88.5,254.1,125,RN,023,DTCS->Tone,FM,5.00,,5.0W,,,,,")
            << QStringList{"446.10000", "254.1", "446.10000", "D125I", "High", "Wide", "ON"}
            << QStringList{"", "0.000000", "Cross", "DTCS->Tone"};
        QTest::newRow("Cross DTCS->DTCS")
            << row("446.100000,,0,Cross,88.5,88.5,125,NN,754,DTCS->DTCS,FM,5.00,,5.0W,,,,,")
            << QStringList{"446.10000", "D754N", "446.10000", "D125N", "High", "Wide", "ON"}
            << QStringList{"", "0.000000", "Cross", "DTCS->DTCS"};
        QTest::newRow("Cross ->Tone")
            << row("446.100000,,0,Cross,88.5,71.9,023,NN,023,->Tone,FM,5.00,,5.0W,,,,,")
            << QStringList{"446.10000", "71.9", "446.10000", "OFF", "High", "Wide", "ON"}
            << QStringList{"", "0.000000", "Cross", "->Tone"};
        QTest::newRow("Cross ->DTCS")
            << row("446.100000,,0,Cross,88.5,88.5,023,NR,754,->DTCS,FM,5.00,,5.0W,,,,,")
            << QStringList{"446.10000", "D754I", "446.10000", "OFF", "High", "Wide", "ON"}
            << QStringList{"", "0.000000", "Cross", "->DTCS"};
        QTest::newRow("Cross DTCS->")
            << row("446.100000,,0,Cross,88.5,88.5,023,NN,754,DTCS->,FM,5.00,,5.0W,,,,,")
            << QStringList{"446.10000", "OFF", "446.10000", "D023N", "High", "Wide", "ON"}
            << QStringList{"", "0.000000", "Cross", "DTCS->"};
        QTest::newRow("Cross Tone-> is written as Tone")
            << row("446.100000,,0,Cross,100.0,88.5,023,NN,023,Tone->,FM,5.00,,5.0W,,,,,")
            << QStringList{"446.10000", "OFF", "446.10000", "100.0", "High", "Wide", "ON"}
            << QStringList{"", "0.000000", "Tone", "Tone->Tone"};
        QTest::newRow("old file: TSQL-R, no power")
            << old("446.100000,,0.000000,TSQL-R,88.5,123.0,023,NN,FM,5.00,,,,,")
            << QStringList{"446.10000", "123.0", "446.10000", "OFF", "High", "Wide", "ON"}
            << QStringList{"", "0.000000", "Cross", "->Tone"};
        QTest::newRow("old file: DTCS-R takes DtcsCode")
            << old("446.100000,,0.000000,DTCS-R,88.5,88.5,065,NR,NFM,5.00,S,,,,")
            << QStringList{"446.10000", "D065I", "446.10000", "OFF", "High", "Narrow", "OFF"}
            << QStringList{"", "0.000000", "Cross", "->DTCS"};
        QTest::newRow("old file: Cross is Tone->Tone")
            << old("446.100000,+,1.000000,Cross,67.0,100.0,023,NN,FM,5.00,,,,,")
            << QStringList{"446.10000", "100.0", "447.10000", "67.0", "High", "Wide", "ON"}
            << QStringList{"+", "1.000000", "Cross", "Tone->Tone"};
    }
    void chirpRowsKeepTheirMeaning()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, cells);
        QFETCH(QStringList, exported);
        QVERIFY(ChirpCsv::recognises(file));
        QVERIFY(!ChirpCsv::recognises(OldHeader));
        const ChirpCsv::ImportResult in = ChirpCsv::importTable(file, withBand());
        QVERIFY2(in.ok() && in.refused.isEmpty(), qPrintable(englishText(ChirpCsv::importSummary(in, "f.csv"))));
        QCOMPARE(chirpCells(in.data, 1), cells);
        // Flags CHIRP has no column for: what a new channel starts with.
        const Channel fresh = Channel::withValues(0);
        const Channel& ch = in.data.channel(1);
        QVERIFY(ch.busyLock == fresh.busyLock && ch.tailElimination == fresh.tailElimination
                && ch.compander == fresh.compander && ch.pttId == fresh.pttId);
        QVERIFY(!in.data.channelExists(2));

        const ChirpCsv::ExportResult out = ChirpCsv::exportTable(in.data);
        QCOMPARE(out.exported, 1);
        const QStringList lines = QString::fromUtf8(out.bytes).split("\r\n");
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0].toUtf8() + "\r\n", ChirpHeader);
        const QStringList f = lines[1].split(u',');
        QCOMPARE(f.size(), ChirpCsv::Header.size());
        QCOMPARE((QStringList{f[3], f[4], f[5], f[11]}), exported);
        QCOMPARE(f[0], "1");
        QCOMPARE(f[1], "CH01");
        QCOMPARE(f[2], cells[0] + "0");   // six decimals, as CHIRP writes them
        QCOMPARE(f[15], cells[4] == "High" ? "5.0W" : "1.0W");
        const ChirpCsv::ImportResult again = ChirpCsv::importTable(out.bytes, withBand());
        QVERIFY(again.ok() && again.refused.isEmpty());
        QCOMPARE(again.data, in.data);
    }

    // A row the radio cannot hold is refused with its line and every reason;
    // the others are imported all the same.
    void chirpRowsTheRadioCannotHoldAreNamed()
    {
        // Columns in another order and one CHIRP does not have: still read.
        const QByteArray file =
            "Frequency,Location,Bank,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,Skip,Power,Name\r\n"
            "446.006250,1,A,,0,,88.5,88.5,023,NN,FM,,5.0W,Club\r\n"        // 2: good
            "446.006250,0,A,,0,,88.5,88.5,023,NN,FM,,5.0W,\r\n"            // 3: no channel 0
            "446.006250,33,A,,0,,88.5,88.5,023,NN,FM,,5.0W,\r\n"           // 4: nor 33
            "446.006250,1,A,,0,,88.5,88.5,023,NN,FM,,5.0W,\r\n"            // 5: channel 1 again
            "446.006250,5,A,,0,,88.5,88.5,023,NN,AM,,5.0W,\r\n"            // 6: AM
            "480.000000,6,A,,0,,88.5,88.5,023,NN,FM,,5.0W,\r\n"            // 7: outside the band
            "446.001000,7,A,,0,,88.5,88.5,023,NN,FM,,5.0W,\r\n"            // 8: off the raster
            "469.000000,8,A,+,5.0,,88.5,88.5,023,NN,FM,,5.0W,\r\n"         // 9: transmits outside
            "446.006250,9,A,,0,Tone,69.4,88.5,023,NN,FM,,5.0W,\r\n"        // 10: no such tone
            "446.006250,10,A,,0,DTCS,88.5,88.5,024,NX,FM,,5.0W,\r\n"       // 11: no such code nor polarity
            "446.006250,11,A,x,0,Foo,88.5,88.5,023,NN,FM,Q,lots,\r\n"      // 12: four bad words
            "\r\n"
            "446.012500,12,A,-,0.0125,TSQL,88.5,254.1,023,NN,NFM,S,0.5W,\r\n";   // 14: good
        ChirpCsv::ImportResult r = ChirpCsv::importTable(file, withBand());
        QVERIFY(r.ok());
        QCOMPARE(r.imported, 2);
        QVERIFY(r.leftOut);
        QCOMPARE(chirpCells(r.data, 12), (QStringList{"446.01250", "254.1", "446.00000", "254.1", "Low", "Narrow", "OFF"}));
        for (int row = 2; row <= 11; ++row)
            QVERIFY(!r.data.channelExists(row));
        QStringList refused;
        for (const Result& e : r.refused)
            refused << englishText(e);
        QCOMPARE(refused, (QStringList{
            "line 3: Location \"0\" is not a channel from 1 to 32",
            "line 4: Location \"33\" is not a channel from 1 to 32",
            "line 5: Location 1 is already given on line 2",
            "line 6: Mode \"AM\" is not for this radio (FM or NFM)",
            "line 7: Frequency gives 480.000000 MHz, outside 400-470MHz",
            "line 8: Frequency gives 446.001000 MHz, not on the 5 kHz or 6.25 kHz raster",
            "line 9: Duplex/Offset gives 474.000000 MHz, outside 400-470MHz",
            "line 10: rToneFreq 69.4 Hz is not a CTCSS tone of this radio",
            "line 11: DtcsCode \"024\" is not a DCS code of this radio; DtcsPolarity \"NX\" is not one of NN, NR, RN, RR",
            "line 12: Duplex \"x\" is not one of +, -, split, off; Tone \"Foo\" is not one of Tone, TSQL, DTCS, Cross, "
            "TSQL-R, DTCS-R; Skip \"Q\" is not one of S, P; Power \"lots\" is not watts such as 5.0W"}));
        QCOMPARE(englishText(ChirpCsv::importSummary(r, "club.csv")).split(u'\n').mid(0, 2),
                 (QStringList{"2 channels imported from club.csv", "10 rows refused:"}));

        // Nothing the radio can hold, nothing at all, no band: nothing imported.
        r = ChirpCsv::importTable(ChirpHeader + "40,,446.006250\r\n", withBand());
        QVERIFY(!r.ok());
        QCOMPARE(englishText(ChirpCsv::importSummary(r, "x.csv")),
                 "Nothing was imported from x.csv:\nline 2: Location \"40\" is not a channel from 1 to 32");
        r = ChirpCsv::importTable(ChirpHeader, withBand());
        QCOMPARE(englishText(ChirpCsv::importSummary(r, "x.csv")), "Nothing was imported from x.csv:\nthe file holds no channels");
        r = ChirpCsv::importTable(ChirpHeader + "1,,446.006250\r\n", DocumentData());
        QVERIFY(!r.ok() && englishText(ChirpCsv::importSummary(r, "x.csv")).contains("no band"));
        // A spreadsheet's byte order mark and ";" between fields.
        QVERIFY(ChirpCsv::recognises("\xEF\xBB\xBFLocation;Name;Frequency\r\n"));
        r = ChirpCsv::importTable("\xEF\xBB\xBFLocation;Name;Frequency\r\n3;;446,00625\r\n", withBand());
        QVERIFY(r.ok() && !r.leftOut);
        QCOMPARE(cellOf(r.data, 3, 1, English, u'.'), "446.00625");

        // An export skips and names a channel with a cell that names no value,
        // and says what CHIRP cannot carry.
        DocumentData d = withBand();
        setRow(d, 1, {"446.00625", "OFF", "446.00625", "OFF", "High", "Wide", "ON", "OFF", "ON", "OFF", "OFF"});
        setRow(d, 2, {"446.10000", "OFF", "446.1", "OFF", "High", "Wide", "ON", "OFF", "ON", "OFF", "OFF"});
        const ChirpCsv::ExportResult out = ChirpCsv::exportTable(d);
        QCOMPARE(out.exported, 1);
        QCOMPARE(englishText(ChirpCsv::exportSummary(out, "y.csv")).split(u'\n'),
                 (QStringList{"1 channels exported to y.csv",
                              "Channel 2 is not exported: its transmit frequency \"446.1\" names no value",
                              "CHIRP has no column for busy lock, tail elimination, compander/scrambler or PTT ID: "
                              "they are not carried."}));
    }
};

QTEST_GUILESS_MAIN(TestChannelCsv)
#include "test_channelcsv.moc"
