#include "settingsfile.h"

#include <QFile>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <optional>

#include "files/filesave.h"
#include "files/radioimagefile.h"
#include "files/textcodec.h"
#include "document/band.h"
#include "document/channeltext.h"
#include "base/packstrings.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "document/valuenames.h"
#include "base/textids.h"

namespace SettingsFile {

namespace {

enum class Kind { List, Check, Text };
struct OptionLine {
    QString key;
    Kind kind;
};

// Lines 6 to 30, in file order.
// The six key settings hold a radio's key code, 0 to 15, as their position.
bool isKeySetting(const QString& key)
{
    return key == Key::TopLong || key == Key::TopShort || key == Key::P1Long || key == Key::P1Short
           || key == Key::P2Long || key == Key::P2Short;
}

const QList<OptionLine>& optionLines()
{
    static const QList<OptionLine> lines = {
        {Key::AutoPowerOff, Kind::List},  {Key::Squelch, Kind::List},
        {Key::ScanResume, Kind::List},    {Key::TimeOut, Kind::List},
        {Key::Voice, Kind::List},         {Key::SaveRatio, Kind::List},
        {Key::PowerOnTone, Kind::Check},  {Key::EndTone, Kind::Check},
        {Key::BatterySave, Kind::Check},  {Key::KeyBeep, Kind::Check},
        {Key::TxInhibit, Kind::Check},    {Key::LowBatteryTone, Kind::Check},
        {Key::TinyPower, Kind::Check},    {Key::TopLong, Kind::List},
        {Key::TopShort, Kind::List},      {Key::P1Long, Kind::List},
        {Key::P1Short, Kind::List},       {Key::P2Long, Kind::List},
        {Key::P2Short, Kind::List},       {Key::Lease, Kind::Check},
        {Key::VoxRxInhibit, Kind::Check}, {Key::VoxLevel, Kind::List},
        {Key::VoxDelay, Kind::List},      {Key::EndDtmf, Kind::Text},
        {Key::DtmfTime, Kind::List},
    };
    return lines;
}

constexpr int FirstOptionLine = 5;   // 0-based index of line 6
constexpr int FirstChannelLine = FirstOptionLine + 25;
constexpr int ChannelLinesEnd = FirstChannelLine + DocumentData::ChannelCount;
// Lines after the channel lines that are looked at for values; files of
// other tools may add lines of their own there, and later versions more.
constexpr int MaxLaterLines = 64;
constexpr int LinesUsed = ChannelLinesEnd + MaxLaterLines;
// Longest line taken from a file; real lines are well under 200 characters,
// and a damaged file must not make the reader swallow gigabytes.
constexpr qint64 MaxLineBytes = 64 * 1024;

Result integerError(const QString& text)
{
    return Result::fail(TextId::FileNotInteger, {text});
}

// Values the radio holds that the first files of this kind lacked. They are
// written after the last channel line, where a reader that stops at the
// channel count never looks: a word, a blank, whole numbers.
struct LaterLine {
    QString word;
    QStringList keys;   // one whole number each, in this order
};

const QList<LaterLine>& laterLines()
{
    static const QList<LaterLine> lines = {
        {QStringLiteral("VOLUME"), {Key::Volume}},
        {QStringLiteral("ALARM"), {Key::Alarm}},
        {QStringLiteral("LEASE"), {Key::LeaseDays, Key::LeaseHours, Key::LeaseMinutes}},
    };
    return lines;
}

// Whether the line at `index` (from 0) is one the reader takes values from:
// up to the last channel line, and after it the lines of volume, alarm and
// lease time.
bool isReadLine(int index, const QString& line)
{
    if (index < ChannelLinesEnd)
        return true;
    if (index >= LinesUsed)
        return false;
    const QString word = line.simplified().section(u' ', 0, 0);
    return std::any_of(laterLines().cbegin(), laterLines().cend(),
                       [&](const LaterLine& l) { return l.word.startsWith(word) && !word.isEmpty(); });
}

DocumentData::Range laterRange(const QString& key)
{
    if (key == Key::Volume)
        return {0, 15, 1};
    if (key == Key::Alarm)
        return {0, 1, 1};
    return DocumentData::numberRange(key);
}

int laterValue(const DocumentData& d, const QString& key)
{
    if (key == Key::Volume)
        return d.choice(key);
    if (key == Key::Alarm)
        return d.flag(key) ? 1 : 0;
    return d.number(key);
}

void setLaterValue(DocumentData& d, const QString& key, int v)
{
    if (key == Key::Volume)
        d.setChoice(key, v);
    else if (key == Key::Alarm)
        d.setFlag(key, v == 1);
    else
        d.setNumber(key, v);
}

// A decimal integer with an optional sign and nothing else.
std::optional<int> toInteger(const QString& text)
{
    qsizetype i = 0;
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+'))
        i = 1;
    if (i == text.size() || text.size() > 9)
        return std::nullopt;
    for (qsizetype k = i; k < text.size(); ++k)
        if (text[k] < u'0' || text[k] > u'9')
            return std::nullopt;
    return text.toInt();
}

// Blanks and control characters off both ends, as the list lines were
// always trimmed.
QString trimControls(const QString& s)
{
    qsizetype a = 0, b = s.size();
    while (a < b && s[a].unicode() <= 0x20)
        ++a;
    while (b > a && s[b - 1].unicode() <= 0x20)
        --b;
    return s.mid(a, b - a);
}

QStringList splitLines(const QString& text)
{
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();   // the line end of the last line
    for (QString& l : lines)
        if (l.endsWith(u'\r'))
            l.chop(1);
    return lines;
}

// Columns 1 to 11 of one channel line. The first cell starts at character 9;
// every cell ends at the next "|", less the blank before it. A line that
// does not hold all eleven is damaged: taken as it is, its missing cells
// would become empty and a write would erase them in the radio.
Result readChannelLine(DocumentData& d, int row, const QString& line, const ValueWords& words)
{
    const QString cells = line.mid(8);
    // An empty row; a channel without its receive frequency is saved so
    // too. Text without a single "|" is no row at all.
    if (line.size() < 9 || line[8] == u' ') {
        if (line.size() < 9 || cells.contains(u'|'))
            return Result::success();
        return Result::fail(TextId::ChannelLineDamaged, {QString::number(row)});
    }
    QStringView rest(cells);
    Channel ch;
    for (int col = 1; col < DocumentData::Cols; ++col) {
        const qsizetype bar = rest.indexOf(u'|');
        if (bar < 0)
            return Result::fail(TextId::ChannelLineDamaged, {QString::number(row)});
        QStringView cell = rest.left(bar);
        if (cell.endsWith(u' '))
            cell.chop(1);
        ChannelText::setCell(ch, col, cell.toString(), words);
        rest = rest.mid(bar + 1);
        if (rest.startsWith(u' '))
            rest = rest.mid(1);
    }
    if (!rest.trimmed().isEmpty())
        return Result::fail(TextId::ChannelLineDamaged, {QString::number(row)});
    // A "|" in the first cell can leave it empty: without a receive frequency
    // there is no channel, and stray cells would come back empty at the next
    // Open anyway.
    d.setChannel(row, ch.exists() ? ch : Channel());
    return Result::success();
}

// The values of one later line, or what is wrong with them. A number
// missing reads as empty; numbers beyond those the word takes stay with the
// last one, so that the message shows them.
Result readLaterLine(DocumentData& d, const LaterLine& later, const QString& values)
{
    QStringList fields = values.split(u' ', Qt::SkipEmptyParts);
    const qsizetype n = later.keys.size();
    if (fields.size() > n)
        fields = fields.mid(0, n - 1) << fields.mid(n - 1).join(u' ');
    while (fields.size() < n)
        fields << QString();
    for (qsizetype i = 0; i < n; ++i) {
        const QString& key = later.keys[i];
        const DocumentData::Range r = laterRange(key);
        const std::optional<int> v = toInteger(fields[i]);
        if (!v || *v < r.min || *v > r.max || (*v - r.min) % r.step != 0) {
            const Result name = Result::named(ValueNames::settingId(key));
            QStringList args = {QString::number(r.min), QString::number(r.max), fields[i]};
            if (r.step == 1)
                return Result::fail(TextId::SettingsValueRange, args, {name});
            return Result::fail(TextId::SettingsValueStep, args << QString::number(r.step), {name});
        }
        setLaterValue(d, key, *v);
    }
    return Result::success();
}

ReadResult rejected(const Result& why)
{
    ReadResult r;
    r.status = ReadResult::Status::Rejected;
    r.error = why;
    return r;
}

ReadResult failed(const Result& why, int line = 0)
{
    ReadResult r;
    r.status = ReadResult::Status::Error;
    r.error = why;
    r.line = line;
    return r;
}

} // namespace

Result ReadResult::problem(const QString& name) const
{
    return line > 0 ? Result::because(TextId::DamagedFileLine, error, {name, QString::number(line)}) : error;
}

ReadResult parse(const QByteArray& bytes, const DocumentData& current, const ValueWords& activeWords,
                 const QString& path)
{
    const QStringList lines = splitLines(TextCodec::decode(bytes));
    auto line = [&](int index) { return lines.value(index); };   // a missing line reads as empty

    if (line(0) != Header)
        return rejected(Result::fail(TextId::SettingsBadHeader, {path, Header}));
    // Every line ends with a line end; a last line without one was cut
    // short (a copy that did not finish, a full disk), and what it held
    // cannot be told from what it lost. Only lines that are read count.
    if (!bytes.endsWith('\n') && isReadLine(int(lines.size()) - 1, lines.last()))
        return failed(Result::named(TextId::FileCutInLine), int(lines.size()));

    DocumentData d = current;
    // The records of whatever the document held before are not this file's.
    d.setImage(RadioImage());
    const QString typeLine = line(3);
    const QString indexText = typeLine.mid(4, 1);
    const std::optional<int> modelIndex = toInteger(indexText);
    if (!modelIndex)
        return failed(integerError(indexText), 4);
    const QStringList models = d.options(Key::Model, PackStrings::builtIn());   // names, the same in every language
    // An index the model list lacks names no model, whatever text follows.
    if (*modelIndex < 0 || *modelIndex >= models.size() || typeLine.mid(6) != models[*modelIndex])
        return rejected(Result::fail(TextId::SettingsBadModel, {path, typeLine}));
    d.setChoice(Key::Model, *modelIndex);

    ReadResult r;
    const QString band = line(4).mid(5, 10);
    QStringList bands = d.bands();
    int bandIndex = bands.indexOf(band);
    if (!band.isEmpty() && bandIndex < 0) {
        // A malformed band would break every later frequency commit and be
        // stored in the band list for good.
        if (Band::isWellFormed(band)) {
            bands.append(band);
            d.setBands(bands);
            bandIndex = int(bands.size()) - 1;
            r.bandAdded = true;
        } else {
            r.bandWarning = Result::fail(TextId::SettingsBadBand, {band});
        }
    }
    d.setChoice(Key::Band, band.isEmpty() ? -1 : bandIndex);

    for (int i = 0; i < optionLines().size(); ++i) {
        const OptionLine& o = optionLines()[i];
        const QString l = line(FirstOptionLine + i);
        const QString numberText = o.kind == Kind::List ? trimControls(l.left(2)) : l.left(1);
        const std::optional<int> n = toInteger(numberText);
        if (!n)
            return failed(integerError(numberText), FirstOptionLine + i + 1);
        switch (o.kind) {
        case Kind::List:
            d.setChoice(o.key, *n);
            // A key function the lists do not name, kept as the radio's code.
            if (d.choice(o.key) < 0 && isKeySetting(o.key) && *n >= 0 && *n <= 15)
                d.setUnlistedCode(o.key, *n);
            break;
        case Kind::Check: d.setFlag(o.key, *n == 1); break;
        case Kind::Text: {
            // The count says how long the code is; a line that holds another
            // length was cut or changed, and a code longer than the radio
            // stores would otherwise be cut without a word.
            const QString code = l.mid(1);
            const Result name = Result::named(ValueNames::settingId(o.key));
            if (*n < 0 || code.size() != *n)
                return failed(Result::fail(TextId::DtmfCountMismatch, {QString::number(*n), code}, {name}),
                              FirstOptionLine + i + 1);
            const int max = DocumentData::maxTextLength(o.key);
            if (max >= 0 && code.size() > max)
                return failed(Result::fail(TextId::DtmfTooLong, {code}, {name}), FirstOptionLine + i + 1);
            d.setText(o.key, code);
            break;
        }
        }
    }

    for (int row = 1; row <= DocumentData::ChannelCount; ++row)
        d.clearChannel(row);
    int channelLines = 0;
    for (int row = 1; row <= DocumentData::ChannelCount; ++row) {
        const int index = FirstChannelLine + row - 1;
        if (index >= lines.size())
            break;
        if (const Result damaged = readChannelLine(d, row, lines[index], activeWords); !damaged)
            return failed(damaged, index + 1);
        channelLines = row;
    }
    // A whole file of fewer channel lines (another program's, or one cut at
    // a line end) opens, but not without a word: a write empties the rest.
    if (channelLines < DocumentData::ChannelCount)
        r.notice = Result::fail(TextId::FewChannelLines,
                                {path, QString::number(channelLines), QString::number(channelLines + 1),
                                 QString::number(DocumentData::ChannelCount)});

    QSet<QString> found;
    for (int index = ChannelLinesEnd; index < qMin<qsizetype>(lines.size(), LinesUsed); ++index) {
        const QString l = lines[index].simplified();
        const QString word = l.section(u' ', 0, 0);
        for (const LaterLine& later : laterLines()) {
            if (later.word != word)
                continue;
            if (const Result bad = readLaterLine(d, later, l.mid(word.size())); !bad)
                return failed(bad, index + 1);
            for (const QString& key : later.keys)
                found.insert(key);
        }
    }
    // A value the file does not hold is not known: the document's earlier
    // value must not pass for the file's.
    for (const QString& key : Key::NotInOlderFiles)
        if (!found.contains(key))
            d.setNotCarried(key);

    r.status = ReadResult::Status::Ok;
    r.modelIndex = *modelIndex;
    r.caption = models.value(*modelIndex) + QStringLiteral("   [") + d.band() + u']';
    r.data = d;
    return r;
}

ReadResult read(const QString& path, const DocumentData& current, const ValueWords& activeWords)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return failed(FileSave::openFailed(path, f));
    // Only the lines the format uses are taken, each at most MaxLineBytes long.
    QByteArray bytes;
    for (int n = 0; n < LinesUsed && !f.atEnd(); ++n) {
        QByteArray l = f.readLine(MaxLineBytes);
        if (l.isEmpty() && f.error() != QFileDevice::NoError)
            return failed(FileSave::readFailed(path, f));
        while (!l.endsWith('\n') && !f.atEnd()) {
            const QByteArray more = f.readLine(MaxLineBytes);   // skip the overlong rest
            if (more.isEmpty())
                break;
            if (more.endsWith('\n'))
                l.append('\n');
        }
        bytes += l;
    }
    if (f.error() != QFileDevice::NoError)
        return failed(FileSave::readFailed(path, f));
    ReadResult r = parse(bytes, current, activeWords, path);
    if (r.ok()) {
        const RadioImageFile::Loaded image = RadioImageFile::loadBesideSettings(path);
        if (image.present && !image.error.ok())
            r.imageWarning = Result::because(TextId::ImageFileIgnored, image.error);
        r.data.setImage(image.image);
    }
    return r;
}

