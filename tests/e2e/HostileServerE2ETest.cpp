// The main frame against a server that misbehaves: replies that stall past the receive time-out
// or break off, push streams with events no server should send, sessions the server ends, and a
// server that goes away and comes back. Whatever the fault, the client shows its own text (or
// none), lists only records the server holds and leaves its files as they were.
#include "core/alerts/AlertExchanges.h"
#include "core/alerts/AlertList.h"
#include "core/alerts/MessageList.h"
#include "core/chart/KLineCache.h"
#include "tests/e2e/TradingFrame.h"
#include "tests/support/KLineRecords.h"
#include "ui/CommandIds.h"
#include "ui/orders/COpenOrder.h"

#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <limits>
#include <map>
#include <ostream>
#include <set>

namespace qs::ui {
namespace {

using namespace std::chrono_literals;

constexpr int kPatienceMs = 20000;
// Just past the client's receive time-out: the late reply arrives while the client goes on.
constexpr auto kStall = kReceiveTimeout + 2s;
// A stalled exchange holds the window for one receive time-out, not one per later query.
constexpr auto kStallBound = 2 * kReceiveTimeout;
const std::string kHoldingsFailed = "获取持仓信息失败";

std::string Int32s(std::initializer_list<std::int32_t> values)
{
    std::string bytes(values.size() * sizeof(std::int32_t), '\0');
    std::memcpy(bytes.data(), std::data(values), bytes.size());
    return bytes;
}

// What the client keeps in its folder: the settings file and every product's cached bars.
struct ClientFiles {
    std::string settings;
    std::map<std::int32_t, std::vector<std::uint8_t>> cached;
};

ClientFiles ReadClientFiles(const DataFolder &folder)
{
    ClientFiles files;
    ReadWholeFile(folder.file("data"), files.settings);
    const KLineCache cache(folder);
    for (std::int32_t id = 1; id <= 99; ++id)
        if (std::filesystem::exists(cache.file(id)))
            files.cached[id] = test::RecordBytes(cache.load(id));
    return files;
}

// Unchanged, except that a bar the server completed meanwhile may lead a cache.
void ExpectIntact(const ClientFiles &before, const ClientFiles &after)
{
    EXPECT_EQ(after.settings, before.settings);
    ASSERT_EQ(after.cached.size(), before.cached.size());
    for (const auto &[id, bytes] : before.cached) {
        const std::vector<std::uint8_t> &now = after.cached.at(id);
        EXPECT_TRUE(now.size() >= bytes.size()
                    && std::equal(bytes.rbegin(), bytes.rend(), now.rbegin()))
            << "kd" << id;
    }
}

class HostileServerE2E : public test::TradingFrameTest {
protected:
    // A position, a waiting order and an alert, so a reply read as another's shows up; then the
    // frame with its chart cached.
    void SetUp() override
    {
        TradingFrameTest::SetUp();
        const server::Quote quote = m_server.quote(kProduct);
        ASSERT_EQ(placeOrder(order_kind::kMarket, quote.buy), 1);
        ASSERT_EQ(placeOrder(order_kind::kLimit, quote.buy - 20), 1);
        AlertList scratch;
        ASSERT_EQ(AddAlert(ServerLink(m_server.endpoint(), m_session, m_seam), scratch, kProduct, 1,
                           quote.last * 2),
                  AddAlertResult::Added);
        start();
        m_files = ReadClientFiles(folder());
        ASSERT_FALSE(m_files.settings.empty());
        ASSERT_EQ(m_files.cached.count(kProduct), 1u);
        ASSERT_FALSE(m_files.cached[kProduct].empty());
        m_seam.clear();
    }

    DataFolder folder() const { return DataFolder(m_temp.path()); }

    void start()
    {
        startFrame();
        m_frame->setRestartHandler([this] { ++m_restarts; });
        waitForIdleChart();
    }

