#include <QtTest>

#include <csignal>
#include <sys/resource.h>

#include "files/settingsfile.h"
#include "files/textcodec.h"
#include "base/packstrings.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "base/textids.h"
#include "radio/codecs.h"
#include "channelcells.h"

namespace {

// The texts a language pack gives, enough for the file: value words, the
// check box captions and a few option entries.
PackStrings texts(int language)
{
    if (language == 1)
        return PackStrings::builtIn();
    PackStrings p;
    const bool en = language == 2;
    const std::pair<int, const char*> entries[] = {
        {34, en ? "OFF" : "禁用"},   {35, en ? "ON" : "啟用"},       {36, en ? "High" : "高功率"},
        {37, en ? "Low" : "低功率"}, {74, en ? "Wide" : "寬帶"},     {75, en ? "Narrow" : "窄帶"},
        {52, en ? "English" : "英"}, {153, en ? "Power-on tone" : "開機提示音"}, {86, en ? "Scan\tkey" : "掃描"},
    };
    for (const auto& [id, text] : entries)
        p.set(id, QString::fromUtf8(text));
    return PackStrings::withFallback(p);
}

DocumentData documentIn(int, const QStringList& bands = {"400-470MHz", "400-430MHz"})
{
    DocumentData d;
    d.setBands(bands);
    d.setChoice(Key::Band, 0);
    return d;
}

// A document with every carried value away from its default.
DocumentData filled(int language, QChar sep)
{
    const ValueWords w = texts(language).words();
    DocumentData d = documentIn(language);
    d.setChoice(Key::Band, 1);
    const std::pair<QString, int> choices[] = {
        {Key::AutoPowerOff, 15}, {Key::Squelch, 9}, {Key::ScanResume, 0}, {Key::TimeOut, 12},
        {Key::Voice, 2}, {Key::SaveRatio, 0}, {Key::TopLong, 1}, {Key::TopShort, 6},
        {Key::P1Long, 0}, {Key::P1Short, 3}, {Key::P2Long, 4}, {Key::P2Short, 2},
        {Key::VoxLevel, 7}, {Key::VoxDelay, 0}, {Key::DtmfTime, 10}};
    for (const auto& [k, v] : choices)
        d.setChoice(k, v);
    for (const QString& k : {Key::PowerOnTone, Key::BatterySave, Key::KeyBeep, Key::LowBatteryTone,
                             Key::VoxRxInhibit})
        d.setFlag(k, false);
    for (const QString& k : {Key::EndTone, Key::TxInhibit, Key::TinyPower, Key::Lease})
        d.setFlag(k, true);
    d.setText(Key::EndDtmf, "1A*#");
    d.setChoice(Key::Volume, 12);
    d.setFlag(Key::Alarm, true);
    d.setNumber(Key::LeaseDays, 2);
    d.setNumber(Key::LeaseHours, 3);
    d.setNumber(Key::LeaseMinutes, 40);
    auto f = [&](const char* text) { return QString::fromLatin1(text).replace(u'.', sep); };
    const QStringList row1 = {f("446.00625"), f("88.5"), f("446.00625"), "D023N", w.high, w.wide,
                              w.on, w.off, w.on, w.off, w.off};
    const QStringList row7 = {f("430.00000"), w.off, QString(), "D754I", w.low, w.narrow,
                              w.off, w.on, w.off, w.on, w.on};
    const QStringList row32 = {f("400.01250"), f("254.1"), f("401.00000"), w.off, w.high, w.narrow,
                               w.on, w.on, w.on, w.on, w.on};
    for (int c = 1; c <= 11; ++c) {
        setCellOf(d, 1, c, row1[c - 1]);
        setCellOf(d, 7, c, row7[c - 1]);
        setCellOf(d, 32, c, row32[c - 1]);
    }
    return d;
}

QByteArray header()
{
    return "TAVRIN MEMORY CHANNEL\r\n\r\n\r\nTYPE0 MZ-209\r\nBAND 400-470MHz\r\n";
}

// The 25 option lines of a file saved with every default.
QByteArray defaultOptions()
{
    return "0 OFF\r\n2 2\r\n1 TO\r\n3 30\r\n1 x\r\n3 1:4\r\n1 a\r\n0 b\r\n1 c\r\n1 d\r\n0 e\r\n1 f\r\n"
           "0 g\r\n6 k\r\n5 k\r\n7 k\r\n9 k\r\n8 k\r\n10 k\r\n0 h\r\n1 i\r\n2 3\r\n2 3S\r\n3123\r\n5 100ms\r\n";
}

SettingsFile::ReadResult parse(const QByteArray& bytes, const DocumentData& current = documentIn(1))
{
    return SettingsFile::parse(bytes, current, PackStrings::builtIn().words(), "f");
}

QStringList lines(const QByteArray& bytes)
{
    return TextCodec::decode(bytes).split(QStringLiteral("\r\n"));
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void textCodecRoundTrip()
    {
        const QString zh = QStringLiteral("禁用 高功率 宽带 寬帶 壓擴 啟用");
        const QByteArray gbk = TextCodec::encode(zh);
        QCOMPARE(gbk.left(4), QByteArray("\xBD\xFB\xD3\xC3"));   // 禁用 in the Chinese code page
        QCOMPARE(TextCodec::decode(gbk), zh);
        QCOMPARE(TextCodec::encode("OFF | 446.00625"), QByteArray("OFF | 446.00625"));
        QCOMPARE(TextCodec::decode(zh.toUtf8()), zh);
        QCOMPARE(TextCodec::decode("\xEF\xBB\xBFOFF"), QStringLiteral("OFF"));
        // Texts the code page cannot hold still come back whole.
        for (const QString& odd : {QStringLiteral("a😀b"), QStringLiteral("€ 5"), QStringLiteral("禁用€")})
            QCOMPARE(TextCodec::decode(TextCodec::encode(odd)), odd);
    }

    void roundTripInEachLanguageAndSeparator_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QChar>("sep");
        for (int lang : {1, 2, 3})
            for (QChar sep : {QChar(u'.'), QChar(u',')})
                QTest::addRow("lang%d %c", lang, sep.toLatin1()) << lang << sep;
    }
    void roundTripInEachLanguageAndSeparator()
    {
        QFETCH(int, language);
        QFETCH(QChar, sep);
        const DocumentData saved = filled(language, sep);
        QTemporaryDir dir;
        const QString path = dir.filePath("a.kq19");
        QVERIFY(SettingsFile::save(path, saved, texts(language), u'.'));

        const auto r = SettingsFile::read(path, documentIn(language), texts(language).words());
        QVERIFY2(r.ok(), qPrintable(r.error.text(texts(1))));
        QCOMPARE(r.data, saved);
        QCOMPARE(r.caption, QStringLiteral("MZ-209   [400-430MHz]"));
        QVERIFY(!r.bandAdded);
    }

