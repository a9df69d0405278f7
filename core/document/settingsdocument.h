#pragma once
#include <QObject>

#include "documentdata.h"
#include "history.h"
#include "base/packstrings.h"
#include "channeltext.h"

// The one settings document of the program: every setting by its key and
// the channels, with the words of the active language and the locale's
// decimal separator that the windows show the channels' values in.
// Windows bind their controls to it and follow its signals.
class SettingsDocument : public QObject {
    Q_OBJECT
public:
    explicit SettingsDocument(QObject* parent = nullptr);

    const DocumentData& data() const { return m_data; }
    // Replaces every value at once (Open, a successful read).
    void replace(const DocumentData& data);

    int choice(const QString& key) const { return m_data.choice(key); }
    void setChoice(const QString& key, int pos);
    // The entries of a choice in the active language (the band list for the band).
    QStringList options(const QString& key) const { return m_data.options(key, m_texts); }
    QString choiceText(const QString& key) const { return m_data.choiceText(key, m_texts); }

    bool flag(const QString& key) const { return m_data.flag(key); }
    void setFlag(const QString& key, bool on);
    QString text(const QString& key) const { return m_data.text(key); }
    void setText(const QString& key, const QString& t);
    int number(const QString& key) const { return m_data.number(key); }
    void setNumber(const QString& key, int v);

    int channelCount() const { return DocumentData::ChannelCount; }
    const Channel& channel(int row) const { return m_data.channel(row); }
    void setChannel(int row, const Channel& ch);
    // A cell of the channel table as the windows show it, in the active
    // words and separator; column 0 is the channel number.
    QString cell(int row, int col) const;
    void setCell(int row, int col, const QString& text);
    void clearChannel(int row);
    void swapChannels(int rowA, int rowB);

    // Band list and its selection.
    QStringList bandList() const { return m_data.bands(); }
    void setBandList(const QStringList& bands);
    QString selectedBand() const { return m_data.band(); }
    // Every receive or transmit frequency the selected band does not hold,
    // one line each naming the channel and the frequency (BandLeftChannel),
    // in channel order; empty when all lie within it.
    QList<Result> channelsOutsideBand() const;

    const PackStrings& texts() const { return m_texts; }
    const ValueWords& words() const { return m_words; }
    QChar decimalSeparator() const { return m_separator; }
    void setDecimalSeparator(QChar sep);
    // The tone drop-down's 273 entries for the locale's separator.
    QStringList toneList() const;

    // Shows the document in the language of `texts`: the choices' entries
    // and the channels' words. No value changes.
    void applyLanguage(const PackStrings& texts);

    // New: channels emptied and the optional features of the New table reset.
    void resetToNew();

    // Rows `row` to 31 move down one row and `row` becomes empty; refused
    // (false) when channel 32 is in use.
    bool insertChannel(int row);
    // A copy of channel `row` inserted below it; false when there is no room
    // or nothing to copy.
    bool duplicateChannel(int row);

    // The file the document belongs to; empty for an untitled one.
    QString filePath() const { return m_path; }
    void setFilePath(const QString& path);
    // True when the document differs from the last file saved or opened, or
    // from the last read or write. The passwords typed for a transfer are no
    // part of it.
    bool isModified() const { return snapshot() != m_saved; }
    // The document now matches the file `path` (Open, Save) or the radio
    // (a read: no file). The change is one step of the history.
    void markSaved(const QString& path);
    // The document matches the radio after a write; it keeps its file.
    void markClean();

    // Undo and redo. A checkpoint records everything changed since the last
    // one as one step; the windows set one after each command.
    bool checkpoint();
    bool undo();
    bool redo();
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    // The present document is where undo stops and counts as saved (start-up).
    void startHistory();
    // What undo, redo and the modified mark compare: the document without
    // the passwords, with its file.
    DocumentSnapshot snapshot() const;

signals:
    void changed(const QString& key);
    void optionsChanged(const QString& key);
    void cellChanged(int row, int col);
    void wordsChanged();
    void reset();
    void filePathChanged();

private:
    DocumentData m_data;
    PackStrings m_texts;
    ValueWords m_words;
    QChar m_separator = u'.';
    QString m_path;
    DocumentHistory m_history;
    DocumentSnapshot m_saved;

    void restore(const DocumentSnapshot& s);
};

