#include "appsession.h"

#include "document/settingsdocument.h"
#include "radio/commlog.h"
#include "radio/identity.h"
#include "radio/portmap.h"
#include "radio/seriallink.h"
#include "app/appstate.h"

AppSession::AppSession(ConfigLocation where)
    : m_doc(std::make_unique<SettingsDocument>()),
      m_state(std::make_unique<AppState>()),
      m_ports(std::make_unique<PortMap>()),
      m_identity(std::make_unique<RadioIdentity>()),
      m_log(std::make_unique<CommLog>()),
      m_link(std::make_unique<SerialLink>())
{
    m_link->setObjectName(QStringLiteral("MSComm1"));
    doc = m_doc.get();
    state = m_state.get();
    link = m_link.get();
    ports = m_ports.get();
    identity = m_identity.get();
    config = std::move(where);
}

// The link goes first (members end in reverse order): it may still point at
// the log.
AppSession::~AppSession() = default;
