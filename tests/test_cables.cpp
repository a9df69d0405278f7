#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "radio/cables.h"
#include "radio/portmap.h"
#include "base/textids.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

SerialPortDescription usb(const QString& location, quint16 vendor, quint16 product)
{
    return SerialPortDescription{location, true, vendor, product};
}

SerialPortDescription plain(const QString& location)
{
    return SerialPortDescription{location, false, 0, 0};
}

void touch(const QString& path, const QByteArray& content = {})
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

// A port map on which no port reaches a real device of this machine.
PortMap nowhere(const QString& root)
{
    PortMap map;
    for (int n = 1; n <= PortMap::Count; ++n)
        map.setPath(n, root + QStringLiteral("/missing-%1").arg(n));
    return map;
}

// A USB device as sysfs shows it: ids as files with a newline, and one
// interface directory that holds the tty a serial driver made, if any.
void sysfsDevice(const QString& sys, const QString& name, const char* vendor, const char* product,
                 const QString& tty)
{
    const QString dir = sys + QStringLiteral("/bus/usb/devices/") + name;
    touch(dir + QStringLiteral("/idVendor"), QByteArray(vendor) + '\n');
    touch(dir + QStringLiteral("/idProduct"), QByteArray(product) + '\n');
    QDir().mkpath(dir + u'/' + name + QStringLiteral(":1.0"));
    if (!tty.isEmpty())
        QDir().mkpath(dir + u'/' + name + QStringLiteral(":1.0/") + tty);
}

// openFailureAdvice as an unprivileged user sees it (root may open
// anything): run in a child process as nobody, the Result sent back as lines.
Result adviceAsNobody(const QString& path, const QString& rulesRoot)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return Result::fail(-1);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        const Result r = Cables::openFailureAdvice(path, QStringLiteral("/sys"), rulesRoot);
        const QByteArray text = (QStringList{QString::number(r.textId)} + r.args).join(u'\n').toUtf8();
        [[maybe_unused]] const ssize_t n = ::write(fds[1], text.constData(), size_t(text.size()));
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray text;
    char buf[512];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
        text.append(buf, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (pid < 0 || WEXITSTATUS(status) != 0)
        return Result::fail(-1);
    QStringList lines = QString::fromUtf8(text).split(u'\n');
    const int id = lines.takeFirst().toInt();
    return Result::fail(id, lines);
}

} // namespace

class TestCables : public QObject {
    Q_OBJECT
private slots:
    void chipTable()
    {
        struct Case { quint16 vendor, product; const char* name; bool cable; };
        const Case known[] = {
            {0x1a86, 0x7523, "CH340", true},   {0x067b, 0x2303, "PL2303", true},
            {0x10c4, 0xea60, "CP210x", true},  {0x0403, 0x6001, "FT232R", true},
            {0x0403, 0x6014, "FT232H", false}, {0x1a86, 0x55d4, "CH9102", true},
            {0x0403, 0x6015, "FT231X", true},  {0x067b, 0x23f3, "PL2303GS", true},
            {0x10c4, 0xea70, "CP2105", true},  {0x1a86, 0x55d3, "CH343", false},
        };
        for (const Case& c : known) {
            const Cables::Chip* chip = Cables::findChip(c.vendor, c.product);
            QVERIFY2(chip, c.name);
            QCOMPARE(chip->name, c.name);
            QCOMPARE(chip->programmingCable, c.cable);
        }
        // A vendor's other product, or a product id under another vendor, is unknown.
        QVERIFY(!Cables::findChip(0x1a86, 0x2303));
        QVERIFY(!Cables::findChip(0x2341, 0x0043));
        QCOMPARE(Cables::idText(0x0403, 0x6001), "0403:6001");
        QCOMPARE(Cables::idText(0x10c4, 0xea60), "10c4:ea60");
    }

