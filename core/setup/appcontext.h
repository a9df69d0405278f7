#pragma once
#include <QString>

class AppState;
class PortMap;
class SerialLink;
class SettingsDocument;
struct RadioIdentity;

// What every window is given: the settings document, the shared application
// state, the serial link, the port map, the radio identity fields and the
// directory of the executable (packs, sysini.ini). The main window owns them.
struct AppContext {
    SettingsDocument* doc = nullptr;
    AppState* state = nullptr;
    SerialLink* link = nullptr;
    PortMap* ports = nullptr;
    RadioIdentity* identity = nullptr;
    QString exeDir;
};
