// The client view's push channel against the demo server, steered from the test.
#include "server/DemoServer.h"
#include "tests/support/DemoLogin.h"
#include "tests/support/KLineRecords.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFolder.h"
#include "ui/app/CChildView.h"

#include "core/app/ClientSession.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

namespace qs {
namespace {

using namespace std::chrono_literals;
using ui::CChildView;

constexpr int kProduct = 2;
constexpr int kPatienceMs = 20000;

// What the view hands on to the frame, recorded on the UI thread.
class FrameRecorder {
public:
    void attach(CChildView &view, ui::ClientEventPoster &events, const MessageList &messages)
    {
        m_messages = &messages;
        QObject::connect(&events, &ui::ClientEventPoster::tradingNoticesArrived, &view,
                         [this](const TickChange &change) { m_ticks.push_back(change.tick); });
        QObject::connect(&view, &CChildView::restartRequested, &view, [this] { ++m_restarts; });
    }
    const std::vector<KLineBar> &ticks() const { return m_ticks; }
    std::vector<std::string> messages() const
    {
        std::vector<std::string> texts;
        for (const Message &message : m_messages->snapshot())
            texts.push_back(message.content);
        return texts;
    }
    int restarts() const { return m_restarts; }

private:
    const MessageList *m_messages = nullptr;
    std::vector<KLineBar> m_ticks;
    int m_restarts = 0;
};

class PushChannelE2ETest : public ::testing::Test {
protected:
    explicit PushChannelE2ETest(std::chrono::milliseconds heartbeat = 10s)
        : m_server(options(heartbeat))
        , m_folder(m_temp.path())
    {}

    static server::DemoOptions options(std::chrono::milliseconds heartbeat)
    {
        server::DemoOptions options = test::QuietDemoOptions();
        options.historyBars = 200;
        options.heartbeatPeriod = heartbeat;
        return options;
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_server.start());
        ASSERT_TRUE(test::LogInToDemo(m_server.endpoint(), m_seam, m_session));
        m_client = std::make_unique<ClientSession>(
            ServerLink(m_server.endpoint(), m_session, m_seam), m_folder, m_events);
        m_view = std::make_unique<CChildView>(*m_client, m_events, ui::CKMainCallbacks{});
        m_frame.attach(*m_view, m_events, m_client->messages());
        m_view->resize(900, 600);
        m_client->view().setCurrentProduct(kProduct);
        m_view->restartView();
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_client->view().historyLoaded(); }, kPatienceMs));
    }
    void TearDown() override
    {
        m_view.reset();
        m_client.reset();
    }

    // Moves the price until a tick of the product has come through (the subscription is read
    // by the server on a thread of its own).
    KLineBar tickThrough(double price)
    {
        const std::size_t before = m_frame.ticks().size();
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_server.setPrice(kProduct, price);
            // The notice is posted before the bar goes into the list: wait for both.
            KLineBar live{};
            if (QTest::qWaitFor(
                    [&] {
                        return m_frame.ticks().size() > before && m_client->bars().copyLiveBar(live)
                               && live.close == m_frame.ticks().back().close;
                    },
                    200))
                return m_frame.ticks().back();
        }
        ADD_FAILURE() << "no tick came through";
        return KLineBar{};
    }

    server::DemoServer m_server;
    test::TempFolder m_temp;
    DataFolder m_folder;
    test::SeamRecorder m_seam;
    Session m_session;
    FrameRecorder m_frame;
    ui::ClientEventPoster m_events;
    std::unique_ptr<ClientSession> m_client;
    std::unique_ptr<CChildView> m_view;
};