    void portsMatchTheListedDevices()
    {
        QTemporaryDir tmp;
        const QString dev = tmp.path();
        for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyACM0", "ttyS0", "ttyUSB7"})
            touch(dev + u'/' + QLatin1String(name));
        QDir().mkpath(dev + QStringLiteral("/by-id"));
        QVERIFY(QFile::link(dev + QStringLiteral("/ttyUSB1"), dev + QStringLiteral("/by-id/usb-cable-port0")));

        PortMap map = nowhere(dev);
        map.setPath(1, dev + QStringLiteral("/ttyUSB0"));
        map.setPath(2, dev + QStringLiteral("/by-id/usb-cable-port0"));   // a link to ttyUSB1
        map.setPath(9, dev + QStringLiteral("/ttyACM0"));
        map.setPath(13, dev + QStringLiteral("/ttyS0"));
        const QList<SerialPortDescription> list{
            usb(dev + QStringLiteral("/ttyUSB0"), 0x1a86, 0x7523),
            usb(dev + QStringLiteral("/ttyUSB1"), 0x0403, 0x6014),
            usb(dev + QStringLiteral("/ttyACM0"), 0x2341, 0x0043),
            plain(dev + QStringLiteral("/ttyS0")),
            // Listed, but no COM number maps to it.
            usb(dev + QStringLiteral("/ttyUSB7"), 0x067b, 0x2303),
        };
        const auto cables = Cables::byPort(map, list);

        QCOMPARE(cables[0].device, dev + QStringLiteral("/ttyUSB0"));
        QCOMPARE(cables[0].chip, "CH340");
        QVERIFY(cables[0].programmingCable);
        // Found through the link; an adapter that is not a programming cable is named only.
        QCOMPARE(cables[1].device, dev + QStringLiteral("/ttyUSB1"));
        QCOMPARE(cables[1].chip, "FT232H");
        QVERIFY(!cables[1].programmingCable);
        // An unknown USB device shows its ids.
        QCOMPARE(cables[8].chip, "2341:0043");
        QVERIFY(cables[8].usb);
        QVERIFY(!cables[8].programmingCable);
        // A built-in port is there, but has no chip to name.
        QVERIFY(cables[12].present());
        QVERIFY(!cables[12].usb);
        QVERIFY(cables[12].chip.isEmpty());
        for (int n : {3, 4, 5, 6, 7, 8, 10, 11, 12, 14, 15, 16}) {
            QVERIFY2(!cables[n - 1].present(), qPrintable(QString::number(n)));
            QVERIFY(cables[n - 1].chip.isEmpty());
        }
        // Pointing COM8 at the PL2303 makes it show there.
        map.setPath(8, dev + QStringLiteral("/ttyUSB7"));
        QCOMPARE(Cables::byPort(map, list)[7].chip, "PL2303");
        QVERIFY(Cables::byPort(map, {}).at(0).chip.isEmpty());
    }

    void offerTheOnlyPluggedInCable()
    {
        QTemporaryDir tmp;
        const QString dev = tmp.path();
        touch(dev + QStringLiteral("/ttyUSB3"));
        touch(dev + QStringLiteral("/ttyUSB4"));
        touch(dev + QStringLiteral("/ttyUSB5"));
        PortMap map = nowhere(dev);
        map.setPath(4, dev + QStringLiteral("/ttyUSB3"));
        map.setPath(5, dev + QStringLiteral("/ttyUSB4"));
        map.setPath(6, dev + QStringLiteral("/ttyUSB5"));
        const auto ch340 = usb(dev + QStringLiteral("/ttyUSB3"), 0x1a86, 0x7523);
        const auto ftdiH = usb(dev + QStringLiteral("/ttyUSB4"), 0x0403, 0x6014);
        const auto cp210x = usb(dev + QStringLiteral("/ttyUSB5"), 0x10c4, 0xea60);

        // COM2 has no device; the CH340 on COM4 is offered, the other adapter is no rival.
        const auto offer = Cables::offerFor(2, map, {ftdiH, ch340});
        QVERIFY(offer);
        QCOMPARE(offer->port, 4);
        QCOMPARE(offer->device, ch340.systemLocation);
        QCOMPARE(offer->chip, "CH340");
        const Result q = Cables::offerQuestion(2, map, *offer);
        QCOMPARE(q.textId, int(TextId::CableOfferQuestion));
        QCOMPARE(q.args, QStringList({"2", map.path(2), "CH340", "4", ch340.systemLocation}));

        // Two cables: which radio is meant cannot be guessed.
        QVERIFY(!Cables::offerFor(2, map, {ch340, cp210x}));
        // A chosen port whose device is there is left alone, even if another adapter is a cable.
        QVERIFY(!Cables::offerFor(5, map, {ch340, ftdiH}));
        // No programming cable at all.
        QVERIFY(!Cables::offerFor(2, map, {ftdiH}));
        QVERIFY(!Cables::offerFor(2, map, {}));
        // The only cable has no COM number.
        map.setPath(4, dev + QStringLiteral("/missing-4"));
        QVERIFY(!Cables::offerFor(2, map, {ch340}));
    }

