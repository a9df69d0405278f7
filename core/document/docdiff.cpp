#include "docdiff.h"

#include <QHash>

#include "documentdata.h"
#include "settingkeys.h"

namespace DocDiff {

namespace {

QString shown(const QString& value)
{
    return value.isEmpty() ? QStringLiteral("(empty)") : value;
}

QString choiceShown(const DocumentData& d, const QString& key)
{
    if (d.choice(key) >= 0)
        return shown(d.choiceText(key));
    // A code no entry stands for (a read left the list without a selection).
    if (d.unlistedCode(key) >= 0)
        return QStringLiteral("(code %1)").arg(d.unlistedCode(key));
    return QStringLiteral("(none)");
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

QString valueOf(const DocumentData& d, const QString& key)
{
    switch (kindOf(key)) {
    case Kind::Flag: return d.flag(key) ? QStringLiteral("on") : QStringLiteral("off");
    case Kind::Text: return shown(d.text(key));
    case Kind::Number: return QString::number(d.number(key));
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

QString channelName(int row)
{
    return QStringLiteral("channel %1").arg(row, 2, 10, QLatin1Char('0'));
}

}

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

QString settingLabel(const QString& key)
{
    static const QHash<QString, QString> labels = {
        {Key::Band, QStringLiteral("band")},
        {Key::AutoPowerOff, QStringLiteral("automatic power-off")},
        {Key::Squelch, QStringLiteral("squelch")},
        {Key::ScanResume, QStringLiteral("scan resume")},
        {Key::TimeOut, QStringLiteral("transmit time-out")},
        {Key::Voice, QStringLiteral("voice announcement")},
        {Key::SaveRatio, QStringLiteral("battery-save ratio")},
        {Key::Volume, QStringLiteral("volume")},
        {Key::DtmfTime, QStringLiteral("DTMF duration")},
        {Key::VoxLevel, QStringLiteral("VOX sensitivity")},
        {Key::VoxDelay, QStringLiteral("VOX delay")},
        {Key::TopLong, QStringLiteral("top key long")},
        {Key::TopShort, QStringLiteral("top key short")},
        {Key::P1Long, QStringLiteral("P1 long")},
        {Key::P1Short, QStringLiteral("P1 short")},
        {Key::P2Long, QStringLiteral("P2 long")},
        {Key::P2Short, QStringLiteral("P2 short")},
        {Key::PowerOnTone, QStringLiteral("power-on tone")},
        {Key::EndTone, QStringLiteral("end tone")},
        {Key::BatterySave, QStringLiteral("battery save")},
        {Key::KeyBeep, QStringLiteral("key beep")},
        {Key::TxInhibit, QStringLiteral("transmit inhibit")},
        {Key::LowBatteryTone, QStringLiteral("low-battery tone")},
        {Key::TinyPower, QStringLiteral("tiny power")},
        {Key::Alarm, QStringLiteral("alarm")},
        {Key::VoxRxInhibit, QStringLiteral("VOX off while receiving")},
        {Key::Lease, QStringLiteral("lease")},
        {Key::EndDtmf, QStringLiteral("DTMF end code")},
        {Key::LeaseDays, QStringLiteral("lease days")},
        {Key::LeaseHours, QStringLiteral("lease hours")},
        {Key::LeaseMinutes, QStringLiteral("lease minutes")},
    };
    return labels.value(key, key);
}

QString columnLabel(int col)
{
    static const char* names[] = {"number", "RX frequency", "RX tone", "TX frequency", "TX tone", "power",
                                  "bandwidth", "flag A", "flag B", "flag C", "flag D", "PTT ID"};
    return col >= 0 && col < DocumentData::Cols ? QString::fromLatin1(names[col]) : QString();
}

QStringList channelDifferences(const DocumentData& from, const DocumentData& to, int row)
{
    const QString name = channelName(row);
    const bool a = from.channelExists(row), b = to.channelExists(row);
    if (!a && !b)
        return {};
    // A channel on one side only is one line, not eleven.
    if (!a || !b) {
        const QString rx = a ? from.cell(row, 1) : to.cell(row, 1);
        return {a ? QStringLiteral("%1: %2 -> (empty)").arg(name, rx)
                  : QStringLiteral("%1: (empty) -> %2").arg(name, rx)};
    }
    QStringList lines;
    for (int col = 1; col < DocumentData::Cols; ++col)
        if (from.cell(row, col) != to.cell(row, col))
            lines << QStringLiteral("%1 %2: %3 -> %4")
                         .arg(name, columnLabel(col), shown(from.cell(row, col)), shown(to.cell(row, col)));
    return lines;
}

QStringList settingDifferences(const DocumentData& from, const DocumentData& to, const QStringList& keys)
{
    QStringList lines;
    for (const QString& key : keys)
        if (!same(from, to, key))
            lines << QStringLiteral("%1: %2 -> %3").arg(settingLabel(key), valueOf(from, key), valueOf(to, key));
    return lines;
}

QStringList differences(const DocumentData& from, const DocumentData& to)
{
    QStringList lines;
    if (from.choiceText(Key::Band) != to.choiceText(Key::Band))
        lines << QStringLiteral("band: %1 -> %2").arg(choiceShown(from, Key::Band), choiceShown(to, Key::Band));
    for (int row = 1; row <= DocumentData::ChannelCount; ++row)
        lines << channelDifferences(from, to, row);
    lines << settingDifferences(from, to, optionKeys());
    lines << settingDifferences(from, to, timerKeys());
    return lines;
}

}
