#pragma once
#include <QDir>

#include "files/packfile.h"
#include "base/packstrings.h"

// The English pack over the built-in texts, as the program applies it: tests
// read failures in English.
inline const PackStrings& englishTexts()
{
    static const PackStrings texts = PackStrings::withFallback(
        PackFile::load(QDir(qEnvironmentVariable("RQ300_BIN_DIR")).filePath(QStringLiteral("eng_dll.lang")))
            .value_or(PackStrings()));
    return texts;
}
