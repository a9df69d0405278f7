#include "safetysettings.h"

#include "files/profile.h"

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

bool save(const QString& iniPath, const Values& v)
{
    Profile ini = Profile::load(iniPath);
    store(ini, v);
    return ini.save(iniPath).ok();
}

}
