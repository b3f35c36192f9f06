#include "tests/support/HangingListener.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace qs::test {

namespace {

sockaddr_in Loopback(std::uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

} // namespace

HangingListener::HangingListener()
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), length) != 0
        || ::listen(m_listener, 0) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return;
    m_port = ntohs(address.sin_port);
    // A backlog of 0 holds one connection; the second stays in its handshake. Both fill it.
    for (int i = 0; i < 2; ++i) {
        const int filler = ::socket(AF_INET, SOCK_STREAM, 0);
        ::fcntl(filler, F_SETFL, ::fcntl(filler, F_GETFL) | O_NONBLOCK);
        const sockaddr_in target = Loopback(m_port);
        ::connect(filler, reinterpret_cast<const sockaddr *>(&target), sizeof target);
        m_fillers.push_back(filler);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

HangingListener::~HangingListener()
{
    for (const int filler : m_fillers)
        ::close(filler);
    if (m_listener >= 0)
        ::close(m_listener);
}

} // namespace qs::test
