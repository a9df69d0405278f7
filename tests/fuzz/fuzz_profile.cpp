#include <QByteArray>

#include "files/profile.h"

// Any bytes make a profile; reading values and writing one back must not fail
// and must keep the file's other bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    Profile p = Profile::parse(bytes);
    if (p.serialize() != bytes)
        __builtin_trap();
    (void)p.intValue(QStringLiteral("Open"), QStringLiteral("com"), 1);
    (void)p.value(QStringLiteral("list"), QStringLiteral("combo0"));
    p.renameSection(QStringLiteral("Open"), QStringLiteral("open"));
    p.setInt(QStringLiteral("open"), QStringLiteral("com"), 3);
    p.setValue(QStringLiteral("list"), QStringLiteral("combo0"), QStringLiteral("400-470MHz"));
    const Profile again = Profile::parse(p.serialize());
    if (again.intValue(QStringLiteral("OPEN"), QStringLiteral("com"), 0) != 3)
        __builtin_trap();
    return 0;
}
