#include <QByteArray>

#include "base/packstrings.h"
#include "document/settingsdocument.h"

// A language pack of any content is applied without harm: every word stays
// a string, option positions survive.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const PackStrings texts = PackStrings::withFallback(PackStrings::parse(bytes));
    SettingsDocument doc;
    doc.setChoice(QStringLiteral("func.ComboBox27"), 4);
    doc.setCell(1, 1, QStringLiteral("446.00625"));
    doc.setCell(1, 5, QStringLiteral("高功率"));
    doc.applyLanguage(texts);
    if (doc.choice(QStringLiteral("func.ComboBox27")) != 4 || doc.toneList().size() != 273)
        __builtin_trap();
    return 0;
}
