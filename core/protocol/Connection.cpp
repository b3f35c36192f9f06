#include "core/protocol/Connection.h"

#include "core/platform/DesktopSeam.h"
#include "core/platform/SupportLog.h"
#include "core/protocol/Session.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace qs {

namespace {

// One receive call fills this much; every record and reply of the protocol but the picture fits.
constexpr std::size_t kChunkSize = 4096;

} // namespace

Connection::Connection(Socket socket)
    : m_socket(std::move(socket))
{}

bool Connection::sendAll(const void *data, std::size_t size)
{
    return m_socket.sendAll(data, size);
}

long Connection::receiveSome(void *buffer, std::size_t size)
{
    if (size == 0)
        return 0;
    if (m_begin == m_end) {
        // A request at least as large as a chunk gains nothing from the detour.
        if (size >= kChunkSize)
            return endIfFailed(m_socket.receive(buffer, size));
        m_buffer.resize(kChunkSize);
        const long got = endIfFailed(m_socket.receive(m_buffer.data(), m_buffer.size()));
        if (got <= 0)
            return got;
        m_begin = 0;
        m_end = static_cast<std::size_t>(got);
    }
    const std::size_t served = std::min(size, m_end - m_begin);
    std::memcpy(buffer, m_buffer.data() + m_begin, served);
    m_begin += served;
    return static_cast<long>(served);
}

long Connection::endIfFailed(long received)
{
    // After a time-out the reply may still be on its way; read later, it would be taken for the
    // answer to the next request on this connection.
    if (received < 0)
        close();
    return received;
}

void Connection::shutdownAndClose()
{
    m_socket.shutdownBoth();
    close();
}

void Connection::close()
{
    m_socket.close();
    m_begin = m_end = 0;
}

long ReceiveExact(Connection &connection, void *buffer, std::size_t n)
{
    char *out = static_cast<char *>(buffer);
    std::size_t have = 0;
    while (have < n) {
        const long got = connection.receiveSome(out + have, n - have);
        if (got <= 0)
            return got;
        have += static_cast<std::size_t>(got);
    }
    return static_cast<long>(n);
}

std::size_t ReceiveUpTo(Connection &connection, void *buffer, std::size_t n)
{
    char *out = static_cast<char *>(buffer);
    std::size_t have = 0;
    while (have < n) {
        const long got = connection.receiveSome(out + have, n - have);
        if (got <= 0)
            break;
        have += static_cast<std::size_t>(got);
    }
    return have;
}

long ReceiveExactByteWise(Socket &socket, void *buffer, std::size_t n)
{
    char *out = static_cast<char *>(buffer);
    for (std::size_t i = 0; i < n; ++i) {
        const long got = socket.receive(out + i, 1);
        if (got <= 0)
            return got;
    }
    return static_cast<long>(n);
}

void LogFailedExchange(std::int32_t command, const char *step)
{
    std::string details = command < 0 ? std::string() : "command=" + std::to_string(command) + " ";
    details += "step=";
    details += step;
    const std::string reason = LastSocketErrorText();
    if (!reason.empty())
        details += " error=" + reason;
    SupportLog::line("exchange-failed", details);
}

Connection OpenRequestConnection(const ServerEndpoint &endpoint, DesktopSeam &seam,
                                 Milliseconds connectTimeout)
{
    Socket socket
        = Socket::connect(endpoint.address, endpoint.requestPort, connectTimeout, kReceiveTimeout);
    if (!socket.isOpen()) {
        LogFailedExchange(-1, "connect");
        seam.messageBox("无法连接服务器，操作已取消", MessageIcon::None, MessageButtons::Ok);
        return Connection();
    }
    return Connection(std::move(socket));
}

} // namespace qs
