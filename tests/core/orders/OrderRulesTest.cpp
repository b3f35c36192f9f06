#include "core/orders/OrderRules.h"
#include "core/orders/OrderResults.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace qs {
namespace {

using Refusal = std::optional<std::string>;
const Refusal kPass;
const std::string kLotsOutOfRange = "交易手数不合法，请修改后重试";

TypeInfo Lots(float minLots, std::int32_t maxLots, std::int32_t lotDecimals, float lotStep)
{
    TypeInfo product{};
    product.minLots = minLots;
    product.maxLots = maxLots;
    product.lotDecimals = lotDecimals;
    product.lotStep = lotStep;
    return product;
}

TEST(OrderRules, LotsInRangeAndOnTheUnit)
{
    const TypeInfo tenths = Lots(0.1f, 50, 1, 1);
    const TypeInfo hundredths = Lots(0.01f, 10, 2, 1);
    const TypeInfo halves = Lots(0.5f, 20, 1, 5);
    const struct {
        TypeInfo product;
        double lots;
        Refusal expected;
        bool plainDivisionMisses; // lots / unit in doubles is not whole
    } rows[] = {
        {tenths, 0.1, kPass, false}, // the float 0.1f minimum as the field reads it
        {tenths, 50, kPass, false},
        {tenths, 0.0, kLotsOutOfRange, false},
        {tenths, 50.1, kLotsOutOfRange, false},
        {tenths, std::numeric_limits<double>::quiet_NaN(), kLotsOutOfRange, false},
        {tenths, 0.3, kPass, true},
        {tenths, 0.35, "交易手数必须是0.1的倍数", false},
        {hundredths, 0.07, kPass, true},
        {hundredths, 0.075, "交易手数必须是0.01的倍数", false},
        {halves, 1.5, kPass, false},
        {halves, 1.2, "交易手数必须是0.5的倍数", false},
        {TypeInfo{}, 0, "交易手数必须是0的倍数", false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.lots);
        EXPECT_EQ(CheckLots(row.lots, row.product), row.expected);
        if (row.plainDivisionMisses) {
            const double unit = static_cast<double>(row.product.lotStep)
                                / std::pow(10.0, row.product.lotDecimals);
            EXPECT_NE(row.lots / unit, std::trunc(row.lots / unit));
        }
    }
}

TEST(OrderRules, LimitPriceKeepsItsDistanceFromTheSidePrice)
{
    const std::string tooNear = "挂单价必须小于1763.5或者大于1767.5";
    const struct {
        double limit;
        Refusal expected;
    } rows[] = {{1763.5, kPass}, {1767.5, kPass}, {1764, tooNear}, {1767.4, tooNear}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.limit);
        EXPECT_EQ(CheckLimitDistance(row.limit, 1765.5, 2), row.expected);
    }
}

TEST(OrderRules, StopsKeepTheStopDistanceFromTheEntry)
{
    const std::string tooNear = "止损或盈利必须远离建仓价3元";
    const struct {
        std::int32_t direction;
        double stopLoss;
        double takeProfit;
        double distance;
        Refusal expected;
    } rows[] = {
        {1, 1762.30, 0, 3, kPass},
        {1, 1762.31, 0, 3, tooNear},
        {1, 0, 1768.30, 3, kPass},
        {1, 0, 1768.29, 3, tooNear},
        {1, -1, -1, 3, kPass}, // none given
        {2, 1768.30, 0, 3, kPass},
        {2, 1768.29, 0, 3, tooNear},
        {2, 1762.30, 0, 3, tooNear}, // a buy's stop-loss on a sell
        {2, 0, 1762.30, 3, kPass},
        {2, 0, 1762.31, 3, tooNear},
        {1, 1765, 0, 0.5, "止损或盈利必须远离建仓价0.5元"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message()
                     << row.direction << ' ' << row.stopLoss << ' ' << row.takeProfit);
        EXPECT_EQ(CheckStops(row.direction, 1765.30, row.stopLoss, row.takeProfit, row.distance),
                  row.expected);
    }
}

TEST(OrderResults, TextOfEachResultCodePerDialog)
{
    TypeInfo product{};
    product.limitDistance = 2.5f;
    product.stopDistance = 3;
    const std::string moved = "价格已经变动，请重新下单";
    const std::string margin = "保证金不足";
    const std::string closed = "闭市中，禁止交易";
    const std::string invalid = "无效价格";
    const std::string unknown = "未知错误";
    const std::string badStops = "止损或盈利无效";
    using D = OrderDialog;
    const struct {
        OrderDialog dialog;
        std::int32_t code;
        std::string expected;
    } rows[] = {
        {D::MarketOpen, 1, ""},
        {D::MarketOpen, 2, moved},
        {D::MarketOpen, 3, margin},
        {D::MarketOpen, 4, "挂单价必须远离市价至少2.5元"},
        {D::MarketOpen, 5, "止损或盈利必须远离建仓价3元"},
        {D::MarketOpen, 6, closed},
        {D::MarketOpen, 7, invalid},
        {D::MarketOpen, 0, unknown},
        {D::MarketOpen, 8, unknown},
        {D::LimitOpen, 1, ""},
        {D::LimitOpen, 4, "挂单价必须远离市价至少2.5元"},
        {D::LimitOpen, 7, invalid},
        {D::LimitOpen, -1, unknown},
        {D::MarketClose, 1, ""},
        {D::MarketClose, 2, moved},
        {D::MarketClose, 3, margin},
        {D::MarketClose, 4, invalid},
        {D::MarketClose, 5, badStops},
        {D::MarketClose, 6, closed},
        {D::MarketClose, 7, unknown},
        {D::MarketClose, 0, unknown},
        {D::ModifyOrder, 1, ""},
        {D::ModifyOrder, 2, moved},
        {D::ModifyOrder, 3, margin},
        {D::ModifyOrder, 4, invalid},
        {D::ModifyOrder, 5, badStops},
        {D::ModifyOrder, 6, invalid},
        {D::ModifyOrder, 7, unknown},
        {D::ModifyOrder, 0, unknown},
        {D::ModifyPosition, 2, unknown},
        {D::LimitClose, 1, ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(row.dialog) << ' ' << row.code);
        EXPECT_EQ(ResultText(row.dialog, row.code, product), row.expected);
    }
}

TEST(OrderResults, SendFailureTextPerDialog)
{
    using D = OrderDialog;
    const struct {
        OrderDialog dialog;
        std::string expected;
    } rows[] = {
        {D::MarketOpen, "订单提交失败，操作已取消"}, {D::LimitOpen, "订单提交失败，操作已取消"},
        {D::MarketClose, "平仓失败，操作已取消"},    {D::LimitClose, "委托失败，操作已取消"},
        {D::ModifyPosition, "修改失败，操作已取消"}, {D::ModifyOrder, "修改失败，操作已取消"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(SendFailureText(row.dialog), row.expected) << static_cast<int>(row.dialog);
}

TEST(OrderResults, ShortReplyReadsAsTheBytesThatCame)
{
    const std::uint8_t bytes[] = {0x05, 0x02, 0x01, 0x80, 0x7F};
    const std::int32_t whole = static_cast<std::int32_t>(0x80010205u);
    const struct {
        std::size_t received;
        std::int32_t expected;
    } rows[] = {{0, 0}, {1, 5}, {3, 0x010205}, {4, whole}, {5, whole}};
    for (const auto &row : rows)
        EXPECT_EQ(AssembleResultCode(bytes, row.received), row.expected) << row.received;
}

} // namespace
} // namespace qs
