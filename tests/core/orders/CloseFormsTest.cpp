#include "core/orders/CloseForms.h"

#include "core/trading/TradingData.h"
#include "tests/support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

namespace qs {
namespace {

using test::Bytes;

HoldInfo Position(std::int32_t side)
{
    HoldInfo position{};
    std::strcpy(position.positionNumber, "H7");
    std::strcpy(position.productName, "AU");
    position.productId = 9;
    position.side = side;
    position.lotsHeld = 2.0;
    return position;
}

// Command 18's body from its offset table.
Bytes CloseBody(std::int32_t direction, double at96, double at104, std::int32_t validity)
{
    Bytes bytes(256, 0);
    const auto put = [&](std::size_t at, auto v) {
        std::memcpy(&bytes[at], &v, sizeof v);
    };
    put(24, std::int32_t{9}), put(72, direction), put(80, 1.5), put(88, 1765.25);
    put(96, at96), put(104, at104), put(176, validity);
    std::memcpy(&bytes[152], "H7", 2);
    return bytes;
}

TEST(CloseForms, BodiesFollowTheirOffsetTables)
{
    const auto market = [](std::int32_t side, bool ticked, double slippage) {
        return test::BytesOf(MarketCloseBody(Position(side), {1.5, 1765.25, ticked, slippage}));
    };
    EXPECT_EQ(market(1, true, 0.0007), CloseBody(2, 0.0007, 0, 0));
    EXPECT_EQ(market(1, false, 0.0007), CloseBody(2, 0, 0, 0));
    EXPECT_EQ(market(1, true, -0.3), CloseBody(2, -0.3, 0, 0));
    EXPECT_EQ(market(2, true, 0.5), CloseBody(1, 0.5, 0, 0));
    for (const int index : {0, 1}) {
        Bytes expected = CloseBody(2, 1760.5, 1780.25, index + 1);
        std::memcpy(&expected[28], "AU", 2);
        const LimitCloseFields fields{1.5, 1765.25, 1760.5, 1780.25, index};
        EXPECT_EQ(test::BytesOf(LimitCloseBody(Position(1), fields)), expected) << index;
    }
}

TEST(CloseForms, FieldSetUpsShowTheHeldLotsAndTheSpread)
{
    TypeInfo product{};
    product.lotDecimals = 1;
    product.askSpread = 0.0007f; // 6.9999998 units in double
    const CloseLotSetup lots = MakeCloseLotSetup(Position(1), product);
    EXPECT_EQ(std::tie(lots.lower, lots.upper, lots.rangeLabel),
              std::make_tuple(1, 21, std::string("(可填范围0.1-2)")));
    EXPECT_EQ(lots.firstText, "20.0"); // whole units: the field shows 2.0
    EXPECT_EQ(MarketCloseSlippageText(product), "7");
}

TEST(CloseForms, LimitCloseReplyNeedsOutcomeOneAndANumber)
{
    const struct {
        std::int32_t outcome;
        const char *number;
        const char *message;
    } rows[] = {{1, "D9", ""},
                {1, "", "委托失败，未知错误"},
                {4, "D9", "价格无效"},
                {5, "D9", "止损或止盈无效"},
                {2, "D9", "委托失败，未知错误"}};
    for (const auto &row : rows) {
        DelegateInfo reply{};
        std::strcpy(reply.orderNumber, row.number);
        reply.status = row.outcome;
        const LimitCloseVerdict verdict = JudgeLimitCloseReply(reply);
        EXPECT_EQ(verdict.success, *row.message == 0) << row.outcome;
        EXPECT_EQ(verdict.message, row.message);
    }
}

DelegateInfo Order(const char *number, const char *position, std::int32_t openOrClose,
                   std::int32_t status)
{
    DelegateInfo order{};
    std::strcpy(order.orderNumber, number);
    std::strcpy(order.relatedPosition, position);
    order.openOrClose = openOrClose;
    order.status = status;
    return order;
}

TEST(CloseForms, AddLimitCloseReplacesTheFirstWaitingCloseOfThePosition)
{
    // D2, a later waiting close of the same position, goes when D1 does not qualify.
    const struct {
        DelegateInfo first;
        const char *kept;
    } rows[] = {{Order("D1", "H7", 2, 1), "D2"},
                {Order("D1", "H7", 2, 3), "D1"}, // filled
                {Order("D1", "H7", 1, 1), "D1"}, // opens a position
                {Order("D1", "H8", 2, 1), "D1"}};
    for (const auto &row : rows) {
        TradingData data;
        data.replacePendingOrders({row.first, Order("D2", "H7", 2, 1)});
        AddLimitClose(data, Order("D3", "H7", 2, 0));
        const auto orders = data.pendingOrders();
        ASSERT_EQ(orders.size(), 2u);
        EXPECT_EQ(orders[0].number(), row.kept);
        EXPECT_EQ(orders[1].number(), "D3");
        EXPECT_EQ(orders[1].status, 1);
    }
}

} // namespace
} // namespace qs
