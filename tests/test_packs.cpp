// The shipped language packs against the ids and words the program uses.
#include <QFile>
#include <QHash>
#include <algorithm>
#include <QSet>
#include <QStringEncoder>
#include <QtTest>

#include "testpaths.h"

#include "files/packfile.h"
#include "document/documentdata.h"
#include "document/optionlists.h"
#include "base/packids.h"
#include "base/packstrings.h"
#include "base/textids.h"
#include "document/settingsdocument.h"
#include "channelcells.h"

namespace {

const QString kPacksDir = QStringLiteral(RQ300_PACKS_DIR);

PackStrings loadPack(const QString& name)
{
    const auto pack = PackFile::load(PackFile::find(kPacksDir, name));
    if (!pack)
        qFatal("pack %s not found in %s", qPrintable(name), qPrintable(kPacksDir));
    return *pack;
}

const ValueWords kSimplified{"禁用", "启用", "高功率", "低功率", "宽带", "窄带", "压扩", "扰频"};
const ValueWords kEnglish{"OFF", "ON", "High", "Low", "Wide", "Narrow", "Comp", "scrambler"};
const ValueWords kTraditional{"禁用", "啟用", "高功率", "低功率", "寬帶", "窄帶", "壓擴", "擾頻"};

// Two channels that use every word of a language in the columns that hold it.
void fillWordCells(DocumentData& d, const ValueWords& w)
{
    const QStringList row1 = {"446.00625", w.off, "446.00625", w.off, w.high, w.wide,
                              w.on, w.off, w.on, w.comp, w.off};
    const QStringList row2 = {"450.00000", "88.5", "", "D023N", w.low, w.narrow,
                              w.off, w.on, w.off, w.scrambler, w.on};
    for (int c = 1; c <= 11; ++c) {
        setCellOf(d, 1, c, row1[c - 1]);
        setCellOf(d, 2, c, row2[c - 1]);
    }
}

}

class TestPacks : public QObject {
    Q_OBJECT
private slots:
    void packIsComplete_data();
    void packIsComplete();
    void fileIsWellFormed_data();
    void fileIsWellFormed();
    void valueWords();
    void wordCellsFollowEveryLanguage();
    void listsAndHeadersAreDistinct_data();
    void listsAndHeadersAreDistinct();
    void composedLabelsKeepTheirBlank();
    void simplifiedPackRepeatsBuiltInCaptions();
    void builtInTextsHoldEveryId();
    void englishPackHoldsNoChinese();
    void traditionalPackHoldsNoSimplifiedOnlyText();
    void placeholdersMatchAcrossPacks();
    void missingOrEmptyNamesTheGaps();
};

void TestPacks::packIsComplete_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("simplified") << "cha_dll";
    QTest::newRow("english") << "eng_dll";
    QTest::newRow("traditional") << "ty";
}

void TestPacks::packIsComplete()
{
    QFETCH(QString, name);
    const PackStrings pack = loadPack(name);

    QCOMPARE(PackIds::missingOrEmpty(pack), QList<int>{});

    // An id the program never asks for is a typo of one it does.
    const QSet<int> wanted(PackIds::all().cbegin(), PackIds::all().cend());
    for (int id : pack.ids())
        QVERIFY2(wanted.contains(id), qPrintable(QStringLiteral("unused id %1").arg(id)));

    // Texts go into the Chinese code page (settings files) and must stay
    // within a string table's 253 bytes there.
    QStringEncoder gbk("GBK");
    QVERIFY(gbk.isValid());
    for (int id : pack.ids()) {
        const QByteArray bytes = gbk.encode(pack.text(id));
        QVERIFY2(!gbk.hasError(), qPrintable(QStringLiteral("id %1 not in GBK").arg(id)));
        QVERIFY2(bytes.size() <= 253, qPrintable(QStringLiteral("id %1 too long").arg(id)));
        // A backslash left after parsing is an escape that was mistyped.
        QVERIFY2(!pack.text(id).contains(u'\\'), qPrintable(QStringLiteral("id %1").arg(id)));
    }
}

void TestPacks::fileIsWellFormed_data()
{
    packIsComplete_data();
}

