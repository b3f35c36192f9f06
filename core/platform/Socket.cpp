#include "core/platform/Socket.h"

#include "core/platform/CancelToken.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace qs {

namespace {

#ifdef _WIN32
using NativeHandle = SOCKET;
constexpr std::intptr_t kInvalid = -1;

NativeHandle Native(std::intptr_t handle)
{
    return static_cast<NativeHandle>(handle);
}
std::intptr_t Wrap(NativeHandle handle)
{
    return handle == INVALID_SOCKET ? kInvalid : static_cast<std::intptr_t>(handle);
}
void CloseNative(std::intptr_t handle)
{
    ::closesocket(Native(handle));
}
bool Interrupted()
{
    return ::WSAGetLastError() == WSAEINTR;
}
bool InProgress()
{
    return ::WSAGetLastError() == WSAEWOULDBLOCK;
}
int PollNative(WSAPOLLFD *fds, unsigned long count, int timeout)
{
    return ::WSAPoll(fds, count, timeout);
}
using PollFd = WSAPOLLFD;
constexpr int kShutdownBoth = SD_BOTH;
constexpr int kSendFlags = 0;
#else
using NativeHandle = int;
constexpr std::intptr_t kInvalid = -1;

NativeHandle Native(std::intptr_t handle)
{
    return static_cast<NativeHandle>(handle);
}
std::intptr_t Wrap(NativeHandle handle)
{
    return handle < 0 ? kInvalid : handle;
}
void CloseNative(std::intptr_t handle)
{
    ::close(Native(handle));
}
bool Interrupted()
{
    return errno == EINTR;
}
bool InProgress()
{
    return errno == EINPROGRESS;
}
int PollNative(pollfd *fds, nfds_t count, int timeout)
{
    return ::poll(fds, count, timeout);
}
using PollFd = pollfd;
constexpr int kShutdownBoth = SHUT_RDWR;
#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_NOSIGNAL;
#else
constexpr int kSendFlags = 0;
#endif
#endif

std::mutex gLayerMutex;
bool gLayerStarted = false;

enum class Failure { None, System, TimedOut, Cancelled, PeerClosed };
thread_local Failure tFailure = Failure::None;
thread_local int tSystemError = 0;

int NativeError()
{
#ifdef _WIN32
    return ::WSAGetLastError();
#else
    return errno;
#endif
}

bool IsTimeOut(int error)
{
#ifdef _WIN32
    return error == WSAETIMEDOUT;
#else
    return error == EAGAIN || error == EWOULDBLOCK || error == ETIMEDOUT;
#endif
}

void NoteFailure(Failure failure, int systemError = 0)
{
    tFailure = failure == Failure::System && IsTimeOut(systemError) ? Failure::TimedOut : failure;
    tSystemError = systemError;
}

void NoteSystemFailure()
{
    NoteFailure(Failure::System, NativeError());
}

// Descriptors must not leak into a restarted copy of the program.
void SetCloseOnExec([[maybe_unused]] std::intptr_t handle)
{
#ifndef _WIN32
    const int flags = ::fcntl(Native(handle), F_GETFD);
    if (flags >= 0)
        ::fcntl(Native(handle), F_SETFD, flags | FD_CLOEXEC);
#endif
}

std::intptr_t NewTcpSocket()
{
    if (!StartSocketLayer())
        return kInvalid;
    const std::intptr_t handle = Wrap(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (handle != kInvalid)
        SetCloseOnExec(handle);
    return handle;
}

bool SetBlocking(std::intptr_t handle, bool blocking)
{
#ifdef _WIN32
    u_long nonBlocking = blocking ? 0 : 1;
    return ::ioctlsocket(Native(handle), FIONBIO, &nonBlocking) == 0;
#else
    const int flags = ::fcntl(Native(handle), F_GETFL);
    if (flags < 0)
        return false;
    const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    return ::fcntl(Native(handle), F_SETFL, wanted) == 0;
#endif
}

bool SetReceiveTimeoutOn(std::intptr_t handle, Milliseconds timeout)
{
    const long long ms = std::max<long long>(0, timeout.count());
#ifdef _WIN32
    const DWORD value = static_cast<DWORD>(std::min<long long>(ms, MAXDWORD));
    return ::setsockopt(Native(handle), SOL_SOCKET, SO_RCVTIMEO,
                        reinterpret_cast<const char *>(&value), sizeof value)
           == 0;
#else
    timeval value{};
    value.tv_sec = static_cast<time_t>(ms / 1000);
    value.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
    return ::setsockopt(Native(handle), SOL_SOCKET, SO_RCVTIMEO, &value, sizeof value) == 0;
#endif
}

int PollTimeout(Milliseconds timeout)
{
    return static_cast<int>(std::clamp<long long>(timeout.count(), 0, INT_MAX));
}

// Waits for events on one handle; > 0 ready, 0 time-out, < 0 error. A negative timeout waits
// forever; an interrupted wait resumes with the time that is left.
int WaitFor(std::intptr_t handle, short events, Milliseconds timeout)
{
    using Clock = std::chrono::steady_clock;
    const bool forever = timeout.count() < 0;
    const auto deadline = Clock::now() + (forever ? Milliseconds(0) : timeout);
    for (;;) {
        PollFd fd{};
        fd.fd = Native(handle);
        fd.events = events;
        int wait = -1;
        if (!forever) {
            const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now());
            wait = PollTimeout(std::max(left, Milliseconds(0)));
        }
        const int result = PollNative(&fd, 1, wait);
        if (result < 0 && Interrupted())
            continue;
        return result;
    }
}

// Not every platform wakes a connecting socket that is shut down, so a cancel is also looked
// for between short waits.
bool WaitForConnect(std::intptr_t handle, Milliseconds timeout, const CancelToken *token)
{
    using Clock = std::chrono::steady_clock;
    constexpr Milliseconds kSlice{50};
    const bool forever = timeout.count() <= 0;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        Milliseconds wait = kSlice;
        if (!forever)
            wait
                = std::min(wait, std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()));
        const int ready = WaitFor(handle, POLLOUT, std::max(wait, Milliseconds(0)));
        if (ready != 0)
            return ready > 0 && (token == nullptr || !token->cancelled());
        if ((token != nullptr && token->cancelled()) || (!forever && Clock::now() >= deadline))
            return false;
    }
}

