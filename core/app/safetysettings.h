#pragma once

#include <QString>

class Profile;

// Whether a read keeps a backup and a write is checked by reading the radio
// back: section [safety] of sysini.ini, keys backup and verify (1 or 0), both
// on when missing.
namespace SafetySettings {
struct Values {
    bool backup = true;
    bool verify = true;
};
Values load(const Profile& ini);
void store(Profile& ini, const Values& v);
// Loads sysini.ini from `iniPath`, sets the two keys and saves it, leaving
// every other line as it was. False when it cannot be saved.
bool save(const QString& iniPath, const Values& v);
}
