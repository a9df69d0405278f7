#pragma once
#include "app/configlocation.h"

class AppState;
class PortMap;
class SerialLink;
class SettingsDocument;
struct RadioIdentity;

// What every window is given: the settings document, the shared application
// state, the serial link, the port map and the radio identity fields, which
// it only points at (AppSession owns them and outlives every window; a test
// may point it at its own), and where the configuration lives. A window made
// without a configuration (tests) reads the defaults and stores nothing.
struct AppContext {
    SettingsDocument* doc = nullptr;
    AppState* state = nullptr;
    SerialLink* link = nullptr;
    PortMap* ports = nullptr;
    RadioIdentity* identity = nullptr;
    ConfigLocation config;
};