QString checkCaption(const QString& key, const PackStrings& texts)
{
    struct Caption { QString key; int id; const char* builtIn; };
    static const QList<Caption> captions = {
        {Key::PowerOnTone, 153, "开机提示音"}, {Key::EndTone, 154, "结束提示音"},
        {Key::BatterySave, 39, "省电模式"},    {Key::KeyBeep, 227, "按键提示音"},
        {Key::TxInhibit, 231, "发射禁止"},     {Key::LowBatteryTone, 155, "低电压提示音"},
        {Key::TinyPower, 0, "Tiny Power"},     {Key::Lease, 196, "租赁功能"},
        {Key::VoxRxInhibit, 47, "接收禁止VOX"},
    };
    for (const Caption& c : captions) {
        if (c.key != key)
            continue;
        const QString fromPack = c.id ? texts.text(c.id) : QString();
        return fromPack.isEmpty() ? QString::fromUtf8(c.builtIn) : fromPack;
    }
    return {};
}

QByteArray serialize(const DocumentData& d, const PackStrings& texts, QChar separator)
{
    const ValueWords words = texts.words();
    QStringList lines;
    lines << Header << QString() << QString();
    lines << QStringLiteral("TYPE%1 %2").arg(d.choice(Key::Model)).arg(d.choiceText(Key::Model, texts));
    lines << QStringLiteral("BAND ") + d.band();
    for (const OptionLine& o : optionLines()) {
        switch (o.kind) {
        case Kind::List:
            // A key function read from a radio that the lists do not name is
            // written as its code, so that the file writes the same radio back.
            if (d.choice(o.key) < 0 && isKeySetting(o.key) && d.unlistedCode(o.key) >= 0)
                lines << QString::number(d.unlistedCode(o.key)) + u' ';
            else
                lines << QString::number(d.choice(o.key)) + u' ' + d.choiceText(o.key, texts);
            break;
        case Kind::Check:
            lines << QString(d.flag(o.key) ? QStringLiteral("1 ") : QStringLiteral("0 ")) + checkCaption(o.key, texts);
            break;
        case Kind::Text: {
            // The count the reader takes back: characters. The code's characters
            // are ASCII, so this is also its length in bytes, as other tools write it.
            // The reader takes a count of one digit; the document keeps the
            // text within that, and nothing longer is written to be misread.
            const QString t = d.text(o.key).left(9);
            lines << QString::number(t.size()) + t;
            break;
        }
        }
    }
    for (int row = 1; row <= DocumentData::ChannelCount; ++row) {
        QString l = QStringLiteral("CH%1 | ").arg(row, 3, 10, QLatin1Char('0'));
        for (int col = 1; col < DocumentData::Cols; ++col)
            l += ChannelText::cell(d.channel(row), col, words, separator) + QStringLiteral(" | ");
        lines << l;
    }
    // Only what the document knows: a value it never had is not made up.
    for (const LaterLine& later : laterLines()) {
        QStringList values;
        for (const QString& key : later.keys)
            if (d.carries(key) && laterValue(d, key) >= 0)
                values << QString::number(laterValue(d, key));
        if (values.size() == later.keys.size())
            lines << later.word + u' ' + values.join(u' ');
    }
    QString text;
    for (const QString& l : lines)
        text += l + QStringLiteral("\r\n");
    return TextCodec::encode(text);
}

Result save(const QString& path, const DocumentData& data, const PackStrings& texts, QChar separator)
{
    return FileSave::save(path, serialize(data, texts, separator));
}

}
