#pragma once

#include "core/protocol/Session.h"
#include "server/DemoOptions.h"

#include <string>

namespace qs {
class DesktopSeam;
}

namespace qs::test {

// A demo server on ephemeral ports that draws "1234" in every picture and moves prices only when
// told to.
server::DemoOptions QuietDemoOptions();

// Picture and login through the client's own exchanges; the session is established on success.
bool LogInToDemo(const ServerEndpoint &endpoint, DesktopSeam &seam, Session &session,
                 const std::string &member = "demo", const std::string &password = "demo");

} // namespace qs::test
