#pragma once

#include "base/result.h"

class Profile;
struct ConfigLocation;

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
// The two keys of the configuration at `where`.
Values load(const ConfigLocation& where);
// Sets the two keys in the configuration at `where` and saves it, leaving
// every other line as it was (ConfigLocation::update).
Result save(const ConfigLocation& where, const Values& v);
}
