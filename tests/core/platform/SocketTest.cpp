#include "core/platform/Socket.h"

#include "core/platform/CancelToken.h"
#include "tests/support/HangingListener.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace qs {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class SocketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartSocketLayer());
        m_listener = Listener::listen(Ipv4Address::loopback(), 0);
        ASSERT_TRUE(m_listener.isOpen());
        ASSERT_NE(m_listener.port(), 0);
    }

    // A connected pair over loopback: the client side and the accepted side.
    void connectPair(Socket &client, Socket &server, Milliseconds receiveTimeout = kNoTimeout)
    {
        client
            = Socket::connect(Ipv4Address::loopback(), m_listener.port(), 2000ms, receiveTimeout);
        ASSERT_TRUE(client.isOpen());
        server = m_listener.accept(2000ms);
        ASSERT_TRUE(server.isOpen());
    }

    static std::string receiveExactly(Socket &socket, std::size_t size)
    {
        std::string text(size, '\0');
        std::size_t got = 0;
        while (got < size) {
            const long n = socket.receive(text.data() + got, size - got);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        text.resize(got);
        return text;
    }

    Listener m_listener;
};

TEST_F(SocketTest, SendAllDeliversMoreThanOneSendCallTakes)
{
    Socket client;
    Socket server;
    connectPair(client, server);

    std::vector<char> payload(8 * 1024 * 1024);
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<char>(i * 131 % 251);
    auto reader = std::async(std::launch::async, [&server, size = payload.size()] {
        return receiveExactly(server, size);
    });
    EXPECT_TRUE(client.sendAll(payload.data(), payload.size()));
    const std::string received = reader.get();
    ASSERT_EQ(received.size(), payload.size());
    EXPECT_EQ(std::memcmp(received.data(), payload.data(), payload.size()), 0);
}

TEST_F(SocketTest, SendingToAVanishedPeerFailsInsteadOfKillingTheProcess)
{
    Socket client;
    Socket server;
    connectPair(client, server);
    server.close();

    const std::vector<char> chunk(64 * 1024, 'x');
    bool failed = false;
    for (int i = 0; i < 200 && !failed; ++i)
        failed = !client.sendAll(chunk.data(), chunk.size());
    EXPECT_TRUE(failed);
}

TEST_F(SocketTest, RefusedConnectionFailsWithoutWaitingForTheTimeout)
{
    const std::uint16_t port = m_listener.port();
    m_listener.close();

    const auto start = Clock::now();
    Socket socket = Socket::connect(Ipv4Address::loopback(), port, 10000ms, 1000ms);
    EXPECT_FALSE(socket.isOpen());
    EXPECT_LT(Clock::now() - start, 5s);
}

TEST_F(SocketTest, ReceiveTimeOutReturnsMinusOneAndKeepsTheConnection)
{
    Socket client;
    Socket server;
    connectPair(client, server, 200ms);

    const auto start = Clock::now();
    char byte = 0;
    EXPECT_EQ(client.receive(&byte, 1), -1);
    EXPECT_GE(Clock::now() - start, 150ms);

    // Late bytes still arrive.
    ASSERT_TRUE(server.sendAll("z", 1));
    EXPECT_EQ(client.receive(&byte, 1), 1);
    EXPECT_EQ(byte, 'z');

    // Set afterwards, on an accepted socket.
    server.setReceiveTimeout(100ms);
    EXPECT_EQ(server.receive(&byte, 1), -1);
}

TEST_F(SocketTest, WakerShutdownFromAnotherThreadWakesABlockedReceive)
{
    Socket client;
    Socket server;
    connectPair(client, server);

    const SocketWaker waker = client.waker();
    ASSERT_FALSE(waker.empty());
    auto blocked = std::async(std::launch::async, [&client] {
        char byte = 0;
        return client.receive(&byte, 1);
    });
    EXPECT_EQ(blocked.wait_for(100ms), std::future_status::timeout);

    waker.shutdown();
    const bool woke = blocked.wait_for(5s) == std::future_status::ready;
    if (!woke)
        server.close(); // unblock the reader so the test can end
    ASSERT_TRUE(woke);
    EXPECT_LE(blocked.get(), 0);
}

TEST_F(SocketTest, WakerOfAClosedSocketNeverTouchesTheDescriptorNumberReused)
{
    Socket first;
    Socket firstPeer;
    connectPair(first, firstPeer);
    const SocketWaker staleWaker = first.waker();
    first.close();

    // The next socket usually gets the number just freed.
    Socket second;
    Socket secondPeer;
    connectPair(second, secondPeer);
    staleWaker.shutdown();

    ASSERT_TRUE(secondPeer.sendAll("ok", 2));
    EXPECT_EQ(receiveExactly(second, 2), "ok");
    ASSERT_TRUE(second.sendAll("up", 2));
    EXPECT_EQ(receiveExactly(secondPeer, 2), "up");
}

TEST_F(SocketTest, MovedFromAndClosedSocketsAreInertAndCloseOnce)
{
    Socket client;
    Socket server;
    connectPair(client, server);

    Socket moved(std::move(client));
    EXPECT_FALSE(client.isOpen()); // NOLINT(bugprone-use-after-move)
    EXPECT_TRUE(client.waker().empty());
    char byte = 0;
    EXPECT_EQ(client.receive(&byte, 1), -1);
    EXPECT_EQ(client.sendSome("a", 1), -1);
    EXPECT_FALSE(client.sendAll("a", 1));
    client.close();
    client.shutdownBoth();

    // Move assignment closes the connection it replaces, destruction the one it holds.
    Socket other;
    Socket otherPeer;
    connectPair(other, otherPeer);
    other = std::move(moved);
    EXPECT_EQ(otherPeer.receive(&byte, 1), 0);
    {
        Socket scoped = std::move(other);
        ASSERT_TRUE(scoped.sendAll("m", 1));
    }
    EXPECT_EQ(receiveExactly(server, 1), "m");
    EXPECT_EQ(server.receive(&byte, 1), 0);
}

