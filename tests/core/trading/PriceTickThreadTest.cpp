#include "core/trading/PriceTick.h"

#include "core/alerts/AlertList.h"
#include "core/alerts/MessageList.h"
#include "core/app/ClientEvents.h"
#include "core/app/ClientViewState.h"
#include "core/app/PushDispatch.h"
#include "core/chart/BarList.h"
#include "core/market/SignalList.h"
#include "core/trading/RecalcAccountFigures.h"
#include "core/trading/TradingData.h"
#include "core/trading/TradingQueries.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TradingTestRecords.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

namespace qs {
namespace {

using test::Account;
using test::BytesOf;
using test::Header;
using test::ListReply;
using test::Order;
using test::Position;
using test::Product;
using test::Script;
using test::ScriptedPeer;
using test::SeamRecorder;

class CountingEnvironment final : public ClientEvents {
public:
    void relayoutChart() override {}
    void tradingNotices(const TickChange &change) override
    {
        std::lock_guard lock(m_mutex);
        ++notices;
        holdNotices += change.holdings ? 1 : 0;
        orderNotices += change.orders ? 1 : 0;
    }
    void liveBarApplied(bool) override {}
    void blinkUpkeep(std::int32_t, int) override {}
    void messageAdded(int) override {}
    void sessionEnded(SessionEnd) override {}
    void alertsChanged() override {}

    std::mutex m_mutex;
    int notices = 0;
    int holdNotices = 0;
    int orderNotices = 0;
};

constexpr int kTicks = 300;
constexpr int kTriggerEvery = 50;
constexpr int kUiRounds = 6;

// Product 1 with half a point of spread each side; the order buys when the ask reaches 1200.
std::vector<TypeInfo> Products()
{
    return {Product(1, 2, 0.1f, 0.5f, 0.5f), Product(2, 4, 1.0f, 0.0002f, 0.0002f)};
}

TEST(PriceTickThread, TickStormAgainstUserInterfaceQueries)
{
    // The push thread's refreshes: the triggering order comes back each time, so every trigger
    // tick triggers again.
    std::vector<Script> pushScripts(kTicks / kTriggerEvery);
    for (Script &script : pushScripts) {
        script.expect(test::PendingOrdersRequest()).send(ListReply({Order(1, 1, 1, 1200)}));
        test::ExpectHoldingsRefresh(script, Account(9000, 0));
    }
    // The user interface's rounds: holdings, then the product list again.
    std::vector<Script> uiScripts(kUiRounds);
    for (Script &script : uiScripts) {
        script.expect(Header(20))
            .send(ListReply({Position(1, 1, 3, 1100)}))
            .expect(test::PositionsRequest())
            .send(ListReply({Position(1, 1, 3, 1100), Position(2, 2, 1, 1.3)}))
            .expect(Header(21))
            .send(BytesOf(Account(8000, 0)))
            .expect(Header(1))
            .send(ListReply({Products()[0], Products()[1]}));
    }
    ScriptedPeer pushPeer(std::move(pushScripts));
    ScriptedPeer uiPeer(std::move(uiScripts));

    const Session session = test::TestSession();
    TradingData data;
    data.replaceProducts(Products());
    data.replacePendingOrders({Order(1, 1, 1, 1200)});
    SeamRecorder seam;
    CountingEnvironment environment;
    const ServerEndpoint pushEndpoint = pushPeer.endpoint();
    std::atomic<bool> ticking{true};

    test::TempFolder temp;
    BarList bars;
    SignalList signals;
    MessageList messages;
    AlertList alerts;
    ClientViewState view{pushEndpoint, session, DataFolder(temp.path()),
                         bars,         signals, environment};
    std::thread push([&] {
        PushDispatch handler(data, ServerLink(pushEndpoint, session, seam), view, signals, messages,
                             alerts, environment);
        for (int i = 0; i < kTicks; ++i) {
            const bool trigger = i % kTriggerEvery == kTriggerEvery - 1;
            handler.onBarRecord(test::Tick(1, trigger ? 119950 : 130000, 2));
            handler.onBarRecord(test::Tick(2, 13000 + i, 4));
        }
        ticking = false;
    });

    for (int round = 0; round < kUiRounds; ++round) {
        Connection connection = uiPeer.connect();
        const ServerLink link(uiPeer.endpoint(), session, seam);
        EXPECT_EQ(RefreshHoldings(connection, link, data), 1);
        EXPECT_EQ(QueryTypeInfo(connection, link, data), 1);
        connection.shutdownAndClose();
        RecalcAccountFigures(data);
    }
    // Readers as the windows use them, until the storm is over.
    int reads = 0;
    while (ticking || reads < 100) {
        ++reads;
        EXPECT_EQ(data.product(1).digits, 2);
        {
            // The summary page's nesting: summary lock, then positions lock.
            MutexLock summary(data.kHoldSumInfoLock);
            MutexLock positions(data.kHoldInfoLock);
            EXPECT_LE(data.kHoldInfoList.size() + data.kHoldSumInfoList.size(), 3u);
        }
        EXPECT_TRUE(std::isfinite(data.accountFigures().equity));
        RecalcAccountFigures(data);
    }
    push.join();

    EXPECT_TRUE(pushPeer.mismatches().empty()) << pushPeer.mismatches().front();
    EXPECT_TRUE(uiPeer.mismatches().empty()) << uiPeer.mismatches().front();
    EXPECT_TRUE(seam.messages().empty());
    EXPECT_EQ(environment.notices, 2 * kTicks);
    EXPECT_EQ(environment.orderNotices, kTicks / kTriggerEvery);
    EXPECT_EQ(environment.holdNotices, 0);
    EXPECT_EQ(seam.sounds().size(), static_cast<std::size_t>(kTicks / kTriggerEvery));
}

} // namespace
} // namespace qs
