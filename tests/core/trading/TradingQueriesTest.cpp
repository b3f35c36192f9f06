#include "core/trading/TradingQueries.h"

#include "core/alerts/AlertList.h"
#include "core/alerts/AlertQueries.h"
#include "core/protocol/AlertInfo.h"
#include "core/protocol/ServerLink.h"
#include "core/trading/TradingData.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TradingTestRecords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qs {
namespace {

using test::Account;
using test::Bytes;
using test::BytesOf;
using test::Header;
using test::Int32Bytes;
using test::Join;
using test::ListReply;
using test::Order;
using test::Position;
using test::Product;
using test::Script;
using test::ScriptedPeer;
using test::SeamRecorder;

const std::string kHoldingsFailed = "获取持仓信息失败";
const std::string kAccountFailed = "获取账户信息失败";

AlertInfo Alert(std::int32_t id, std::int32_t productId)
{
    AlertInfo alert = ZeroRecord<AlertInfo>();
    alert.alertId = id;
    alert.productId = productId;
    alert.level = 1200.5;
    alert.condition = 1;
    return alert;
}

Connection Connect(ScriptedPeer &peer)
{
    Connection connection = peer.connect();
    connection.socket().setReceiveTimeout(Milliseconds(2000));
    return connection;
}

// Data with something in every collection, so a query that wrongly clears or keeps shows.
void Fill(TradingData &data, AlertList &alerts)
{
    data.replaceProducts({Product(1, 2, 0.1f), Product(7, 4, 1.0f)});
    data.replacePositions({Position(1, 1, 2, 1000), Position(7, 2, 1, 1.3)});
    data.replacePositionSummary({Position(1, 1, 2, 1000)});
    data.replacePendingOrders({Order(1, 1, 1, 1200)});
    data.replaceAccount(Account(5000, 1000));
    alerts.replace({Alert(3, 1)});
}

class TradingQueries : public ::testing::Test {
protected:
    TradingQueries() { Fill(data, alerts); }

