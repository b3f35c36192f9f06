#include "core/report/ReportPages.h"

#include "core/platform/Decimal.h"
#include "core/platform/PriceFormat.h"
#include "core/trading/FloatingProfitCache.h"

#include <cmath>
#include <limits>

namespace qs {

namespace {

constexpr auto kText = SortKind::Text;
constexpr auto kNumber = SortKind::Number;

// "%.2f" is the price format of two digits.
std::string Money(double value)
{
    return FormatPrice(value, 2);
}

// A small negative rate rounds to "-0.00", which reads as a loss that is not there.
std::string Percent(double value)
{
    const std::string shown = Money(value);
    return (shown == "-0.00" ? "0.00" : shown) + "%";
}

std::string Price(double value, const TypeInfo &product)
{
    return FormatPrice(value, product.digits);
}

std::string SideText(std::int32_t side)
{
    return side == 1 ? "买" : "卖";
}

std::string OpenOrCloseText(std::int32_t openOrClose)
{
    return openOrClose == 1 ? "建仓" : "平仓";
}

// Writes a cell, growing a row that is shorter than its page's columns.
void SetCell(ReportRow &row, std::size_t column, std::string text)
{
    if (row.size() <= column)
        row.resize(column + 1);
    row[column] = std::move(text);
}

void SetCell(GridCells &cells, std::size_t row, std::size_t column, std::string text)
{
    if (cells.size() <= row)
        cells.resize(row + 1);
    SetCell(cells[row], column, std::move(text));
}

constexpr std::size_t kPositionClose = 6;
constexpr std::size_t kPositionProfit = 11;

std::string PositionClose(const HoldInfo &position, const TypeInfo &product)
{
    return Price(ClosePrice(position.isBuy(), product), product);
}

// The page shows the exact profit through a double.
std::string PositionProfit(const HoldInfo &position, const TypeInfo &product)
{
    return Money(DecimalToDouble(PositionFloatingProfit(position, product)));
}

constexpr std::size_t kSummaryClose = 5;
constexpr std::size_t kSummaryProfit = 6;

// The page sums exactly, then shows the sum through a float.
std::string SummaryProfit(const HoldInfo &summary, const TypeInfo &product,
                          const std::vector<HoldInfo> &positions)
{
    Decimal sum = 0;
    for (const HoldInfo &position : positions) {
        if (position.productId == summary.productId && position.isBuy() == summary.isBuy())
            sum += PositionFloatingProfit(position, product);
    }
    return Money(RoundToFloat(DecimalToDouble(sum)));
}

constexpr std::size_t kOrderCurrent = 5;

// An order waits for the price it would trade at: a buy the buy price, a sell the sell price.
double OrderCurrent(const DelegateInfo &order, const TypeInfo &product)
{
    return static_cast<double>(order.isBuy() ? product.buyPrice : product.sellPrice);
}

std::string OrderStatusText(std::int32_t status)
{
    switch (status) {
    case 1:
        return "等待";
    case 2:
        return "已撤";
    case 3:
        return "已成交";
    default:
        return {};
    }
}

std::string AwardText(std::int32_t award)
{
    switch (award) {
    case 1:
        return "一等奖";
    case 2:
        return "二等奖";
    case 3:
        return "三等奖";
    case 4:
        return "鼓励奖";
    default:
        return "否";
    }
}

std::string UnitText(const TypeInfo &product)
{
    static const char *const kUnits[]
        = {"克/手", "盎司/手", "千克/手", "美元/手", "货币单位/手", "桶/手"};
    if (product.unitKind < 1 || product.unitKind > 6)
        return {};
    return std::to_string(product.unitAmount) + kUnits[product.unitKind - 1];
}

std::string MethodText(std::int32_t method)
{
    return method == 1 ? "按比例" : "按手数";
}

} // namespace

std::string MemberLevelName(std::int32_t level)
{
    switch (level) {
    case 1:
        return "普通会员";
    case 2:
        return "银卡会员";
    case 4:
        return "金卡会员";
    case 8:
        return "钻石卡会员";
    default:
        return {};
    }
}

std::string AccountBarText(std::int32_t level, const std::string &memberName,
                           const AccountFigures &figures, bool afterTick)
{
    return MemberLevelName(level) + memberName + (afterTick ? ":    " : ":   ") + "当前权益"
           + Money(figures.equity) + " 可用保证金" + Money(figures.usableMargin) + " 浮动盈亏"
           + Money(figures.floatingProfit);
}

const std::vector<ReportColumn> &PositionColumns()
{
    static const std::vector<ReportColumn> columns{
        {"持仓单号", kText}, {"商品名称", kText}, {"买/卖", kText},    {"建仓量", kNumber},
        {"持仓量", kNumber}, {"建仓价", kNumber}, {"平仓价", kNumber}, {"止损价", kNumber},
        {"止盈价", kNumber}, {"手续费", kNumber}, {"延期费", kNumber}, {"浮动盈亏", kNumber},
        {"建仓时间", kText},
    };
    return columns;
}

ReportRow PositionRow(const HoldInfo &position, const TypeInfo &product)
{
    return {
        position.number(),
        position.productNameText(),
        SideText(position.side),
        FormatG(position.lotsOpened),
        FormatG(position.lotsHeld),
        Price(position.openPrice, product),
        PositionClose(position, product),
        Price(position.stopLoss, product),
        Price(position.takeProfit, product),
        Money(position.commission1 + position.commission2),
        Money(position.deferralFee),
        PositionProfit(position, product),
        position.openTimeText(),
    };
}

void PositionTick(ReportRow &row, const HoldInfo &position, const TypeInfo &product)
{
    SetCell(row, kPositionClose, PositionClose(position, product));
    SetCell(row, kPositionProfit, PositionProfit(position, product));
}

const std::vector<ReportColumn> &SummaryColumns()
{
    static const std::vector<ReportColumn> columns{
        {"商品名称", kText},     {"买/卖", kText},    {"数量", kNumber},     {"建仓均价", kNumber},
        {"占用保证金", kNumber}, {"平仓价", kNumber}, {"浮动盈亏", kNumber},
    };
    return columns;
}

ReportRow SummaryRow(const HoldInfo &summary, const TypeInfo &product,
                     const std::vector<HoldInfo> &positions)
{
    return {
        summary.productNameText(),
        SideText(summary.side),
        FormatG(summary.lotsHeld),
        Price(summary.openPrice, product),
        Money(summary.margin),
        Price(ClosePrice(summary.isBuy(), product), product),
        SummaryProfit(summary, product, positions),
    };
}

void SummaryTick(ReportRow &row, const HoldInfo &summary, const TypeInfo &product,
                 const std::vector<HoldInfo> &positions)
{
    // A tick writes "%g" (1234.50 reads 1234.5) until the next fill.
    SetCell(row, kSummaryClose, FormatG(ClosePrice(summary.isBuy(), product)));
    SetCell(row, kSummaryProfit, SummaryProfit(summary, product, positions));
}

const std::vector<ReportColumn> &OrderColumns()
{
    // "买/卖" sorts as text and "止盈价" as a number: as numbers every side reads 0, so a click
    // on the side did nothing, and as text "1000.00" sorted before "999.00".
    static const std::vector<ReportColumn> columns{
        {"委托单号", kText},  {"商品名称", kText}, {"买/卖", kText},      {"数量", kNumber},
        {"委托价", kNumber},  {"当前价", kNumber}, {"止损价", kNumber},   {"止盈价", kNumber},
        {"建仓/平仓", kText}, {"有效期", kText},   {"关联持仓号", kText}, {"委托时间", kText},
        {"状态", kText},
    };
    return columns;
}

ReportRow OrderRow(const DelegateInfo &order, const TypeInfo &product)
{
    return {
        order.number(),
        order.productNameText(),
        SideText(order.side),
        Money(order.lots),
        Price(order.orderPrice, product),
        Price(OrderCurrent(order, product), product),
        Price(order.stopLoss, product),
        Price(order.takeProfit, product),
        OpenOrCloseText(order.openOrClose),
        order.validity == 1 ? "当日有效" : "当周有效",
        order.relatedPositionText(),
        order.orderTimeText(),
        OrderStatusText(order.status),
    };
}

void OrderTick(ReportRow &row, const DelegateInfo &order, const TypeInfo &product)
{
    // A tick writes "%g" (1234.50 reads 1234.5) until the next fill.
    SetCell(row, kOrderCurrent, FormatG(OrderCurrent(order, product)));
}

const std::vector<ReportColumn> &DealColumns()
{
    static const std::vector<ReportColumn> columns{
        {"成交单号", kText}, {"商品名称", kText},  {"买/卖", kText},      {"数量", kNumber},
        {"成交价", kNumber}, {"建仓/平仓", kText}, {"平仓盈亏", kNumber}, {"委托单号", kText},
        {"持仓单号", kText}, {"成交类型", kText},  {"操作类型", kText},   {"成交时间", kText},
    };
    return columns;
}

ReportRow DealRow(const DealInfo &deal)
{
    return {
        deal.number(),
        deal.productNameText(),
        SideText(deal.side),
        FormatG(deal.lots),
        FormatG(deal.price),
        OpenOrCloseText(deal.openOrClose),
        deal.openOrClose == 2 ? Money(deal.profit) : std::string{},
        deal.orderNumberText(),
        deal.positionNumberText(),
        deal.fillKind == 1 ? "市价成交" : "指价成交",
        deal.byUser == 1 ? "用户" : "系统",
        deal.dealTimeText(),
    };
}

GridCells AccountCells(const AccountInfo &account, const AccountFigures &figures)
{
    return {
        {"账户名称", account.accountNameText(), "", ""},
        {"当前权益", Money(figures.equity), "", ""},
        {"出入金总额", Money(account.depositsTotal), "浮动盈亏", Money(figures.floatingProfit)},
        {"当日平仓盈亏合计", Money(account.closedProfitToday), "可用保证金",
         Money(figures.usableMargin)},
        {"当日手续费合计", Money(account.commissionToday), "占用保证金",
         Money(account.occupiedMargin)},
        {"上日延期费", Money(account.deferralFeeYesterday), "冻结保证金",
         Money(account.frozenMargin)},
        {"风险率", figures.riskRate > 0 ? Percent(figures.riskRate) : "--", "冻结手续费",
         Money(account.frozenCommission)},
        {"净收益率", figures.netYield == 0 ? "--" : Percent(figures.netYield), "上期获奖",
         AwardText(account.award)},
        {"", "", "", ""},
    };
}

void AccountLiveCells(GridCells &cells, const AccountFigures &figures)
{
    SetCell(cells, 1, 1, Money(figures.equity));
    SetCell(cells, 2, 3, Money(figures.floatingProfit));
    SetCell(cells, 3, 3, Money(figures.usableMargin));
    SetCell(cells, 6, 1, Percent(figures.riskRate));
    SetCell(cells, 7, 1, Percent(figures.netYield));
}

GridCells ProductCells(const TypeInfo &product)
{
    const bool commissionRatio = product.commissionMethod == 1;
    const bool marginRatio = product.marginMethod == 1;
    const double commission = product.commissionValue;
    const double margin = product.marginValue;
    const double deferral = product.deferralValue;
    return {
        {"商品名称", product.nameText(), "商品代码", product.codeTextUtf8()},
        {"商品状态", "交易", "交易单位", UnitText(product)},
        {"单笔最小量", FormatG(product.minLots) + "手", "单笔最大量",
         std::to_string(product.maxLots) + "手"},
        {"最大持仓量", std::to_string(product.maxPosition) + "手", "", ""},
        {"手续费算法", MethodText(product.commissionMethod),
         commissionRatio ? "手续费系数" : "每手手续费",
         FormatG(commissionRatio ? commission / 10000 : commission)},
        {"手续费收取方式", product.commissionCharging == 1 ? "单边（建仓时）" : "双边征收", "", ""},
        {"保证金算法", MethodText(product.marginMethod), marginRatio ? "保证金比例" : "每手保证金",
         marginRatio ? FormatG(margin) + "%" : FormatG(margin)},
        {"延期费算法", MethodText(product.marginMethod), marginRatio ? "延期费率" : "每手延期费",
         FormatG(marginRatio ? deferral / 100000 : deferral)},
    };
}

} // namespace qs
