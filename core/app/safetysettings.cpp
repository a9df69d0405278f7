#include "safetysettings.h"

#include "files/profile.h"
#include "app/configlocation.h"

namespace SafetySettings {

namespace {
const QString Section = QStringLiteral("safety");
}

Values load(const Profile& ini)
{
    Values v;
    v.backup = ini.intValue(Section, QStringLiteral("backup"), 1) != 0;
    v.verify = ini.intValue(Section, QStringLiteral("verify"), 1) != 0;
    return v;
}

void store(Profile& ini, const Values& v)
{
    ini.setInt(Section, QStringLiteral("backup"), v.backup ? 1 : 0);
    ini.setInt(Section, QStringLiteral("verify"), v.verify ? 1 : 0);
}

Values load(const ConfigLocation& where)
{
    return load(where.load());
}

Result save(const ConfigLocation& where, const Values& v)
{
    return where.update([&v](Profile& ini) { store(ini, v); });
}

}
