#include "core/platform/Decimal.h"
#include "core/trading/RecalcAccountFigures.h"
#include "core/trading/TradingData.h"
#include "tests/support/TradingTestRecords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace qs {
namespace {

using test::Account;
using test::BytesOf;
using test::Position;
using test::Product;

TypeInfo Priced(TypeInfo product, float buyPrice, float sellPrice)
{
    product.buyPrice = buyPrice;
    product.sellPrice = sellPrice;
    return product;
}

AccountFigures Recalc(TradingData &data)
{
    RecalcAccountFigures(data);
    return data.accountFigures();
}

TEST(TradingFigures, FloatingProfitOfTheWorkedExample)
{
    // 2 lots bought at 1000.00, sell price 1001.50, 2 digits, point value 0.1:
    // (1001.50 − 1000.00) × 100 × 0.1 × 2 = 30.00.
    TradingData data;
    data.replaceProducts({Priced(Product(1, 2, 0.1f), 1002.0f, 1001.5f)});
    // A position of an unlisted product counts nothing.
    data.replacePositions({Position(1, 1, 2, 1000.00), Position(6, 1, 50, 1.0)});
    data.replaceAccount(Account(8000, 1000, 200, 15));

    const AccountFigures figures = Recalc(data);
    EXPECT_EQ(figures.floatingProfit, 30.0);
    EXPECT_EQ(figures.equity, 8000 + 1000 + 200 + 15 + 30.0);
    EXPECT_EQ(figures.usableMargin, 8030.0);
    EXPECT_FLOAT_EQ(figures.riskRate, 924.5f);

    // A sell counts from the buy price: (1000.00 − 1002.00) × 100 × 0.1 × 2 = −40.
    data.replacePositions({Position(1, 2, 2, 1000.00)});
    EXPECT_EQ(Recalc(data).floatingProfit, -40.0);
}

TEST(TradingFigures, ProfitIsExactWhereDoublesAreNot)
{
    // The f32 price 1800.35 is 1800.3499755859375 and the point value 0.1 is 0.100000001490116;
    // naive double arithmetic gives 1.99951..., the decimal texts give exactly 2.
    const float sell = 1800.35f;
    const float pointValue = 0.1f;
    const double naive
        = (static_cast<double>(sell) - 1800.25) * 100.0 * static_cast<double>(pointValue) * 2.0;
    EXPECT_NE(static_cast<float>(naive), 2.0f);

    TradingData data;
    data.replaceProducts({Priced(Product(3, 2, pointValue), 1800.45f, sell)});
    // Ten positions whose per-position rounding would also pile up.
    std::vector<HoldInfo> positions(5, Position(3, 1, 2, 1800.25));
    positions.insert(positions.end(), 5, Position(3, 2, 0.3, 1800.55));
    data.replacePositions(positions);

    // 5 × 2 + 5 × (1800.55 − 1800.45) × 100 × 0.1 × 0.3 = 10 + 1.5
    EXPECT_EQ(Recalc(data).floatingProfit, 11.5);
    EXPECT_EQ(DecimalFromFloat(sell), Decimal("1800.35"));
}

TEST(TradingFigures, RiskRateAndNetYield)
{
    TradingData data;
    AccountInfo account = Account(100, 200);
    account.depositsTotal = 200;
    account.capitalBase = 50;
    data.replaceAccount(account);
    AccountFigures figures = Recalc(data);
    // Equity 300 on a base of 250.
    EXPECT_FLOAT_EQ(figures.riskRate, 150.0f);
    EXPECT_FLOAT_EQ(figures.netYield, 20.0f);

    // No occupied margin and no base: both are 0 rather than a division by zero.
    data.replaceAccount(Account(300, 0));
    figures = Recalc(data);
    EXPECT_EQ(figures.riskRate, 0.0f);
    EXPECT_EQ(figures.netYield, 0.0f);
    EXPECT_EQ(figures.equity, 300.0);
}

TEST(TradingFigures, FollowEveryChangeOfPositionsProductsAndPrices)
{
    // The decimal sums are kept between recalculations; each change below must still show.
    TradingData data;
    data.replaceProducts({Priced(Product(1, 2, 0.1f), 1002.0f, 1001.5f)});
    data.replacePositions({Position(1, 1, 2, 1000.00)});
    ASSERT_EQ(Recalc(data).floatingProfit, 30.0);
    // In place, as a tick or a changed record leaves them.
    const auto product = [&data](auto change) {
        MutexLock lock(data.kTypeInfoLock);
        change(data.kTypeInfoList[0]);
    };
    const auto position = [&data](auto change) {
        MutexLock lock(data.kHoldInfoLock);
        change(data.kHoldInfoList[0]);
    };

    product([](TypeInfo &p) { p.sellPrice = 1003.0f; }); // a tick
    EXPECT_EQ(Recalc(data).floatingProfit, 60.0);

    data.replacePositions({Position(1, 1, 4, 1000.00)}); // lots changed
    EXPECT_EQ(Recalc(data).floatingProfit, 120.0);

    position([](HoldInfo &p) { p.openPrice = 1001.00; }); // one record replaced in place
    EXPECT_EQ(Recalc(data).floatingProfit, 80.0);

    position([](HoldInfo &p) { p.side = 2; }); // now a sell: (1001.00 − 1002.00) × 100 × 0.1 × 4
    EXPECT_EQ(Recalc(data).floatingProfit, -40.0);

    product([](TypeInfo &p) { p.pointValue = 1.0f; });
    EXPECT_EQ(Recalc(data).floatingProfit, -400.0);

    product([](TypeInfo &p) { p.digits = 1; });
    EXPECT_EQ(Recalc(data).floatingProfit, -40.0);

    data.replaceProducts({});
    EXPECT_EQ(Recalc(data).floatingProfit, 0.0);

    data.replaceProducts({Priced(Product(1, 2, 0.1f), 1002.0f, 1001.5f)});
    data.replacePositions({});
    EXPECT_EQ(Recalc(data).floatingProfit, 0.0);
}

TEST(TradingData, ProductLookupCopiesTheWholeRecordOrAZeroOneWithTheId)
{
    TradingData data;
    TypeInfo gold = Product(1, 2, 0.1f, 0.5f, 0.3f);
    gold.carried4[3] = 0x5A; // bytes the client never reads come along too
    data.replaceProducts({gold, Product(1, 5, 9.0f)});

    EXPECT_EQ(BytesOf(data.product(1)), BytesOf(gold));
    EXPECT_EQ(data.productName(1), "品种1");

    TypeInfo expectedMissing = ZeroRecord<TypeInfo>();
    expectedMissing.productId = 12;
    EXPECT_EQ(BytesOf(data.product(12)), BytesOf(expectedMissing));
    EXPECT_EQ(data.productName(12), "");

    TypeInfo buffer = Product(12, 4, 2.0f);
    const test::Bytes before = BytesOf(buffer);
    EXPECT_FALSE(data.copyProduct(12, buffer));
    EXPECT_EQ(BytesOf(buffer), before);
}

TEST(TradingData, LabelRectsGoToTheRecordsWithTheirNumbers)
{
    using Rect = std::array<std::int32_t, 4>;
    const Rect old{1, 1, 2, 2};
    const Rect r1{8, 21, 98, 33};
    const Rect r2{8, 51, 98, 63};
    struct Case {
        const char *name;
        std::vector<std::string> numbers; // of the list's records; old rectangles before
        std::vector<LabelRect> drawn;
        std::vector<Rect> expected;
    };
    const Case cases[] = {
        {"by number, not by place", {"A", "B"}, {{"B", r1}, {"A", r2}}, {r2, r1}},
        {"a record not drawn keeps its own", {"A", "B"}, {{"B", r1}}, {old, r1}},
        {"a number no longer listed is dropped", {"A"}, {{"C", r1}}, {old}},
        {"a repeated number: n-th rectangle, n-th record",
         {"A", "A"},
         {{"A", r1}, {"A", r2}},
         {r1, r2}},
        {"bytes after the terminator do not count", {std::string("A\0x", 3)}, {{"A", r1}}, {r1}},
    };
    for (const Case &c : cases) {
        std::vector<HoldInfo> positions;
        std::vector<DelegateInfo> orders;
        for (const std::string &number : c.numbers) {
            HoldInfo &position = positions.emplace_back(ZeroRecord<HoldInfo>());
            DelegateInfo &order = orders.emplace_back(ZeroRecord<DelegateInfo>());
            number.copy(position.positionNumber, number.size());
            number.copy(order.orderNumber, number.size());
            std::copy(old.begin(), old.end(), position.labelRect);
            std::copy(old.begin(), old.end(), order.labelRect);
        }
        TradingData data;
        data.replacePositions(positions);
        data.replacePendingOrders(orders);
        data.storeLabelRects(c.drawn, {});
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(std::to_array(data.positions()[i].labelRect), c.expected[i]) << c.name;
            EXPECT_EQ(std::to_array(data.pendingOrders()[i].labelRect), old) << c.name;
        }
        data.storeLabelRects({}, c.drawn);
        for (std::size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(std::to_array(data.pendingOrders()[i].labelRect), c.expected[i]) << c.name;
    }
}

} // namespace
} // namespace qs
