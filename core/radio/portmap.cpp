#include "portmap.h"

#include "files/profile.h"

PortMap::PortMap()
{
    for (int n = 1; n <= 8; ++n)
        m_paths[n - 1] = QStringLiteral("/dev/ttyUSB%1").arg(n - 1);
    for (int n = 9; n <= 12; ++n)
        m_paths[n - 1] = QStringLiteral("/dev/ttyACM%1").arg(n - 9);
    for (int n = 13; n <= 16; ++n)
        m_paths[n - 1] = QStringLiteral("/dev/ttyS%1").arg(n - 13);
}

PortMap PortMap::fromProfile(const Profile& profile)
{
    PortMap map;
    for (int n = 1; n <= Count; ++n) {
        const QString key = QStringLiteral("com%1").arg(n);
        const QString path = profile.value(QStringLiteral("ports"), key).trimmed();
        // An empty value would leave the port with no device at all; the
        // default mapping serves the user better.
        if (!path.isEmpty())
            map.setPath(n, path);
    }
    return map;
}

QString PortMap::path(int port) const
{
    if (port < 1 || port > Count)
        return {};
    return m_paths[port - 1];
}

void PortMap::setPath(int port, const QString& path)
{
    if (port < 1 || port > Count)
        return;
    m_paths[port - 1] = path;
}

QString PortMap::resolve(const QString& portOrPath) const
{
    const QString s = portOrPath.trimmed();
    if (s.startsWith(u'/'))
        return s;
    if (s.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
        bool ok = false;
        const int n = s.mid(3).toInt(&ok);
        if (ok)
            return path(n);
    }
    return {};
}
