#include "core/orders/OpenOrderForms.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <optional>
#include <string>

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

Body BytesOf(const OpenOrderBody &body)
{
    Body bytes{};
    std::memcpy(bytes.data(), &body, bytes.size());
    return bytes;
}

// A product whose buy side trades at 1765.50 and sell side at 1765.30.
TypeInfo Gold()
{
    TypeInfo product{};
    product.productId = 7;
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

struct Outcome {
    std::optional<std::string> refusal;
    Body body{};
};

void ExpectOutcome(const OrderForm &form, const Outcome &expected)
{
    EXPECT_EQ(form.refusal, expected.refusal);
    if (!expected.refusal) {
        EXPECT_EQ(BytesOf(form.body), expected.body);
    }
}

TEST(OpenOrderForms, MarketOpenChecksInOrderAndFillsTheBody)
{
    const TypeInfo gold = Gold();
    const MarketOpenFields opened{.productId = 7,
                                  .lots = 0.1,
                                  .slippageTicked = true,
                                  .slippage = 0.35, // the field's first text read back
                                  .buyLabel = 1765.50,
                                  .sellLabel = 1765.30};
    const auto with = [&](auto change) {
        MarketOpenFields fields = opened;
        change(fields);
        return fields;
    };
    const auto buy = [](float slippage) {
        return Outcome{std::nullopt, Expected(7, 1765.5f, 0, 0, 0.1f, 1, 1, 0, slippage)};
    };
    const struct {
        const char *name;
        MarketOpenFields fields;
        std::int32_t direction;
        Outcome expected;
    } rows[] = {
        {"untouched", opened, 1, buy(gold.askSpread)},
        {"unticked", with([](auto &f) { f.slippageTicked = false; }), 1, buy(0)},
        {"ticked zero", with([](auto &f) { f.slippage = 0; }), 1, buy(0)},
        {"negative slippage before the price",
         with([](auto &f) { f.slippage = -0.0001, f.buyLabel = 0; }),
         1,
         {"允许的交易点差不能小于零"}},
        {"negative slippage unticked",
         with([](auto &f) { f.slippageTicked = false, f.slippage = -0.0001; }), 1, buy(0)},
        {"lots before slippage",
         with([](auto &f) { f.lots = 0.35, f.slippage = -1; }),
         1,
         {"交易手数必须是0.1的倍数"}},
        {"no buy price yet", with([](auto &f) { f.buyLabel = 0; }), 1, {"无效价格"}},
        {"sell stop-loss from the label's price",
         with([](auto &f) { f.stopLoss = 1768.30, f.takeProfit = -2; }),
         2,
         {std::nullopt, Expected(7, 1765.3f, 1768.3f, -2, 0.1f, 1, 2, 0, gold.askSpread)}},
        {"buy stop-loss too near",
         with([](auto &f) { f.stopLoss = 1762.51; }),
         1,
         {"止损或盈利必须远离建仓价3元"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ExpectOutcome(MarketOpenForm(gold, row.fields, row.direction), row.expected);
    }
}

TEST(OpenOrderForms, LimitOpenChecksInOrderAndFillsTheBody)
{
    const TypeInfo gold = Gold();
    const auto order = [](double limitPrice, double stopLoss, int validityIndex = 1) {
        return LimitOpenFields{.productId = 7,
                               .lots = 0.1,
                               .limitPrice = limitPrice,
                               .validityIndex = validityIndex,
                               .stopLoss = stopLoss};
    };
    const auto placed
        = [](std::int32_t direction, float price, float stopLoss, std::int32_t validity) {
              return Outcome{std::nullopt,
                             Expected(7, price, stopLoss, 0, 0.1f, 2, direction, validity, 0)};
          };
    LimitOpenFields noLots = order(0, 0);
    noLots.lots = 0;
    const struct {
        const char *name;
        LimitOpenFields fields;
        std::int32_t direction;
        Outcome expected;
    } rows[] = {
        {"sell, validity untouched", order(1770, 0), 2, placed(2, 1770, 0, 2)},
        {"buy for the day", order(1763.5, 0, 0), 1, placed(1, 1763.5f, 0, 1)},
        {"lots before price", noLots, 1, {"交易手数不合法，请修改后重试"}},
        {"no price", order(0, 0), 1, {"无效价格"}},
        {"buy near the buy price", order(1764, 0), 1, {"挂单价必须小于1763.5或者大于1767.5"}},
        {"sell near the sell price", order(1767, 0), 2, {"挂单价必须小于1763.3或者大于1767.3"}},
        // The market would allow both stops below; the limit price does not, and the other way.
        {"buy stop from the limit, too near",
         order(1760, 1758),
         1,
         {"止损或盈利必须远离建仓价3元"}},
        {"buy stop from the limit, far enough", order(1770, 1766), 1, placed(1, 1770, 1766, 2)},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ExpectOutcome(LimitOpenForm(gold, row.fields, row.direction), row.expected);
    }
}

TEST(OpenOrderForms, LotSetupTruncatesTheFloatProducts)
{
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
        const LotSetup setup = MakeLotSetup(product);
        SCOPED_TRACE(row.expected.rangeLabel);
        EXPECT_EQ(setup.lower, row.expected.lower);
        EXPECT_EQ(setup.upper, row.expected.upper);
        EXPECT_EQ(setup.step, row.expected.step);
        EXPECT_EQ(setup.digits, row.expected.digits);
        EXPECT_EQ(setup.rangeLabel, row.expected.rangeLabel);
        EXPECT_EQ(setup.maxText, row.expected.maxText);
        EXPECT_EQ(setup.minText, row.expected.minText);
    }
}

TEST(OpenOrderForms, LimitButtonsShowBothBoundsInThePriceFormat)
{
    TypeInfo oil{};
    oil.buyPrice = 6520;
    oil.sellPrice = 6518;
    oil.limitDistance = 15;
    const struct {
        TypeInfo product;
        std::string buy;
        std::string sell;
    } rows[] = {
        {Gold(), "买/价格<1763.50 或者 > 1767.50", "卖/价格<1763.30 或者 > 1767.30"},
        {oil, "买/价格<6505 或者 > 6535", "卖/价格<6503 或者 > 6533"},
    };
    for (const auto &row : rows) {
        const LimitButtonTexts texts = MakeLimitButtonTexts(row.product);
        EXPECT_EQ(texts.buy, row.buy);
        EXPECT_EQ(texts.sell, row.sell);
    }
}

} // namespace
} // namespace qs