TEST_F(PushChannelE2ETest, TicksReachPriceHandlingAndTheChartSignalsAndMessagesGoTheirWay)
{
    QSignalSpy live(m_view.get(), &CChildView::liveBarApplied);
    const std::size_t history = m_client->bars().size();
    const KLineBar tick = tickThrough(m_server.quote(kProduct).last * 1.01);
    EXPECT_EQ(tick.productId, kProduct);
    EXPECT_TRUE(tick.isLive());
    KLineBar front{};
    ASSERT_TRUE(m_client->bars().copyLiveBar(front));
    EXPECT_EQ(front.close, tick.close);
    EXPECT_EQ(m_client->bars().size(), history + 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return live.count() > 0; }, kPatienceMs));

    // A signal never reaches the price handling or the bar list.
    const std::size_t ticks = m_frame.ticks().size();
    const std::size_t signalsBefore = m_client->signals().size();
    SignalRecord signal = test::MakeSignal(kProduct, tick.close + 500);
    signal.published = 1700000000;
    m_server.publishSignal(signal);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_client->signals().size() == signalsBefore + 1; },
                                kPatienceMs));
    EXPECT_EQ(m_frame.ticks().size(), ticks);
    EXPECT_EQ(m_client->bars().size(), history + 1);
    ASSERT_TRUE(m_client->bars().copyLiveBar(front));
    EXPECT_EQ(front.close, tick.close);

    // The signal's announcement went into the message list too; server messages follow it.
    const std::size_t listed = m_frame.messages().size();
    m_server.sendMessage("");
    m_server.sendMessage("今日休市");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return m_frame.messages().size() == listed + 2; }, kPatienceMs));
    const std::vector<std::string> messages = m_frame.messages();
    EXPECT_EQ(std::vector<std::string>(messages.end() - 2, messages.end()),
              (std::vector<std::string>{"", "今日休市"}));
}

TEST_F(PushChannelE2ETest, LoginElsewhereShowsItsMessageThenAsksForARestart)
{
    tickThrough(m_server.quote(kProduct).last * 0.99);
    m_server.kickMember("demo");
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_frame.restarts() == 1; }, kPatienceMs));
    EXPECT_EQ(m_seam.messageTexts(), (std::vector<std::string>{CChildView::kKickedOffText}));
    EXPECT_FALSE(m_view->watchdogActive());
    EXPECT_FALSE(m_client->pushChannelOpen());
}

TEST_F(PushChannelE2ETest, AServerThatEndsTheSessionShowsItsMessageThenAsksForARestart)
{
    tickThrough(m_server.quote(kProduct).last * 1.02);
    m_server.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_frame.restarts() == 1; }, kPatienceMs));
    EXPECT_EQ(m_seam.messageTexts(), (std::vector<std::string>{CChildView::kLinkLostText}));
    EXPECT_FALSE(m_client->pushChannelOpen());
    QTest::qWait(100);
    EXPECT_EQ(m_frame.restarts(), 1) << "one message, one restart";
}

class HeartbeatE2ETest : public PushChannelE2ETest {
protected:
    HeartbeatE2ETest()
        : PushChannelE2ETest(40ms)
    {}
};

TEST_F(HeartbeatE2ETest, WithoutHeartbeatsTheNextWatchdogTickReconnectsAndReloadsTheChart)
{
    QSignalSpy resets(m_view.get(), &CChildView::chartResetRequested);
    m_view->setWatchdogInterval(500ms);
    const int downloads = m_client->view().download().downloadsStarted();
    ASSERT_EQ(m_client->pushConnectionsMade(), 1);
    tickThrough(m_server.quote(kProduct).last * 1.01);

    // Heartbeats every 40 ms keep every half-second tick content.
    QTest::qWait(1600);
    EXPECT_EQ(m_client->pushConnectionsMade(), 1);
    EXPECT_EQ(resets.count(), 0);

    m_server.setHeartbeats(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_client->pushConnectionsMade() >= 2; }, kPatienceMs));
    EXPECT_GE(resets.count(), 1);
    EXPECT_GT(m_client->view().download().downloadsStarted(), downloads);
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_client->view().historyLoaded(); }, kPatienceMs));
    EXPECT_TRUE(m_view->watchdogActive());
    EXPECT_TRUE(m_client->pushChannelOpen());
    EXPECT_TRUE(m_seam.messageTexts().empty());
}

} // namespace
} // namespace qs
