#include "packstrings.h"

#include <QDir>
#include <QFile>
#include <algorithm>

#include "base/textids.h"

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
    return ValueWords{text(wordTextId(Word::Off)), text(wordTextId(Word::On)),
                      text(wordTextId(Word::High)), text(wordTextId(Word::Low)),
                      text(wordTextId(Word::Wide)), text(wordTextId(Word::Narrow)),
                      text(wordTextId(Word::Comp)), text(wordTextId(Word::Scrambler))};
}
