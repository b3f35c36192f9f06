#include "core/orders/ModifyForms.h"

#include "core/platform/PriceFormat.h"
#include "core/trading/TradingData.h"
#include "tests/support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace qs {
namespace {

using test::Bytes;
using test::BytesOf;

template<class V>
void Put(Bytes &bytes, std::size_t at, V value)
{
    std::memcpy(&bytes[at], &value, sizeof value);
}

// A bound as the dialog reads it back from its label.
double Label(double bound)
{
    return std::stod(FormatPrice(bound, 2));
}

TypeInfo Gold()
{
    TypeInfo product{};
    product.buyPrice = product.sellPrice = 1765.3f;
    product.digits = 2;
    product.minLots = 0.1f;
    product.maxLots = 50;
    product.lotDecimals = 1;
    product.lotStep = 1;
    product.limitDistance = 2;
    product.stopDistance = 3;
    return product;
}

TEST(ModifyForms, ChangedStopsAreCheckedAgainstTheShownBounds)
{
    const struct {
        std::int32_t side;
        double stopLoss, takeProfit;
        bool refused;
    } rows[] = {{1, 1762.30, 0, false}, {1, 1762.31, 0, true},  {1, 0, 0, false},
                {1, 0, 1768.29, true},  {2, 1768.30, 0, false}, {2, 1768.29, 0, true},
                {2, 0, 1762.31, true},  {2, 0, 1762.30, false}};
    for (const auto &row : rows) {
        HoldInfo position{};
        position.side = row.side;
        const StopLimits bounds = PositionStopLimits(position, Gold());
        const StopLimits shown{Label(bounds.stopLoss), Label(bounds.takeProfit)};
        EXPECT_EQ(CheckChangedStops(row.side == 1, row.stopLoss, row.takeProfit, shown).has_value(),
                  row.refused)
            << row.side << ' ' << row.stopLoss << ' ' << row.takeProfit;
    }
}

TEST(ModifyForms, ChangeStopsBodyPadsTheNumber)
{
    for (const std::string &number : {std::string("H7"), std::string(20, '9')}) {
        HoldInfo position{};
        std::memset(&position, 0x5A, sizeof position);
        std::memcpy(position.positionNumber, number.c_str(), number.size() + 1);
        Bytes expected(32, 0);
        std::memcpy(&expected[0], number.data(), number.size());
        Put(expected, 24, 1762.3f);
        Put(expected, 28, -1.5f);
        EXPECT_EQ(BytesOf(ChangeStopsRequest(position, 1762.3, -1.5)), expected) << number;
    }
}

TEST(ModifyForms, OnlyAWholeNumberedReplyReplacesItsPosition)
{
    const auto position = [](const char *number, double stopLoss) {
        HoldInfo record{};
        std::strcpy(record.positionNumber, number);
        record.stopLoss = stopLoss;
        return record;
    };
    const struct {
        HoldInfo reply;
        std::size_t received;
        bool applied;
        double secondStopLoss;
    } rows[] = {{position("H2", 9), 264, true, 9},
                {position("H2", 9), 263, false, 2},
                {position("", 9), 264, false, 2},
                {position("H3", 9), 264, true, 2}};
    for (const auto &row : rows) {
        TradingData data;
        data.replacePositions({position("H1", 1), position("H2", 2)});
        EXPECT_EQ(ApplyChangedPosition(data, row.reply, row.received), row.applied);
        EXPECT_EQ(data.positions()[0].stopLoss, 1);
        EXPECT_EQ(data.positions()[1].stopLoss, row.secondStopLoss) << row.received;
    }
}

TEST(ModifyForms, OrderChangeChecksLotsPriceStopsThenCopiesTheRecord)
{
    DelegateInfo order{};
    std::memset(&order, 0x5A, sizeof order); // bytes that must travel back unchanged
    order.side = 1;
    const PriceLimits prices = OrderPriceLimits(order, Gold());
    const auto fields = [&](double lots, double price, double stopLoss, int validityIndex = 1) {
        const StopLimits stops = OrderStopLimits(order, Gold(), price);
        return OrderChangeFields{lots,
                                 price,
                                 stopLoss,
                                 0,
                                 validityIndex,
                                 {Label(prices.lower), Label(prices.upper)},
                                 {Label(stops.stopLoss), Label(stops.takeProfit)}};
    };
    OrderChangeFields noBound = fields(0.3, 1763.30, 0);
    noBound.priceBounds.lower = 0;
    const struct {
        OrderChangeFields fields;
        std::optional<std::string> refusal;
    } rows[] = {{fields(0.3, 1763.30, 1760.30), std::nullopt}, // both at their bounds
                {fields(0.3, 1767.30, 0, 0), std::nullopt},
                {fields(0.3, 1765.00, 0), "价格错误"},
                {fields(0.3, 0, 0), "价格错误"},
                {noBound, "价格错误"},
                {fields(0.3, 1763.30, 1760.31), "止损或盈利无效"},
                {fields(0.35, 1765.00, 0), "交易手数必须是0.1的倍数"}};
    for (const auto &row : rows) {
        const OrderChangeFields &in = row.fields;
        const OrderChangeForm form = ChangeOrderForm(order, Gold(), in);
        EXPECT_EQ(form.refusal, row.refusal) << in.lots << ' ' << in.price << ' ' << in.stopLoss;
        if (row.refusal)
            continue;
        Bytes expected = BytesOf(order);
        Put(expected, 80, static_cast<double>(static_cast<float>(in.lots)));
        Put(expected, 88, static_cast<double>(static_cast<float>(in.price)));
        Put(expected, 96, static_cast<double>(static_cast<float>(in.stopLoss)));
        Put(expected, 104, 0.0);
        Put(expected, 176, std::int32_t{in.validityIndex == 1 ? 2 : 1});
        EXPECT_EQ(BytesOf(form.body), expected) << in.price;
    }
}

} // namespace
} // namespace qs