    void waitForIdleChart()
    {
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const ClientViewState &state = m_client->view();
                return state.historyLoaded() && !state.downloadInProgress();
            },
            kPatienceMs));
    }

    // Every record the client lists is one the server holds: a late reply taken for the next
    // query's would list records of another kind.
    void expectOnlyServerRecords()
    {
        const server::AccountSnapshot held = m_server.account("demo");
        std::set<std::string> numbers;
        for (const HoldInfo &position : held.positions)
            numbers.insert(position.number());
        for (const DelegateInfo &order : held.orders)
            numbers.insert(order.number());
        for (const HoldInfo &position : trading().positions())
            EXPECT_TRUE(numbers.contains(position.number())) << "position " << position.number();
        for (const DelegateInfo &order : trading().pendingOrders())
            EXPECT_TRUE(numbers.contains(order.number())) << "order " << order.number();
        const std::vector<AlertInfo> alerts = m_server.alerts("demo");
        for (const AlertInfo &alert : m_client->alerts().snapshot())
            EXPECT_TRUE(std::any_of(alerts.begin(), alerts.end(),
                                    [&](const AlertInfo &stored) {
                                        return std::memcmp(&stored, &alert, sizeof alert) == 0;
                                    }))
                << "alert " << alert.alertId;
    }

    // Nothing lost: once the chart is idle, the lists hold what the server holds and the files
    // are what they were.
    void expectNothingLost()
    {
        waitForIdleChart();
        expectOnlyServerRecords();
        EXPECT_EQ(trading().positions().size(), 1u);
        EXPECT_EQ(trading().pendingOrders().size(), 1u);
        ExpectIntact(m_files, ReadClientFiles(folder()));
    }

    ClientFiles m_files;
    int m_restarts = 0;
};

TEST_F(HostileServerE2E, AnOrderWhoseReplyStallsIsListedOnceAndHoldsTheWindowForOneTimeOut)
{
    m_server.answerLate(cmd::kOpenOrder, kStall);
    qint64 waited = 0;
    WhenShown<COpenOrder>([&](COpenOrder &dialog) {
        QElapsedTimer clock;
        clock.start();
        Click(dialog, 1044);
        waited = clock.elapsed();
        EXPECT_EQ(m_seam.messageTexts(), std::vector<std::string>{"未知错误"});
        EXPECT_TRUE(dialog.isVisible());
        dialog.reject();
    });
    m_frame->onCommand(command::kMarketOpen);
    EXPECT_LT(waited, std::chrono::milliseconds(kStallBound).count());
    EXPECT_EQ(m_server.account("demo").positions.size(), 2u);
    EXPECT_EQ(trading().positions().size(), 2u) << "the re-fetch lists the order carried out";
    expectOnlyServerRecords();
    ExpectIntact(m_files, ReadClientFiles(folder()));
}

struct StartUpFault {
    const char *name;
    std::int32_t command;
    bool stalls; // else the reply breaks off in its first record
    std::vector<std::string> texts;
    friend void PrintTo(const StartUpFault &fault, std::ostream *out) { *out << fault.name; }
};

class StartUpFetchE2E :
    public HostileServerE2E,
    public testing::WithParamInterface<StartUpFault> {};

