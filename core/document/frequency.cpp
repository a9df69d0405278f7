#include "frequency.h"

#include <QLocale>
#include <cmath>

#include "band.h"

namespace Frequency {

std::optional<double> parse(const QString& text, QChar sep)
{
    const QChar other = sep == u'.' ? u',' : u'.';
    QString t = text.trimmed();
    if (t.isEmpty() || t.contains(other))
        return std::nullopt;
    t.replace(sep, u'.');
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString format(qint64 tens, QChar sep)
{
    QString s = QString::asprintf("%lld.%05lld", tens / 100000, tens % 100000);
    if (sep != u'.')
        s.replace(u'.', sep);
    return s;
}

std::optional<QString> commit(const QString& text, const QString& band, QChar sep)
{
    std::optional<double> f = parse(text, sep);
    if (!f || !Band::isWellFormed(band))
        return std::nullopt;
    const double v = *f;
    if (v < Band::lower(band) || v > Band::upper(band))
        return std::nullopt;
    qint64 tens = qint64(std::trunc(v * 10000)) * 10;
    while (tens < 55000000 && tens % 500 != 0 && tens % 625 != 0)
        tens += 5;
    return format(tens, sep);
}

bool isOutsideBand(const QString& text, const QString& band, QChar sep)
{
    const std::optional<double> f = parse(text, sep);
    return f && Band::isWellFormed(band) && (*f < Band::lower(band) || *f > Band::upper(band));
}

bool isCommitted(const QString& text, const QString& band, QChar sep)
{
    if (text.size() != 9)
        return false;
    const std::optional<QString> c = commit(text, band, sep);
    return c && *c == text;
}

}
