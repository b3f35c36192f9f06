#include "core/app/ClientSession.h"

#include "core/app/ClientEvents.h"
#include "core/app/ClientSettings.h"
#include "core/orders/OrderRefetch.h"
#include "core/protocol/OrderRecords.h"
#include "core/protocol/RequestExchange.h"
#include "server/DemoServer.h"
#include "tests/support/DemoLogin.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qs {
namespace {

using namespace std::chrono_literals;
using Logged = server::RequestSteering::Logged;

constexpr std::int32_t kProduct = 1;

// The ticks the push thread hands on, as the windows would get them.
class TickEvents final : public ClientEvents {
public:
    void relayoutChart() override {}
    void liveBarApplied(bool) override {}
    void tradingNotices(const TickChange &change) override
    {
        std::lock_guard lock(m_mutex);
        m_ticks.push_back(change.tick);
    }
    void blinkUpkeep(std::int32_t, int) override {}
    void messageAdded(int) override {}
    void sessionEnded(SessionEnd) override {}
    void alertsChanged() override {}

    std::size_t ticks() const
    {
        std::lock_guard lock(m_mutex);
        return m_ticks.size();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<KLineBar> m_ticks;
};

bool WaitFor(const std::function<bool()> &done)
{
    for (int i = 0; i < 500; ++i) {
        if (done())
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return done();
}

// A whole session without a window: login, the start-up fetches, the view restart with its push
// channel, ticks, and an order with its re-fetch.
TEST(ClientSession, RunsFromTheLoginThroughTicksToAnOrderAgainstTheDemoServer)
{
    server::DemoServer server(test::QuietDemoOptions());
    ASSERT_TRUE(server.start());
    test::SeamRecorder seam;
    Session session;
    ASSERT_TRUE(test::LogInToDemo(server.endpoint(), seam, session));
    seam.clear();
    test::TempFolder temp;
    ClientSettings stored;
    stored.setLastProduct(kProduct);
    ASSERT_TRUE(stored.write(DataFolder(temp.path())));
    const std::size_t atLogin = server.requestLog().size();

    TickEvents events;
    ClientSession client(ServerLink(server.endpoint(), session, seam), DataFolder(temp.path()),
                         events);
    client.fetchProductsAndAlerts();
    client.createView();
    EXPECT_EQ(client.chooseInitialProduct(), kProduct);
    client.fetchAccount();
    const std::vector<Logged> log = server.requestLog();
    ASSERT_EQ(log.size(), atLogin + 7);
    const int first = log[atLogin].connection;
    // Products and alerts share a connection, the flags have one, the account queries another.
    EXPECT_EQ(std::vector<Logged>(log.begin() + static_cast<long>(atLogin), log.end()),
              (std::vector<Logged>{{first, cmd::kProducts},
                                   {first, cmd::kAlerts},
                                   {first + 1, cmd::kReadProductFlags},
                                   {first + 2, cmd::kPositionSummary},
                                   {first + 2, cmd::kPositions},
                                   {first + 2, cmd::kAccount},
                                   {first + 2, cmd::kPendingOrders}}));
    EXPECT_EQ(client.trading().products().size(), 28u);
    EXPECT_TRUE(client.trading().positions().empty());

    client.restartData();
    client.openPushChannel();
    ASSERT_TRUE(WaitFor([&] { return client.view().historyLoaded(); }));
    ASSERT_TRUE(WaitFor([&] { return server.pushSubscribers() == 1; }));
    // Set again until through, since the server reads a new subscription on a thread of its own.
    const double moved = server.quote(kProduct).last + 1;
    ASSERT_TRUE(WaitFor([&] {
        server.setPrice(kProduct, moved);
        return events.ticks() > 0
               && std::abs(client.trading().product(kProduct).lastPrice - moved) < 0.005;
    }));
    EXPECT_GT(client.bars().size(), 0u);

    OpenOrderBody body{};
    body.productId = kProduct;
    body.price = static_cast<float>(server.quote(kProduct).buy);
    body.lots = 1;
    body.kind = order_kind::kMarket;
    body.direction = 1;
    body.slippage = 5;
    std::int32_t code = 0;
    RequestExchange order(client.link());
    ASSERT_EQ(order.request(cmd::kOpenOrder, body, code), ExchangeStep::Done);
    ASSERT_EQ(code, 1);
    const TradeChange change
        = RefetchAfterTrade(client.link(), client.trading(), Refetch::Holdings);
    EXPECT_TRUE(change.holdings);
    ASSERT_EQ(client.trading().positions().size(), 1u);
    EXPECT_EQ(client.trading().positions().front().number(),
              server.account("demo").positions.front().number());
    EXPECT_GT(client.trading().account().occupiedMargin, 0.0);

    // A tick after the order moves the position's floating profit.
    const double before = client.trading().accountFigures().floatingProfit;
    const std::size_t ticks = events.ticks();
    ASSERT_TRUE(WaitFor([&] {
        server.setPrice(kProduct, server.quote(kProduct).last + 5);
        return events.ticks() > ticks && client.trading().accountFigures().floatingProfit != before;
    }));
    EXPECT_TRUE(seam.messages().empty());

    client.shutdown();
    EXPECT_FALSE(client.pushChannelOpen());
}

} // namespace
} // namespace qs
