#include "packstrings.h"

#include <QDir>
#include <QFile>
#include <algorithm>

#include "files/filesave.h"
#include "setup/textids.h"

namespace {
QString unescape(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        QChar c = s[i];
        if (c == u'\\' && i + 1 < s.size()) {
            QChar n = s[i + 1];
            if (n == u't') { out += u'\t'; ++i; continue; }
            if (n == u'n') { out += u'\n'; ++i; continue; }
            if (n == u'\\') { out += u'\\'; ++i; continue; }
        }
        out += c;
    }
    return out;
}
}

PackStrings PackStrings::parse(const QByteArray& utf8)
{
    PackStrings p;
    const QString all = QString::fromUtf8(utf8);
    const auto lines = QStringView(all).split(u'\n');
    for (QStringView line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        QStringView t = line.trimmed();
        if (t.isEmpty() || t.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        bool ok = false;
        const int id = line.left(eq).trimmed().toInt(&ok);
        if (!ok || id < 0)
            continue;
        p.m_texts.insert(id, unescape(line.mid(eq + 1)));
    }
    return p;
}

std::optional<PackStrings> PackStrings::loadFile(const QString& path, Result* why)
{
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly)) {
        if (why)
            *why = FileSave::openFailed(path, f);
        return std::nullopt;
    }
    // A pack is a small text file; anything huge is not one of ours.
    const QByteArray bytes = f.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize) {
        if (why)
            *why = Result::fail(TextId::PackTooLarge, {path, QString::number(MaxFileSize)});
        return std::nullopt;
    }
    // An empty file, or one with no line of a pack (cut to nothing, another
    // file under the pack's name), would leave every text built in without
    // a word; it is no pack, as a missing one is not.
    PackStrings pack = parse(bytes);
    const QList<int> ids = pack.ids();
    if (std::none_of(ids.cbegin(), ids.cend(), [](int id) { return builtIn().contains(id); })) {
        if (why)
            *why = Result::fail(TextId::PackEmpty, {path});
        return std::nullopt;
    }
    return pack;
}

QString PackStrings::findPackFile(const QString& dir, const QString& packName)
{
    const QString wanted = packName.toLower() + QStringLiteral(".lang");
    const QDir d(dir);
    const QString exact = d.filePath(wanted);
    if (QFile::exists(exact))
        return exact;
    const auto entries = d.entryList(QDir::Files);
    for (const QString& e : entries)
        if (e.toLower() == wanted)
            return d.filePath(e);
    return {};
}

const PackStrings& PackStrings::builtIn()
{
    static const PackStrings p = [] {
        QFile f(QStringLiteral(":/packs/cha_dll.lang"));
        f.open(QIODevice::ReadOnly);
        return parse(f.readAll());
    }();
    return p;
}

PackStrings PackStrings::withFallback(const PackStrings& pack)
{
    PackStrings out = builtIn();
    for (auto it = pack.m_texts.cbegin(); it != pack.m_texts.cend(); ++it)
        out.m_texts.insert(it.key(), it.value());
    return out;
}

ValueWords PackStrings::words() const
{
    return ValueWords{text(34), text(35), text(36), text(37),
                      text(74), text(75), text(78), text(79)};
}
