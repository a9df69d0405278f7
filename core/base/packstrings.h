#pragma once
#include <QHash>
#include <QString>
#include <optional>

#include "base/valuewords.h"
#include "base/result.h"

// A string table by numeric id, as a language pack holds it.
// Pack files are UTF-8 text: one "id=text" per line, '#' starts a comment,
// and "\t", "\n", "\\" are escapes.
class PackStrings {
public:
    // The simplified Chinese texts built into the program; every id the
    // program asks for has one, so no caption, word or message is ever empty.
    static const PackStrings& builtIn();

    // The texts of a pack file's bytes (files/packfile.h reads the file).
    static PackStrings parse(const QByteArray& utf8);

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

// Ids of the message texts the windows share.
namespace MsgId {
constexpr int Caption = 58;
constexpr int PortFailed = 59;
constexpr int TransferFailed = 60;
constexpr int NewCaption = 62;
constexpr int NewQuestion = 64;
}

// Ids of the window words every language pack has, named where the windows
// ask for them.
namespace WordId {
constexpr int About = 1;
constexpr int Ok = 2;
constexpr int Product = 3;
constexpr int Version = 4;
constexpr int Rights = 5;
constexpr int Maker = 6;
constexpr int Open = 14;
constexpr int Save = 15;
constexpr int OptionalFeatures = 20;
constexpr int Read = 53;
constexpr int Write = 54;
constexpr int ProgramTitle = 61;
constexpr int RadioInfo = 145;
constexpr int Model = 157;
constexpr int Band = 158;
constexpr int Administrator = 159;
constexpr int Password = 202;
constexpr int User = 241;
}
