#pragma once
#include <memory>

#include "app/appcontext.h"
#include "app/configlocation.h"

class CommLog;

// The owner of the shared state: the settings document, the serial link, the
// port map, the radio identity fields, the application state and the
// communication log, and where the configuration lives. It is made before
// the first window and ends after the last one (main() holds it on the
// stack above the main window), so no window needs an order of deletion.
// Windows take it as the AppContext it is.
class AppSession : public AppContext {
public:
    explicit AppSession(ConfigLocation where);
    ~AppSession();
    AppSession(const AppSession&) = delete;
    AppSession& operator=(const AppSession&) = delete;

    const ConfigLocation& where() const { return config; }
    CommLog& commLog() { return *m_log; }

private:
    std::unique_ptr<SettingsDocument> m_doc;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<PortMap> m_ports;
    std::unique_ptr<RadioIdentity> m_identity;
    std::unique_ptr<CommLog> m_log;
    std::unique_ptr<SerialLink> m_link;
};
