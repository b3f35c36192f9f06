#include "core/orders/DeleteOrder.h"

#include "core/platform/AnsiCodec.h"
#include "core/protocol/ServerLink.h"
#include "core/trading/TradingData.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TradingTestRecords.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace qs {
namespace {

using test::Bytes;
using test::BytesOf;
using test::Header;
using test::Int32Bytes;
using test::Join;
using test::Script;
using test::ScriptedPeer;
using test::SeamRecorder;

const std::string kNotWaiting = "无法删除已经完成的订单";
const std::string kFailed = "删除失败，请检查网络";
const std::string kQuestion = "确认删除订单[D20240301001]？";

DelegateInfo ChartOrder(std::int32_t status = 1)
{
    DelegateInfo order = test::Order(1, 1, 1, 2310.5, status);
    WriteAnsiField(order.orderNumber, "D20240301001");
    order.carried21[0] = 0xA1;
    order.carried21[1] = 0xA2;
    order.carried21[2] = 0xA3;
    WriteAnsiField(order.productName, "伦敦金");
    order.orderY = 321; // the chart's own bytes lie beyond the 30 that are sent
    return order;
}

// Command 15 as the chart sends it: the header, then bytes 0-29 of the order, written from the
// record's offsets: number (21), three bytes, product id, first two bytes of the product name.
Bytes DeleteRequest()
{
    Bytes body(21, 0);
    std::memcpy(body.data(), "D20240301001", 12);
    body.insert(body.end(), {0xA1, 0xA2, 0xA3});
    const Bytes id = Int32Bytes(1);
    body.insert(body.end(), id.begin(), id.end());
    const std::string name = Utf8ToAnsi("伦敦金");
    body.insert(body.end(), name.begin(), name.begin() + 2);
    return Join({Header(15), body});
}

// A port that nobody is expected to call.
struct QuietServer {
    Listener listener = Listener::listen(Ipv4Address::loopback(), 0);
    ServerEndpoint endpoint() const
    {
        ServerEndpoint e;
        e.requestPort = e.pushPort = e.klinePort = listener.port();
        return e;
    }
    bool wasCalled() { return listener.accept(Milliseconds(0)).isOpen(); }
};

struct Rig {
    Session session = test::TestSession();
    TradingData data;
    SeamRecorder seam;
    int relayouts = 0; // calls of the deleted handler, which lays the chart out
    std::vector<TradeChange> changes;

    Rig()
    {
        data.replaceProducts({test::Product(1, 2, 100)});
        data.replacePendingOrders({ChartOrder()});
        data.replaceAccount(test::Account(5000, 1000));
        seam.answerWith(MessageResult::Yes);
    }

    DeleteOrderResult run(const DelegateInfo &order, const ServerEndpoint &endpoint)
    {
        return DeleteOrder(order, ServerLink(endpoint, session, seam), data,
                           [this](const TradeChange &change) {
                               ++relayouts;
                               changes.push_back(change);
                           });
    }
};

TEST(DeleteOrder, OnlyAWaitingOrderThatTheMemberConfirmsIsSent)
{
    QuietServer server;
    for (const std::int32_t status : {2, 3}) {
        Rig rig;
        EXPECT_EQ(rig.run(ChartOrder(status), server.endpoint()), DeleteOrderResult::NotWaiting);
        EXPECT_EQ(rig.seam.messageTexts(), std::vector<std::string>{kNotWaiting});
    }
    Rig rig;
    rig.seam.answerWith(MessageResult::No);
    EXPECT_EQ(rig.run(ChartOrder(), server.endpoint()), DeleteOrderResult::Declined);
    ASSERT_EQ(rig.seam.messages().size(), 1u);
    EXPECT_EQ(rig.seam.messages()[0].text, kQuestion);
    EXPECT_EQ(rig.seam.messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_FALSE(server.wasCalled());
    EXPECT_EQ(rig.data.pendingOrders().size(), 1u);
}

TEST(DeleteOrder, ReplyOneRefreshesOrdersAndAccountOnTheSameConnection)
{
    DelegateInfo remaining = test::Order(1, 2, 2, 2400);
    WriteAnsiField(remaining.orderNumber, "D20240301002");
    ScriptedPeer peer(Script()
                          .expect(DeleteRequest())
                          .send(Int32Bytes(1))
                          .expect(test::PendingOrdersRequest())
                          .send(test::ListReply<DelegateInfo>({remaining}))
                          .expect(Header(21))
                          .send(BytesOf(test::Account(7000, 500))));
    Rig rig;
    EXPECT_EQ(rig.run(ChartOrder(), peer.endpoint()), DeleteOrderResult::Deleted);
    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
    EXPECT_EQ(peer.connectionsAccepted(), 1u);

    ASSERT_EQ(rig.data.pendingOrders().size(), 1u);
    EXPECT_EQ(rig.data.pendingOrders()[0].number(), "D20240301002");
    EXPECT_EQ(rig.data.account().usableFunds, 7000);
    EXPECT_EQ(rig.data.accountFigures().equity, 7500); // recomputed from the new account
    EXPECT_EQ(rig.relayouts, 1);
    TradeChange fetched;
    fetched.orders = true;
    fetched.account = true;
    EXPECT_EQ(rig.changes, std::vector<TradeChange>{fetched});
    // Sound 190 is the caller's: tests/ui/orders/AfterTradeTest.cpp.
    EXPECT_TRUE(rig.seam.sounds().empty());
    EXPECT_EQ(rig.seam.messageTexts(), std::vector<std::string>{kQuestion});
}

TEST(DeleteOrder, RefusalsAndBrokenRepliesDeleteNothing)
{
    const std::vector<Script> replies = {
        Script().expect(DeleteRequest()).send(Int32Bytes(0)),
        Script().expect(DeleteRequest()).send(Int32Bytes(-3)),
        Script().expect(DeleteRequest()).sendThenClose({1, 0}),
        Script().expect(DeleteRequest()).closeNow(),
    };
    for (std::size_t i = 0; i < replies.size(); ++i) {
        ScriptedPeer peer(replies[i]);
        Rig rig;
        EXPECT_EQ(rig.run(ChartOrder(), peer.endpoint()), DeleteOrderResult::Failed) << i;
        EXPECT_EQ(rig.seam.messageTexts(), (std::vector<std::string>{kQuestion, kFailed})) << i;
        EXPECT_EQ(rig.data.pendingOrders().size(), 1u);
        EXPECT_EQ(rig.relayouts, 0);
        EXPECT_TRUE(rig.seam.sounds().empty());
    }

    Rig rig;
    EXPECT_EQ(rig.run(ChartOrder(), test::Nowhere()), DeleteOrderResult::NoConnection);
    EXPECT_EQ(rig.seam.messageTexts(),
              (std::vector<std::string>{kQuestion, "无法连接服务器，操作已取消"}));
}

} // namespace
} // namespace qs
