#include "profile.h"

#include <QFile>
#include <QFileInfo>

#include "files/filesave.h"
#include "base/textids.h"

namespace {
bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
}

Profile Profile::load(const QString& path, Result* why)
{
    Result unused;
    Result& reason = why ? *why : unused;
    reason = Result::success();
    QFile f(path);
    if (path.isEmpty() || !QFileInfo::exists(path))
        return Profile();
    if (!f.open(QIODevice::ReadOnly)) {
        reason = FileSave::fileReason(path, f);
        return Profile();
    }
    // A configuration file is small; refuse to slurp something that is not one.
    const QByteArray bytes = f.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize) {
        reason = Result::fail(TextId::ConfigTooLarge, {QString::number(MaxFileSize)});
        return Profile();
    }
    if (bytes.isEmpty() && f.error() != QFileDevice::NoError) {
        reason = FileSave::fileReason(path, f);
        return Profile();
    }
    if (bytes.isEmpty()) {
        reason = Result::named(TextId::ConfigEmpty);
        return Profile();
    }
    // Keys read from a binary file would be whatever its bytes happen to
    // spell. (Text in a legacy encoding is still text: its keys are ASCII.)
    if (bytes.contains('\0')) {
        reason = Result::named(TextId::ConfigNotText);
        return Profile();
    }
    return parse(bytes);
}

Profile Profile::parse(const QByteArray& bytes)
{
    Profile p;
    if (bytes.isEmpty())
        return p;
    p.m_eol = bytes.contains("\r\n") || !bytes.contains('\n') ? "\r\n" : "\n";
    QList<QByteArray> raw = bytes.split('\n');
    p.m_trailingNewline = bytes.endsWith('\n');
    if (p.m_trailingNewline)
        raw.removeLast();
    QString section;
    for (const QByteArray& r : raw) {
        Line line;
        line.raw = r;
        QByteArray content = r;
        if (content.endsWith('\r'))
            content.chop(1);
        const QString text = QString::fromUtf8(content);
        const QString t = text.trimmed();
        if (t.startsWith(u'[') && t.contains(u']')) {
            line.kind = Line::Header;
            section = t.mid(1, t.indexOf(u']') - 1).trimmed();
            line.section = section;
        } else if (!t.isEmpty() && !t.startsWith(u';') && !t.startsWith(u'#') && t.contains(u'=')) {
            line.kind = Line::Entry;
            line.section = section;
            const qsizetype eq = text.indexOf(u'=');
            line.key = text.left(eq).trimmed();
            line.value = text.mid(eq + 1).trimmed();
        } else {
            line.section = section;
        }
        p.m_lines.append(line);
    }
    return p;
}

int Profile::find(const QString& section, const QString& key) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        const Line& l = m_lines[i];
        if (l.kind == Line::Entry && sameName(l.section, section) && sameName(l.key, key))
            return i;
    }
    return -1;
}

bool Profile::contains(const QString& section, const QString& key) const
{
    return find(section, key) >= 0;
}

QString Profile::value(const QString& section, const QString& key, const QString& def) const
{
    const int i = find(section, key);
    return i < 0 ? def : m_lines[i].value;
}

int Profile::intValue(const QString& section, const QString& key, int def) const
{
    bool ok = false;
    const int v = value(section, key).toInt(&ok, 10);
    return ok ? v : def;
}

QByteArray Profile::lineBytes(const QString& text) const
{
    QByteArray b = text.toUtf8();
    if (m_eol == "\r\n")
        b += '\r';
    return b;
}

void Profile::setValue(const QString& section, const QString& key, const QString& value)
{
    const int i = find(section, key);
    if (i >= 0) {
        Line& l = m_lines[i];
        if (l.value == value)
            return;
        l.value = value;
        l.raw = lineBytes(l.key + u'=' + value);
        return;
    }
    Line entry;
    entry.kind = Line::Entry;
    entry.key = key;
    entry.value = value;
    entry.raw = lineBytes(key + u'=' + value);
    // After the last key of the section, or right after its header.
    int header = -1, last = -1;
    for (int j = 0; j < m_lines.size(); ++j) {
        const Line& l = m_lines[j];
        if (l.kind == Line::Header && header < 0 && sameName(l.section, section))
            header = j;
        if (header >= 0 && sameName(l.section, section) && (l.kind == Line::Entry || j == header))
            last = j;
    }
    if (header >= 0) {
        entry.section = m_lines[header].section;
        m_lines.insert(last + 1, entry);
        return;
    }
    Line h;
    h.kind = Line::Header;
    h.section = section;
    h.raw = lineBytes(u'[' + section + u']');
    entry.section = section;
    m_lines.append(h);
    m_lines.append(entry);
    m_trailingNewline = true;
}

void Profile::setInt(const QString& section, const QString& key, int value)
{
    setValue(section, key, QString::number(value));
}

void Profile::renameSection(const QString& section, const QString& newName)
{
    for (Line& l : m_lines) {
        if (!sameName(l.section, section))
            continue;
        l.section = newName;
        if (l.kind == Line::Header) {
            const QString old = QString::fromUtf8(l.raw);
            const qsizetype open = old.indexOf(u'[');
            const qsizetype close = old.indexOf(u']', open);
            l.raw = (old.left(open + 1) + newName + old.mid(close)).toUtf8();
        }
    }
}

QByteArray Profile::serialize() const
{
    QByteArray out;
    for (int i = 0; i < m_lines.size(); ++i) {
        out += m_lines[i].raw;
        if (i + 1 < m_lines.size() || m_trailingNewline)
            out += '\n';
    }
    return out;
}

Result Profile::save(const QString& path) const
{
    return FileSave::save(path, serialize());
}
