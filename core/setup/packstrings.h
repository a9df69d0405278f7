#pragma once
#include <QHash>
#include <QString>
#include <optional>

#include "document/valuewords.h"
#include "setup/result.h"

// A string table by numeric id, as a language pack holds it.
// Pack files are UTF-8 text: one "id=text" per line, '#' starts a comment,
// and "\t", "\n", "\\" are escapes.
class PackStrings {
public:
    // The simplified Chinese texts built into the program; every id the
    // program asks for has one, so no caption, word or message is ever empty.
    static const PackStrings& builtIn();

    static PackStrings parse(const QByteArray& utf8);
    // Reads a pack file; nullopt when it is missing, unreadable, too large to
    // be a pack or holds no text of the program, and then *why says which.
    static std::optional<PackStrings> loadFile(const QString& path, Result* why = nullptr);
    static constexpr qint64 MaxFileSize = 4 * 1024 * 1024;
    // The pack file for a pack name in a directory, the name compared without
    // regard to letter case ("CHA_DLL" finds cha_dll.lang); empty if none.
    static QString findPackFile(const QString& dir, const QString& packName);

    bool contains(int id) const { return m_texts.contains(id); }
    QString text(int id) const { return m_texts.value(id); }
    void set(int id, const QString& text) { m_texts.insert(id, text); }
    int size() const { return int(m_texts.size()); }
    QList<int> ids() const { return m_texts.keys(); }

    // The built-in texts with every id of `pack` put over them.
    static PackStrings withFallback(const PackStrings& pack);

    ValueWords words() const;

private:
    QHash<int, QString> m_texts;
};

// Ids of the message texts (Part of the shared state the windows read).
namespace MsgId {
constexpr int Caption = 58;
constexpr int PortFailed = 59;
constexpr int TransferFailed = 60;
constexpr int NewCaption = 62;
constexpr int NewQuestion = 64;
}
