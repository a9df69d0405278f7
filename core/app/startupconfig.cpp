#include "startupconfig.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "document/band.h"
#include "files/filesave.h"
#include "base/filewriter.h"
#include "app/configlocation.h"
#include "files/profile.h"
#include "base/systemlocale.h"
#include "base/textids.h"

namespace {
const QString Open = QStringLiteral("Open");
const QString OpenWritten = QStringLiteral("open");
const QString List = QStringLiteral("list");
const QString DefaultBand = QStringLiteral("400-470MHz");
}

StartupConfig StartupConfig::read(const Profile& ini)
{
    StartupConfig c;
    c.port = ini.intValue(Open, QStringLiteral("com"), 1);
    c.singlePort = ini.intValue(Open, QStringLiteral("co_mode"), 0) == 1;
    c.modelIndex = ini.intValue(Open, QStringLiteral("M_type"), 0);
    c.storedLanguage = ini.intValue(Open, QStringLiteral("lang"), 1);
    if (c.storedLanguage < 1 || c.storedLanguage > 3)
        c.storedLanguage = 1;
    c.language = startLanguage(c.storedLanguage, SystemLocale::defaultLanguageId());

    const int count = std::clamp(ini.intValue(List, QStringLiteral("listcount"), 0), 0, MaxBands);
    for (int i = 0; i < count; ++i) {
        const QString band = ini.value(List, QStringLiteral("combo%1").arg(i), DefaultBand);
        // A malformed entry would break every frequency commit; leave it out.
        if (Band::isWellFormed(band))
            c.bands << band;
    }
    c.selectedBand = ini.intValue(List, QStringLiteral("listnow"), 0);
    if (c.selectedBand < 0 || c.selectedBand >= c.bands.size())
        c.selectedBand = -1;
    c.ports = PortMap::fromProfile(ini);
    return c;
}

StartupConfig StartupConfig::load(const QString& path)
{
    return read(Profile::load(path));
}

int StartupConfig::startLanguage(int stored, int systemLanguageId)
{
    if (stored == 3)
        return 3;
    return systemLanguageId == 0x0804 ? 1 : 2;
}

QString StartupConfig::packName(int language)
{
    static const char* const names[] = {"cha_dll", "eng_dll", "ty"};
    return language >= 1 && language <= 3 ? QLatin1String(names[language - 1]) : QString();
}

QString StartupConfig::menuPackName(int language)
{
    static const char* const names[] = {"CHA_DLL", "eng_DLL", "ty"};
    return language >= 1 && language <= 3 ? QLatin1String(names[language - 1]) : QString();
}

void StartupConfig::writeTo(Profile& ini) const
{
    ini.renameSection(Open, OpenWritten);
    ini.setInt(OpenWritten, QStringLiteral("com"), port);
    ini.setInt(OpenWritten, QStringLiteral("co_mode"), singlePort ? 1 : 0);
    ini.setInt(OpenWritten, QStringLiteral("M_type"), modelIndex);
    ini.setInt(OpenWritten, QStringLiteral("lang"), language);
    ini.setInt(List, QStringLiteral("listnow"), selectedBand);
    ini.setInt(List, QStringLiteral("listcount"), int(bands.size()));
    for (int i = 0; i < bands.size(); ++i)
        ini.setValue(List, QStringLiteral("combo%1").arg(i), bands[i]);
}

Result StartupConfig::save(const QString& path, const QString& base) const
{
    ConfigLocation where;
    where.iniPath = path;
    where.defaultIni = base;
    return where.update([this](Profile& ini) { writeTo(ini); });
}