    void keyCodesTheListsDoNotNameSurviveTheFile()
    {
        // A radio whose top key holds code 12 and P2 short press code 15.
        DocumentData read = filled(2, u'.');
        QByteArray rec = Codec::encodeOptions(read, 32).bytes;
        rec[13] = char(0xC5);
        rec[15] = char((quint8(rec[15]) & 0xF0) | 0x0F);
        Codec::decodeOptions(rec, read);
        QCOMPARE(read.choice(Key::TopLong), -1);
        QCOMPARE(read.choice(Key::P2Short), -1);
        QTemporaryDir dir;
        const QString path = dir.filePath("k.kq19");
        QVERIFY(SettingsFile::save(path, read, texts(2), u'.'));
        const auto r = SettingsFile::read(path, documentIn(2), texts(2).words());
        QVERIFY2(r.ok(), qPrintable(r.error.text(texts(2))));
        QCOMPARE(r.data.unlistedCode(Key::TopLong), 12);
        QCOMPARE(r.data.unlistedCode(Key::P2Short), 15);
        const Codec::Encoded back = Codec::encodeOptions(r.data, 32);
        QVERIFY2(back.ok(), qPrintable(back.error.text(texts(1))));
        QCOMPARE(back.bytes.toHex(), rec.toHex());

        // An index out of range elsewhere still selects nothing.
        QString text = TextCodec::decode(SettingsFile::serialize(r.data, texts(2), u'.'));
        const QString squelch = QStringLiteral("\r\n9 %1\r\n").arg(r.data.choiceText(Key::Squelch, texts(2)));
        QVERIFY(text.contains(squelch));
        text.replace(squelch, QStringLiteral("\r\n12 \r\n"));
        const QString bad = dir.filePath("b.kq19");
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(TextCodec::encode(text));
        f.close();
        const auto b = SettingsFile::read(bad, documentIn(2), texts(2).words());
        QVERIFY(b.ok());
        QCOMPARE(b.data.choice(Key::Squelch), -1);
        QCOMPARE(b.data.unlistedCode(Key::Squelch), -1);
    }

