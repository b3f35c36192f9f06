#include "core/report/ReportPages.h"

#include "core/protocol/WireRecord.h"
#include "tests/support/TradingTestRecords.h"

#include <gtest/gtest.h>

namespace qs {
namespace {

using test::Position;
using test::Product;

TEST(ReportPages, RowsMatchTheirColumns)
{
    const TypeInfo product = Product(1, 2, 1);
    const HoldInfo position = Position(1, 1, 1, 1);
    const std::vector<std::size_t> sizes{
        PositionColumns().size(), PositionRow(position, product).size(),
        SummaryColumns().size(),  SummaryRow(position, product, {}).size(),
        OrderColumns().size(),    OrderRow(ZeroRecord<DelegateInfo>(), product).size(),
        DealColumns().size(),     DealRow(ZeroRecord<DealInfo>()).size()};
    EXPECT_EQ(sizes, (std::vector<std::size_t>{13, 13, 7, 7, 13, 13, 12, 12}));
}

TEST(ReportPages, AccountBar)
{
    const AccountFigures figures{12.5, 1000, 987.654, 0, 0};
    const std::string numbers = "当前权益1000.00 可用保证金987.65 浮动盈亏12.50";
    const struct {
        std::int32_t level;
        bool afterTick;
        std::string expected;
    } cases[] = {
        {1, false, "普通会员张三:   " + numbers}, {2, false, "银卡会员张三:   " + numbers},
        {4, false, "金卡会员张三:   " + numbers}, {8, false, "钻石卡会员张三:   " + numbers},
        {3, false, "张三:   " + numbers},         {4, true, "金卡会员张三:    " + numbers},
    };
    for (const auto &c : cases)
        EXPECT_EQ(AccountBarText(c.level, "张三", figures, c.afterTick), c.expected) << c.level;
}

TEST(ReportPages, ProductCells)
{
    TypeInfo product = Product(1, 2, 1);
    product.unitKind = 2;
    product.unitAmount = 100;
    product.commissionMethod = 1;
    product.commissionValue = 3;
    product.marginMethod = 1;
    product.deferralValue = 25;
    TypeInfo perLot = product;
    perLot.marginMethod = 2; // the commission stays proportional
    const struct {
        const TypeInfo &product;
        std::size_t row, column;
        std::string expected;
    } cases[] = {
        {product, 1, 3, "100盎司/手"}, {product, 4, 3, "0.0003"},    {product, 7, 3, "0.00025"},
        {perLot, 7, 1, "按手数"},      {perLot, 7, 2, "每手延期费"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ProductCells(c.product)[c.row][c.column], c.expected) << c.row << c.column;
}

TEST(ReportPages, AccountCellsAfterFillAndTick)
{
    const AccountInfo account = test::Account(100, 0);
    const AccountFigures zero{0, 100, 100, 0, 0};
    const GridCells filled = AccountCells(account, zero);
    GridCells live = filled;
    AccountLiveCells(live, zero);
    EXPECT_EQ(filled[7][3], "否");
    // Risk rate and net yield of 0, after a fill and after a tick.
    const std::vector<std::string> zeros{filled[6][1], filled[7][1], live[6][1], live[7][1]};
    EXPECT_EQ(zeros, (std::vector<std::string>{"--", "--", "0.00%", "0.00%"}));
    EXPECT_EQ(AccountCells(account, {0, 100, 100, 0, -12.5f})[7][1], "-12.50%");
    // A rate that rounds to zero from below prints no sign.
    EXPECT_EQ(AccountCells(account, {0, 100, 100, 0, -0.001f})[7][1], "0.00%");
    GridCells nearZero = filled;
    AccountLiveCells(nearZero, {0, 100, 100, -0.004f, -0.001f});
    EXPECT_EQ(nearZero[6][1] + " " + nearZero[7][1], "0.00% 0.00%");
}

TEST(ReportPages, PositionOfAnUnlistedProduct)
{
    // The lookup's zeroed record: no digits, no prices, no point value.
    TypeInfo missing = ZeroRecord<TypeInfo>();
    missing.productId = 7;
    for (const std::int32_t side : {1, 2}) {
        const ReportRow row = PositionRow(Position(7, side, 2, 1234.25, 1200), missing);
        EXPECT_EQ(row[5], "1234");
        EXPECT_EQ(row[6], "0");
        EXPECT_EQ(row[7], "1200");
        EXPECT_EQ(row[11], "0.00");
    }
}

TEST(ReportPages, PositionTickRewritesOnlyCloseAndProfit)
{
    TypeInfo product = Product(1, 2, 0.1f);
    product.buyPrice = 1002.0f;
    product.sellPrice = 1001.5f;
    const HoldInfo position = Position(1, 1, 2, 1000.00);
    ReportRow row = PositionRow(position, product);
    ReportRow expected = row;
    expected[6] = "1003.00";
    expected[11] = "60.00"; // 30.00 before the tick
    product.sellPrice = 1003.0f;
    HoldInfo changed = position; // fields a tick must not show
    changed.lotsOpened = changed.stopLoss = changed.commission1 = changed.deferralFee = 9;
    PositionTick(row, changed, product);
    EXPECT_EQ(row, expected);
}

// A fill writes the price format, a tick "%g", the next fill the price format again.
TEST(ReportPages, TicksOfTheSummaryAndOrdersPagesWriteTheirPriceWithG)
{
    TypeInfo product = Product(1, 2, 1);
    product.buyPrice = 1234.50f;
    product.sellPrice = 1234.50f;
    const HoldInfo summary = Position(1, 1, 1, 1200);
    const DelegateInfo order = test::Order(1, 1, 1, 1200);
    ReportRow summaryRow = SummaryRow(summary, product, {});
    ReportRow orderRow = OrderRow(order, product);
    const std::vector<std::string> filled{summaryRow[5], orderRow[5]};
    SummaryTick(summaryRow, summary, product, {});
    OrderTick(orderRow, order, product);
    const std::vector<std::string> ticked{summaryRow[5], orderRow[5]};
    EXPECT_EQ(filled, (std::vector<std::string>{"1234.50", "1234.50"}));
    EXPECT_EQ(ticked, (std::vector<std::string>{"1234.5", "1234.5"}));
    EXPECT_EQ(SummaryRow(summary, product, {})[5], "1234.50");
}

TEST(ReportPages, SummarySumsItsOwnProductAndSide)
{
    TypeInfo product = Product(1, 1, 1);
    product.buyPrice = 110.0f;
    product.sellPrice = 100.0f;
    const std::vector<HoldInfo> positions{Position(1, 1, 1, 90), Position(1, 1, 2, 95),
                                          Position(1, 2, 1, 120), Position(2, 1, 5, 10)};
    // Buys (100 − 90) × 10 + (100 − 95) × 10 × 2; the sell (120 − 110) × 10.
    EXPECT_EQ(SummaryRow(Position(1, 1, 3, 93.3), product, positions)[6], "200.00");
    EXPECT_EQ(SummaryRow(Position(1, 2, 1, 120), product, positions)[6], "100.00");
    EXPECT_EQ(SummaryRow(Position(3, 1, 1, 120), product, positions)[6], "0.00");
}

} // namespace
} // namespace qs
