#include "core/protocol/PushChannel.h"

#include "core/platform/AnsiCodec.h"
#include "core/protocol/PushEventSink.h"
#include "core/protocol/PushStreamReader.h"
#include "core/protocol/RequestHeader.h"
#include "tests/support/HangingListener.h"
#include "tests/support/KLineRecords.h"
#include "tests/support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qs {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::Int32Bytes;
using test::Join;
using test::Script;
using test::ScriptedPeer;

// One line per event, in arrival order.
class RecordingSink final : public PushEventSink {
public:
    void onBarRecord(const KLineBar &bar) override
    {
        note("bar " + std::to_string(bar.productId) + " " + std::to_string(bar.close));
    }
    void onSignalRecord(const SignalRecord &signal) override
    {
        note("signal " + std::to_string(signal.productId) + " " + std::to_string(signal.price));
    }
    void onMessage(const std::string &utf8) override { note("message [" + utf8 + "]"); }
    void onHeartbeat() override { note("heartbeat"); }
    void onSessionClosed() override { note("closed"); }
    void onKickedOff() override { note("kicked"); }

    std::vector<std::string> events() const
    {
        std::lock_guard lock(m_mutex);
        return m_events;
    }

private:
    void note(std::string line)
    {
        std::lock_guard lock(m_mutex);
        m_events.push_back(std::move(line));
    }
    mutable std::mutex m_mutex;
    std::vector<std::string> m_events;
};

class BytesSource final : public PushByteSource {
public:
    explicit BytesSource(Bytes bytes)
        : m_bytes(std::move(bytes))
    {}
    bool read(void *buffer, std::size_t n) override
    {
        if (m_bytes.size() - m_at < n)
            return false;
        std::memcpy(buffer, m_bytes.data() + m_at, n);
        m_at += n;
        return true;
    }

private:
    Bytes m_bytes;
    std::size_t m_at = 0;
};

// A record event: a bar or a signal.
template<class Record>
Bytes RecordEvent(const Record &record)
{
    return Join({Int32Bytes(1), test::BytesOf(record)});
}

Bytes MessageEvent(const std::string &ansi)
{
    return Join({Int32Bytes(2), Int32Bytes(static_cast<std::int32_t>(ansi.size())),
                 Bytes(ansi.begin(), ansi.end())});
}

struct Decoded {
    PushStreamEnd end;
    std::vector<std::string> events;
};

Decoded Decode(const Bytes &stream)
{
    RecordingSink sink;
    BytesSource source(stream);
    const PushStreamEnd end = ReadPushStream(source, sink);
    return {end, sink.events()};
}

TEST(PushStream, EveryEventTypeGoesWhereItBelongsAndUnknownTypesKeepTheAlignment)
{
    const Bytes stream = Join(
        {RecordEvent(test::MakeBar(3, 2024, "10:00:00", 1234)), Int32Bytes(7), Int32Bytes(0),
         RecordEvent(test::MakeSignal(3, 1800)), MessageEvent(""), Int32Bytes(-2),
         MessageEvent(Utf8ToAnsi("价格提醒")), Int32Bytes(3), Bytes(100, 0xAB), Int32Bytes(4),
         Int32Bytes(99), Int32Bytes(6), RecordEvent(test::MakeBar(3, 2024, "02020800", 1240))});
    const Decoded got = Decode(stream);
    EXPECT_EQ(got.end, PushStreamEnd::StreamEnded);
    EXPECT_EQ(got.events,
              (std::vector<std::string>{"bar 3 1234", "signal 3 1800", "message []",
                                        "message [价格提醒]", "heartbeat", "bar 3 1240"}));
}

TEST(PushStream, TextsAreBoundedAndEndAtTheirFirstNul)
{
    const std::string withNul("ab\0cd", 5);
    EXPECT_EQ(Decode(Join({MessageEvent(withNul), Int32Bytes(4)})).events,
              (std::vector<std::string>{"message [ab]", "heartbeat"}));

    const std::string longest(static_cast<std::size_t>(kMaxPushTextBytes), 'x');
    const Decoded full = Decode(MessageEvent(longest));
    ASSERT_EQ(full.events.size(), 1u);
    EXPECT_EQ(full.events[0].size(), longest.size() + std::string("message []").size());

    for (const std::int32_t length : {kMaxPushTextBytes + 1, -1, INT32_MIN}) {
        const Decoded got
            = Decode(Join({Int32Bytes(2), Int32Bytes(length), Bytes(64, 'y'), Int32Bytes(4)}));
        EXPECT_EQ(got.end, PushStreamEnd::TextOverLimit) << length;
        EXPECT_TRUE(got.events.empty()) << length;
    }
}

TEST(PushStream, AShortEventOrASessionEndStopsTheStream)
{
    const struct {
        Bytes stream;
        PushStreamEnd end;
        std::vector<std::string> events;
    } cases[] = {
        {Join({Int32Bytes(4), Int32Bytes(1), Bytes(47, 1)}),
         PushStreamEnd::ShortEvent,
         {"heartbeat"}},
        {Join({Int32Bytes(2), Int32Bytes(10), Bytes(9, 'a')}), PushStreamEnd::ShortEvent, {}},
        {Join({Int32Bytes(2), Bytes(3, 0)}), PushStreamEnd::ShortEvent, {}},
        {Join({Int32Bytes(3), Bytes(99, 0)}), PushStreamEnd::ShortEvent, {}},
        {Bytes{4, 0, 0}, PushStreamEnd::StreamEnded, {}},
        {Join({Int32Bytes(-1), Int32Bytes(4)}), PushStreamEnd::SessionClosed, {"closed"}},
        {Join({Int32Bytes(4), Int32Bytes(5), Int32Bytes(4)}),
         PushStreamEnd::KickedOff,
         {"heartbeat", "kicked"}},
    };
    for (const auto &c : cases) {
        const Decoded got = Decode(c.stream);
        EXPECT_EQ(got.end, c.end);
        EXPECT_EQ(got.events, c.events);
    }
}

