#include "server/PushHub.h"

#include "core/platform/Socket.h"
#include "server/Market.h"
#include "server/PushOutbox.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace qs::server {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr std::int64_t kStart = 1700000000;
constexpr std::chrono::milliseconds kReceiveTimeout = 3000ms;
constexpr std::int32_t kDemoToken[4] = {0x11111111, 2, 3, 4};
constexpr std::int32_t kFreeToken[4] = {0x22222222, 6, 7, 8};

void PutInt32(Bytes &out, std::int32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(
            static_cast<std::uint8_t>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF));
}

struct Event {
    std::int32_t type = 0;
    Bytes payload;

    bool isRecord() const { return type == 1 && payload.size() == 48; }
    bool isSignal() const { return isRecord() && payload[36] == 0xFF; }
    KLineBar bar() const
    {
        KLineBar bar;
        std::memcpy(&bar, payload.data(), sizeof bar);
        return bar;
    }
};

// One push client speaking hand-built bytes; the hub serves it on a thread of its own.
class PushClient {
public:
    PushClient(PushHub &hub, const std::int32_t (&token)[4], std::int32_t command = 0)
    {
        Socket server;
        EXPECT_TRUE(Socket::makePair(m_socket, server));
        m_socket.setReceiveTimeout(kReceiveTimeout);
        m_serving = std::thread(
            [&hub, socket = std::move(server)]() mutable { hub.serve(std::move(socket)); });
        Bytes header;
        PutInt32(header, command);
        for (std::int32_t value : token)
            PutInt32(header, value);
        PutInt32(header, 8);
        // A hub that is shut down may close before the header is through.
        m_socket.sendAll(header.data(), header.size());
    }
    ~PushClient()
    {
        m_socket.close();
        if (m_serving.joinable())
            m_serving.join();
    }

    // Waits for serve() to return; the hub must have let the connection go.
    void join() { m_serving.join(); }

    bool read(void *buffer, std::size_t size)
    {
        auto *bytes = static_cast<std::uint8_t *>(buffer);
        while (size > 0) {
            const long got = m_socket.receive(bytes, size);
            if (got <= 0)
                return false;
            bytes += got;
            size -= static_cast<std::size_t>(got);
        }
        return true;
    }

    // The next event, payload sized by its type; false when the connection ended.
    bool next(Event &event)
    {
        if (!read(&event.type, 4))
            return false;
        std::size_t size = 0;
        if (event.type == 1) {
            size = 48;
        } else if (event.type == 3) {
            size = 100;
        } else if (event.type == 2) {
            std::int32_t length = 0;
            if (!read(&length, 4) || length < 0)
                return false;
            size = static_cast<std::size_t>(length);
        }
        event.payload.assign(size, 0);
        return size == 0 || read(event.payload.data(), size);
    }

    // The next event that is not a heartbeat or filler.
    bool nextContent(Event &event)
    {
        while (next(event)) {
            if (event.type != 4 && event.type != 3)
                return true;
        }
        return false;
    }

    // True when the server closed without sending anything more (a close that left the
    // subscription unread resets the connection instead), before the receive time-out.
    bool endsNow()
    {
        const auto started = std::chrono::steady_clock::now();
        std::uint8_t byte;
        const long got = m_socket.receive(&byte, 1);
        return got <= 0 && std::chrono::steady_clock::now() - started < kReceiveTimeout / 2;
    }

private:
    Socket m_socket;
    std::thread m_serving;
};

class PushHubTest : public ::testing::Test {
protected:
    PushHubTest()
    {
        Market::Options options;
        options.seed = 9;
        options.historyBars = 10;
        options.signalEverySteps = 0;
        options.clock = [s = m_seconds] {
            return s->load();
        };
        m_market = std::make_unique<Market>(options);
        m_hub = std::make_unique<PushHub>(
            *m_market,
            [](const SessionToken &token, std::string &member) {
                if (token.values[0] == kDemoToken[0])
                    member = "demo";
                else if (token.values[0] == kFreeToken[0])
                    member = "free";
                else
                    return false;
                return true;
            },
            40ms);
    }
    ~PushHubTest() override
    {
        m_hub->shutdown();
        m_clients.clear();
    }

