#include "core/orders/OpenOrderForms.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <tuple>

namespace qs {
namespace {

using Body = std::array<std::uint8_t, 36>;

// Command 11's body laid out from its offset table.
Body Expected(std::int32_t productId, float price, float stopLoss, float takeProfit, float lots,
              std::int32_t kind, std::int32_t direction, std::int32_t validity, float slippage)
{
    Body bytes{};
    std::memcpy(&bytes[0], &productId, 4);
    std::memcpy(&bytes[4], &price, 4);
    std::memcpy(&bytes[8], &stopLoss, 4);
    std::memcpy(&bytes[12], &takeProfit, 4);
    std::memcpy(&bytes[16], &lots, 4);
    std::memcpy(&bytes[20], &kind, 4);
    std::memcpy(&bytes[24], &direction, 4);
    std::memcpy(&bytes[28], &validity, 4);
    std::memcpy(&bytes[32], &slippage, 4);
    return bytes;
}

struct Outcome {
    std::optional<std::string> refusal;
    Body body{};
};

void ExpectOutcome(const OrderForm &form, const Outcome &expected)
{
    EXPECT_EQ(form.refusal, expected.refusal);
    Body sent{};
    std::memcpy(sent.data(), &form.body, sent.size());
    if (!expected.refusal) {
        EXPECT_EQ(sent, expected.body);
    }
}

// Buys at 1765.50, sells at 1765.30 (1765.300048828125 as a float).
TypeInfo Gold()
{
    TypeInfo product{};
    product.buyPrice = 1765.5f;
    product.sellPrice = 1765.3f;
    product.digits = 2;
    product.minLots = 0.1f;
    product.maxLots = 50;
    product.lotDecimals = 1;
    product.lotStep = 1;
    product.askSpread = 0.35f;
    product.limitDistance = 2;
    product.stopDistance = 3;
    return product;
}

TEST(OpenOrderForms, MarketOpenChecksInOrderAndFillsTheBody)
{
    const auto buy = [](float slippage) {
        return Outcome{std::nullopt, Expected(7, 1765.5f, 0, 0, 0.1f, 1, 1, 0, slippage)};
    };
    const Outcome soldAtTheLabel{std::nullopt,
                                 Expected(7, 1765.3f, 1768.3f, -2, 0.1f, 1, 2, 0, 0.35f)};
    const struct {
        double lots;
        bool ticked;
        double slippage;
        double label; // of the pressed side; the other reads 1765.50 (buy) or 1765.30 (sell)
        double stopLoss;
        double takeProfit;
        std::int32_t direction;
        Outcome expected;
    } rows[] = {
        {0.1, true, 0.35, 1765.50, 0, 0, 1, buy(0.35f)}, // as opened: the buy spread
        {0.1, false, 0.35, 1765.50, 0, 0, 1, buy(0)},
        {0.1, true, 0, 1765.50, 0, 0, 1, buy(0)},
        {0.1, true, -0.0001, 0, 0, 0, 1, {"允许的交易点差不能小于零"}},
        {0.1, false, -0.0001, 1765.50, 0, 0, 1, buy(0)},
        {0.35, true, -1, 1765.50, 0, 0, 1, {"交易手数必须是0.1的倍数"}},
        {0.1, true, 0.35, 0, 0, 0, 1, {"无效价格"}},
        // 3 from the label's 1765.30, 2.99995 from the copy's float; stops go as typed.
        {0.1, true, 0.35, 1765.30, 1768.30, -2, 2, soldAtTheLabel},
    };
    for (const auto &row : rows) {
        const bool buying = row.direction == 1;
        const MarketOpenFields fields{.productId = 7,
                                      .lots = row.lots,
                                      .slippageTicked = row.ticked,
                                      .slippage = row.slippage,
                                      .stopLoss = row.stopLoss,
                                      .takeProfit = row.takeProfit,
                                      .buyLabel = buying ? row.label : 1765.50,
                                      .sellLabel = buying ? 1765.30 : row.label};
        SCOPED_TRACE(testing::Message() << row.lots << ' ' << row.slippage << ' ' << row.label);
        ExpectOutcome(MarketOpenForm(Gold(), fields, row.direction), row.expected);
    }
}

TEST(OpenOrderForms, LimitOpenChecksInOrderAndFillsTheBody)
{
    const auto order = [](double lots, double price, double stopLoss, int validityIndex = 1) {
        return LimitOpenFields{7, lots, price, validityIndex, stopLoss, 0};
    };
    const auto placed = [](std::int32_t side, float price, float stop, std::int32_t validity) {
        return Outcome{std::nullopt, Expected(7, price, stop, 0, 0.1f, 2, side, validity, 0)};
    };
    const struct {
        const char *name;
        LimitOpenFields fields;
        std::int32_t direction;
        Outcome expected;
    } rows[] = {
        {"sell, validity untouched", order(0.1, 1770, 0), 2, placed(2, 1770, 0, 2)},
        {"buy for the day", order(0.1, 1763.5, 0, 0), 1, placed(1, 1763.5f, 0, 1)},
        {"buy at the upper bound", order(0.1, 1767.5, 0), 1, placed(1, 1767.5f, 0, 2)},
        {"lots first", order(0, 0, 0), 1, {"交易手数不合法，请修改后重试"}},
        {"no price", order(0.1, 0, 0), 1, {"无效价格"}},
        {"near the buy price", order(0.1, 1764, 0), 1, {"挂单价必须小于1763.5或者大于1767.5"}},
        {"near the sell price", order(0.1, 1767, 0), 2, {"挂单价必须小于1763.3或者大于1767.3"}},
        // Measured from the market both stops would come out the other way.
        {"stop near the limit", order(0.1, 1760, 1758), 1, {"止损或盈利必须远离建仓价3元"}},
        {"stop far from the limit", order(0.1, 1770, 1766), 1, placed(1, 1770, 1766, 2)},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ExpectOutcome(LimitOpenForm(Gold(), row.fields, row.direction), row.expected);
    }
}

TEST(OpenOrderForms, LotSetupTruncatesTheFloatProducts)
{
    const auto fields = [](const LotSetup &s) {
        return std::tie(s.lower, s.upper, s.step, s.digits, s.rangeLabel, s.maxText, s.minText);
    };
    const struct {
        float minLots;
        std::int32_t maxLots;
        std::int32_t lotDecimals;
        float lotStep;
        LotSetup expected;
    } rows[] = {
        // 0.7f x 10 is 7 in float but 6.99999988 in double.
        {0.7f, 50, 1, 1, {7, 500, 1, 1, "(可填范围0.7-50)", "500", "7"}},
        {0.01f, 10, 2, 5.9f, {1, 1000, 5, 2, "(可填范围0.01-10)", "1000", "1"}},
        {1, 100, 0, 1, {1, 100, 1, 0, "(可填范围1-100)", "100", "1"}},
    };
    for (const auto &row : rows) {
        TypeInfo product{};
        product.minLots = row.minLots;
        product.maxLots = row.maxLots;
        product.lotDecimals = row.lotDecimals;
        product.lotStep = row.lotStep;
        EXPECT_EQ(fields(MakeLotSetup(product)), fields(row.expected));
    }
}

} // namespace
} // namespace qs
