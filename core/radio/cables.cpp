#include "cables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#include "radio/portmap.h"
#include "base/textids.h"

#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace Cables {

namespace {

// Made from cablechips.txt, as the udev rule is: the chips radio programming
// cables are built on, and others named so that a user sees what is plugged
// in, but not taken for a programming cable.
constexpr Chip Table[] = {
#include "radio/cablechips.inc"
};

PortLister& lister()
{
    static PortLister current;
    return current;
}

QList<SerialPortDescription> listSystemPorts()
{
    QList<SerialPortDescription> out;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        SerialPortDescription d;
        d.systemLocation = info.systemLocation();
        d.hasIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
        d.vendorId = info.vendorIdentifier();
        d.productId = info.productIdentifier();
        out.append(d);
    }
    return out;
}

// Both sides of a match go through this, so a by-id link and the ttyUSB node
// it names compare equal; a path that does not exist stays as it is.
QString canonical(const QString& path)
{
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? QDir::cleanPath(path) : c;
}

QString readTrimmed(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll()).trimmed().toLower();
}

// A serial driver bound to one of the device's interfaces leaves a ttyUSBn
// (or a "tty" class directory) below that interface.
bool hasTtyChild(const QDir& device)
{
    const QString prefix = device.dirName() + u':';
    const QStringList interfaces = device.entryList({prefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : interfaces) {
        const QDir iface(device.filePath(name));
        const QStringList children = iface.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& child : children)
            if (child.startsWith(QLatin1String("tty")))
                return true;
    }
    return false;
}

} // namespace

const Chip* findChip(quint16 vendorId, quint16 productId)
{
    for (const Chip& c : Table)
        if (c.vendorId == vendorId && c.productId == productId)
            return &c;
    return nullptr;
}

QString idText(quint16 vendorId, quint16 productId)
{
    return QStringLiteral("%1:%2").arg(vendorId, 4, 16, QLatin1Char('0')).arg(productId, 4, 16, QLatin1Char('0'));
}

std::array<PortCable, 16> byPort(const PortMap& ports, const QList<SerialPortDescription>& list)
{
    std::array<PortCable, 16> out;
    QList<QString> listed;
    listed.reserve(list.size());
    for (const SerialPortDescription& d : list)
        listed.append(canonical(d.systemLocation));
    for (int n = 1; n <= PortMap::Count; ++n) {
        const QString path = ports.path(n);
        if (path.isEmpty())
            continue;
        const QString target = canonical(path);
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (listed[i] != target)
                continue;
            const SerialPortDescription& d = list[i];
            PortCable& c = out[n - 1];
            c.device = d.systemLocation;
            c.usb = d.hasIds;
            if (d.hasIds) {
                c.vendorId = d.vendorId;
                c.productId = d.productId;
                const Chip* chip = findChip(d.vendorId, d.productId);
                c.chip = chip ? QString::fromLatin1(chip->name) : idText(d.vendorId, d.productId);
                c.programmingCable = chip && chip->programmingCable;
            }
            break;
        }
    }
    return out;
}

QList<SerialPortDescription> systemPorts()
{
    return lister() ? lister()() : listSystemPorts();
}

void setPortLister(PortLister l)
{
    lister() = std::move(l);
}

std::optional<Offer> offerFor(int chosenPort, const PortMap& ports, const QList<SerialPortDescription>& list)
{
    const QString chosen = ports.path(chosenPort);
    if (chosen.isEmpty() || QFileInfo::exists(chosen))
        return std::nullopt;
    int cablesPlugged = 0;
    for (const SerialPortDescription& d : list) {
        const Chip* chip = d.hasIds ? findChip(d.vendorId, d.productId) : nullptr;
        if (chip && chip->programmingCable)
            ++cablesPlugged;
    }
    // With two cables plugged in, guessing could write into the wrong radio.
    if (cablesPlugged != 1)
        return std::nullopt;
    const auto cables = byPort(ports, list);
    for (int n = 1; n <= PortMap::Count; ++n) {
        const PortCable& c = cables[n - 1];
        if (c.programmingCable && n != chosenPort)
            return Offer{n, c.device, c.chip};
    }
    return std::nullopt;
}

