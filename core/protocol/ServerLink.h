#pragma once

#include "core/protocol/Session.h"

namespace qs {

class DesktopSeam;

// Everything a request needs besides its own body: where the server is, whose session, and where
// failures are shown. Cheap to copy; the session and the seam outlive every link.
class ServerLink {
public:
    ServerLink(const ServerEndpoint &endpoint, const Session &session, DesktopSeam &seam)
        : m_endpoint(endpoint)
        , m_session(&session)
        , m_seam(&seam)
    {}

    const ServerEndpoint &endpoint() const { return m_endpoint; }
    const Session &session() const { return *m_session; }
    DesktopSeam &seam() const { return *m_seam; }

private:
    ServerEndpoint m_endpoint;
    const Session *m_session;
    DesktopSeam *m_seam;
};

} // namespace qs
