#include <QByteArray>

#include "files/settingsfile.h"
#include "base/packstrings.h"
#include "document/settingkeys.h"

// Any bytes as a settings file. A read that is refused says why; a read that
// succeeds gives a document that, saved and read again, is the same document,
// and whose file is the same bytes the second time.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const DocumentData current = [] {
        DocumentData d;
        d.setBands({QStringLiteral("400-470MHz"), QStringLiteral("400-430MHz")});
        d.setChoice(Key::Band, 0);
        return d;
    }();
    const PackStrings& texts = PackStrings::builtIn();
    const ValueWords words = texts.words();

    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const SettingsFile::ReadResult first = SettingsFile::parse(bytes, current, words);
    if (!first.ok()) {
        if (first.error.ok())
            __builtin_trap();
        return 0;
    }
    if (first.modelIndex != first.data.choice(Key::Model))
        __builtin_trap();

    const QByteArray saved = SettingsFile::serialize(first.data, texts, u'.');
    const SettingsFile::ReadResult second = SettingsFile::parse(saved, first.data, words);
    if (!second.ok() || second.bandAdded || !(second.data == first.data))
        __builtin_trap();
    if (SettingsFile::serialize(second.data, texts, u'.') != saved)
        __builtin_trap();
    return 0;
}
