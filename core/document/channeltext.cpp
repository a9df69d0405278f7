#include "channeltext.h"

#include "documentdata.h"
#include "frequency.h"
#include "wordcells.h"
#include "base/packstrings.h"

namespace ChannelText {

namespace {

bool isDigit(QChar c, char highest = '9')
{
    return c.unicode() >= '0' && c.unicode() <= ushort(highest);
}

bool isSeparator(QChar c)
{
    return c == u'.' || c == u',';
}

bool isOn(Word w)
{
    return w == Word::On;
}

Word onOff(bool on)
{
    return on ? Word::On : Word::Off;
}

// Sets a word column to `w`; false when the column cannot hold it.
bool setWord(Channel& ch, int col, Word w)
{
    switch (col) {
    case Column::Power: ch.power = w == Word::High ? Power::High : Power::Low; break;
    case Column::Bandwidth: ch.bandwidth = w == Word::Wide ? Bandwidth::Wide : Bandwidth::Narrow; break;
    case Column::Scan: ch.scan = isOn(w); break;
    case Column::BusyLock: ch.busyLock = isOn(w); break;
    case Column::TailElimination: ch.tailElimination = isOn(w); break;
    case Column::Compander:
        ch.compander = w == Word::On ? Compander::On
                       : w == Word::Comp ? Compander::Comp
                       : w == Word::Scrambler ? Compander::Scrambler
                                              : Compander::Off;
        break;
    case Column::PttId: ch.pttId = isOn(w); break;
    default: return false;
    }
    return true;
}

}

QString frequency(qint64 hz, QChar sep)
{
    return Frequency::format(hz / 10, sep);
}

std::optional<qint64> parseFrequency(const QString& text)
{
    const QString t = text.trimmed();
    const qsizetype sepAt = t.size() - 6;
    bool good = sepAt >= 1 && sepAt <= 3 && isSeparator(t[sepAt]);
    qint64 tens = 0;
    for (qsizetype i = 0; good && i < t.size(); ++i) {
        if (i == sepAt)
            continue;
        good = isDigit(t[i]);
        tens = tens * 10 + (t[i].unicode() - '0');
    }
    if (!good)
        return std::nullopt;
    return tens * 10;
}

QString tone(const Tone& t, const QString& offWord, QChar sep)
{
    switch (t.kind) {
    case Tone::Kind::Ctcss: return QString::number(t.value / 10) + sep + QString::number(t.value % 10);
    case Tone::Kind::Dcs:
        return QStringLiteral("D%1%2").arg(t.value, 3, 8, QLatin1Char('0')).arg(QChar(t.inverted ? u'I' : u'N'));
    case Tone::Kind::Off: break;
    }
    return offWord;
}

std::optional<Tone> parseTone(const QString& text, const ValueWords& words)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    if (ValueWordTable::find(t, {Word::Off}, words))
        return Tone::off();
    if (t.endsWith(u'I') || t.endsWith(u'N')) {
        if (t.size() != 5 || t[0] != u'D')
            return std::nullopt;
        int code = 0;
        for (int i = 1; i <= 3; ++i) {
            if (!isDigit(t[i], '7'))
                return std::nullopt;
            code = code * 8 + (t[i].unicode() - '0');
        }
        return Tone::dcs(code, t.endsWith(u'I'));
    }
    const qsizetype sepAt = t.size() - 2;
    if (t.size() < 3 || t.size() > 5 || !isSeparator(t[sepAt]))
        return std::nullopt;
    int tenths = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (i == sepAt)
            continue;
        if (!isDigit(t[i]))
            return std::nullopt;
        tenths = tenths * 10 + (t[i].unicode() - '0');
    }
    return Tone::ctcss(tenths);
}

Word word(const Channel& ch, int col)
{
    switch (col) {
    case Column::Power: return ch.power == Power::High ? Word::High : Word::Low;
    case Column::Bandwidth: return ch.bandwidth == Bandwidth::Wide ? Word::Wide : Word::Narrow;
    case Column::Scan: return onOff(ch.scan);
    case Column::BusyLock: return onOff(ch.busyLock);
    case Column::TailElimination: return onOff(ch.tailElimination);
    case Column::Compander:
        switch (ch.compander) {
        case Compander::On: return Word::On;
        case Compander::Comp: return Word::Comp;
        case Compander::Scrambler: return Word::Scrambler;
        case Compander::Off: break;
        }
        return Word::Off;
    case Column::PttId: return onOff(ch.pttId);
    default: return Word::Off;
    }
}

QString number(int row)
{
    return QStringLiteral("%1").arg(row, 2, 10, QLatin1Char('0'));
}

QString cell(const Channel& ch, int col, const ValueWords& words, QChar sep)
{
    if (col <= 0 || col >= Column::Count)
        return {};
    if (ch.text[col])
        return *ch.text[col];
    switch (col) {
    case Column::RxFrequency: return frequency(ch.rxHz, sep);
    case Column::TxFrequency: return ch.txHz ? frequency(*ch.txHz, sep) : QString();
    case Column::RxTone: return tone(ch.rxTone, words.off, sep);
    case Column::TxTone: return tone(ch.txTone, words.off, sep);
    default: return ValueWordTable::text(words, word(ch, col));
    }
}

void setCell(Channel& ch, int col, const QString& text, const ValueWords& words)
{
    if (col <= 0 || col >= Column::Count)
        return;
    bool named = false;
    switch (col) {
    case Column::RxFrequency:
    case Column::TxFrequency:
        if (const std::optional<qint64> hz = parseFrequency(text)) {
            (col == Column::RxFrequency ? ch.rxHz : ch.txHz.emplace()) = *hz;
            named = true;
        } else if (col == Column::TxFrequency && text.isEmpty()) {
            ch.txHz.reset();
            named = true;
        }
        break;
    case Column::RxTone:
    case Column::TxTone:
        if (const std::optional<Tone> t = parseTone(text, words)) {
            (col == Column::RxTone ? ch.rxTone : ch.txTone) = *t;
            named = true;
        }
        break;
    default:
        if (const std::optional<Word> w = ValueWordTable::find(text, ValueWordTable::wordsOfColumn(col), words))
            named = setWord(ch, col, *w);
        break;
    }
    if (named)
        ch.markValue(col);
    else
        ch.setText(col, text);
}

QString cell(const DocumentData& d, int row, int col, const ValueWords& words, QChar sep)
{
    if (row < 1 || row > DocumentData::ChannelCount)
        return {};
    return col == Column::Number ? number(row) : cell(d.channel(row), col, words, sep);
}

void setCell(DocumentData& d, int row, int col, const QString& text, const ValueWords& words)
{
    Channel ch = d.channel(row);
    setCell(ch, col, text, words);
    d.setChannel(row, ch);
}

QString columnCaption(int col, const PackStrings& texts)
{
    // The pack's ids of columns 0 to 10.
    constexpr int ids[] = {25, 26, 27, 28, 29, 30, 73, 31, 32, 76, 33};
    if (col == Column::PttId)
        return QStringLiteral("PTT ID");
    return col >= 0 && col < Column::PttId ? texts.text(ids[col]) : QString();
}

}
