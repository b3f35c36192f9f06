#include "core/trading/PriceTick.h"

#include "core/alerts/AlertList.h"
#include "core/alerts/MessageList.h"
#include "core/app/ClientEvents.h"
#include "core/app/ClientViewState.h"
#include "core/app/PushDispatch.h"
#include "core/chart/BarList.h"
#include "core/market/SignalList.h"
#include "core/platform/AnsiCodec.h"
#include "core/trading/TradingData.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TradingTestRecords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qs {
namespace {

using test::Account;
using test::BytesOf;
using test::Header;
using test::Int32Bytes;
using test::ListReply;
using test::Order;
using test::Position;
using test::Product;
using test::Script;
using test::ScriptedPeer;
using test::SeamRecorder;
using test::Tick;

// Everything the tick asks of the windows, in one ordered log.
class RecordingEvents final : public ClientEvents {
public:
    std::vector<std::string> log;
    TickChange last;

    void relayoutChart() override { log.push_back("relayout"); }
    void tradingNotices(const TickChange &change) override
    {
        last = change;
        log.push_back("notify " + std::to_string(change.holdings) + std::to_string(change.orders)
                      + " " + std::to_string(change.tick.productId) + "@"
                      + std::to_string(change.tick.close));
    }
    void liveBarApplied(bool) override { log.push_back("live bar"); }
    void blinkUpkeep(std::int32_t, int) override { log.push_back("blink"); }
    void messageAdded(int soundId) override { log.push_back("message " + std::to_string(soundId)); }
    void sessionEnded(SessionEnd) override { log.push_back("session ended"); }
    void alertsChanged() override { log.push_back("alerts changed"); }
};

// Product 1: 2 digits, point value 0.1, ask spread 0.5, bid spread 0.5. Ticks go the way the
// push thread sends them, through the dispatch.
struct Fixture {
    test::TempFolder temp;
    TradingData data;
    SeamRecorder seam;
    RecordingEvents environment;
    Session session = test::TestSession();
    ServerEndpoint endpoint = test::Nowhere();
    BarList bars;
    SignalList signals;
    MessageList messages;
    AlertList alerts;
    ClientViewState view{endpoint, session, DataFolder(temp.path()), bars, signals, environment};
    bool detached = false;