class PushChannelTest : public ::testing::Test {
protected:
    PushChannelTest() { m_session.establish(SessionToken{{7, 8, 9, 10}}, 2, "demo"); }
    Bytes subscription() const { return test::BytesOf(RequestHeader::make(0, m_session)); }

    Session m_session;
    RecordingSink m_sink;
};

TEST_F(PushChannelTest, SubscribesWithCommandZeroThenReadsUntilTheServerCloses)
{
    ScriptedPeer peer(
        Script()
            .expect(subscription())
            .send(Join({Int32Bytes(4), RecordEvent(test::MakeBar(1, 2024, "11:00:00", 77))})));
    PushChannel channel(m_sink);
    ASSERT_TRUE(channel.open(peer.endpoint(), m_session));
    EXPECT_TRUE(channel.isOpen());
    EXPECT_TRUE(channel.open(peer.endpoint(), m_session)) << "an open channel is left alone";
    // The thread connects: wait for the events before counting.
    for (int i = 0; i < 500 && m_sink.events().size() < 2; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(channel.connectionsMade(), 1);

    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
    for (int i = 0; i < 500 && channel.reading(); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(channel.reading());
    EXPECT_EQ(channel.lastEnd(), PushStreamEnd::StreamEnded);
    // The field stays set after the thread ended: only close() (the watchdog) clears it.
    EXPECT_TRUE(channel.isOpen());
    EXPECT_EQ(m_sink.events(), (std::vector<std::string>{"heartbeat", "bar 1 77"}));
    channel.close();
    EXPECT_FALSE(channel.isOpen());
}

TEST_F(PushChannelTest, CloseWakesABlockedReadAndAFailedConnectionIsSilent)
{
    ScriptedPeer peer(Script().expect(subscription()).send(Int32Bytes(4)).stall(30s));
    PushChannel channel(m_sink);
    ASSERT_TRUE(channel.open(peer.endpoint(), m_session));
    for (int i = 0; i < 500 && m_sink.events().empty(); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(channel.reading());
    channel.close();
    EXPECT_FALSE(channel.isOpen());
    EXPECT_FALSE(channel.reading());

    Listener gone = Listener::listen(Ipv4Address::loopback(), 0);
    ServerEndpoint refused;
    refused.pushPort = gone.port();
    gone.close();
    // The attempt runs on the channel's thread; its failure closes the channel silently.
    EXPECT_TRUE(channel.open(refused, m_session));
    for (int i = 0; i < 500 && channel.isOpen(); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(channel.isOpen());
    EXPECT_EQ(channel.connectionsMade(), 1);
}

// Holds the push thread inside its first heartbeat until released, as a tick refresh against a
// stalled request port would.
class BlockingSink final : public PushEventSink {
public:
    void onBarRecord(const KLineBar &) override { ++m_bars; }
    void onSignalRecord(const SignalRecord &) override {}
    void onMessage(const std::string &) override {}
    void onHeartbeat() override
    {
        std::unique_lock lock(m_mutex);
        m_inside = true;
        m_wake.notify_all();
        m_wake.wait(lock, [this] { return m_released; });
    }
    void onSessionClosed() override {}
    void onKickedOff() override {}

    void waitInside()
    {
        std::unique_lock lock(m_mutex);
        m_wake.wait_for(lock, 5s, [this] { return m_inside; });
    }
    void release()
    {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_wake.notify_all();
    }
    int bars() const { return m_bars; }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_inside = false;
    bool m_released = false;
    std::atomic<int> m_bars{0};
};

TEST_F(PushChannelTest, CloseEndsAConnectThatHangsSoItsThreadJoinsAtOnce)
{
    const test::HangingListener hanging;
    ServerEndpoint silent;
    silent.pushPort = hanging.port();
    PushChannel channel(m_sink);
    ASSERT_TRUE(channel.open(silent, m_session));
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(channel.reading()) << "still connecting";
    const auto closing = std::chrono::steady_clock::now();
    channel.close();
    channel.waitForThreads();
    EXPECT_LT(std::chrono::steady_clock::now() - closing, 3s) << "not the 10 s connect time-out";
    EXPECT_EQ(channel.connectionsMade(), 0);
}

TEST_F(PushChannelTest, CloseNeverWaitsForABusyThreadAndItsLaterEventsAreDropped)
{
    ScriptedPeer peer(
        Script()
            .expect(subscription())
            .send(Join({Int32Bytes(4), RecordEvent(test::MakeBar(1, 2024, "11:00:00", 77))}))
            .stall(30s));
    BlockingSink sink;
    PushChannel channel(sink);
    ASSERT_TRUE(channel.open(peer.endpoint(), m_session));
    sink.waitInside();

    channel.close(); // returns although the thread is still inside the sink
    EXPECT_FALSE(channel.isOpen());
    EXPECT_EQ(channel.threadCount(), 1u);

    sink.release();
    channel.waitForThreads();
    EXPECT_EQ(sink.bars(), 0) << "the abandoned connection's bar was read but not handed on";
    EXPECT_EQ(channel.threadCount(), 0u);
}

} // namespace
} // namespace qs