    PushClient &connect(const std::int32_t (&token)[4], std::int32_t command = 0)
    {
        m_clients.push_back(std::make_unique<PushClient>(*m_hub, token, command));
        return *m_clients.back();
    }
    // Events are only sent to subscribed connections: wait for the subscriptions first.
    bool waitForSubscribers(std::size_t count)
    {
        for (int i = 0; i < 300 && m_hub->subscriberCount() != count; ++i)
            std::this_thread::sleep_for(10ms);
        return m_hub->subscriberCount() == count;
    }

    std::shared_ptr<std::atomic<std::int64_t>> m_seconds
        = std::make_shared<std::atomic<std::int64_t>>(kStart);
    std::unique_ptr<Market> m_market;
    std::unique_ptr<PushHub> m_hub;
    std::vector<std::unique_ptr<PushClient>> m_clients;
};

TEST_F(PushHubTest, BadSubscriptionsAreClosedWithoutAWord)
{
    const std::int32_t stranger[4] = {1, 2, 3, 4};
    PushClient &unknown = connect(stranger);
    PushClient &wrongCommand = connect(kDemoToken, 1);
    EXPECT_TRUE(unknown.endsNow());
    EXPECT_TRUE(wrongCommand.endsNow());
    EXPECT_EQ(m_hub->subscriberCount(), 0u);
}

TEST_F(PushHubTest, TicksBarsAndHeartbeatsArriveInOrder)
{
    PushClient &client = connect(kDemoToken);
    ASSERT_TRUE(waitForSubscribers(1));

    m_market->step();
    Event event;
    for (int id = 1; id <= 28; ++id) {
        ASSERT_TRUE(client.nextContent(event));
        ASSERT_TRUE(event.isRecord());
        EXPECT_EQ(event.bar().productId, id);
        EXPECT_EQ(event.bar().time(), "06:13:20");
    }

    // The period ends: every product's completed bar comes before the new ticks.
    *m_seconds += 7200;
    m_market->step();
    for (int id = 1; id <= 28; ++id) {
        ASSERT_TRUE(client.nextContent(event));
        ASSERT_TRUE(event.isRecord());
        EXPECT_EQ(event.bar().productId, id);
        EXPECT_EQ(event.bar().time(), "11150600");
        EXPECT_EQ(event.bar().keyNumber, 2023);
    }
    for (int id = 1; id <= 28; ++id) {
        ASSERT_TRUE(client.nextContent(event));
        EXPECT_EQ(event.bar().productId, id);
        EXPECT_TRUE(event.bar().isLive());
    }

    // Left alone, the channel carries heartbeats and now and then a filler.
    int heartbeats = 0;
    int fillers = 0;
    while (heartbeats < 6 && client.next(event)) {
        if (event.type == 4)
            ++heartbeats;
        else if (event.type == 3)
            ++fillers;
        else {
            ADD_FAILURE() << "unexpected event " << event.type;
        }
    }
    EXPECT_EQ(heartbeats, 6);
    EXPECT_GE(fillers, 1);
}

TEST_F(PushHubTest, SignalsAreMarkedRecordsAndMessagesGbkText)
{
    PushClient &client = connect(kDemoToken);
    ASSERT_TRUE(waitForSubscribers(1));

    SignalRecord signal{};
    signal.price = 5245;
    signal.stopLoss = 5300;
    signal.capital = 250;
    signal.productId = 20;
    signal.kind = 21;
    signal.lots1 = -100;
    signal.lots2 = 150;
    signal.published = 1700000000;
    m_hub->publishSignal(signal);
    SignalRecord withdrawal = signal;
    withdrawal.action = 4;
    m_hub->publishSignal(withdrawal);
    m_hub->sendMessage("测试消息 ok");
    m_hub->sendMessage("");

    Event event;
    ASSERT_TRUE(client.nextContent(event));
    ASSERT_TRUE(event.isSignal());
    EXPECT_EQ(std::memcmp(event.payload.data(), &signal, 36), 0);
    EXPECT_EQ(event.payload[13], 20);
    EXPECT_EQ(event.payload[14], 0);
    ASSERT_TRUE(client.nextContent(event));
    ASSERT_TRUE(event.isSignal());
    EXPECT_EQ(event.payload[14], 4);
    EXPECT_TRUE(m_market->activeSignals(20).empty());

    ASSERT_TRUE(client.nextContent(event));
    EXPECT_EQ(event.type, 2);
    const Bytes gbk{0xB2, 0xE2, 0xCA, 0xD4, 0xCF, 0xFB, 0xCF, 0xA2, ' ', 'o', 'k'};
    EXPECT_EQ(event.payload, gbk);
    ASSERT_TRUE(client.nextContent(event));
    EXPECT_EQ(event.type, 2);
    EXPECT_TRUE(event.payload.empty());
}

