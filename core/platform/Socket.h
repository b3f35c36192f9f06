#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace qs {

// IPv4 address in host byte order (127.0.0.1 is 0x7F000001).
struct Ipv4Address {
    std::uint32_t value = 0;

    static Ipv4Address loopback() { return {0x7F000001u}; }
    // Dotted text ("%d.%d.%d.%d"); false when the text is not a dotted IPv4 address.
    static bool parse(const std::string &text, Ipv4Address &out);
    std::string toString() const;
    friend bool operator==(Ipv4Address, Ipv4Address) = default;
};

// Resolves a host name to its first IPv4 address.
bool ResolveIpv4(const std::string &host, Ipv4Address &out);

// Starts the platform's socket layer once per process (Winsock 2.2 on Windows; elsewhere SIGPIPE is
// ignored so a vanished peer is a failed send). Creating a socket starts it too.
bool StartSocketLayer();
void StopSocketLayer();

using Milliseconds = std::chrono::milliseconds;

inline constexpr Milliseconds kConnectTimeout{10000};
inline constexpr Milliseconds kReceiveTimeout{30000};
inline constexpr Milliseconds kNoTimeout{0};

// Why this thread's last socket call failed, for the support log: "timed out", "cancelled",
// "closed by the peer" or the system's text. Empty before any failure.
std::string LastSocketErrorText();

// Lets another thread wake a socket's blocked receive without owning it. The owner's close and
// this shutdown exclude each other, so a descriptor number reused after close is never touched.
class SocketWaker {
public:
    SocketWaker() = default;
    void shutdown() const;
    bool empty() const { return !m_state; }
    // The socket was closed by its owner (or there never was one).
    bool closed() const;

private:
    friend class Socket;
    struct State;
    explicit SocketWaker(std::shared_ptr<State> state)
        : m_state(std::move(state))
    {}
    std::shared_ptr<State> m_state;
};

// A blocking TCP socket with one owner. Move-only; closed exactly once (by close() or destruction).
class Socket {
public:
    Socket();
    ~Socket();
    Socket(Socket &&) noexcept;
    Socket &operator=(Socket &&) noexcept;
    Socket(const Socket &) = delete;
    Socket &operator=(const Socket &) = delete;

    // Connects within connectTimeout; receiveTimeout of 0 means a receive may block forever.
    // Under the calling thread's CancelToken the socket is tracked from the start, so a cancel
    // ends a waiting connect as well as a later blocked receive.
    static Socket connect(Ipv4Address address, std::uint16_t port,
                          Milliseconds connectTimeout = kConnectTimeout,
                          Milliseconds receiveTimeout = kReceiveTimeout);

    // Two connected sockets of a local stream pair (tests and fuzz targets feed bytes through it).
    static bool makePair(Socket &first, Socket &second);

    bool isOpen() const;
    // One send call; bytes sent, or -1.
    long sendSome(const void *data, std::size_t size);
    // Loops until all bytes are sent; false on a send that fails or sends nothing.
    bool sendAll(const void *data, std::size_t size);
    // One receive call: bytes received (> 0), 0 when the peer closed, -1 on error or time-out.
    long receive(void *buffer, std::size_t size);
    void setReceiveTimeout(Milliseconds timeout);
    void shutdownBoth();
    void close();
    SocketWaker waker() const;

private:
    friend class Listener;
    explicit Socket(std::intptr_t handle);
    std::shared_ptr<SocketWaker::State> m_state;
};

// A listening IPv4 socket for the demo server and the tests' scripted peers.
class Listener {
public:
    Listener() = default;
    ~Listener();
    Listener(Listener &&) noexcept;
    Listener &operator=(Listener &&) noexcept;
    Listener(const Listener &) = delete;
    Listener &operator=(const Listener &) = delete;

    // Port 0 picks an ephemeral port; port() tells which.
    static Listener listen(Ipv4Address address, std::uint16_t port);
    bool isOpen() const;
    std::uint16_t port() const { return m_port; }
    // Waits up to timeout for a connection; an unopened Socket on time-out or after close().
    Socket accept(Milliseconds timeout);
    void close();

private:
    std::intptr_t m_handle = -1;
    std::uint16_t m_port = 0;
};

} // namespace qs
