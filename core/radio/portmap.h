#pragma once
#include <QString>
#include <array>

class Profile;

// The program's ports COM1 .. COM16 and the Linux device each one opens:
// COM1-COM8 /dev/ttyUSB0-7, COM9-COM12 /dev/ttyACM0-3, COM13-COM16
// /dev/ttyS0-3, unless section "ports" of sysini.ini names another path with
// a key "comN".
class PortMap {
public:
    static constexpr int Count = 16;
    PortMap();
    static PortMap fromProfile(const Profile& profile);

    QString path(int port) const;           // empty outside 1..16
    void setPath(int port, const QString& path);
    // "COM5" or a device path -> a device path; empty when unknown.
    QString resolve(const QString& portOrPath) const;

private:
    std::array<QString, Count> m_paths;
};
