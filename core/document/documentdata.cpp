#include "documentdata.h"

#include "optionlists.h"
#include "base/packstrings.h"
#include "settingkeys.h"

DocumentData::DocumentData()
{
    for (const QString& key : OptionLists::choiceKeys())
        m_choices.insert(key, OptionLists::defaultPosition(key));
    m_choices.insert(Key::Band, -1);

    const std::pair<QString, bool> flags[] = {
        {Key::PowerOnTone, true}, {Key::EndTone, false}, {Key::BatterySave, true},
        {Key::KeyBeep, true}, {Key::TxInhibit, false}, {Key::LowBatteryTone, true},
        {Key::TinyPower, false}, {Key::Alarm, false}, {Key::VoxRxInhibit, true},
        {Key::Lease, false}, {Key::WriteNewPassword, false}};
    for (const auto& [k, v] : flags)
        m_flags.insert(k, v);

    m_texts.insert(Key::EndDtmf, QStringLiteral("123"));
    m_texts.insert(Key::Password, QString());
    m_texts.insert(Key::NewPassword, QString());

    m_numbers.insert(Key::LeaseDays, 0);
    m_numbers.insert(Key::LeaseHours, 1);
    m_numbers.insert(Key::LeaseMinutes, 0);

    // Until a radio is read, a file holding them is opened or the user sets
    // them, the radio's own volume, alarm and lease time are not known: a
    // write keeps what the radio holds there.
    for (const QString& key : Key::NotInOlderFiles)
        setNotCarried(key);
}

namespace {
bool isLease(const QString& key)
{
    return key == Key::LeaseDays || key == Key::LeaseHours || key == Key::LeaseMinutes;
}
}

void DocumentData::setNotCarried(const QString& key)
{
    if (isLease(key))
        m_notCarried.unite({Key::LeaseDays, Key::LeaseHours, Key::LeaseMinutes});
    else
        m_notCarried.insert(key);
}

void DocumentData::setChoice(const QString& key, int pos)
{
    m_notCarried.remove(key);
    const qsizetype size = key == Key::Band ? m_bands.size() : OptionLists::entries(key).size();
    if (pos < 0 || pos >= size)
        pos = -1;
    m_choices.insert(key, pos);
    if (pos >= 0)
        m_unlisted.remove(key);
}

void DocumentData::setUnlistedCode(const QString& key, int code)
{
    if (code < 0)
        m_unlisted.remove(key);
    else
        m_unlisted.insert(key, code);
}

void DocumentData::setBands(const QStringList& bands)
{
    m_bands = bands;
    setChoice(Key::Band, choice(Key::Band));
}

QStringList DocumentData::options(const QString& key, const PackStrings& texts) const
{
    return key == Key::Band ? m_bands : OptionLists::texts(key, texts);
}

QString DocumentData::choiceText(const QString& key, const PackStrings& texts) const
{
    return key == Key::Band ? band() : OptionLists::texts(key, texts).value(choice(key));
}

DocumentData::Range DocumentData::numberRange(const QString& key)
{
    if (key == Key::LeaseDays)
        return {0, 255, 1};
    if (key == Key::LeaseHours)
        return {0, 23, 1};
    if (key == Key::LeaseMinutes)
        return {0, 50, 10};
    return {0, 0, 1};
}

int DocumentData::maxTextLength(const QString& key)
{
    if (key == Key::EndDtmf)
        return 4;
    if (key == Key::Password || key == Key::NewPassword)
        return 12;
    return -1;
}

void DocumentData::setText(const QString& key, const QString& t)
{
    const int max = maxTextLength(key);
    m_texts.insert(key, max >= 0 ? t.left(max) : t);
}

void DocumentData::setFlag(const QString& key, bool on)
{
    m_notCarried.remove(key);
    m_flags.insert(key, on);
}

void DocumentData::setNumber(const QString& key, int v)
{
    if (isLease(key))
        m_notCarried.subtract({Key::LeaseDays, Key::LeaseHours, Key::LeaseMinutes});
    const Range r = numberRange(key);
    v = std::clamp(v, r.min, r.max);
    v -= (v - r.min) % r.step;
    m_numbers.insert(key, v);
}

const Channel& DocumentData::channel(int row) const
{
    static const Channel unused;
    return row >= 1 && row <= ChannelCount ? m_channels[row - 1] : unused;
}

void DocumentData::setChannel(int row, const Channel& ch)
{
    if (row >= 1 && row <= ChannelCount)
        m_channels[row - 1] = ch;
}