// What a worker under a token waits on ends soon after another thread cancels: a connect to a
// server that never answers, a receive from one that never sends, and a connect after the cancel.
TEST_F(SocketTest, ACancelEndsWhatTheWorkerWaitsOnInsteadOfItsTimeOut)
{
    const test::HangingListener hanging;
    enum class Wait { Connect, Receive, ConnectAfterCancel };
    for (const Wait wait : {Wait::Connect, Wait::Receive, Wait::ConnectAfterCancel}) {
        CancelToken token;
        if (wait == Wait::ConnectAfterCancel)
            token.cancel();
        auto worker = std::async(std::launch::async, [&] {
            const CancelToken::Scope scope(token);
            const std::uint16_t port = wait == Wait::Connect ? hanging.port() : m_listener.port();
            Socket socket = Socket::connect(Ipv4Address::loopback(), port, 10s, kNoTimeout);
            char byte = 0;
            return socket.isOpen() && socket.receive(&byte, 1) > 0;
        });
        Socket accepted = m_listener.accept(wait == Wait::Receive ? 2000ms : 0ms);
        std::this_thread::sleep_for(100ms);
        const auto cancelled = Clock::now();
        token.cancel();
        ASSERT_EQ(worker.wait_for(3s), std::future_status::ready) << static_cast<int>(wait);
        EXPECT_FALSE(worker.get());
        EXPECT_LT(Clock::now() - cancelled, 3s);
    }
}

TEST(SocketPairTest, CarriesBytesBothWays)
{
    Socket first;
    Socket second;
    ASSERT_TRUE(Socket::makePair(first, second));
    ASSERT_TRUE(first.sendAll("ab", 2));
    char buffer[2] = {};
    ASSERT_EQ(second.receive(buffer, 2), 2);
    EXPECT_EQ(std::string(buffer, 2), "ab");
    ASSERT_TRUE(second.sendAll("c", 1));
    EXPECT_EQ(first.receive(buffer, 1), 1);
    EXPECT_EQ(buffer[0], 'c');
    second.close();
    second.close();
    EXPECT_FALSE(second.isOpen());
    EXPECT_EQ(first.receive(buffer, 1), 0);
}

TEST(SocketListenerTest, AcceptTimesOutAndClosedListenerAcceptsNothing)
{
    Listener listener = Listener::listen(Ipv4Address::loopback(), 0);
    ASSERT_TRUE(listener.isOpen());
    EXPECT_FALSE(listener.accept(50ms).isOpen());

    Listener moved = std::move(listener);
    EXPECT_FALSE(listener.isOpen()); // NOLINT(bugprone-use-after-move)
    EXPECT_FALSE(listener.accept(10ms).isOpen());
    ASSERT_TRUE(moved.isOpen());
    Socket client = Socket::connect(Ipv4Address::loopback(), moved.port(), 2000ms, 1000ms);
    ASSERT_TRUE(client.isOpen());
    EXPECT_TRUE(moved.accept(2000ms).isOpen());

    moved.close();
    EXPECT_FALSE(moved.isOpen());
    EXPECT_FALSE(moved.accept(10ms).isOpen());
}

TEST(SocketListenerTest, PortInUseByAnotherListenerFails)
{
    Listener first = Listener::listen(Ipv4Address::loopback(), 0);
    ASSERT_TRUE(first.isOpen());
    Listener second = Listener::listen(Ipv4Address::loopback(), first.port());
    EXPECT_FALSE(second.isOpen());
}

TEST(SocketAddressTest, ParsesDottedTextAndRejectsEverythingElse)
{
    Ipv4Address address;
    ASSERT_TRUE(Ipv4Address::parse("127.0.0.1", address));
    EXPECT_EQ(address, Ipv4Address::loopback());
    ASSERT_TRUE(Ipv4Address::parse("192.168.10.254", address));
    EXPECT_EQ(address.value, 0xC0A80AFEu);
    EXPECT_EQ(address.toString(), "192.168.10.254");
    ASSERT_TRUE(Ipv4Address::parse("0.0.0.0", address));
    EXPECT_EQ(address.value, 0u);
    ASSERT_TRUE(Ipv4Address::parse("255.255.255.255", address));
    EXPECT_EQ(address.toString(), "255.255.255.255");

    const Ipv4Address before{0x01020304u};
    for (const char *bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.4 ", " 1.2.3.4",
                            "a.b.c.d", "1..2.3", "1.2.3.", "0001.2.3.4", "1.2.3.-4", "localhost"}) {
        address = before;
        EXPECT_FALSE(Ipv4Address::parse(bad, address)) << bad;
        EXPECT_EQ(address, before) << bad;
    }
}

TEST(SocketAddressTest, ResolvesNumericTextAndLocalhost)
{
    Ipv4Address address;
    ASSERT_TRUE(ResolveIpv4("10.1.2.3", address));
    EXPECT_EQ(address.value, 0x0A010203u);
    ASSERT_TRUE(ResolveIpv4("localhost", address));
    EXPECT_EQ(address.value >> 24, 127u);
}

} // namespace
} // namespace qs