    void permissionAdviceNamesTheFix()
    {
        using A = Cables::DeviceAccess;
        const QString path = QStringLiteral("/dev/ttyUSB0");
        // Not in the device's group: join it.
        QCOMPARE(Cables::permissionAdvice(path, A{"dialout", true, false, false}),
                 Result::fail(TextId::PortPermissionGroup, {path, "dialout"}));
        QCOMPARE(Cables::permissionAdvice(path, A{"uucp", true, false, false}),
                 Result::fail(TextId::PortPermissionGroup, {path, "uucp"}));
        // Joined, but this login predates it.
        QCOMPARE(Cables::permissionAdvice(path, A{"dialout", true, true, false}),
                 Result::fail(TextId::PortPermissionRelogin, {path, "dialout"}));
        // No group would help: root's, one without read and write, an unknown
        // one, or one the session already has.
        for (const A& a : {A{"root", true, false, false}, A{"dialout", false, false, false},
                           A{QString(), false, false, false}, A{"dialout", true, true, true}})
            QCOMPARE(Cables::permissionAdvice(path, a), Result::fail(TextId::PortPermissionUdev, {path}));
        // With the rule installed (the package), no copying: plug the cable in
        // again, or log in anew; a group joined before this login still says so.
        const QString rule = QStringLiteral("/usr/lib/udev/rules.d/70-rq300.rules");
        for (const A& a : {A{"dialout", true, false, false}, A{"root", true, false, false}, A{"dialout", true, true, true}})
            QCOMPARE(Cables::permissionAdvice(path, a, rule), Result::fail(TextId::PortPermissionReplug, {path, rule}));
        QCOMPARE(Cables::permissionAdvice(path, A{"dialout", true, true, false}, rule),
                 Result::fail(TextId::PortPermissionRelogin, {path, "dialout"}));
    }

    void installedRuleIsFoundWhereUdevReads()
    {
        QTemporaryDir root;
        QCOMPARE(Cables::installedRule(root.path()), QString());
        // Not where udev reads rules (the multiarch library folder, a prefix's share/).
        touch(root.filePath("usr/lib/x86_64-linux-gnu/udev/rules.d/70-rq300.rules"));
        touch(root.filePath("usr/share/rq300/70-rq300.rules"));
        QCOMPARE(Cables::installedRule(root.path()), QString());
        touch(root.filePath("lib/udev/rules.d/70-rq300.rules"));
        QCOMPARE(Cables::installedRule(root.path()), root.filePath("lib/udev/rules.d/70-rq300.rules"));
        // An administrator's copy comes first.
        touch(root.filePath("etc/udev/rules.d/70-rq300.rules"));
        QCOMPARE(Cables::installedRule(root.path()), root.filePath("etc/udev/rules.d/70-rq300.rules"));
    }