sockaddr_in MakeAddress(Ipv4Address address, std::uint16_t port)
{
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_port = htons(port);
    result.sin_addr.s_addr = htonl(address.value);
    return result;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Addresses and the socket layer

bool Ipv4Address::parse(const std::string &text, Ipv4Address &out)
{
    std::uint32_t value = 0;
    std::size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != '.')
                return false;
            ++pos;
        }
        std::size_t digits = 0;
        unsigned octet = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4) {
            octet = octet * 10 + static_cast<unsigned>(text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || digits > 3 || octet > 255)
            return false;
        value = (value << 8) | octet;
    }
    if (pos != text.size())
        return false;
    out.value = value;
    return true;
}

std::string Ipv4Address::toString() const
{
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (value >> 24) & 0xFFu, (value >> 16) & 0xFFu,
                  (value >> 8) & 0xFFu, value & 0xFFu);
    return text;
}

bool ResolveIpv4(const std::string &host, Ipv4Address &out)
{
    if (Ipv4Address::parse(host, out))
        return true;
    if (!StartSocketLayer())
        return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *answers = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &answers) != 0 || answers == nullptr)
        return false;
    bool found = false;
    for (const addrinfo *answer = answers; answer != nullptr; answer = answer->ai_next) {
        if (answer->ai_family != AF_INET || answer->ai_addr == nullptr
            || answer->ai_addrlen < sizeof(sockaddr_in))
            continue;
        sockaddr_in address{};
        std::memcpy(&address, answer->ai_addr, sizeof address);
        out.value = ntohl(address.sin_addr.s_addr);
        found = true;
        break;
    }
    ::freeaddrinfo(answers);
    return found;
}

bool StartSocketLayer()
{
    std::lock_guard lock(gLayerMutex);
    if (gLayerStarted)
        return true;
#ifdef _WIN32
    WSADATA data{};
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return false;
#else
    // A peer that goes away must show up as a failed send, not kill the process.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    gLayerStarted = true;
    return true;
}

void StopSocketLayer()
{
    std::lock_guard lock(gLayerMutex);
    if (!gLayerStarted)
        return;
#ifdef _WIN32
    ::WSACleanup();
#endif
    gLayerStarted = false;
}

std::string LastSocketErrorText()
{
    switch (tFailure) {
    case Failure::None:
        return {};
    case Failure::TimedOut:
        return "timed out";
    case Failure::Cancelled:
        return "cancelled";
    case Failure::PeerClosed:
        return "closed by the peer";
    case Failure::System:
        break;
    }
    return std::system_category().message(tSystemError);
}

