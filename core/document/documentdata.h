#pragma once
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>

class PackStrings;

#include "channel.h"
#include "settingkeys.h"
#include "radioimage.h"

// Every value of the settings document, as a plain copyable value. Readers
// (file, radio) fill a copy and hand it to the document only when the whole
// input was good, so a failure never leaves a half-changed document.
class DocumentData {
public:
    static constexpr int Rows = 33;       // the table's rows: the header row, then the channels
    static constexpr int Cols = Column::Count;
    static constexpr int ChannelCount = 32;

    DocumentData();   // every setting at its default, channels empty

    // choice: position in the option list, -1 when nothing is selected
    int choice(const QString& key) const { return m_choices.value(key, -1); }
    void setChoice(const QString& key, int pos);
    // The entries of a choice in the language of `texts`; for the band, the
    // band list.
    QStringList options(const QString& key, const PackStrings& texts) const;
    QString choiceText(const QString& key, const PackStrings& texts) const;
    // The bands the radio may be set to ("400-470MHz", from the start-up
    // configuration or a file), and the selected one (empty: none).
    const QStringList& bands() const { return m_bands; }
    void setBands(const QStringList& bands);   // keeps the selection when it still exists
    QString band() const { return m_bands.value(choice(Key::Band)); }
    // A code read from the radio that no entry of the list stands for (a key
    // function 11 to 15, an odd DTMF duration). The choice shows nothing, and
    // a write sends the code back unchanged; selecting an entry forgets it.
    int unlistedCode(const QString& key) const { return m_unlisted.value(key, -1); }
    void setUnlistedCode(const QString& key, int code);

    bool flag(const QString& key) const { return m_flags.value(key, false); }
    void setFlag(const QString& key, bool on);

    QString text(const QString& key) const { return m_texts.value(key); }
    // Cut to the setting's longest text, as its edit box holds it.
    void setText(const QString& key, const QString& t);
    static int maxTextLength(const QString& key);

    int number(const QString& key) const { return m_numbers.value(key, 0); }
    void setNumber(const QString& key, int v);   // clamped to the setting's range and step

    // A value the document does not know: volume, alarm and lease time
    // before a read, or opened from a settings file that lacks them. A write keeps what the
    // radio holds there, and differences leave it out. Setting the value
    // (a read, the user, a file that holds it) makes it known again; the
    // three lease numbers are one value and become known together.
    bool carries(const QString& key) const { return !m_notCarried.contains(key); }
    void setNotCarried(const QString& key);

    // The records of the radio the document was read from, or of the backup
    // it was opened from; empty for a new document or a plain settings
    // file. A write encodes the document over them, so what the document
    // does not show (unused bits, codes no list names) goes back as it was.
    const RadioImage& image() const { return m_image; }
    void setImage(const RadioImage& image) { m_image = image; }

    // Channel `row`, 1 to 32; an unused one outside that range.
    const Channel& channel(int row) const;
    void setChannel(int row, const Channel& ch);
    void clearChannel(int row) { setChannel(row, Channel()); }
    bool channelExists(int row) const { return channel(row).exists(); }

    QStringList choiceKeys() const { return m_choices.keys(); }
    QStringList flagKeys() const { return m_flags.keys(); }
    QStringList textKeys() const { return m_texts.keys(); }
    QStringList numberKeys() const { return m_numbers.keys(); }

    struct Range { int min, max, step; };
    static Range numberRange(const QString& key);

    bool operator==(const DocumentData&) const = default;

private:
    QHash<QString, int> m_choices;
    QStringList m_bands;
    QHash<QString, int> m_unlisted;
    QHash<QString, bool> m_flags;
    QHash<QString, QString> m_texts;
    QHash<QString, int> m_numbers;
    QSet<QString> m_notCarried;
    RadioImage m_image;
    std::array<Channel, ChannelCount> m_channels;
};