    void deviceAccessReadsTheOwnerGroup()
    {
        const group* dialout = ::getgrnam("dialout");
        if (!dialout)
            QSKIP("this system has no dialout group");
        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("ttyUSB0"));
        touch(path);
        const QByteArray native = QFile::encodeName(path);
        if (::chown(native.constData(), ::getuid(), dialout->gr_gid) != 0)
            QSKIP("cannot give the file to the dialout group here");
        QVERIFY(::chmod(native.constData(), 0660) == 0);
        Cables::DeviceAccess a = Cables::deviceAccess(path);
        QCOMPARE(a.group, "dialout");
        QVERIFY(a.groupMayReadWrite);
        QVERIFY(::chmod(native.constData(), 0640) == 0);
        a = Cables::deviceAccess(path);
        QCOMPARE(a.group, "dialout");
        QVERIFY(!a.groupMayReadWrite);
        QCOMPARE(Cables::deviceAccess(tmp.filePath(QStringLiteral("missing"))).group, QString());
    }

    void openFailureAdviceForAForbiddenDevice()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to open the device as another user");
        const group* dialout = ::getgrnam("dialout");
        if (!dialout)
            QSKIP("this system has no dialout group");
        QTemporaryDir tmp;
        QVERIFY(QFile::setPermissions(tmp.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                      | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                                      | QFileDevice::ExeOther));
        const QString path = tmp.filePath(QStringLiteral("ttyUSB0"));
        touch(path);
        const QByteArray native = QFile::encodeName(path);
        // A serial device as udev makes it: the dialout group may open it.
        QVERIFY(::chown(native.constData(), 0, dialout->gr_gid) == 0);
        QVERIFY(::chmod(native.constData(), 0660) == 0);
        const QString rules = tmp.filePath(QStringLiteral("root"));   // no rule installed there yet
        QCOMPARE(adviceAsNobody(path, rules), Result::fail(TextId::PortPermissionGroup, {path, "dialout"}));
        // Only its owner may: no group helps.
        QVERIFY(::chown(native.constData(), 0, 0) == 0);
        QVERIFY(::chmod(native.constData(), 0600) == 0);
        QCOMPARE(adviceAsNobody(path, rules), Result::fail(TextId::PortPermissionUdev, {path}));
        // The package has put the rule in place: the cable predates it.
        const QString rule = tmp.filePath(QStringLiteral("root/lib/udev/rules.d/70-rq300.rules"));
        touch(rule);
        QCOMPARE(adviceAsNobody(path, rules), Result::fail(TextId::PortPermissionReplug, {path, rule}));
        // Open to everybody: nothing to advise.
        QVERIFY(::chmod(native.constData(), 0666) == 0);
        QCOMPARE(adviceAsNobody(path, rules), Result::fail(0, {}));
    }

    void brailleServiceClaimingACh340()
    {
        QTemporaryDir tmp;
        const QString sys = tmp.path();
        const QString path = QStringLiteral("/dev/ttyUSB0");
        // No USB devices at all, then a CH340 the serial driver has.
        QVERIFY(Cables::brailleClaim(path, sys).ok());
        sysfsDevice(sys, QStringLiteral("1-1"), "1a86", "7523", QStringLiteral("ttyUSB0"));
        QVERIFY(Cables::brailleClaim(path, sys).ok());
        // Another chip without a tty is none of the braille service's doing.
        sysfsDevice(sys, QStringLiteral("1-2"), "067b", "2303", QString());
        QVERIFY(Cables::brailleClaim(path, sys).ok());
        // A CH340 without a tty.
        sysfsDevice(sys, QStringLiteral("1-3.2"), "1a86", "7523", QString());
        QCOMPARE(Cables::brailleClaim(path, sys),
                 Result::fail(TextId::CableClaimedByBraille, {path, "1-3.2"}));

        // The open failure of a missing device says so; a device that is
        // there, or no device set, adds nothing.
        QCOMPARE(Cables::openFailureAdvice(tmp.filePath(QStringLiteral("gone")), sys).textId,
                 int(TextId::CableClaimedByBraille));
        const QString present = tmp.filePath(QStringLiteral("ttyUSB9"));
        touch(present);
        QVERIFY(Cables::openFailureAdvice(present, sys).ok());
        QVERIFY(Cables::openFailureAdvice(QString(), sys).ok());
    }
};

QTEST_GUILESS_MAIN(TestCables)
#include "test_cables.moc"