    void writesTheLineFormat()
    {
        const QByteArray bytes = SettingsFile::serialize(filled(2, u'.'), texts(2), u'.');
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        const QStringList l = lines(bytes);
        QCOMPARE(l.size(), 5 + 25 + 32 + 3 + 1);
        QCOMPARE(l.mid(0, 6), QStringList({"TAVRIN MEMORY CHANNEL", "", "", "TYPE0 MZ-209", "BAND 400-430MHz", "15 16H"}));
        QCOMPARE(l[9], "2 English");
        QCOMPARE(l[11], "0 Power-on tone");
        QCOMPARE(l[12], "1 结束提示音");   // from the built-in texts under the pack
        QCOMPARE(l[17], "1 Tiny Power");
        QCOMPARE(l[19], "6 Scan\tkey");
        QCOMPARE(l[28], "41A*#");
        QCOMPARE(l[30], "CH001 | 446.00625 | 88.5 | 446.00625 | D023N | High | Wide | ON | OFF | ON | OFF | OFF | ");
        QCOMPARE(l[31], "CH002 |  |  |  |  |  |  |  |  |  |  |  | ");
        QVERIFY(l[61].startsWith("CH032 | "));
        QCOMPARE(l.mid(62), QStringList({"VOLUME 12", "ALARM 1", "LEASE 2 3 40", ""}));

        DocumentData none = filled(1, u'.');
        none.setChoice(Key::Band, -1);
        const QByteArray zh = SettingsFile::serialize(none, texts(1), u'.');
        QCOMPARE(lines(zh.left(100))[4], "BAND ");
        QVERIFY(zh.contains("\xB8\xDF\xB9\xA6\xC2\xCA"));   // 高功率 in the Chinese code page
    }

    void readsAHandMadeGbkFile()
    {
        QByteArray f = header() + defaultOptions();
        // 禁用 高功率 宽带 启用 in GBK, typed as bytes.
        f += "CH001 | 446.00625 | \xBD\xFB\xD3\xC3 | 446.00625 | 67.0 | \xB8\xDF\xB9\xA6\xC2\xCA | "
             "\xBF\xED\xB4\xF8 | \xC6\xF4\xD3\xC3 | \xBD\xFB\xD3\xC3 | \xC6\xF4\xD3\xC3 | "
             "\xBD\xFB\xD3\xC3 | \xBD\xFB\xD3\xC3 | \r\n";
        const auto r = parse(f);
        QVERIFY2(r.ok(), qPrintable(r.error.text(texts(1))));
        QCOMPARE(cellOf(r.data, 1, 2, PackStrings::builtIn().words()), "禁用");
        QCOMPARE(cellOf(r.data, 1, 5, PackStrings::builtIn().words()), "高功率");
        QCOMPARE(cellOf(r.data, 1, 6, PackStrings::builtIn().words()), "宽带");
        QCOMPARE(cellOf(r.data, 1, 7, PackStrings::builtIn().words()), "启用");
        QCOMPARE(cellOf(r.data, 1, 11, PackStrings::builtIn().words()), "禁用");
        // The same file in UTF-8 reads the same.
        const auto again = parse(TextCodec::decode(f).toUtf8());
        QVERIFY(again.ok());
        QCOMPARE(again.data, r.data);
    }

