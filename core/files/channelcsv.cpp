#include "channelcsv.h"

#include <QSet>
#include <optional>

#include "files/csvrecords.h"
#include "files/textcodec.h"
#include "document/band.h"
#include "document/channeltext.h"
#include "document/frequency.h"
#include "document/settingkeys.h"
#include "base/textids.h"

namespace ChannelCsv {

namespace {

constexpr int FieldCount = 12;

// A frequency in MHz, either separator, up to five decimals -> tens of Hz.
std::optional<qint64> frequencyTens(const QString& text)
{
    const QString t = text.trimmed();
    const qsizetype sep = qMax(t.indexOf(u'.'), t.indexOf(u','));
    const QString whole = sep < 0 ? t : t.left(sep);
    const QString frac = sep < 0 ? QString() : t.mid(sep + 1);
    if (whole.isEmpty() || whole.size() > 3 || frac.size() > 5 || (sep >= 0 && frac.isEmpty()))
        return std::nullopt;
    for (QChar c : whole + frac)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    return whole.toLongLong() * 100000 + frac.leftJustified(5, u'0').toLongLong();
}

class LineChecker {
public:
    LineChecker(const QString& band, const ValueWords& w, QChar sep) : m_band(band), m_words(w), m_sep(sep) {}

    // The eleven cells of a channel, or the problems found.
    QList<Result> check(const QStringList& f, QStringList* cells) const
    {
        QList<Result> problems;
        *cells = QStringList(DocumentData::Cols - 1);
        auto need = [&](int col, const std::optional<QString>& v, const Result& what) {
            if (v)
                (*cells)[col - 1] = *v;
            else
                problems << Result::because(TextId::CsvBadValue, what, {HeaderFields[col], f[col]});
        };
        need(1, frequency(f[1]), frequencyRule());
        if (!f[3].trimmed().isEmpty())
            need(3, frequency(f[3]), frequencyRule());
        const Result toneRule = Result::fail(TextId::CsvToneRule, {m_words.off});
        need(2, tone(f[2]), toneRule);
        need(4, tone(f[4]), toneRule);
        need(5, word(f[5], 5), Result::fail(TextId::CsvTwoWords, {m_words.high, m_words.low}));
        need(6, word(f[6], 6), Result::fail(TextId::CsvTwoWords, {m_words.wide, m_words.narrow}));
        const Result onOff = Result::fail(TextId::CsvTwoWords, {m_words.on, m_words.off});
        for (int col : {7, 8, 9, 11})
            need(col, word(f[col], col), onOff);
        need(10, word(f[10], 10),
             Result::fail(TextId::CsvFourWords, {m_words.off, m_words.on, m_words.comp, m_words.scrambler}));
        return problems;
    }

    // One cell's text as the channel table takes it; nullopt when it is
    // not a value of its column.
    std::optional<QString> value(int col, const QString& text) const
    {
        switch (col) {
        case 1: case 3: return frequency(text);
        case 2: case 4: return tone(text);
        case 5: case 6: case 7: case 8: case 9: case 10: case 11: return word(text, col);
        default: return std::nullopt;
        }
    }

private:
    // A word of any language that the column holds, as the active word.
    std::optional<QString> word(const QString& text, int col) const
    {
        const std::optional<Word> w = ValueWordTable::find(text.trimmed(), ValueWordTable::wordsOfColumn(col),
                                                           m_words, Qt::CaseInsensitive);
        return w ? std::optional<QString>(ValueWordTable::text(m_words, *w)) : std::nullopt;
    }

    Result frequencyRule() const
    {
        return Result::fail(TextId::CsvFrequencyRule, {m_band});
    }

    std::optional<QString> frequency(const QString& text) const
    {
        const std::optional<qint64> tens = frequencyTens(text);
        if (!tens)
            return std::nullopt;
        const QString f = Frequency::format(*tens, m_sep);
        if (!Frequency::isCommitted(f, m_band, m_sep))
            return std::nullopt;
        return f;
    }

