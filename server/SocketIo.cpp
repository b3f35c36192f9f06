#include "server/SocketIo.h"

#include <cstdint>

namespace qs::server {

bool ReceiveAll(Socket &socket, void *buffer, std::size_t size)
{
    auto *bytes = static_cast<std::uint8_t *>(buffer);
    while (size > 0) {
        const long got = socket.receive(bytes, size);
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace qs::server
