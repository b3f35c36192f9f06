#include "core/protocol/Connection.h"
#include "core/protocol/Session.h"
#include "tests/support/ScriptedPeer.h"
#include "tests/support/SeamRecorder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

namespace qs {
namespace {

using test::Bytes;
using test::Script;
using test::ScriptedPeer;
using ::testing::IsEmpty;

Bytes Pattern(std::size_t size, std::uint8_t seed)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + i / 251);
    return bytes;
}

// A faulty client blocks instead of failing; two seconds is plenty on loopback.
Connection ConnectQuickly(const ScriptedPeer &peer)
{
    Connection connection = peer.connect();
    connection.socket().setReceiveTimeout(Milliseconds(2000));
    return connection;
}

std::uint16_t ClosedPort()
{
    Listener listener = Listener::listen(Ipv4Address::loopback(), 0);
    const std::uint16_t port = listener.port();
    listener.close();
    return port;
}

TEST(Framing, ReceiveExactAssemblesRepliesArrivingInPieces)
{
    // Sizes around the read-ahead chunk, read back in awkward steps.
    const std::size_t sizes[] = {1, 4095, 4096, 4097, 70000};
    const std::size_t steps[] = {1, 7, 4096, 5000, 3, 8192};
    for (const std::size_t size : sizes) {
        const Bytes reply = Pattern(size, static_cast<std::uint8_t>(size));
        const auto third = static_cast<std::ptrdiff_t>(size / 3);
        ScriptedPeer peer(Script()
                              .send(Bytes(reply.begin(), reply.begin() + third))
                              .stall(Milliseconds(5))
                              .send(Bytes(reply.begin() + third, reply.end() - third))
                              .stall(Milliseconds(5))
                              .send(Bytes(reply.end() - third, reply.end())));
        Connection connection = ConnectQuickly(peer);
        Bytes got(size);
        std::size_t have = 0;
        for (std::size_t i = 0; have < size; ++i) {
            const std::size_t n = std::min(steps[i % std::size(steps)], size - have);
            ASSERT_EQ(ReceiveExact(connection, got.data() + have, n), static_cast<long>(n))
                << "size " << size << " at " << have;
            have += n;
        }
        EXPECT_EQ(got, reply) << "size " << size;
    }
}

TEST(Framing, ExchangesOnOneConnectionShareWhatWasReadAhead)
{
    const Bytes first = Pattern(24, 1), second = Pattern(24, 2), third = Pattern(24, 3);
    const Bytes reply1 = Pattern(20, 11), reply2 = Pattern(36, 12), reply3 = Pattern(160, 13);
    // The second reply comes with the first, so the first read takes both off the socket.
    ScriptedPeer peer(Script()
                          .expect(first)
                          .send(test::Join({reply1, reply2}))
                          .expect(second)
                          .expect(third)
                          .send(reply3));
    Connection connection = ConnectQuickly(peer);
    const Bytes *requests[] = {&first, &second, &third};
    const Bytes *replies[] = {&reply1, &reply2, &reply3};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(connection.sendAll(requests[i]->data(), requests[i]->size()));
        Bytes got(replies[i]->size());
        ASSERT_EQ(ReceiveExact(connection, got.data(), got.size()), static_cast<long>(got.size()))
            << "exchange " << i;
        EXPECT_EQ(got, *replies[i]) << "exchange " << i;
    }
    connection.shutdownAndClose();
    EXPECT_THAT(peer.mismatches(), IsEmpty());
    EXPECT_EQ(peer.received(), test::Join({first, second, third}));
}

TEST(Framing, APeerClosingMidRecordEndsTheReceive)
{
    const Bytes record = Pattern(20, 5);
    const Bytes half(record.begin(), record.begin() + 10);
    enum class Reader { Buffered, ByteWise, UpTo };
    for (const Reader reader : {Reader::Buffered, Reader::ByteWise, Reader::UpTo}) {
        ScriptedPeer peer(Script().sendThenClose(half));
        Connection connection = ConnectQuickly(peer);
        Bytes got(record.size(), 0);
        switch (reader) {
        case Reader::Buffered:
            EXPECT_EQ(ReceiveExact(connection, got.data(), got.size()), 0);
            break;
        case Reader::ByteWise:
            EXPECT_EQ(ReceiveExactByteWise(connection.socket(), got.data(), got.size()), 0);
            break;
        case Reader::UpTo:
            EXPECT_EQ(ReceiveUpTo(connection, got.data(), got.size()), half.size());
            break;
        }
        // What did arrive is kept.
        EXPECT_TRUE(std::equal(half.begin(), half.end(), got.begin()))
            << "reader " << static_cast<int>(reader);
    }
}

// The late rest must never be taken for the reply to the next request on the connection.
TEST(Framing, AStalledPeerRunsIntoTheReceiveTimeoutAndTheConnectionEnds)
{
    ScriptedPeer peer(Script()
                          .send(Pattern(4, 9))
                          .stall(Milliseconds(400))
                          .send(Pattern(8, 1))
                          .stall(Milliseconds(2000)));
    Connection connection = peer.connect();
    connection.socket().setReceiveTimeout(Milliseconds(200));
    Bytes got(8);
    EXPECT_LT(ReceiveExact(connection, got.data(), got.size()), 0);
    EXPECT_TRUE(std::equal(got.begin(), got.begin() + 4, Pattern(4, 9).begin()));
    EXPECT_FALSE(connection.isOpen());
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_LT(ReceiveExact(connection, got.data(), got.size()), 0);
}

TEST(Framing, AClosedConnectionServesNothingReadAhead)
{
    ScriptedPeer peer(Script().send(Pattern(8, 3)).stall(Milliseconds(2000)));
    Connection connection = ConnectQuickly(peer);
    Bytes got(4);
    ASSERT_EQ(ReceiveExact(connection, got.data(), 4), 4);
    connection.shutdownAndClose();
    EXPECT_FALSE(connection.isOpen());
    EXPECT_LT(ReceiveExact(connection, got.data(), 4), 0);
    EXPECT_EQ(ReceiveUpTo(connection, got.data(), 4), 0u);
    EXPECT_FALSE(connection.sendAll(got.data(), got.size()));
}

TEST(Framing, OpenRequestConnectionUsesTheRequestPortOrShowsTheMessage)
{
    const Bytes header = Pattern(24, 4);
    ScriptedPeer peer(Script().expect(header));
    ServerEndpoint endpoint;
    endpoint.requestPort = peer.port();
    endpoint.pushPort = endpoint.klinePort = ClosedPort();
    test::SeamRecorder seam;
    Connection connection = OpenRequestConnection(endpoint, seam);
    ASSERT_TRUE(connection.isOpen());
    EXPECT_TRUE(connection.sendAll(header.data(), header.size()));
    connection.shutdownAndClose();
    EXPECT_THAT(peer.mismatches(), IsEmpty());
    EXPECT_THAT(seam.messages(), IsEmpty());

    endpoint.requestPort = endpoint.pushPort;
    EXPECT_FALSE(OpenRequestConnection(endpoint, seam).isOpen());
    const auto messages = seam.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "无法连接服务器，操作已取消");
    EXPECT_EQ(messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(messages[0].icon, MessageIcon::None);
    EXPECT_EQ(messages[0].caption, ""); // the application title
}

} // namespace
} // namespace qs