    std::optional<QString> tone(const QString& text) const
    {
        const QString t = text.trimmed();
        if (word(t, 2))
            return m_words.off;
        if (t.startsWith(u'D', Qt::CaseInsensitive)) {
            const QString u = t.toUpper();
            if (u.size() != 5 || (u[4] != u'N' && u[4] != u'I'))
                return std::nullopt;
            for (int i = 1; i <= 3; ++i)
                if (u[i] < u'0' || u[i] > u'7')
                    return std::nullopt;
            return u;
        }
        const std::optional<qint64> tens = frequencyTens(t);   // the same digit rules as a frequency
        const qsizetype sep = qMax(t.indexOf(u'.'), t.indexOf(u','));
        if (!tens || (sep >= 0 && t.size() - sep - 1 > 1))
            return std::nullopt;
        const qint64 tenths = *tens / 10000;
        if (tenths < 550 || tenths > 2550)
            return std::nullopt;
        QString s = QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
        if (m_sep != u'.')
            s.replace(u'.', m_sep);
        return s;
    }

    QString m_band;
    ValueWords m_words;
    QChar m_sep;
};

} // namespace

QStringList errorTexts(const ImportResult& result, const PackStrings& texts)
{
    QStringList out;
    for (const Result& e : result.errors)
        out << e.text(texts);
    return out;
}

std::optional<QString> cellValue(int col, const QString& text, const QString& band,
                                 const ValueWords& words, QChar separator)
{
    return LineChecker(band, words, separator).value(col, text);
}

QByteArray exportTable(const DocumentData& data, const ValueWords& words, QChar separator)
{
    QString out = CsvRecords::line(HeaderFields);
    for (int row = 1; row <= DocumentData::ChannelCount; ++row) {
        if (!data.channelExists(row))
            continue;
        QStringList fields;
        for (int col = 0; col < DocumentData::Cols; ++col)
            fields << ChannelText::cell(data, row, col, words, separator);
        out += CsvRecords::line(fields);
    }
    return TextCodec::encode(out);
}

ImportResult importTable(const QByteArray& bytes, const DocumentData& base, const ValueWords& words,
                         QChar separator)
{
    ImportResult result;
    const QString band = base.band();
    if (!Band::isWellFormed(band)) {
        result.errors << Result::fail(TextId::CsvNoBand);
        return result;
    }
    const QString text = TextCodec::decode(bytes);
    Result error;
    const QList<CsvRecords::Record> records = CsvRecords::split(text, CsvRecords::detectDelimiter(text), &error);
    if (!error) {
        result.errors << error;
        return result;
    }
    if (records.isEmpty() || records[0].fields.size() != FieldCount || frequencyTens(records[0].fields[0])) {
        result.errors << Result::fail(TextId::CsvNoHeader, {HeaderFields.join(u',')});
        return result;
    }

    DocumentData d = base;
    for (int row = 1; row <= DocumentData::ChannelCount; ++row)
        d.clearChannel(row);
    const LineChecker checker(band, words, separator);
    QSet<int> seen;
    for (qsizetype i = 1; i < records.size(); ++i) {
        QStringList f = records[i].fields;
        if (CsvRecords::blank(f))
            continue;
        while (f.size() > FieldCount && f.last().trimmed().isEmpty())
            f.removeLast();   // spreadsheets like trailing empty columns
        const QString line = QString::number(records[i].line);
        if (f.size() != FieldCount) {
            result.errors << Result::fail(TextId::CsvFieldCount,
                                          {line, QString::number(f.size()), QString::number(FieldCount)});
            continue;
        }
        bool numberOk = false;
        const int channel = f[0].trimmed().toInt(&numberOk);
        QList<Result> problems;
        if (!numberOk || channel < 1 || channel > DocumentData::ChannelCount)
            problems << Result::fail(TextId::CsvBadChannel, {f[0], QString::number(DocumentData::ChannelCount)});
        else if (seen.contains(channel))
            problems << Result::fail(TextId::CsvChannelTwice, {QString::number(channel)});
        QStringList cells;
        problems << checker.check(f, &cells);
        if (!problems.isEmpty()) {
            result.errors << Result::because(TextId::CsvLine, CsvRecords::joined(problems), {line});
            continue;
        }
        seen.insert(channel);
        for (int col = 1; col < DocumentData::Cols; ++col)
            ChannelText::setCell(d, channel, col, cells[col - 1], words);
    }
    if (result.errors.isEmpty()) {
        result.ok = true;
        result.data = d;
    }
    return result;
}

}
