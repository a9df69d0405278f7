#include "settingsdocument.h"

#include "optionlists.h"
#include "settingkeys.h"
#include "tonelist.h"

SettingsDocument::SettingsDocument(QObject* parent)
    : QObject(parent), m_words(PackStrings::builtIn().words())
{
}

void SettingsDocument::replace(const DocumentData& data)
{
    m_data = data;
    emit reset();
}

void SettingsDocument::setChoice(const QString& key, int pos)
{
    m_data.setChoice(key, pos);
    emit changed(key);
}

void SettingsDocument::setOptions(const QString& key, const QStringList& opts)
{
    m_data.setOptions(key, opts);
    emit optionsChanged(key);
}

void SettingsDocument::setFlag(const QString& key, bool on)
{
    if (m_data.flag(key) == on)
        return;
    m_data.setFlag(key, on);
    emit changed(key);
}

void SettingsDocument::setText(const QString& key, const QString& t)
{
    if (m_data.text(key) == t)
        return;
    m_data.setText(key, t);
    emit changed(key);
}

void SettingsDocument::setNumber(const QString& key, int v)
{
    const int before = m_data.number(key);
    m_data.setNumber(key, v);
    if (m_data.number(key) != before)
        emit changed(key);
}

void SettingsDocument::setCell(int row, int col, const QString& text)
{
    if (m_data.cell(row, col) == text)
        return;
    m_data.setCell(row, col, text);
    emit cellChanged(row, col);
}

void SettingsDocument::clearChannel(int row)
{
    for (int c = 1; c < DocumentData::Cols; ++c)
        setCell(row, c, QString());
}

void SettingsDocument::swapChannels(int a, int b)
{
    for (int c = 1; c < DocumentData::Cols; ++c) {
        const QString t = cell(a, c);
        setCell(a, c, cell(b, c));
        setCell(b, c, t);
    }
}

void SettingsDocument::setDecimalSeparator(QChar sep)
{
    m_separator = sep;
    emit wordsChanged();
}

QStringList SettingsDocument::toneList() const
{
    return ToneList::entries(m_words.off, m_separator);
}

void rebuildOptionLists(DocumentData& data, const PackStrings& texts)
{
    for (const QString& key : OptionLists::choiceKeys())
        data.setOptions(key, OptionLists::texts(key, texts));
}

void SettingsDocument::applyLanguage(const PackStrings& texts)
{
    rebuildOptionLists(m_data, texts);
    m_words = texts.words();
    rewriteWordCells(m_data, m_words);
    emit wordsChanged();
    emit reset();
}

void SettingsDocument::resetToNew()
{
    for (int r = 1; r <= channelCount(); ++r)
        m_data.clearChannel(r);
    const DocumentData defaults;
    const QStringList choices = {Key::AutoPowerOff, Key::Squelch, Key::ScanResume, Key::TimeOut,
                                 Key::Voice, Key::SaveRatio, Key::DtmfTime, Key::TopLong,
                                 Key::TopShort, Key::P1Long, Key::P1Short, Key::P2Long,
                                 Key::P2Short, Key::VoxLevel, Key::VoxDelay};
    for (const QString& k : choices)
        m_data.setChoice(k, defaults.choice(k));
    for (const QString& k : {Key::PowerOnTone, Key::EndTone, Key::BatterySave, Key::KeyBeep,
                             Key::TxInhibit, Key::LowBatteryTone, Key::TinyPower, Key::VoxRxInhibit})
        m_data.setFlag(k, defaults.flag(k));
    for (const QString& k : {Key::LeaseDays, Key::LeaseHours, Key::LeaseMinutes})
        m_data.setNumber(k, defaults.number(k));
    m_data.setText(Key::EndDtmf, defaults.text(Key::EndDtmf));
    emit reset();
}
