#pragma once
#include <QString>
#include <QStringList>

#include "radio/portmap.h"
#include "base/result.h"

class Profile;

// The start-up values both programs take from sysini.ini, and the one place
// that writes them back at exit. Sections and keys:
//   [Open] com, co_mode, M_type, lang   (read as "Open", written as "open")
//   [list] listcount, combo0.., listnow
//   [ports] comN=/path                  (read only; see PortMap)
// A missing key, or one that is not a number, takes its default; keys the
// program does not write are kept as the file held them.
struct StartupConfig {
    // More bands than any installation ships: a damaged file must not make
    // start-up build a list of millions.
    static constexpr int MaxBands = 64;

    int port = 1;              // "com", COM1 .. COM16 (other values as stored)
    bool singlePort = false;   // "co_mode" == 1
    int modelIndex = 0;        // "M_type"
    int storedLanguage = 1;    // "lang" as stored, 1..3 (anything else read as 1)
    int language = 1;          // the language to start in (startLanguage); stored as "lang" at exit
    QStringList bands;         // the well-formed entries of the stored list
    int selectedBand = -1;     // "listnow" when it names an entry, otherwise -1
    PortMap ports;

    static StartupConfig read(const Profile& ini);
    // Reads `path`; a missing file gives every default.
    static StartupConfig load(const QString& path);

    // The language the programs start in: a stored 3 (traditional Chinese)
    // stays, otherwise the system language decides (1 on a system whose
    // default language is 0x0804, else 2).
    static int startLanguage(int stored, int systemLanguageId);

    // The pack of a language number at start-up and on a model change
    // ("cha_dll", "eng_dll", "ty"), and the spelling the language menu uses
    // ("CHA_DLL", "eng_DLL", "ty"); empty outside 1..3.
    static QString packName(int language);
    static QString menuPackName(int language);

    // What the exit stores, over the lines of `ini`: [open] com, co_mode,
    // M_type, lang, then [list] listnow, listcount, combo0.. in that order.
    void writeTo(Profile& ini) const;
    // Reads the file at `path` (or `base`, the installed default, while there
    // is none; missing is fine), writes the values over it and saves the
    // result to `path` completely or not at all. Fails with
    // TextId::ConfigWriteFailed, the path and the system's reason.
    Result save(const QString& path, const QString& base = {}) const;
};