    const Session session = test::TestSession();
    TradingData data;
    AlertList alerts;
    SeamRecorder seam;
    const ServerLink link{ServerEndpoint(), session, seam};
};

TEST_F(TradingQueries, ZeroCountsEmptyHoldingsAndOrdersButKeepProductsAndAlerts)
{
    const Bytes zero = Int32Bytes(0);
    ScriptedPeer peer(Script()
                          .expect(Header(1))
                          .send(zero)
                          .expect(Header(8))
                          .send(zero)
                          .expect(Header(20))
                          .send(zero)
                          .expect(test::PositionsRequest())
                          .send(zero)
                          .expect(test::PendingOrdersRequest())
                          .send(zero));
    Connection connection = Connect(peer);

    EXPECT_EQ(QueryTypeInfo(connection, link, data), 1);
    EXPECT_EQ(QueryAlertInfo(connection, link, alerts), 1);
    EXPECT_EQ(QueryHoldSumInfo(connection, link, data), 1);
    EXPECT_EQ(QueryHoldInfo(connection, link, data), 1);
    EXPECT_EQ(QueryDelegateInfo(connection, link, data), 1);

    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
    EXPECT_EQ(data.products().size(), 2u);
    EXPECT_EQ(alerts.size(), 1u);
    EXPECT_TRUE(data.positionSummary().empty());
    EXPECT_TRUE(data.positions().empty());
    EXPECT_TRUE(data.pendingOrders().empty());
    EXPECT_TRUE(seam.messages().empty());
    EXPECT_EQ(seam.debugLines(),
              (std::vector<std::string>{"kTypeInfoList完成", "kDelegateInfoList完成"}));
}

TEST_F(TradingQueries, RepliesReplaceTheListsWholeInServerOrder)
{
    // The positions reply closes in the third of five records: two are kept, and that counts as
    // success.
    const Bytes third = BytesOf(Position(3, 1, 1, 30));
    ScriptedPeer peer(Script()
                          .expect(Header(1))
                          .send(ListReply({Product(9, 3, 1.0f), Product(2, 2, 0.5f)}))
                          .expect(Header(8))
                          .send(ListReply({Alert(8, 9), Alert(4, 2)}))
                          .expect(Header(21))
                          .send(BytesOf(Account(7000, 250)))
                          .expect(test::PositionsRequest())
                          .sendThenClose(Join({Int32Bytes(5), BytesOf(Position(1, 1, 1, 10)),
                                               BytesOf(Position(2, 1, 1, 12.5)),
                                               Bytes(third.begin(), third.begin() + 100)})));
    Connection connection = Connect(peer);

    EXPECT_EQ(QueryTypeInfo(connection, link, data), 1);
    EXPECT_EQ(QueryAlertInfo(connection, link, alerts), 1);
    EXPECT_EQ(QueryAccountInfo(connection, link, data), 1);
    EXPECT_EQ(QueryHoldInfo(connection, link, data), 1);

    EXPECT_TRUE(peer.mismatches().empty());
    EXPECT_TRUE(seam.messages().empty());
    const std::vector<TypeInfo> products = data.products();
    ASSERT_EQ(products.size(), 2u);
    EXPECT_EQ(products[0].productId, 9);
    EXPECT_EQ(products[1].productId, 2);
    const std::vector<AlertInfo> alertList = alerts.snapshot();
    ASSERT_EQ(alertList.size(), 2u);
    EXPECT_EQ(alertList[0].alertId, 8);
    EXPECT_EQ(alertList[1].alertId, 4);
    const std::vector<HoldInfo> positions = data.positions();
    ASSERT_EQ(positions.size(), 2u);
    EXPECT_EQ(positions[0].productId, 1);
    EXPECT_EQ(positions[1].openPrice, 12.5);
    EXPECT_EQ(data.account().usableFunds, 7000);
    EXPECT_EQ(data.account().occupiedMargin, 250);
}

TEST_F(TradingQueries, ACountThatBreaksOffFailsWithItsMessageAndKeepsTheList)
{
    using Query = int (*)(Connection &, const ServerLink &, TradingData &);
    const struct {
        Bytes request;
        Query query;
        std::string message;
    } cases[] = {
        {Header(20), QueryHoldSumInfo, kHoldingsFailed},
        {test::PositionsRequest(), QueryHoldInfo, kHoldingsFailed},
        {test::PendingOrdersRequest(), QueryDelegateInfo, kHoldingsFailed},
        {Join({Header(19), test::Zeros(52)}),
         [](Connection &c, const ServerLink &l, TradingData &) {
             std::vector<DealInfo> deals(3);
             const int result = QueryDealInfo(c, l, deals);
             return deals.size() == 3 ? result : 99;
         },
         "获取成交信息失败"},
    };
    for (const auto &c : cases) {
        ScriptedPeer peer(Script().expect(c.request).sendThenClose({0, 0}));
        TradingData fresh;
        AlertList unused;
        Fill(fresh, unused);
        SeamRecorder messages;
        Connection connection = Connect(peer);
        EXPECT_EQ(c.query(connection, ServerLink(peer.endpoint(), session, messages), fresh), -1)
            << c.message;
        EXPECT_TRUE(peer.mismatches().empty());
        EXPECT_EQ(messages.messageTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(fresh.positionSummary().size(), 1u);
        EXPECT_EQ(fresh.positions().size(), 2u);
        EXPECT_EQ(fresh.pendingOrders().size(), 1u);
    }
}

TEST_F(TradingQueries, AnAccountReplyOf159BytesFailsAndKeepsThePreviousRecord)
{
    const Bytes reply = BytesOf(Account(9999, 9999));
    ScriptedPeer peer(
        Script().expect(Header(21)).sendThenClose(Bytes(reply.begin(), reply.end() - 1)));
    AccountInfo previous = Account(5000, 1000);
    previous.award = 2;
    data.replaceAccount(previous);
    Connection connection = Connect(peer);

    EXPECT_EQ(QueryAccountInfo(connection, link, data), -1);
    EXPECT_EQ(seam.messageTexts(), std::vector<std::string>{kAccountFailed});
    EXPECT_EQ(BytesOf(data.account()), BytesOf(previous));
}

TEST_F(TradingQueries, RefreshHoldingsStopsAtTheFirstFailure)
{
    ScriptedPeer peer(Script()
                          .expect(Header(20))
                          .send(ListReply({Position(1, 1, 4, 1000)}))
                          .expect(test::PositionsRequest())
                          .sendThenClose({1, 0}));
    Connection connection = Connect(peer);

    EXPECT_EQ(RefreshHoldings(connection, link, data), -1);
    EXPECT_EQ(seam.messageTexts(), std::vector<std::string>{kHoldingsFailed});
    // The account was never asked for: nothing followed the positions request.
    EXPECT_EQ(peer.received(), Join({Header(20), test::PositionsRequest()}));
    EXPECT_EQ(data.positionSummary()[0].lotsHeld, 4);
    EXPECT_EQ(data.account().usableFunds, 5000);
}

TEST_F(TradingQueries, StartUpFetchRunsItsFourQueriesOnOneConnectionThenRecalculates)
{
    const AccountInfo account = Account(10000, 500);
    ScriptedPeer peer(Script()
                          .expect(Header(20))
                          .send(ListReply({Position(1, 1, 2, 1000)}))
                          .expect(test::PositionsRequest())
                          .send(ListReply({Position(1, 1, 2, 1000)}))
                          .expect(Header(21))
                          .send(BytesOf(account))
                          .expect(test::PendingOrdersRequest())
                          .send(ListReply({Order(1, 1, 3, 1100), Order(1, 2, 2, 900)})));
    TypeInfo product = Product(1, 2, 0.1f);
    product.sellPrice = 1001.5f;
    data.replaceProducts({product});

    FetchAccountAtStart(ServerLink(peer.endpoint(), session, seam), data);

    EXPECT_TRUE(peer.mismatches().empty());
    EXPECT_EQ(peer.connectionsAccepted(), 1u);
    EXPECT_EQ(data.pendingOrders().size(), 2u);
    EXPECT_EQ(data.accountFigures().floatingProfit, 30.0);
    EXPECT_EQ(data.accountFigures().equity, 10530.0);
    EXPECT_TRUE(seam.messages().empty());
}

TEST_F(TradingQueries, StartUpFetchSkipsTheAccountWhenTheHoldingsFailedButStillAsksForOrders)
{
    ScriptedPeer peer(Script()
                          .expect(Header(20))
                          .send(Int32Bytes(0))
                          .expect(test::PositionsRequest())
                          .sendThenClose({3}));

    FetchAccountAtStart(ServerLink(peer.endpoint(), session, seam), data);

    // Positions failed, no account message; the pending orders were still asked for and failed
    // on the closed connection.
    EXPECT_EQ(seam.messageTexts(), (std::vector<std::string>{kHoldingsFailed, kHoldingsFailed}));
    EXPECT_EQ(data.account().usableFunds, 5000);
    EXPECT_EQ(data.pendingOrders().size(), 1u);
}

TEST_F(TradingQueries, MainFrameFetchAsksForProductsThenAlertsOnOneConnection)
{
    ScriptedPeer peer(Script()
                          .expect(Header(1))
                          .send(ListReply({Product(5, 2, 1.0f)}))
                          .expect(Header(8))
                          .send(ListReply({Alert(1, 5)})));

    FetchProductsAndAlerts(ServerLink(peer.endpoint(), session, seam), data, alerts);

    EXPECT_TRUE(peer.mismatches().empty());
    EXPECT_EQ(peer.connectionsAccepted(), 1u);
    EXPECT_EQ(data.productName(5), "品种5");
    EXPECT_EQ(alerts.size(), 1u);
}

TEST_F(TradingQueries, WithoutAConnectionTheListsStayAndTheFiguresAreStillComputed)
{
    const ServerLink nowhere(test::Nowhere(), session, seam);

    FetchProductsAndAlerts(nowhere, data, alerts);
    FetchAccountAtStart(nowhere, data);

    EXPECT_EQ(seam.messageTexts(), (std::vector<std::string>{"无法连接服务器，操作已取消",
                                                             "无法连接服务器，操作已取消"}));
    EXPECT_EQ(data.products().size(), 2u);
    EXPECT_EQ(alerts.size(), 1u);
    EXPECT_EQ(data.positions().size(), 2u);
    // No tick has priced the products yet: the buy of product 1 counts from 0 (−20000), the sell
    // of product 7 to 0 (+13000).
    EXPECT_EQ(data.accountFigures().floatingProfit, -7000.0);
    EXPECT_EQ(data.accountFigures().equity, -1000.0);
}

} // namespace
} // namespace qs
