#include "docdiff.h"

#include "channeltext.h"
#include "documentdata.h"
#include "optionlists.h"
#include "settingkeys.h"
#include "valuenames.h"
#include "base/textids.h"

namespace DocDiff {

namespace {

Result shown(const QString& value)
{
    return value.isEmpty() ? Result::named(TextId::DiffEmpty) : Result::verbatim(value);
}

Result choiceShown(const DocumentData& d, const QString& key)
{
    if (key == Key::Band && d.choice(key) >= 0)
        return shown(d.band());
    // An entry by its text id, so that the line reads in the language it is shown in.
    if (d.choice(key) >= 0) {
        const OptionLists::Entry e = OptionLists::entries(key).value(d.choice(key));
        return e.packId ? Result::named(e.packId) : shown(e.fixed);
    }
    // A code no entry stands for (a read left the list without a selection).
    if (d.unlistedCode(key) >= 0)
        return Result::fail(TextId::DiffCode, {QString::number(d.unlistedCode(key))});
    return Result::named(TextId::DiffNone);
}

enum class Kind { Choice, Flag, Text, Number };

Kind kindOf(const QString& key)
{
    static const QStringList flags = {Key::PowerOnTone, Key::EndTone, Key::BatterySave, Key::KeyBeep,
                                      Key::TxInhibit, Key::LowBatteryTone, Key::TinyPower, Key::Alarm,
                                      Key::VoxRxInhibit, Key::Lease};
    if (flags.contains(key))
        return Kind::Flag;
    if (key == Key::EndDtmf)
        return Kind::Text;
    if (key == Key::LeaseDays || key == Key::LeaseHours || key == Key::LeaseMinutes)
        return Kind::Number;
    return Kind::Choice;
}

Result valueOf(const DocumentData& d, const QString& key)
{
    switch (kindOf(key)) {
    case Kind::Flag: return Result::named(d.flag(key) ? TextId::DiffOn : TextId::DiffOff);
    case Kind::Text: return shown(d.text(key));
    case Kind::Number: return Result::verbatim(QString::number(d.number(key)));
    case Kind::Choice: break;
    }
    return choiceShown(d, key);
}

bool same(const DocumentData& a, const DocumentData& b, const QString& key)
{
    switch (kindOf(key)) {
    case Kind::Flag: return a.flag(key) == b.flag(key);
    case Kind::Text: return a.text(key) == b.text(key);
    case Kind::Number: return a.number(key) == b.number(key);
    case Kind::Choice: break;
    }
    return a.choice(key) == b.choice(key)
           && (a.choice(key) >= 0 || a.unlistedCode(key) == b.unlistedCode(key));
}

// A cell as the difference shows it: frequencies and tones with
// `separator`, words in the language the line is shown in.
Result cellShown(const Channel& ch, int col, QChar separator)
{
    if (ch.text[col])
        return shown(*ch.text[col]);
    switch (col) {
    case Column::RxFrequency:
    case Column::TxFrequency:
    case Column::RxTone:
    case Column::TxTone: {
        const QString t = ChannelText::cell(ch, col, ValueWords(), separator);
        return t.isEmpty() && col % 2 == 0 ? Result::named(wordTextId(Word::Off)) : shown(t);
    }
    default: return Result::named(wordTextId(ChannelText::word(ch, col)));
    }
}

// A value one of the documents does not know (a file that lacks it) is no
// difference: a write leaves the radio's own there.
bool bothCarry(const DocumentData& a, const DocumentData& b, const QString& key)
{
    return a.carries(key) && b.carries(key);
}


// The settings each record carries: the option block at 0x4000, the timer
// and DTMF record at 0x4010.
const QStringList& optionKeys()
{
    static const QStringList keys = {
        Key::SaveRatio, Key::Volume, Key::Squelch, Key::Voice, Key::PowerOnTone, Key::Alarm, Key::KeyBeep,
        Key::EndTone, Key::TinyPower, Key::BatterySave, Key::Lease, Key::LowBatteryTone, Key::VoxRxInhibit,
        Key::ScanResume, Key::TxInhibit, Key::AutoPowerOff, Key::TimeOut, Key::VoxLevel, Key::VoxDelay,
        Key::TopLong, Key::TopShort, Key::P1Long, Key::P1Short, Key::P2Long, Key::P2Short};
    return keys;
}

const QStringList& timerKeys()
{
    static const QStringList keys = {Key::LeaseDays, Key::LeaseHours, Key::LeaseMinutes, Key::DtmfTime,
                                     Key::EndDtmf};
    return keys;
}

QList<Result> settingDifferences(const DocumentData& from, const DocumentData& to, const QStringList& keys)
{
    QList<Result> lines;
    for (const QString& key : keys)
        if (bothCarry(from, to, key) && !same(from, to, key))
            lines << Result::fail(TextId::DiffSetting, {},
                                  {valueOf(from, key), valueOf(to, key), Result::named(ValueNames::settingId(key))});
    return lines;
}

}

QList<Result> channelDifferences(const DocumentData& from, const DocumentData& to, int row, QChar separator)
{
    const QString number = ChannelText::number(row);
    const Channel& a = from.channel(row);
    const Channel& b = to.channel(row);
    if (!a.exists() && !b.exists())
        return {};
    // A channel on one side only is one line, not eleven.
    if (!a.exists() || !b.exists()) {
        const QString rx = ChannelText::cell(a.exists() ? a : b, Column::RxFrequency, ValueWords(), separator);
        return {Result::fail(a.exists() ? TextId::DiffChannelRemoved : TextId::DiffChannelAdded, {number, rx})};
    }
    QList<Result> lines;
    for (int col = 1; col < DocumentData::Cols; ++col)
        if (!Channel::sameCell(a, b, col))
            lines << Result::fail(TextId::DiffCell, {number},
                                  {cellShown(a, col, separator), cellShown(b, col, separator),
                                   Result::named(ValueNames::columnId(col))});
    return lines;
}

QList<Result> differences(const DocumentData& from, const DocumentData& to, QChar separator)
{
    QList<Result> lines;
    if (from.band() != to.band())
        lines << Result::fail(TextId::DiffBand, {}, {choiceShown(from, Key::Band), choiceShown(to, Key::Band)});
    for (int row = 1; row <= DocumentData::ChannelCount; ++row)
        lines << channelDifferences(from, to, row, separator);
    lines << settingDifferences(from, to, optionKeys());
    lines << settingDifferences(from, to, timerKeys());
    return lines;
}

}
