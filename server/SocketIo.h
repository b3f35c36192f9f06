#pragma once

#include "core/platform/Socket.h"

#include <cstddef>

namespace qs::server {

// The server's own exact read (it does not share the client's exchange code): all of size
// bytes, or false when the connection ends, fails or times out first.
bool ReceiveAll(Socket &socket, void *buffer, std::size_t size);

} // namespace qs::server
