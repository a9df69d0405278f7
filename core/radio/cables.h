#pragma once
#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "base/result.h"

class PortMap;

// A serial port as the system lists it (QSerialPortInfo), reduced to what the
// cable lookup needs so that tests can describe ports that do not exist.
struct SerialPortDescription {
    QString systemLocation;   // "/dev/ttyUSB0"
    bool hasIds = false;      // a USB device with vendor and product ids
    quint16 vendorId = 0;
    quint16 productId = 0;
};

// USB-serial adapters: which chip sits behind each COM number, which of them
// look like a radio programming cable, and what to tell a user whose cable
// cannot be opened.
namespace Cables {

struct Chip {
    quint16 vendorId;
    quint16 productId;
    const char* name;
    bool programmingCable;    // one of the chips the udev rule 70-rq300.rules covers
};

// nullptr for a pair of ids the table does not know.
const Chip* findChip(quint16 vendorId, quint16 productId);
// "1a86:7523"
QString idText(quint16 vendorId, quint16 productId);

// What is plugged in at one COM number.
struct PortCable {
    QString device;           // the listed system location; empty when nothing is there
    bool usb = false;
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString chip;             // "CH340"; the ids for an unknown chip; empty without ids
    bool programmingCable = false;
    bool present() const { return !device.isEmpty(); }
};

// COM1 .. COM16 (index 0 .. 15): the listed port at the device each maps to.
// A mapped path that is a symbolic link (/dev/serial/by-id/...) matches the
// device it points to.
std::array<PortCable, 16> byPort(const PortMap& ports, const QList<SerialPortDescription>& list);

// The system's serial ports, or what a test has put in their place.
QList<SerialPortDescription> systemPorts();
using PortLister = std::function<QList<SerialPortDescription>()>;
// An empty lister restores the system's.
void setPortLister(PortLister lister);

// The one programming cable Read and Write offer to use instead of a chosen
// port that has no device.
struct Offer {
    int port = 0;
    QString device;
    QString chip;
};
// Only when the chosen port's device is missing and exactly one programming
// cable is plugged in, at a COM number.
std::optional<Offer> offerFor(int chosenPort, const PortMap& ports, const QList<SerialPortDescription>& list);
Result offerQuestion(int chosenPort, const PortMap& ports, const Offer& offer);

// Who may open a device, from its owner group and the user's groups.
struct DeviceAccess {
    QString group;                // the device's group owner, e.g. "dialout"
    bool groupMayReadWrite = false;
    bool userInGroup = false;     // listed as a member (or it is the user's own group)
    bool sessionInGroup = false;  // this process already has the group
};
DeviceAccess deviceAccess(const QString& path);
// The udev rule 70-rq300.rules where udev reads rules below `root` (the
// package puts it in /usr/lib/udev/rules.d, an administrator in
// /etc/udev/rules.d); empty when it is in none of them.
QString installedRule(const QString& root = QStringLiteral("/"));
// Why a device refused a user and what fixes it: the group to join, the
// fresh login that makes a new membership count, the udev rule to install,
// or, with the rule installed already (`rule`, as installedRule() finds it),
// plugging the cable in again or a new login at the computer.
Result permissionAdvice(const QString& path, const DeviceAccess& access, const QString& rule = {});

// A CH340 that is plugged in but has no serial device, while `path` is
// missing: the braille display service claims that chip's id for a display
// of its own. Success when no such cable is found. `sysRoot` is the sysfs
// mount point.
Result brailleClaim(const QString& path, const QString& sysRoot = QStringLiteral("/sys"));

// What an open failure of `path` has to tell beyond "failed": the fix for a
// permission problem, or the braille service that took the cable. Success
// when neither applies. The udev rules are looked for below `rulesRoot`.
Result openFailureAdvice(const QString& path, const QString& sysRoot = QStringLiteral("/sys"),
                         const QString& rulesRoot = QStringLiteral("/"));

}
