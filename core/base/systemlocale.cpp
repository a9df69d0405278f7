#include "systemlocale.h"

#include <QLocale>
#include <optional>

namespace {
std::optional<int> g_lang;
std::optional<QChar> g_sep;
}

namespace SystemLocale {

int defaultLanguageId()
{
    if (g_lang)
        return *g_lang;
    const QLocale l = QLocale::system();
    if (l.language() == QLocale::Chinese && l.territory() == QLocale::China)
        return 0x0804;
    return 0x0409;
}

QChar decimalSeparator()
{
    if (g_sep)
        return *g_sep;
    const QString d = QLocale::system().decimalPoint();
    return d == QLatin1String(",") ? QChar(u',') : QChar(u'.');
}

void setForTesting(int languageId, QChar sep)
{
    g_lang = languageId;
    g_sep = sep;
}

void clearTestingOverride()
{
    g_lang.reset();
    g_sep.reset();
}

}
