#pragma once
#include <QString>
#include <optional>

#include "base/packstrings.h"
#include "base/result.h"

// Language pack files beside the program: UTF-8 text, one "id=text" per
// line, named by the pack name in lower case and ".lang".
namespace PackFile {

// Reads a pack file; nullopt when it is missing, unreadable, too large to be
// a pack or holds no text of the program, and then *why says which.
std::optional<PackStrings> load(const QString& path, Result* why = nullptr);
constexpr qint64 MaxFileSize = 4 * 1024 * 1024;
// The pack file for a pack name in a directory, the name compared without
// regard to letter case ("CHA_DLL" finds cha_dll.lang); empty if none.
QString find(const QString& dir, const QString& packName);

}