    Fixture()
    {
        data.replaceProducts({Product(1, 2, 0.1f, 0.5f, 0.5f), Product(2, 0, 1.0f)});
        data.replaceAccount(Account(10000, 0));
    }
    TickChange tick(std::int32_t productId, std::int32_t close)
    {
        PushDispatch dispatch(data, ServerLink(endpoint, session, seam), view, signals, messages,
                              alerts, environment);
        if (detached)
            dispatch.detach();
        environment.last = TickChange{};
        dispatch.onBarRecord(Tick(productId, close, 2));
        return environment.last;
    }
};

TEST(PriceTick, SetsTheProductsPricesFromTheClose)
{
    Fixture f;
    const TickChange outcome = f.tick(1, 100150);
    EXPECT_TRUE(outcome.pricesSet);
    const TypeInfo product = f.data.product(1);
    EXPECT_EQ(product.lastPrice, 1001.5f);
    EXPECT_EQ(product.buyPrice, 1002.0f);
    EXPECT_EQ(product.sellPrice, 1001.0f);
    EXPECT_EQ(f.data.product(2).lastPrice, 0.0f);
    // The product's own digits count, not the bar's.
    f.tick(2, 1234);
    EXPECT_EQ(f.data.product(2).lastPrice, 1234.0f);
}

TEST(PriceTick, PositionStopsAndTakeProfits)
{
    struct Case {
        HoldInfo position;
        float buy;
        float sell;
        bool triggers;
    };
    const Case cases[] = {
        {Position(1, 1, 1, 1000, 0, 0), 0.0f, 0.0f, false}, // no stops never triggers
        {Position(1, 1, 1, 1000, 0, 0), 1e9f, 1e9f, false},
        {Position(1, 1, 1, 1000, 0, 1010), 1012.0f, 1010.0f, true}, // buy: sell >= take-profit
        {Position(1, 1, 1, 1000, 0, 1010), 1010.0f, 1009.5f, false},
        {Position(1, 1, 1, 1000, 990, 0), 990.5f, 990.0f, true}, // buy: sell <= stop-loss
        {Position(1, 1, 1, 1000, 990, 0), 990.0f, 990.5f, false},
        {Position(1, 2, 1, 1000, 0, 990), 990.0f, 989.5f, true}, // sell: buy <= take-profit
        {Position(1, 2, 1, 1000, 0, 990), 990.5f, 990.0f, false},
        {Position(1, 2, 1, 1000, 1010, 0), 1010.0f, 1009.5f, true}, // sell: buy >= stop-loss
        {Position(1, 2, 1, 1000, 1010, 0), 1009.5f, 1010.0f, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PositionTriggered(c.position, c.buy, c.sell), c.triggers)
            << c.position.side << " sl " << c.position.stopLoss << " tp " << c.position.takeProfit
            << " at " << c.buy << "/" << c.sell;
}

TEST(PriceTick, PendingOrderKinds)
{
    struct Case {
        DelegateInfo order;
        float buy;
        float sell;
        bool triggers;
    };
    const Case cases[] = {
        {Order(1, 1, 1, 1200), 1200.0f, 1199.0f, true}, // buy kind 1 exactly at its price
        {Order(1, 1, 1, 1200), 1200.01f, 1199.0f, false},
        {Order(1, 1, 3, 1200), 1200.0f, 1199.0f, true},
        {Order(1, 1, 3, 1200), 1199.99f, 1199.0f, false},
        {Order(1, 2, 2, 1200), 1201.0f, 1200.0f, true},
        {Order(1, 2, 2, 1200), 1201.0f, 1199.99f, false},
        {Order(1, 2, 4, 1200), 1201.0f, 1200.0f, true},
        {Order(1, 2, 4, 1200), 1201.0f, 1200.01f, false},
        // A sell order of kind 1 or 3 and a buy order of kind 2 or 4 never trigger.
        {Order(1, 2, 1, 1200), 0.0f, 0.0f, false},
        {Order(1, 2, 3, 1200), 1e9f, 1e9f, false},
        {Order(1, 1, 2, 1200), 1e9f, 1e9f, false},
        {Order(1, 1, 4, 1200), 0.0f, 0.0f, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PendingOrderTriggered(c.order, c.buy, c.sell), c.triggers)
            << c.order.side << " kind " << c.order.triggerKind << " at " << c.buy << "/" << c.sell;
}

TEST(PriceTick, WithoutATriggerOnlyTheWindowsAndTheAlertCheckHear)
{
    Fixture f;
    f.data.replacePositions({Position(1, 1, 2, 1000.00), Position(1, 1, 1, 900, 0, 1000, 2)});
    f.data.replacePendingOrders(
        {Order(1, 2, 1, 1200), Order(1, 1, 1, 1200, 3), Order(2, 1, 1, 999999)});
    const TickChange outcome = f.tick(1, 100150);
    EXPECT_FALSE(outcome.holdings);
    EXPECT_FALSE(outcome.orders);
    EXPECT_EQ(f.environment.log, (std::vector<std::string>{"notify 00 1@100150"}));
    EXPECT_TRUE(f.seam.sounds().empty());
    // Every position counts, whatever its status: (1001 − 1000) × 10 × 2 + (1001 − 900) × 10.
    EXPECT_EQ(f.data.accountFigures().floatingProfit, 1030.0);
}

TEST(PriceTick, RiskRateOfExactlyThirtyTriggersAndNoMarginNeverDoes)
{
    Fixture f;
    f.data.replaceAccount(Account(0, 0));
    EXPECT_FALSE(f.tick(1, 100000).holdings);

    // Equity 300 on an occupied margin of 1000.
    f.data.replaceAccount(Account(-700, 1000));
    const TickChange outcome = f.tick(1, 100000);
    EXPECT_TRUE(outcome.holdings);
    EXPECT_FALSE(outcome.orders);
    EXPECT_FLOAT_EQ(f.data.accountFigures().riskRate, 30.0f);

    f.data.replaceAccount(Account(-699, 1000));
    EXPECT_FALSE(f.tick(1, 100000).holdings);
}

TEST(PriceTick, AnUnlistedProductSetsNoPricesAndTestsNoTriggers)
{
    Fixture f;
    f.data.replacePendingOrders({Order(9, 1, 3, 0)}); // would trigger at any price
    const TickChange outcome = f.tick(9, 500);
    EXPECT_FALSE(outcome.pricesSet);
    EXPECT_FALSE(outcome.orders);
    EXPECT_EQ(f.environment.log, (std::vector<std::string>{"notify 00 9@500"}));
}

TEST(PriceTick, NothingHappensOnceTheMainWindowIsGone)
{
    Fixture f;
    f.detached = true;
    f.tick(1, 100150);
    EXPECT_EQ(f.data.product(1).lastPrice, 0.0f);
    EXPECT_TRUE(f.environment.log.empty());
}

TEST(PriceTick, HoldingsTriggerRefreshesSummaryPositionsAccountOnOneConnection)
{
    Script script;
    // The refreshed positions no longer hold the triggered one; the account changed.
    script.expect(Header(20))
        .send(Int32Bytes(0))
        .expect(test::PositionsRequest())
        .send(ListReply({Position(1, 1, 1, 1000.00)}))
        .expect(Header(21))
        .send(BytesOf(Account(2000, 100)));
    ScriptedPeer peer(script);
    Fixture f;
    f.endpoint = peer.endpoint();
    f.data.replacePositions({Position(1, 1, 2, 1000.00, 0, 1001.00)});

    const TickChange outcome = f.tick(1, 100150);

    EXPECT_TRUE(outcome.holdings);
    EXPECT_FALSE(outcome.orders);
    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
    EXPECT_EQ(peer.connectionsAccepted(), 1u);
    ASSERT_EQ(f.seam.sounds().size(), 1u);
    EXPECT_EQ(f.seam.sounds()[0].resourceId, 192);
    EXPECT_FALSE(f.seam.sounds()[0].loop);
    EXPECT_EQ(f.environment.log, (std::vector<std::string>{"relayout", "notify 10 1@100150"}));
    // The second recalculation saw the refreshed position and account.
    EXPECT_EQ(f.data.accountFigures().floatingProfit, 10.0);
    EXPECT_EQ(f.data.accountFigures().equity, 2110.0);
}

TEST(PriceTick, OrdersTriggerAsksForOrdersThenTheHoldings)
{
    Script script;
    script.expect(test::PendingOrdersRequest()).send(Int32Bytes(0));
    test::ExpectHoldingsRefresh(script, Account(1, 0));
    ScriptedPeer peer(script);
    Fixture f;
    f.endpoint = peer.endpoint();
    f.data.replacePendingOrders({Order(1, 1, 1, 1200)});

    const TickChange outcome = f.tick(1, 119950); // buy price 1200.00 exactly

    EXPECT_FALSE(outcome.holdings);
    EXPECT_TRUE(outcome.orders);
    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
    EXPECT_TRUE(f.data.pendingOrders().empty());
    EXPECT_EQ(f.data.account().usableFunds, 1);
    EXPECT_EQ(f.environment.log, (std::vector<std::string>{"relayout", "notify 01 1@119950"}));
}

TEST(PriceTick, BothTriggersRefreshTheHoldingsOnceThenTheOrders)
{
    Script script;
    test::ExpectHoldingsRefresh(script, Account(1, 0));
    script.expect(test::PendingOrdersRequest()).send(Int32Bytes(0));
    ScriptedPeer peer(script);
    Fixture f;
    f.endpoint = peer.endpoint();
    f.data.replacePositions({Position(1, 2, 1, 1300.00, 1200.00, 0)});
    f.data.replacePendingOrders({Order(1, 1, 1, 1200)});

    f.tick(1, 119950);

    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
    EXPECT_EQ(peer.received(), test::Join({Header(20), test::PositionsRequest(), Header(21),
                                           test::PendingOrdersRequest()}));
    EXPECT_EQ(f.environment.log, (std::vector<std::string>{"relayout", "notify 11 1@119950"}));
}

TEST(PriceTick, ARefreshWithoutAConnectionStillSoundsAndNotifies)
{
    Fixture f; // its endpoint leads nowhere
    f.data.replacePendingOrders({Order(1, 1, 1, 1200)});
    f.data.replaceAccount(Account(500, 100));

    const TickChange change = f.tick(1, 119950);

    EXPECT_EQ(f.seam.messageTexts(), std::vector<std::string>{"无法连接服务器，操作已取消"});
    EXPECT_EQ(f.seam.sounds().size(), 1u);
    EXPECT_EQ(f.data.pendingOrders().size(), 1u);
    EXPECT_EQ(f.data.account().usableFunds, 500);
    EXPECT_EQ(f.environment.log, (std::vector<std::string>{"relayout", "notify 01 1@119950"}));
    EXPECT_FALSE(change.refreshed);
}

HoldInfo Numbered(HoldInfo position, const char *number)
{
    WriteAnsiField(position.positionNumber, number);
    return position;
}

DelegateInfo Numbered(DelegateInfo order, const char *number)
{
    WriteAnsiField(order.orderNumber, number);
    return order;
}

TEST(PriceTick, TheRefreshNamesWhatTheServerClosedAndFilled)
{
    // P1 reaches its take-profit and D1 its price; the server closed P1 and P3 and filled D1.
    const HoldInfo p1 = Numbered(Position(1, 2, 3, 1300.00, 0, 1300.00), "P1");
    const HoldInfo p2 = Numbered(Position(1, 1, 1, 1000.00), "P2");
    const HoldInfo p3 = Numbered(Position(2, 2, 0.5, 30), "P3");
    const DelegateInfo d1 = Numbered(Order(1, 1, 1, 1200), "D1");
    const DelegateInfo d2 = Numbered(Order(2, 2, 2, 99999), "D2");
    Script script;
    script.expect(Header(20))
        .send(Int32Bytes(0))
        .expect(test::PositionsRequest())
        .send(ListReply({p2, Numbered(Position(1, 1, 1, 1200.00), "P4")}))
        .expect(Header(21))
        .send(BytesOf(Account(1, 0)))
        .expect(test::PendingOrdersRequest())
        .send(ListReply({d2}));
    ScriptedPeer peer(script);
    Fixture f;
    f.endpoint = peer.endpoint();
    f.data.replacePositions({p1, p2, p3});
    f.data.replacePendingOrders({d1, d2});

    const TickChange change = f.tick(1, 119950);

    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
    EXPECT_TRUE(change.refreshed);
    EXPECT_EQ(change.closedByServer,
              (std::vector<ServerDeal>{{"P1", 1, 2, 3.0}, {"P3", 2, 2, 0.5}}));
    EXPECT_EQ(change.filledByServer, (std::vector<ServerDeal>{{"D1", 1, 1, 1.0}}));
}

TEST(PriceTick, ATickWithoutATriggerClosesAndFillsNothing)
{
    Fixture f;
    f.data.replacePositions({Numbered(Position(1, 1, 1, 1000.00), "P1")});
    const TickChange change = f.tick(1, 100150);
    EXPECT_FALSE(change.refreshed);
    EXPECT_TRUE(change.closedByServer.empty());
    EXPECT_TRUE(change.filledByServer.empty());
    EXPECT_EQ(change.tick.close, 100150);
}

} // namespace
} // namespace qs
