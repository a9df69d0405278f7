#pragma once
#include <QString>

class AppState;
class PortMap;
class SerialLink;
class SettingsDocument;
struct RadioIdentity;

// What every window is given: the settings document, the shared application
// state, the serial link, the port map, the radio identity fields and the
// first directory of the language packs. It only points at them: AppSession
// owns them and outlives every window (a test may point it at its own).
struct AppContext {
    SettingsDocument* doc = nullptr;
    AppState* state = nullptr;
    SerialLink* link = nullptr;
    PortMap* ports = nullptr;
    RadioIdentity* identity = nullptr;
    QString exeDir;
};