void TestPacks::fileIsWellFormed()
{
    // The parser lets a later line win, so a repeated id would hide a text.
    QFETCH(QString, name);
    QFile f(PackFile::find(kPacksDir, name));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray raw = f.readAll();
    QVERIFY(!raw.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(QString::fromUtf8(raw).toUtf8(), raw);

    QSet<int> seen;
    int lineNo = 0;
    for (const QByteArray& line : raw.split('\n')) {
        ++lineNo;
        const QByteArray t = line.trimmed();
        if (t.isEmpty() || t.startsWith('#'))
            continue;
        const int eq = t.indexOf('=');
        bool ok = false;
        const int id = eq > 0 ? t.left(eq).toInt(&ok) : -1;
        QVERIFY2(ok, qPrintable(QStringLiteral("line %1 is not id=text").arg(lineNo)));
        QVERIFY2(!seen.contains(id), qPrintable(QStringLiteral("id %1 repeated").arg(id)));
        seen.insert(id);
    }
}

void TestPacks::valueWords()
{
    QCOMPARE(loadPack("cha_dll").words(), kSimplified);
    QCOMPARE(loadPack("eng_dll").words(), kEnglish);
    QCOMPARE(loadPack("ty").words(), kTraditional);
    QCOMPARE(PackStrings::builtIn().words(), kSimplified);
}

void TestPacks::wordCellsFollowEveryLanguage()
{
    // Switching through all three languages in both directions shows every
    // word cell in the new language and changes no channel's values.
    const QStringList order = {"cha_dll", "eng_dll", "ty", "cha_dll", "ty", "eng_dll", "cha_dll"};
    SettingsDocument doc;
    doc.applyLanguage(loadPack(order.first()));
    const ValueWords first = loadPack(order.first()).words();
    const QStringList row1 = {"446.00625", first.off, "446.00625", first.off, first.high, first.wide,
                              first.on, first.off, first.on, first.comp, first.off};
    for (int c = 1; c <= 11; ++c)
        doc.setCell(1, c, row1[c - 1]);
    DocumentData values;
    fillWordCells(values, first);
    QCOMPARE(doc.channel(1), values.channel(1));
    values.setChannel(1, doc.channel(1));
    for (const QString& name : order) {
        const PackStrings pack = loadPack(name);
        doc.applyLanguage(pack);
        DocumentData expected;
        fillWordCells(expected, pack.words());
        QCOMPARE(doc.channel(1), values.channel(1));
        for (int c = 1; c <= 11; ++c)
            QVERIFY2(doc.cell(1, c) == cellOf(expected, 1, c, pack.words()),
                     qPrintable(QStringLiteral("%1: column %2 is %3").arg(name).arg(c).arg(doc.cell(1, c))));
    }
}

void TestPacks::listsAndHeadersAreDistinct_data()
{
    packIsComplete_data();
}

void TestPacks::listsAndHeadersAreDistinct()
{
    // Entries a user picks from, and the grid's column titles, must be
    // told apart in every language.
    QFETCH(QString, name);
    const PackStrings pack = loadPack(name);

    for (const QString& key : OptionLists::choiceKeys()) {
        const QStringList texts = OptionLists::texts(key, pack);
        const QSet<QString> distinct(texts.cbegin(), texts.cend());
        QVERIFY2(!texts.isEmpty() && distinct.size() == texts.size(),
                 qPrintable(key + QStringLiteral(": ") + texts.join(u'|')));
    }

    QStringList headers;
    for (int id : {25, 26, 27, 28, 29, 30, 73, 31, 32, 76, 33})
        headers << pack.text(id);
    headers << "PTT ID";
    QCOMPARE(QSet<QString>(headers.cbegin(), headers.cend()).size(), 12);
}

void TestPacks::composedLabelsKeepTheirBlank()
{
    // The top key labels are 248 immediately followed by 162 or 163; in
    // English the blank between the words is the end of 248.
    const PackStrings eng = loadPack("eng_dll");
    QCOMPARE(eng.text(248) + eng.text(162), QStringLiteral("Top Key Long"));
    for (const QString name : {"cha_dll", "eng_dll", "ty"}) {
        const PackStrings pack = loadPack(name);
        for (int id : pack.ids()) {
            const QString t = pack.text(id);
            const bool blankEnd = id == 248 && name == QLatin1String("eng_dll");
            QVERIFY2(t.trimmed() == t || (blankEnd && t.endsWith(u' ')),
                     qPrintable(QStringLiteral("%1 id %2 has stray blanks").arg(name).arg(id)));
        }
    }
}

void TestPacks::simplifiedPackRepeatsBuiltInCaptions()
{
    // Applying the simplified pack must leave the windows as they are built.
    const PackStrings cha = loadPack("cha_dll");
    const QList<std::pair<int, QString>> captions = {
        {9, "文件"},        {13, "新建"},         {14, "打开"},       {15, "保存"},
        {16, "退出"},       {10, "编程"},         {17, "读频"},       {18, "写频"},
        {19, "信道编辑"},   {145, "本机信息"},    {11, "工具"},       {22, "通信端口"},
        {23, "语言"},       {56, "简体中文"},     {57, "English"},    {12, "帮助"},
        {53, "读 频"},      {142, "单口"},        {157, "机型"},      {159, "管理员"},
        {160, "销售日期"},  {242, "出厂日期"},    {241, "用户"},      {246, "写入用户"},
        {247, "清除密码"},  {96, "全部删除"},     {65, "信道上移"},   {66, "信道下移"},
        {67, "信道删除"},   {20, "功能选项"},     {44, "中英报号"},   {39, "省电模式"},
        {45, "VOX S 灵敏度"}, {46, "VOX迟时"},    {47, "接收禁止VOX"}, {153, "开机提示音"},
        {154, "结束提示音"}, {227, "按键提示音"}, {231, "发射禁止"},  {155, "低电压提示音"},
        {42, "报警开关"},   {196, "租赁功能"},    {204, "写入新密码"}, {100, "侧键设定"},
        {201, "通信密码"},  {195, "租赁"},        {51, "中"},         {52, "英"},
        {61, "BRASEL调频手持对讲机RQ-300系列编程软件"},
        // Texts the windows once fixed in one language keep their words here.
        {1500, "警告"},     {1501, "删除所有信道!"}, {1502, "Communication Password Error !"},
        {1504, "%1：%2"},   {1510, "调试"},       {1531, "读出"},     {1534, "调整SQL"},
        {1535, "QDX-582  文件 (*.m17)|*.m17"}};
    for (const auto& [id, caption] : captions)
        QVERIFY2(cha.text(id) == caption, qPrintable(QStringLiteral("id %1").arg(id)));
    QCOMPARE("P1 " + cha.text(162), QStringLiteral("P1 长键"));
    QCOMPARE(cha.text(248) + cha.text(163), QStringLiteral("顶键短键"));
}

void TestPacks::builtInTextsHoldEveryId()
{
    QCOMPARE(PackIds::missingOrEmpty(PackStrings::builtIn()), QList<int>{});
}

namespace {
bool isChinese(QChar c)
{
    // Han characters and the full-width punctuation that goes with them.
    return c.script() == QChar::Script_Han || (c.unicode() >= 0x3000 && c.unicode() <= 0x303F)
           || (c.unicode() >= 0xFF00 && c.unicode() <= 0xFFEF) || c == u'“' || c == u'”';
}
// The language menu names every language in itself.
constexpr int kSimplifiedName = 56;
}

void TestPacks::englishPackHoldsNoChinese()
{
    const PackStrings eng = loadPack("eng_dll");
    QCOMPARE(eng.text(kSimplifiedName), QStringLiteral("简体中文"));
    for (int id : eng.ids()) {
        if (id == kSimplifiedName)
            continue;
        const QString t = eng.text(id);
        QVERIFY2(std::none_of(t.cbegin(), t.cend(), isChinese),
                 qPrintable(QStringLiteral("id %1: %2").arg(id).arg(t)));
        // Texts start with a capital letter (or a value such as "%1"); the
        // names of records, columns and settings are words inside a
        // sentence, and so are the CSV import problems, which follow a file
        // name, and why a value cannot be coded, a file line is damaged or a
        // file cannot be read or saved, which follow a colon or a name.
        const bool inSentence = id == 79 || (id >= TextId::RecordChannelFirstHalf && id <= TextId::RecordOptionsSecondHalf)
                                || (id >= TextId::CsvNoBand && id <= TextId::CsvCheckFile)
                                || (id >= TextId::NotAFrequency && id <= TextId::NamedValueProblem)
                                || (id >= TextId::StepDone && id <= TextId::StepRecords) || id == TextId::StepStopped
                                || id == TextId::SystemCannotCreateFolder || id == TextId::BackupNoFreeName
                                || id == TextId::ChannelLineDamaged || id == TextId::FileCutInLine
                                || id == TextId::PipeNoReader || id == TextId::BandHint
                                || (id >= TextId::ConfigTooLarge && id <= TextId::ConfigNotText)
                                || (id >= TextId::DiffChannelRemoved && id <= TextId::DiffBand)
                                || (id >= TextId::ColumnChannel && id <= TextId::SettingLeaseMinutes)
                                || id == TextId::FleetUserTooLong || id == TextId::FleetPatternNoCounter
                                || (id >= TextId::FleetResultWritten && id <= TextId::FleetVerifyDiffers)
                                || id == TextId::FleetVerifyReadFailed || id == TextId::CloneNotExact
                                || id == TextId::ChirpNoRows;
        QVERIFY2(!t.at(0).isLower() || inSentence, qPrintable(QStringLiteral("id %1: %2").arg(id).arg(t)));
    }
}

void TestPacks::traditionalPackHoldsNoSimplifiedOnlyText()
{
    // Characters that the original texts write one way in simplified and
    // another in traditional Chinese, taken position by position from texts
    // of equal length. A character the traditional pack itself keeps, or one
    // that Big5 (the traditional code page) can write, is not simplified-only
    // (the pair came from a different word, as 软件/軟體).
    const PackStrings cha = loadPack("cha_dll");
    const PackStrings ty = loadPack("ty");
    QStringEncoder big5("Big5");
    QVERIFY(big5.isValid());
    QHash<QChar, QChar> table;
    QSet<QChar> kept;
    for (int id : cha.ids()) {
        const QString s = cha.text(id), t = ty.text(id);
        if (id >= 1000 || id == kSimplifiedName || id == 57 || s.size() != t.size())
            continue;
        for (qsizetype i = 0; i < s.size(); ++i) {
            if (s[i] == t[i])
                kept.insert(s[i]);
            else if (s[i].script() == QChar::Script_Han && t[i].script() == QChar::Script_Han)
                table.insert(s[i], t[i]);
        }
    }
    for (auto it = table.begin(); it != table.end();) {
        const QByteArray bytes = big5.encode(QString(it.key()));
        const bool big5Writes = !big5.hasError() && bytes.size() == 2 && !bytes.contains('?');
        big5 = QStringEncoder("Big5");
        it = (kept.contains(it.key()) || big5Writes) ? table.erase(it) : std::next(it);
    }
    // Enough pairs to mean something: 电/電, 频/頻, 码/碼 and dozens more.
    QVERIFY2(table.size() > 40, qPrintable(QString::number(table.size())));
    QCOMPARE(table.value(u'频'), QChar(u'頻'));

    for (int id : ty.ids()) {
        if (id == kSimplifiedName)
            continue;
        for (QChar c : ty.text(id))
            QVERIFY2(!table.contains(c), qPrintable(QStringLiteral("id %1: %2 has %3, traditional %4")
                                                        .arg(id).arg(ty.text(id)).arg(c).arg(table.value(c))));
    }
}

void TestPacks::placeholdersMatchAcrossPacks()
{
    // A "%1" missing from one language would drop the value from its message.
    const PackStrings cha = loadPack("cha_dll");
    for (const QString name : {"eng_dll", "ty"}) {
        const PackStrings pack = loadPack(name);
        for (int id : cha.ids()) {
            for (int n = 1; n <= 9; ++n) {
                const QString p = QStringLiteral("%%1").arg(n);
                QVERIFY2(cha.text(id).contains(p) == pack.text(id).contains(p),
                         qPrintable(QStringLiteral("%1 id %2 and %3").arg(name).arg(id).arg(p)));
            }
        }
    }
}

void TestPacks::missingOrEmptyNamesTheGaps()
{
    PackStrings pack = PackStrings::builtIn();
    QVERIFY(pack.contains(60) && pack.contains(248));
    pack.set(60, QString());
    pack.set(248, QString());
    QCOMPARE(PackIds::missingOrEmpty(pack), (QList<int>{60, 248}));
    QCOMPARE(PackIds::missingOrEmpty(PackStrings::parse("1=About\n")).size(),
             PackIds::all().size() - 1);
    QVERIFY(PackIds::all().contains(1) && PackIds::all().contains(253));
}

QTEST_GUILESS_MAIN(TestPacks)
#include "test_packs.moc"
