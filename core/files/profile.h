#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

#include "base/result.h"

// A Windows-style profile (INI) file: "[section]" lines, then "key=value".
// Section and key names compare without regard to letter case. The file's
// lines are kept as they are (comments, order, unknown sections and keys,
// line ends); setting a value changes only that value's line, or adds one.
class Profile {
public:
    Profile() = default;
    // A missing or unreadable file gives an empty profile. *why (when given)
    // says why a file that is there gives nothing: it cannot be opened, it is
    // larger than MaxFileSize, empty, or not text. A missing file is no fault.
    static Profile load(const QString& path, Result* why = nullptr);
    static constexpr qint64 MaxFileSize = 1024 * 1024;
    static Profile parse(const QByteArray& bytes);

    bool contains(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key, const QString& def = {}) const;
    // A missing key, or a value that is not a decimal integer, gives `def`.
    int intValue(const QString& section, const QString& key, int def) const;

    // Sets a value. A missing section is added at the end under the name
    // given here; a section that exists keeps its name as the file spells it.
    void setValue(const QString& section, const QString& key, const QString& value);
    void setInt(const QString& section, const QString& key, int value);
    // Renames a section's header line (the program reads "Open" and writes "open").
    void renameSection(const QString& section, const QString& newName);

    QByteArray serialize() const;
    // Writes through the one file writer: on any failure the old file stays.
    Result save(const QString& path) const;

private:
    struct Line { QByteArray raw; QString section; QString key; QString value; enum { Other, Header, Entry } kind = Other; };
    int find(const QString& section, const QString& key) const;
    QByteArray lineBytes(const QString& text) const;

    QList<Line> m_lines;
    QByteArray m_eol = "\r\n";
    bool m_trailingNewline = true;
};