TEST_F(PushHubTest, KickEndsOnlyTheKickedMembersChannel)
{
    PushClient &demo = connect(kDemoToken);
    PushClient &other = connect(kFreeToken);
    ASSERT_TRUE(waitForSubscribers(2));

    m_hub->kickMember("demo");
    Event event;
    ASSERT_TRUE(demo.nextContent(event));
    EXPECT_EQ(event.type, 5);
    EXPECT_TRUE(demo.endsNow());
    demo.join();
    EXPECT_EQ(m_hub->subscriberCount(), 1u);

    m_market->step();
    ASSERT_TRUE(other.nextContent(event));
    EXPECT_TRUE(event.isRecord());
}

TEST_F(PushHubTest, ShutdownSaysGoodbyeAndLetsEveryConnectionGo)
{
    PushClient &first = connect(kDemoToken);
    PushClient &second = connect(kFreeToken);
    ASSERT_TRUE(waitForSubscribers(2));

    m_hub->shutdown();
    for (PushClient *client : {&first, &second}) {
        Event event;
        ASSERT_TRUE(client->nextContent(event));
        EXPECT_EQ(event.type, -1);
        EXPECT_TRUE(client->endsNow());
        client->join();
    }
    // Nobody is taken on afterwards.
    PushClient &late = connect(kDemoToken);
    EXPECT_TRUE(late.endsNow());
    late.join();
}

TEST_F(PushHubTest, DroppedConnectionsEndWithoutGoodbye)
{
    PushClient &client = connect(kDemoToken);
    ASSERT_TRUE(waitForSubscribers(1));
    m_hub->dropConnections();
    Event event;
    while (client.next(event))
        EXPECT_NE(event.type, -1);
    client.join();
    EXPECT_EQ(m_hub->subscriberCount(), 0u);
}

TEST_F(PushHubTest, HeartbeatsStopAndResume)
{
    PushClient &client = connect(kDemoToken);
    ASSERT_TRUE(waitForSubscribers(1));
    m_hub->setHeartbeats(false);
    // A heartbeat under way goes out before anything posted after the switch.
    m_hub->sendMessage("mark");
    Event event;
    while (client.next(event) && event.type != 2) {
    }
    ASSERT_EQ(event.type, 2);
    std::this_thread::sleep_for(400ms); // ten periods
    m_hub->sendMessage("after");
    ASSERT_TRUE(client.next(event));
    EXPECT_EQ(event.type, 2) << "a heartbeat came while they were off";

    m_hub->setHeartbeats(true);
    ASSERT_TRUE(client.next(event));
    EXPECT_EQ(event.type, 4);
}

TEST_F(PushHubTest, AClientThatDoesNotReadIsDropped)
{
    connect(kDemoToken);
    ASSERT_TRUE(waitForSubscribers(1));
    // More than the connection's queue and the socket's buffers hold together; the calls return
    // although nobody reads.
    const std::string big(512 * 1024, 'x');
    for (int i = 0; i < 12; ++i)
        m_hub->sendMessage(big);
    EXPECT_TRUE(waitForSubscribers(0));
}

TEST(PushOutboxTest, LastEventEndsTheQueueAndOverflowClosesIt)
{
    const auto soon = std::chrono::steady_clock::now() + 10ms;
    PushOutbox outbox(10);
    EXPECT_TRUE(outbox.post("abcd"));
    outbox.finish("END");
    EXPECT_FALSE(outbox.post("x"));
    PushOutbox::Batch batch = outbox.take(soon);
    EXPECT_EQ(batch.bytes, "abcdEND");
    EXPECT_TRUE(batch.finished);
    EXPECT_FALSE(batch.closed);
    EXPECT_FALSE(outbox.overflowed());

    PushOutbox small(10);
    EXPECT_TRUE(small.post("12345678"));
    EXPECT_FALSE(small.post("123"));
    EXPECT_TRUE(small.overflowed());
    batch = small.take(soon);
    EXPECT_TRUE(batch.closed);
    EXPECT_TRUE(batch.bytes.empty());

    PushOutbox quiet(10);
    batch = quiet.take(std::chrono::steady_clock::now() + 20ms);
    EXPECT_FALSE(batch.closed);
    EXPECT_FALSE(batch.finished);
    EXPECT_TRUE(batch.bytes.empty());
}

} // namespace
} // namespace qs::server
