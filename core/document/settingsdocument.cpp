#include "settingsdocument.h"

#include "base/textids.h"
#include "band.h"
#include "frequency.h"

#include "optionlists.h"
#include "settingkeys.h"
#include "tonelist.h"

SettingsDocument::SettingsDocument(QObject* parent)
    : QObject(parent), m_texts(PackStrings::builtIn()), m_words(m_texts.words())
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

void SettingsDocument::setBandList(const QStringList& bands)
{
    m_data.setBands(bands);
    emit optionsChanged(Key::Band);
}

void SettingsDocument::setFlag(const QString& key, bool on)
{
    // Ticking what was shown as unknown is a change too.
    if (m_data.flag(key) == on && m_data.carries(key))
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
    const bool known = m_data.carries(key);
    m_data.setNumber(key, v);
    if (m_data.number(key) != before || !known)
        emit changed(key);
}

QString SettingsDocument::cell(int row, int col) const
{
    return ChannelText::cell(m_data, row, col, m_words, m_separator);
}

void SettingsDocument::setCell(int row, int col, const QString& text)
{
    if (row < 1 || row > channelCount() || col < 1 || col >= DocumentData::Cols || cell(row, col) == text)
        return;
    Channel ch = m_data.channel(row);
    ChannelText::setCell(ch, col, text, m_words);
    m_data.setChannel(row, ch);
    emit cellChanged(row, col);
}

void SettingsDocument::setChannel(int row, const Channel& ch)
{
    const Channel before = m_data.channel(row);
    m_data.setChannel(row, ch);
    for (int c = 1; c < DocumentData::Cols; ++c)
        if (!Channel::sameCell(before, ch, c))
            emit cellChanged(row, c);
}

void SettingsDocument::clearChannel(int row)
{
    setChannel(row, Channel());
}

void SettingsDocument::swapChannels(int a, int b)
{
    const Channel first = channel(a);
    setChannel(a, channel(b));
    setChannel(b, first);
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

void SettingsDocument::applyLanguage(const PackStrings& texts)
{
    // A language switch changes no value: neither undo nor the modified
    // mark sees it, and the windows show the document anew.
    m_texts = texts;
    m_words = texts.words();
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
    // A new document comes from no radio.
    m_data.setImage(RadioImage());
    emit reset();
}

bool SettingsDocument::insertChannel(int row)
{
    if (row < 1 || row > channelCount() || m_data.channelExists(channelCount()))
        return false;
    for (int r = channelCount(); r > row; --r)
        setChannel(r, channel(r - 1));
    clearChannel(row);
    return true;
}

bool SettingsDocument::duplicateChannel(int row)
{
    if (row < 1 || row >= channelCount() || !m_data.channelExists(row) || !insertChannel(row + 1))
        return false;
    setChannel(row + 1, channel(row));
    return true;
}

namespace {
const QString SessionKeys[] = {Key::Password, Key::NewPassword};
}

DocumentSnapshot SettingsDocument::snapshot() const
{
    DocumentSnapshot s{m_data, m_path};
    for (const QString& k : SessionKeys)
        s.data.setText(k, QString());
    s.data.setFlag(Key::WriteNewPassword, false);
    return s;
}

void SettingsDocument::restore(const DocumentSnapshot& s)
{
    DocumentData d = s.data;
    for (const QString& k : SessionKeys)
        d.setText(k, m_data.text(k));
    d.setFlag(Key::WriteNewPassword, m_data.flag(Key::WriteNewPassword));
    const bool pathChanged = s.path != m_path;
    m_data = d;
    m_path = s.path;
    emit reset();
    if (pathChanged)
        emit filePathChanged();
}

void SettingsDocument::setFilePath(const QString& path)
{
    if (path == m_path)
        return;
    m_path = path;
    emit filePathChanged();
}

void SettingsDocument::markSaved(const QString& path)
{
    const bool pathChanged = path != m_path;
    m_path = path;
    checkpoint();
    m_saved = snapshot();
    if (pathChanged)
        emit filePathChanged();
}

void SettingsDocument::markClean()
{
    checkpoint();
    m_saved = snapshot();
}

bool SettingsDocument::checkpoint()
{
    const DocumentSnapshot now = snapshot();
    return m_history.record(now, onlyTypedKeyChanged(m_history.present().data, now.data));
}

bool SettingsDocument::undo()
{
    checkpoint();
    const std::optional<DocumentSnapshot> s = m_history.undo();
    if (s)
        restore(*s);
    return s.has_value();
}

bool SettingsDocument::redo()
{
    checkpoint();
    const std::optional<DocumentSnapshot> s = m_history.redo();
    if (s)
        restore(*s);
    return s.has_value();
}

void SettingsDocument::startHistory()
{
    m_history.reset(snapshot());
    m_saved = snapshot();
}

QList<Result> SettingsDocument::channelsOutsideBand() const
{
    QList<Result> out;
    const QString band = selectedBand();
    if (!Band::isWellFormed(band))
        return out;
    const qint64 lower = Band::lower(band) * qint64(1000000), upper = Band::upper(band) * qint64(1000000);
    for (int row = 1; row <= channelCount(); ++row) {
        const Channel& ch = channel(row);
        QStringList outside;
        for (int col : {Column::RxFrequency, Column::TxFrequency}) {
            const std::optional<qint64> hz = col == Column::RxFrequency ? std::optional<qint64>(ch.rxHz) : ch.txHz;
            // Text that names no frequency yet may still be a number beyond the band.
            const bool beyond = ch.holdsValue(col) ? hz && (*hz < lower || *hz > upper)
                                                   : Frequency::isOutsideBand(*ch.text[col], band, m_separator);
            const QString shown = cell(row, col);
            if (beyond && !outside.contains(shown))
                outside << shown;
        }
        for (const QString& f : outside)
            out.append(Result::fail(TextId::BandLeftChannel, {ChannelText::number(row), f}));
    }
    return out;
}