// The program started again, against a server that fails one of the fetches on the connection
// the start shares between several.
TEST_P(StartUpFetchE2E, AFailedFetchShowsItsTextsAndLeavesNoForeignRecords)
{
    const StartUpFault &fault = GetParam();
    newClient(m_server.endpoint());
    if (fault.stalls)
        m_server.answerLate(fault.command, kStall);
    else
        m_server.closeInReply(fault.command);
    QElapsedTimer clock;
    clock.start();
    start();
    EXPECT_LT(clock.elapsed(), std::chrono::milliseconds(kStallBound).count());
    EXPECT_EQ(m_seam.messageTexts(), fault.texts);
    expectOnlyServerRecords();
    ExpectIntact(m_files, ReadClientFiles(folder()));
    EXPECT_TRUE(m_client->pushChannelOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, StartUpFetchE2E,
    testing::Values(
        // The product and alert queries fail silently.
        StartUpFault{"ProductsStall", cmd::kProducts, true, {}},
        // The first query of the account's connection: the rest of it fails too.
        StartUpFault{"SummaryStalls",
                     cmd::kPositionSummary,
                     true,
                     {kHoldingsFailed, kHoldingsFailed, kHoldingsFailed}},
        // A record that breaks off is dropped; the queries after it find the connection gone.
        StartUpFault{
            "PositionsBreakOff", cmd::kPositions, false, {"获取账户信息失败", kHoldingsFailed}}),
    [](const testing::TestParamInfo<StartUpFault> &row) { return row.param.name; });

// What becomes of the push channel after the fault. A silent channel, a kick and an ended session
// have their own end-to-end tests.
enum class Channel {
    CarriesOn, // the events after it arrive on the same connection
    HangsUp,   // the client ends the connection itself; the watchdog reconnects
};

struct PushFault {
    const char *name;
    std::string bytes; // pushed as they are
    Channel channel;
    friend void PrintTo(const PushFault &fault, std::ostream *out) { *out << fault.name; }
};

class PushFaultE2E : public HostileServerE2E, public testing::WithParamInterface<PushFault> {
protected:
    // Sent until one arrives, since a new connection's subscription is read on a server thread.
    bool messageComesThrough(const std::string &text, int attempts)
    {
        for (int attempt = 0; attempt < attempts; ++attempt) {
            m_server.sendMessage(text);
            if (QTest::qWaitFor(
                    [&] {
                        const std::vector<Message> listed = m_client->messages().snapshot();
                        return !listed.empty() && listed.back().content == text;
                    },
                    kPatienceMs / attempts))
                return true;
        }
        return false;
    }
};

TEST_P(PushFaultE2E, TheChannelCarriesOnOrReconnectsAndNothingIsLost)
{
    const PushFault &fault = GetParam();
    CChildView &view = *m_frame->clientView();
    const int connections = m_client->pushConnectionsMade();
    m_server.pushRaw(fault.bytes);
    const bool reconnects = fault.channel == Channel::HangsUp;
    if (reconnects) {
        // Long before the watchdog's tick: the server's next writes find the connection gone.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                m_server.sendMessage("");
                return m_server.pushSubscribers() == 0;
            },
            kPatienceMs));
        view.setWatchdogInterval(300ms);
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_client->pushConnectionsMade() > connections; },
                                    kPatienceMs));
        view.setWatchdogInterval(CChildView::kWatchdogPeriod);
    }
    EXPECT_TRUE(messageComesThrough("行情正常", reconnects ? 50 : 1));
    EXPECT_EQ(m_client->pushConnectionsMade() > connections, reconnects);
    EXPECT_TRUE(m_seam.messageTexts().empty());
    EXPECT_EQ(m_restarts, 0);
    expectNothingLost();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PushFaultE2E,
    testing::Values(
        // Types a server must not send carry no payload, so the stream keeps its alignment.
        PushFault{"UnknownTypes",
                  Int32s({6, 7, -2, 99, std::numeric_limits<std::int32_t>::max(), push::kNothing}),
                  Channel::CarriesOn},
        PushFault{"TextOfTwoBillionBytes", Int32s({push::kMessage, 2'000'000'000}),
                  Channel::HangsUp}),
    [](const testing::TestParamInfo<PushFault> &row) { return row.param.name; });

TEST_F(HostileServerE2E, AServerThatGoesAwayAndComesBackServesTheRestartedProgram)
{
    const server::DemoServer::Ports ports = m_server.ports();
    m_server.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_restarts == 1; }, kPatienceMs));
    EXPECT_EQ(m_seam.messageTexts(), std::vector<std::string>{CChildView::kLinkLostText});

    // Until the program has started again, an order fails at once with its text.
    m_seam.clear();
    WhenShown<COpenOrder>([&](COpenOrder &dialog) {
        Click(dialog, 1044);
        EXPECT_EQ(m_seam.messageTexts(), std::vector<std::string>{"无法连接服务器，操作已取消"});
        EXPECT_TRUE(dialog.isVisible());
        dialog.reject();
    });
    m_frame->onCommand(command::kMarketOpen);
    EXPECT_EQ(trading().positions().size(), 1u);
    m_frame.reset();

    server::DemoOptions options = test::QuietDemoOptions();
    options.requestPort = ports.request;
    options.pushPort = ports.push;
    options.klinePort = ports.kline;
    server::DemoServer back(options);
    ASSERT_TRUE(back.start()) << "the ports were taken meanwhile";
    m_seam.clear();
    ASSERT_TRUE(test::LogInToDemo(back.endpoint(), m_seam, m_session));
    newClient(back.endpoint());
    m_frame = std::make_unique<CMainFrame>(*m_client, m_events);
    m_frame->show();
    m_frame->startTrading();
    waitForIdleChart();
    EXPECT_TRUE(m_seam.messageTexts().empty());
    EXPECT_TRUE(m_client->pushChannelOpen());
    EXPECT_TRUE(QTest::qWaitFor([&] { return back.pushSubscribers() == 1; }, kPatienceMs));
    EXPECT_TRUE(trading().positions().empty()) << "the new server's account is a fresh one";
    ExpectIntact(m_files, ReadClientFiles(folder()));
    m_frame.reset();
}

} // namespace
} // namespace qs::ui