Result offerQuestion(int chosenPort, const PortMap& ports, const Offer& offer)
{
    return Result::fail(TextId::CableOfferQuestion,
                        {QString::number(chosenPort), ports.path(chosenPort), offer.chip,
                         QString::number(offer.port), offer.device});
}

DeviceAccess deviceAccess(const QString& path)
{
    DeviceAccess a;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return a;
    a.groupMayReadWrite = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    // The reentrant lookups: several radios are programmed on threads of their own.
    std::vector<char> buffer(16384);
    group g {};
    group* found = nullptr;
    if (::getgrgid_r(st.st_gid, &g, buffer.data(), buffer.size(), &found) == 0 && found) {
        a.group = QString::fromLocal8Bit(g.gr_name);
        std::vector<char> pwBuffer(16384);
        passwd pw {};
        passwd* me = nullptr;
        if (::getpwuid_r(::getuid(), &pw, pwBuffer.data(), pwBuffer.size(), &me) == 0 && me) {
            a.userInGroup = pw.pw_gid == st.st_gid;
            for (char** m = g.gr_mem; m && *m && !a.userInGroup; ++m)
                a.userInGroup = qstrcmp(*m, pw.pw_name) == 0;
        }
    }
    a.sessionInGroup = ::getegid() == st.st_gid;
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        QList<gid_t> groups(count);
        const int got = ::getgroups(count, groups.data());
        for (int i = 0; i < got && !a.sessionInGroup; ++i)
            a.sessionInGroup = groups[i] == st.st_gid;
    }
    return a;
}

QString installedRule(const QString& root)
{
    // Where udev looks for rules, the administrator's folder first.
    for (const char* dir : {"etc/udev/rules.d", "run/udev/rules.d", "usr/local/lib/udev/rules.d",
                            "usr/lib/udev/rules.d", "lib/udev/rules.d"}) {
        const QString rule = QDir(root).filePath(QLatin1String(dir) + QStringLiteral("/70-rq300.rules"));
        if (QFileInfo(rule).isFile())
            return QDir::cleanPath(rule);
    }
    return {};
}

Result permissionAdvice(const QString& path, const DeviceAccess& access, const QString& rule)
{
    // Joining root's group is no advice to give; a device kept from its own
    // group is the udev rule's business as well.
    const bool groupHelps = !access.group.isEmpty() && access.group != QLatin1String("root")
                            && access.groupMayReadWrite;
    if (groupHelps && access.userInGroup && !access.sessionInGroup)
        return Result::fail(TextId::PortPermissionRelogin, {path, access.group});
    // The rule gives access to a cable plugged in after it was installed, to
    // the user logged in at the computer.
    if (!rule.isEmpty())
        return Result::fail(TextId::PortPermissionReplug, {path, rule});
    if (groupHelps && !access.sessionInGroup)
        return Result::fail(TextId::PortPermissionGroup, {path, access.group});
    return Result::fail(TextId::PortPermissionUdev, {path});
}

Result brailleClaim(const QString& path, const QString& sysRoot)
{
    const QDir devices(sysRoot + QStringLiteral("/bus/usb/devices"));
    const QStringList names = devices.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        // Interfaces ("1-1:1.0") carry no ids; only whole devices do.
        if (name.contains(u':'))
            continue;
        const QDir device(devices.filePath(name));
        if (readTrimmed(device.filePath(QStringLiteral("idVendor"))) != QLatin1String("1a86")
            || readTrimmed(device.filePath(QStringLiteral("idProduct"))) != QLatin1String("7523"))
            continue;
        if (!hasTtyChild(device))
            return Result::fail(TextId::CableClaimedByBraille, {path, name});
    }
    return Result::success();
}

Result openFailureAdvice(const QString& path, const QString& sysRoot, const QString& rulesRoot)
{
    if (path.isEmpty())
        return Result::success();
    if (!QFileInfo::exists(path))
        return brailleClaim(path, sysRoot);
    // QSerialPort reports a busy device and a forbidden one alike; only the
    // file's own access rights tell them apart.
    if (::access(QFile::encodeName(path).constData(), R_OK | W_OK) != 0 && errno == EACCES)
        return permissionAdvice(path, deviceAccess(path), installedRule(rulesRoot));
    return Result::success();
}

}
