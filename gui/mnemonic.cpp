#include "gui/mnemonic.h"

#include <QRegularExpression>

namespace Mnemonic {

QString with(QString text, QChar letter)
{
    text = without(text);
    bool latin = !text.isEmpty();
    for (QChar c : text)
        latin = latin && c.unicode() < 0x80;
    const qsizetype at = latin ? text.indexOf(letter, 0, Qt::CaseInsensitive) : -1;
    if (at >= 0)
        return text.insert(at, u'&');
    QString tail;
    if (text.endsWith(QStringLiteral("..."))) {
        tail = text.right(3);
        text.chop(3);
    }
    return text + QStringLiteral("(&") + letter + u')' + tail;
}

QString without(QString text)
{
    static const QRegularExpression bracketed(QStringLiteral("\\(&.\\)"));
    text.remove(bracketed);
    text.remove(u'&');
    return text;
}

}