// ---------------------------------------------------------------------------------------------
// Waker

struct SocketWaker::State {
    explicit State(std::intptr_t h)
        : handle(h)
    {}
    std::mutex mutex;
    const std::intptr_t handle;
    bool closed = false;
};

void SocketWaker::shutdown() const
{
    if (!m_state)
        return;
    std::lock_guard lock(m_state->mutex);
    if (!m_state->closed)
        ::shutdown(Native(m_state->handle), kShutdownBoth);
}

bool SocketWaker::closed() const
{
    if (!m_state)
        return true;
    std::lock_guard lock(m_state->mutex);
    return m_state->closed;
}

// ---------------------------------------------------------------------------------------------
// Socket

Socket::Socket() = default;

Socket::Socket(std::intptr_t handle)
{
    if (handle != kInvalid)
        m_state = std::make_shared<SocketWaker::State>(handle);
}

Socket::~Socket()
{
    close();
}

Socket::Socket(Socket &&other) noexcept
    : m_state(std::move(other.m_state))
{}

Socket &Socket::operator=(Socket &&other) noexcept
{
    if (this != &other) {
        close();
        m_state = std::move(other.m_state);
    }
    return *this;
}

namespace {
// A request goes out as two sends (header, then body): without this the body waits for the
// peer's delayed acknowledgement, some 40 ms on every exchange.
void DisableNagle(std::intptr_t handle)
{
    const int on = 1;
    ::setsockopt(Native(handle), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char *>(&on),
                 sizeof on);
}
} // namespace

Socket Socket::connect(Ipv4Address address, std::uint16_t port, Milliseconds connectTimeout,
                       Milliseconds receiveTimeout)
{
    CancelToken *const token = CancelToken::current();
    const auto givenUp = [token] {
        return token != nullptr && token->cancelled();
    };
    if (givenUp()) {
        NoteFailure(Failure::Cancelled);
        return Socket();
    }
    const std::intptr_t handle = NewTcpSocket();
    if (handle == kInvalid) {
        NoteSystemFailure();
        return Socket();
    }
    Socket socket(handle);
    if (token != nullptr && !token->track(socket.waker())) {
        NoteFailure(Failure::Cancelled);
        return Socket();
    }

    if (!SetBlocking(handle, false)) {
        NoteSystemFailure();
        return Socket();
    }
    const sockaddr_in target = MakeAddress(address, port);
    int result
        = ::connect(Native(handle), reinterpret_cast<const sockaddr *>(&target), sizeof target);
    if (result != 0) {
        if (!InProgress() && !Interrupted()) {
            NoteSystemFailure();
            return Socket();
        }
        if (!WaitForConnect(handle, connectTimeout, token)) {
            NoteFailure(givenUp() ? Failure::Cancelled : Failure::TimedOut);
            return Socket();
        }
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(Native(handle), SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&error),
                         &length)
                != 0
            || error != 0) {
            NoteFailure(givenUp() ? Failure::Cancelled : Failure::System, error);
            return Socket();
        }
    }
    if (!SetBlocking(handle, true))
        return Socket();
    if (receiveTimeout.count() > 0 && !SetReceiveTimeoutOn(handle, receiveTimeout))
        return Socket();
    DisableNagle(handle);
    return socket;
}

bool Socket::makePair(Socket &first, Socket &second)
{
    first.close();
    second.close();
    if (!StartSocketLayer())
        return false;
#ifdef _WIN32
    // No local stream pair here: a loopback connection serves the same purpose.
    Listener listener = Listener::listen(Ipv4Address::loopback(), 0);
    if (!listener.isOpen())
        return false;
    Socket a = connect(Ipv4Address::loopback(), listener.port(), kConnectTimeout, kNoTimeout);
    if (!a.isOpen())
        return false;
    Socket b = listener.accept(kConnectTimeout);
    if (!b.isOpen())
        return false;
    first = std::move(a);
    second = std::move(b);
    return true;
#else
    int handles[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, handles) != 0)
        return false;
    SetCloseOnExec(handles[0]);
    SetCloseOnExec(handles[1]);
    first = Socket(handles[0]);
    second = Socket(handles[1]);
    return true;
#endif
}

bool Socket::isOpen() const
{
    return m_state != nullptr;
}

