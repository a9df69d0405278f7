#include "progressbar.h"

#include <QStringList>
#include <cstdio>
#include <unistd.h>

namespace {
int percent(const ProgressBar::Item& i)
{
    return i.maximum > 0 ? qBound(0, i.value * 100 / i.maximum, 100) : 0;
}
}

ProgressBar::ProgressBar() : m_enabled(::isatty(STDERR_FILENO) == 1) {}

QString ProgressBar::line(const QList<Item>& items)
{
    if (items.size() == 1) {
        constexpr int Width = 30;
        const int p = percent(items[0]);
        const int filled = p * Width / 100;
        return QStringLiteral("%1 [%2%3] %4%")
            .arg(items[0].label, QString(filled, u'#'), QString(Width - filled, u'-'))
            .arg(p, 3);
    }
    QStringList parts;
    for (const Item& i : items)
        parts << QStringLiteral("%1 %2%").arg(i.label).arg(percent(i), 3);
    return parts.join(QStringLiteral(" | "));
}

void ProgressBar::draw(const QList<Item>& items)
{
    if (!m_enabled)
        return;
    std::fprintf(stderr, "\r%s\033[K", line(items).toLocal8Bit().constData());
    std::fflush(stderr);
    m_drawn = true;
}

void ProgressBar::clear()
{
    if (!m_drawn)
        return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    m_drawn = false;
}
