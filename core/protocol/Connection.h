#pragma once

#include "core/platform/Socket.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qs {

class DesktopSeam;
struct ServerEndpoint;

// A connected socket with its receive buffer. Requests that share one connection share the
// buffer, so nothing read ahead is lost between exchanges.
class Connection {
public:
    Connection() = default;
    explicit Connection(Socket socket);

    bool isOpen() const { return m_socket.isOpen(); }
    Socket &socket() { return m_socket; }
    SocketWaker waker() const { return m_socket.waker(); }

    // False when a send fails or sends nothing; loops until every byte is sent.
    bool sendAll(const void *data, std::size_t size);
    // One receive into the caller's buffer, served from what was read ahead first. A receive
    // that times out or fails closes the connection, so every later step on it fails.
    long receiveSome(void *buffer, std::size_t size);
    // Shut down both directions, then close.
    void shutdownAndClose();
    void close();

    // The command of the last request sent on it, for the support log (-1 before any).
    void noteCommand(std::int32_t command) { m_command = command; }
    std::int32_t lastCommand() const { return m_command; }

private:
    long endIfFailed(long received);

    Socket m_socket;
    std::vector<char> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    std::int32_t m_command = -1;
};

// One support-log line for an exchange that failed at step ("connect", "header", "body",
// "reply", "count"), with the socket layer's reason.
void LogFailedExchange(std::int32_t command, const char *step);

// Exactly n bytes into buffer and n is returned; otherwise the failing receive's result (0 when
// the peer closed, negative on error or time-out). Bytes that did arrive stay in the buffer.
long ReceiveExact(Connection &connection, void *buffer, std::size_t n);

// Reads until n bytes have arrived or the connection ends; the number of bytes that arrived.
std::size_t ReceiveUpTo(Connection &connection, void *buffer, std::size_t n);

// The same contract, one byte per receive call, straight from the socket (kept to measure the
// buffered read against).
long ReceiveExactByteWise(Socket &socket, void *buffer, std::size_t n);

// Connects to the request port. On failure shows "无法连接服务器，操作已取消" and returns a closed
// connection.
Connection OpenRequestConnection(const ServerEndpoint &endpoint, DesktopSeam &seam,
                                 Milliseconds connectTimeout = kConnectTimeout);

} // namespace qs