    // Other files are rejected without a message; bad numbers give the
    // conversion error. Either way the reader gives no document.
    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray opts = defaultOptions();
        auto file = [&](const char* first, const char* type) {
            return QByteArray(first) + "\r\n\r\n\r\n" + type + "\r\nBAND \r\n" + opts;
        };
        const QString rejected = "rejected";
        QTest::newRow("letter case") << file("tavrin memory channel", "TYPE0 MZ-209") << rejected;
        QTest::newRow("trailing blank") << file("TAVRIN MEMORY CHANNEL ", "TYPE0 MZ-209") << rejected;
        QTest::newRow("empty file") << QByteArray() << rejected;
        QTest::newRow("blank after model") << file("TAVRIN MEMORY CHANNEL", "TYPE0 MZ-209 ") << rejected;
        QTest::newRow("no entry 9") << file("TAVRIN MEMORY CHANNEL", "TYPE9 MZ-209") << rejected;
        QTest::newRow("entry 9, no text") << file("TAVRIN MEMORY CHANNEL", "TYPE9") << rejected;
        QTest::newRow("model x") << file("TAVRIN MEMORY CHANNEL", "TYPEx MZ-209") << "'x' is not a valid integer value";
        QTest::newRow("model line missing") << QByteArray("TAVRIN MEMORY CHANNEL\r\n") << "'' is not a valid integer value";
        const std::pair<const char*, const char*> edits[] = {{"2 3S\r\n", "a3S\r\n"}, {"0 h\r\n", "h\r\n"}, {"3123\r\n", "#123\r\n"}};
        const char* messages[] = {"'a3' is not a valid integer value", "'h' is not a valid integer value", "'#' is not a valid integer value"};
        for (int i = 0; i < 3; ++i)
            QTest::newRow(messages[i]) << QByteArray(header() + opts).replace(edits[i].first, edits[i].second) << messages[i];
        // A file that ends before line 30 at a line end: the missing line
        // reads as empty. One cut in the middle of a line says so.
        QTest::newRow("ends early") << (header() + opts).left(header().size() + 41) << "'' is not a valid integer value";
        QTest::newRow("truncated") << (header() + opts).left(header().size() + 40) << "文件在这一行中间结束（似乎被截断）";
        // Channel lines that do not hold their 11 cells, and end codes that
        // do not fit: refused, naming the line, instead of taken as empty or cut.
        const QByteArray full = "446.00625 | 禁用 | 446.00625 | 67.0 | 高功率 | 宽带 | 启用 | 禁用 | 启用 | 禁用 | 禁用 | ";
        const QByteArray ch = header() + opts + "CH001 | " + full + "\r\n";
        const char* channel2 = "f 第 32 行已损坏：信道 2 的行没有以\"|\"分隔的 11 个值";
        const std::pair<QByteArray, const char*> damaged[] = {
            {ch + "X\tY\tZ\tWxyz\r\n", channel2},                                                // no "|"
            {ch + "CH002 | " + full + "k | \r\n", channel2},                                      // a twelfth cell
            {ch + "CH002 | 446.00625 | 禁用 | 446.00625 | 67.0 | \r\n", channel2},                // cells missing
            {ch + "CH002 | 446.00625 禁用 446.00625\r\n", channel2},
            {ch + "CH002 |  junk without bars\r\n", channel2},
            {ch + "CH002 | " + full.left(30), "f 第 32 行已损坏：文件在这一行中间结束（似乎被截断）"},
            {ch + QByteArray("\r\n").repeated(31) + "VOLUME 1", "f 第 63 行已损坏：文件在这一行中间结束（似乎被截断）"},
            {QByteArray(ch).replace("3123\r\n", "9123456789\r\n"), "f 第 29 行已损坏：发射结束:\"123456789\" 超过4位"},
            {QByteArray(ch).replace("3123\r\n", "9AB\r\n"), "f 第 29 行已损坏：发射结束：该行标明长度 9，但内容为\"AB\""},
            {QByteArray(ch).replace("3123\r\n", "312345\r\n"), "f 第 29 行已损坏：发射结束：该行标明长度 3，但内容为\"12345\""},
        };
        for (const auto& [bytes, message] : damaged)
            QTest::newRow(message) << bytes << QString::fromUtf8(message);
        // Volume, alarm and lease time after the 32 channel lines.
        const QByteArray channels = QByteArray("\r\n").repeated(32);
        const std::pair<const char*, const char*> later[] = {
            {"VOLUME 16", "音量等级 应为 0 到 15 之间的整数，而不是\"16\""},
            {"VOLUME x", "音量等级 应为 0 到 15 之间的整数，而不是\"x\""},
            {"VOLUME", "音量等级 应为 0 到 15 之间的整数，而不是\"\""},
            {"ALARM 2", "报警开关 应为 0 到 1 之间的整数，而不是\"2\""},
            {"LEASE 256 0 0", "租赁 天 应为 0 到 255 之间的整数，而不是\"256\""},
            {"LEASE 2 3", "租赁 分钟 应为 0 到 50 之间 10 的整数倍，而不是\"\""},
            {"LEASE 2 3 35", "租赁 分钟 应为 0 到 50 之间 10 的整数倍，而不是\"35\""},
            {"LEASE 1 2 30 4", "租赁 分钟 应为 0 到 50 之间 10 的整数倍，而不是\"30 4\""},
        };
        for (const auto& [line, message] : later)
            QTest::newRow(line) << header() + opts + channels + "VOLUME 3\r\n" + line + "\r\n" << QString::fromUtf8(message);
    }
    void badFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const auto r = parse(bytes);
        QVERIFY(!r.ok());
        QCOMPARE(r.data, DocumentData());
        if (message == "rejected") {
            QCOMPARE(int(r.status), int(SettingsFile::ReadResult::Status::Rejected));
        } else {
            QCOMPARE(int(r.status), int(SettingsFile::ReadResult::Status::Error));
            // "f 第 N 行…": the message names the file's line too.
            QCOMPARE((message.startsWith("f 第") ? r.problem("f") : r.error).text(texts(1)), message);
        }
    }

    void bandLine()
    {
        const QByteArray opts = defaultOptions();
        auto withBand = [&](const QByteArray& bandLine) {
            return parse("TAVRIN MEMORY CHANNEL\r\n\r\n\r\nTYPE0 MZ-209\r\n" + bandLine + "\r\n" + opts,
                         documentIn(1, {"400-470MHz"}));
        };
        auto r = withBand("BAND 400-430MHz");
        QVERIFY(r.ok() && r.bandAdded);
        QCOMPARE(r.data.bands(), QStringList({"400-470MHz", "400-430MHz"}));
        QCOMPARE(r.data.choice(Key::Band), 1);
        QCOMPARE(r.caption, "MZ-209   [400-430MHz]");

        r = withBand("BAND 400-470MHz and more");
        QVERIFY(r.ok() && !r.bandAdded);
        QCOMPARE(r.data.choice(Key::Band), 0);

        r = withBand("BAND ");
        QVERIFY(r.ok());
        QCOMPARE(r.data.choice(Key::Band), -1);
        QCOMPARE(r.data.bands(), QStringList({"400-470MHz"}));
        QCOMPARE(r.caption, "MZ-209   []");

        for (const QByteArray& bad : {QByteArray("BAND 4x0-470MHz"), QByteArray("BAND 400-470"), QByteArray("BAND")}) {
            r = withBand(bad);
            QVERIFY(r.ok());
            QCOMPARE(r.data.choice(Key::Band), -1);
            QCOMPARE(r.data.bands(), QStringList({"400-470MHz"}));
            QCOMPARE(r.bandWarning.ok(), bad == "BAND");
        }
    }

    void optionLines()
    {
        QByteArray f = header() + defaultOptions();
        f.replace("0 OFF\r\n", "-1 \r\n");        // line 6: no selection
        f.replace("2 2\r\n", "7 whatever\r\n");   // line 7: entry 7
        f.replace("1 TO\r\n", " 1\r\n");          // blanks around the number
        f.replace("1 a\r\n", "2 a\r\n");          // a check line other than 1 clears
        f.replace("0 b\r\n", "1\r\n");
        auto r = parse(f);
        QVERIFY2(r.ok(), qPrintable(r.error.text(texts(1))));
        QCOMPARE(r.data.choice(Key::AutoPowerOff), -1);
        QCOMPARE(r.data.choice(Key::Squelch), 7);
        QCOMPARE(r.data.choice(Key::ScanResume), 1);
        QVERIFY(!r.data.flag(Key::PowerOnTone));
        QVERIFY(r.data.flag(Key::EndTone));
        QCOMPARE(r.data.text(Key::EndDtmf), "123");
        QCOMPARE(r.data.choice(Key::P2Short), 10);
        QCOMPARE(r.data.choice(Key::DtmfTime), 5);

        f.replace("3123\r\n", "0\r\n");
        r = parse(f);
        QVERIFY(r.ok());
        QCOMPARE(r.data.text(Key::EndDtmf), "");
    }

    void channelLines()
    {
        DocumentData current = documentIn(1);
        for (int row = 1; row <= 32; ++row)
            setCellOf(current, row, 1, "400.00000");
        const QByteArray full = "CH001 | 446.00625 | 禁用 | 446.00625 | 67.0 | 高功率 | 宽带 | 启用 | 禁用 | 启用 | 禁用 | 禁用 | ";
        QByteArray f = header() + defaultOptions();
        f += full + "\r\n";                                              // row 1
        f += "CH002 |  | 禁用 | 446.00625 | 67.0 | 高功率 | 宽带 | 启用 | 禁用 | 启用 | 禁用 | 禁用 | \r\n";  // row 2: empty
        f += full.chopped(1) + "\r\n";                                   // row 3: no final blank
        f += "CH004 | 446.00625| 禁用 |446.00625 | 67.0 | 高功率 | 宽带 | 启用 | 禁用 | 启用 | 禁用 | 禁用|\r\n";   // row 4: blanks missing
        f += "CH005 |  |  |  |  |  |  |  |  |  |  |  | \r\n";             // row 5: empty
        f += "CH6\r\n";                                                  // row 6: too short
        f += "CH007 | 446.00625 | a | b | c | d | e | f | g | h | i | j |\r\n";   // row 7: any words, eleven of them
        for (int row = 8; row <= 10; ++row)
            f += full + "\r\n";
        auto r = parse(f, current);
        QVERIFY2(r.ok(), qPrintable(r.problem("f").text(texts(1))));
        const DocumentData& d = r.data;
        QCOMPARE(cellOf(d, 1, 1), "446.00625");
        QCOMPARE(cellOf(d, 1, 4), "67.0");
        QCOMPARE(cellOf(d, 1, 11, PackStrings::builtIn().words()), "禁用");
        for (int c = 1; c <= 11; ++c) {
            QVERIFY(cellOf(d, 2, c).isEmpty());
            QVERIFY(cellOf(d, 5, c).isEmpty());
            QVERIFY(cellOf(d, 6, c).isEmpty());
            QCOMPARE(cellOf(d, 3, c), cellOf(d, 1, c));   // the last cell is kept without its blank
            QCOMPARE(cellOf(d, 4, c), cellOf(d, 1, c));
        }
        QCOMPARE(cellOf(d, 7, 2), "a");
        QCOMPARE(cellOf(d, 7, 11), "j");
        QCOMPARE(cellOf(d, 10, 7, PackStrings::builtIn().words()), "启用");
        for (int row = 11; row <= 32; ++row)
            QVERIFY2(!d.channelExists(row), qPrintable(QString::number(row)));
        QCOMPARE(cellOf(d, 11, 0), "11");
        // Ten channel lines, whole: it opens, and says how many it holds.
        QCOMPARE(r.notice.text(texts(1)), "f 只有 10 行信道（应为 32 行）：信道 11 到 32 为空");

        // Lines after the 32nd channel line are no channels, and no values
        // unless they start with a word of one.
        QByteArray many = header() + defaultOptions();
        for (int row = 1; row <= 40; ++row)
            many += full + "\r\n";
        many += "garbage";
        r = parse(many);
        QVERIFY(r.ok());
        QCOMPARE(cellOf(r.data, 32, 1), "446.00625");
    }

    // Volume, alarm and lease time follow the 32nd channel line, where
    // readers that stop at the channel count never look.
    void laterLinesForVolumeAlarmAndLease()
    {
        const QByteArray channels = QByteArray("CH0 | \r\n").repeated(32);
        const DocumentData current = filled(1, u'.');
        // Taken after the channel lines, in any order, blanks as they come;
        // other lines there are left alone.
        auto r = parse(header() + defaultOptions() + channels
                           + "COLOUR red\r\nLEASE 0 23 50\r\n\r\n ALARM\t0 \r\nVOLUME 0\r\n",
                       current);
        QVERIFY2(r.ok(), qPrintable(r.error.text(texts(1))));
        QCOMPARE(r.data.choice(Key::Volume), 0);
        QVERIFY(!r.data.flag(Key::Alarm));
        QCOMPARE(r.data.number(Key::LeaseDays), 0);
        QCOMPARE(r.data.number(Key::LeaseHours), 23);
        QCOMPARE(r.data.number(Key::LeaseMinutes), 50);
        for (const QString& key : Key::NotInOlderFiles)
            QVERIFY2(r.data.carries(key), qPrintable(key));
        r = parse(header() + defaultOptions() + channels + "COLOUR red\r\nVOLUME 99\r\n");
        QCOMPARE(r.line, 64);
        QCOMPARE(r.problem("a.kq19").text(texts(1)), "a.kq19 第 64 行已损坏：音量等级 应为 0 到 15 之间的整数，而不是\"99\"");

        // Before the 32nd channel line such a line is a channel line, and
        // not a whole one.
        r = parse(header() + defaultOptions() + QByteArray("CH0 | \r\n").repeated(5) + "LEASE 1 1 10\r\n", current);
        QCOMPARE(r.line, 36);
        QCOMPARE(r.error, Result::fail(TextId::ChannelLineDamaged, {"6"}));

        // A file of an older program: the values it lacks are not known,
        // whatever the document held before.
        r = parse(header() + defaultOptions() + QByteArray("CH0 | \r\n").repeated(5), current);
        QVERIFY(r.ok());
        for (const QString& key : Key::NotInOlderFiles)
            QVERIFY2(!r.data.carries(key), qPrintable(key));

        // Saved, such a document writes none of them, and opens the same.
        const QByteArray older = SettingsFile::serialize(r.data, texts(1), u'.');
        QCOMPARE(lines(older).size(), 5 + 25 + 32 + 1);
        const auto again = parse(older, current);
        QVERIFY(again.ok());
        QCOMPARE(again.data, r.data);
        // Lease time is one value: setting one of its numbers makes all known.
        DocumentData d = r.data;
        d.setNumber(Key::LeaseHours, 5);
        QVERIFY(d.carries(Key::LeaseDays) && d.carries(Key::LeaseMinutes) && !d.carries(Key::Volume));
        QCOMPARE(lines(SettingsFile::serialize(d, texts(1), u'.')).mid(62),
                 QStringList({QStringLiteral("LEASE %1 5 %2").arg(d.number(Key::LeaseDays)).arg(d.number(Key::LeaseMinutes)), ""}));
    }

    void wordCellsFollowTheActiveLanguage()
    {
        // Saved in English, opened in Chinese: the words become the Chinese ones,
        // so that a later write still reads "High" as high power.
        const DocumentData english = filled(2, u'.');
        const QByteArray bytes = SettingsFile::serialize(english, texts(2), u'.');
        SettingsDocument doc;
        doc.applyLanguage(texts(1));
        doc.replace(documentIn(1));
        const auto r = SettingsFile::parse(bytes, doc.data(), doc.words());
        QVERIFY(r.ok());
        QCOMPARE(cellOf(r.data, 1, 5, PackStrings::builtIn().words()), "高功率");
        QCOMPARE(cellOf(r.data, 7, 5, PackStrings::builtIn().words()), "低功率");
        QCOMPARE(cellOf(r.data, 7, 6, PackStrings::builtIn().words()), "窄带");
        QCOMPARE(cellOf(r.data, 1, 7, PackStrings::builtIn().words()), "启用");
        QCOMPARE(cellOf(r.data, 1, 8, PackStrings::builtIn().words()), "禁用");
        QCOMPARE(r.data.choice(Key::Voice), 2);
        // Applying it as the window does keeps them so.
        doc.replace(r.data);
        doc.applyLanguage(texts(1));
        QCOMPARE(doc.cell(1, 5), "高功率");
        QCOMPARE(doc.choiceText(Key::Voice), "英");
    }

    // Every word a read of a radio puts into a cell, in every column (the
    // on word in column 10 too), comes back in the language of the system
    // that opens the file, so that a write takes the file as it is.
    void everyWordCellCanBeWrittenAfterOpen_data()
    {
        QTest::addColumn<int>("savedIn");
        QTest::addColumn<int>("openedIn");
        QTest::newRow("English file, Chinese system") << 2 << 1;
        QTest::newRow("Chinese file, English system") << 1 << 2;
        QTest::newRow("traditional file, English system") << 3 << 2;
    }
    void everyWordCellCanBeWrittenAfterOpen()
    {
        QFETCH(int, savedIn);
        QFETCH(int, openedIn);
        const ValueWords from = texts(savedIn).words(), to = texts(openedIn).words();
        DocumentData saved = filled(savedIn, u'.');
        // One row with the on word in every flag column, one with the off word.
        for (int c = 7; c <= 11; ++c) {
            setCellOf(saved, 1, c, from.on);
            setCellOf(saved, 7, c, from.off);
        }
        const auto r = SettingsFile::parse(SettingsFile::serialize(saved, texts(savedIn), u'.'), documentIn(openedIn), to);
        QVERIFY(r.ok());
        for (int row : {1, 7, 32}) {
            const Codec::Encoded e = Codec::encodeChannel(r.data.channel(row), row);
            QVERIFY2(e.ok(), qPrintable(QStringLiteral("row %1: %2").arg(row).arg(e.error.text(texts(1)))));
            for (int c = 7; c <= 11; ++c)
                QVERIFY(cellOf(r.data, row, c, to) == to.on || cellOf(r.data, row, c, to) == to.off);
        }
        QCOMPARE(cellOf(r.data, 1, 10, to), to.on);
        QCOMPARE(cellOf(r.data, 7, 10, to), to.off);
        QCOMPARE(cellOf(r.data, 1, 5, to), to.high);
        QCOMPARE(cellOf(r.data, 7, 6, to), to.narrow);
    }

    // The end code's count is one digit in the file: the document never
    // holds a text the reader would take back differently.
    void textLineReadsBackAsSaved()
    {
        DocumentData d = documentIn(1);
        d.setText(Key::EndDtmf, "1234567890AB");
        QVERIFY(d.text(Key::EndDtmf).size() <= 4);
        const QByteArray bytes = SettingsFile::serialize(d, texts(1), u'.');
        const auto r = parse(bytes);
        QVERIFY(r.ok());
        QCOMPARE(r.data.text(Key::EndDtmf), d.text(Key::EndDtmf));
        QCOMPARE(lines(bytes).value(28), "41234");
    }

    void unreadableFiles()
    {
        QTemporaryDir dir;
        auto r = SettingsFile::read(dir.filePath("missing.kq19"), documentIn(1), texts(1).words());
        QCOMPARE(int(r.status), int(SettingsFile::ReadResult::Status::Error));
        QCOMPARE(r.error, Result::because(TextId::FileOpenFailed, Result::named(TextId::SystemNoSuchFile),
                                          {dir.filePath("missing.kq19")}));

        // A huge line is not taken in: the reader keeps the start of it,
        // which holds no whole channel, and refuses the file at that line.
        QFile f(dir.filePath("big.kq19"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(header() + defaultOptions() + "CH001 | 446.00625 | " + QByteArray(8 << 20, 'x')
                + " | x | x | x | x | x | x | x | x | x | \r\n");
        f.write("CH002 | 446.00625 | \r\n");
        f.close();
        r = SettingsFile::read(f.fileName(), documentIn(1), texts(1).words());
        QCOMPARE(int(r.status), int(SettingsFile::ReadResult::Status::Error));
        QCOMPARE(r.line, 31);
        QCOMPARE(r.error, Result::fail(TextId::ChannelLineDamaged, {"1"}));
    }

    void failedSaveKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("keep.kq19");
        QVERIFY(SettingsFile::save(path, filled(1, u'.'), texts(1), u'.'));
        QFile old(path);
        QVERIFY(old.open(QIODevice::ReadOnly));
        const QByteArray before = old.readAll();
        old.close();

        // A full disk: no file may grow past 200 bytes while the save runs.
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 200;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const Result error = SettingsFile::save(path, filled(2, u'.'), texts(2), u'.');
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);

        QCOMPARE(error, Result::because(TextId::FileSaveFailed, Result::named(TextId::SystemFileTooLarge), {path}));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"keep.kq19"}));

        QVERIFY(!SettingsFile::save(dir.filePath("no/such/dir/x.kq19"), filled(1, u'.'), texts(1), u'.'));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settingsfile.moc"