long Socket::sendSome(const void *data, std::size_t size)
{
    if (!m_state)
        return -1;
    // One call never sends more than an int can count (Winsock's limit).
    const std::size_t chunk = std::min<std::size_t>(size, INT_MAX);
    for (;;) {
#ifdef _WIN32
        const int sent = ::send(Native(m_state->handle), static_cast<const char *>(data),
                                static_cast<int>(chunk), kSendFlags);
#else
        const ssize_t sent = ::send(Native(m_state->handle), data, chunk, kSendFlags);
#endif
        if (sent < 0 && Interrupted())
            continue;
        if (sent < 0)
            NoteSystemFailure();
        return sent < 0 ? -1 : static_cast<long>(sent);
    }
}

bool Socket::sendAll(const void *data, std::size_t size)
{
    const char *bytes = static_cast<const char *>(data);
    while (size > 0) {
        const long sent = sendSome(bytes, size);
        if (sent <= 0)
            return false;
        bytes += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return m_state != nullptr;
}

long Socket::receive(void *buffer, std::size_t size)
{
    if (!m_state)
        return -1;
    const std::size_t chunk = std::min<std::size_t>(size, INT_MAX);
    for (;;) {
#ifdef _WIN32
        const int got = ::recv(Native(m_state->handle), static_cast<char *>(buffer),
                               static_cast<int>(chunk), 0);
#else
        const ssize_t got = ::recv(Native(m_state->handle), buffer, chunk, 0);
#endif
        if (got < 0 && Interrupted())
            continue;
        if (got < 0)
            NoteSystemFailure();
        else if (got == 0)
            NoteFailure(Failure::PeerClosed);
        return got < 0 ? -1 : static_cast<long>(got);
    }
}

void Socket::setReceiveTimeout(Milliseconds timeout)
{
    if (m_state)
        SetReceiveTimeoutOn(m_state->handle, timeout);
}

void Socket::shutdownBoth()
{
    if (m_state)
        ::shutdown(Native(m_state->handle), kShutdownBoth);
}

void Socket::close()
{
    if (!m_state)
        return;
    {
        std::lock_guard lock(m_state->mutex);
        if (!m_state->closed) {
            CloseNative(m_state->handle);
            m_state->closed = true;
        }
    }
    m_state.reset();
}

SocketWaker Socket::waker() const
{
    return SocketWaker(m_state);
}

// ---------------------------------------------------------------------------------------------
// Listener

Listener::~Listener()
{
    close();
}

Listener::Listener(Listener &&other) noexcept
    : m_handle(std::exchange(other.m_handle, kInvalid))
    , m_port(std::exchange(other.m_port, 0))
{}

Listener &Listener::operator=(Listener &&other) noexcept
{
    if (this != &other) {
        close();
        m_handle = std::exchange(other.m_handle, kInvalid);
        m_port = std::exchange(other.m_port, 0);
    }
    return *this;
}

Listener Listener::listen(Ipv4Address address, std::uint16_t port)
{
    Listener listener;
    const std::intptr_t handle = NewTcpSocket();
    if (handle == kInvalid)
        return listener;
    listener.m_handle = handle;

    int reuse = 1;
    ::setsockopt(Native(handle), SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char *>(&reuse),
                 sizeof reuse);
    const sockaddr_in local = MakeAddress(address, port);
    if (::bind(Native(handle), reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0
        || ::listen(Native(handle), SOMAXCONN) != 0) {
        listener.close();
        return listener;
    }
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    if (::getsockname(Native(handle), reinterpret_cast<sockaddr *>(&bound), &length) != 0) {
        listener.close();
        return listener;
    }
    listener.m_port = ntohs(bound.sin_port);
    return listener;
}

bool Listener::isOpen() const
{
    return m_handle != kInvalid;
}

Socket Listener::accept(Milliseconds timeout)
{
    if (m_handle == kInvalid)
        return Socket();
    if (WaitFor(m_handle, POLLIN, std::max(timeout, Milliseconds(0))) <= 0)
        return Socket();
    for (;;) {
        const std::intptr_t accepted = Wrap(::accept(Native(m_handle), nullptr, nullptr));
        if (accepted == kInvalid) {
            if (Interrupted())
                continue;
            return Socket();
        }
        SetCloseOnExec(accepted);
        // Some systems hand the listener's non-blocking mode down; ours are blocking.
        SetBlocking(accepted, true);
        DisableNagle(accepted);
        return Socket(accepted);
    }
}

void Listener::close()
{
    if (m_handle == kInvalid)
        return;
    CloseNative(m_handle);
    m_handle = kInvalid;
    m_port = 0;
}

} // namespace qs
