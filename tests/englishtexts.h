#pragma once
#include <QDir>

#include "setup/packstrings.h"

// The English pack over the built-in texts, as the program applies it: tests
// read failures in English.
inline const PackStrings& englishTexts()
{
    static const PackStrings texts = PackStrings::withFallback(
        PackStrings::loadFile(QDir(qEnvironmentVariable("RQ300_BIN_DIR")).filePath(QStringLiteral("eng_dll.lang")))
            .value_or(PackStrings()));
    return texts;
}
