#include "core/orders/ModifyForms.h"

#include "core/orders/OrderRules.h"
#include "core/protocol/OrderNumbers.h"
#include "core/protocol/WireRecord.h"
#include "core/trading/TradingData.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>

namespace qs {

namespace {

constexpr const char *kBadStops = "止损或盈利无效";

double ThroughFloat(double value)
{
    return static_cast<double>(Narrow(value));
}

SideHints Hints(bool buy, bool redForBuy, const char *buyStopLoss, const char *buyTakeProfit,
                const char *sellStopLoss, const char *sellTakeProfit)
{
    return buy ? SideHints{"买", buyStopLoss, buyTakeProfit, redForBuy}
               : SideHints{"卖", sellStopLoss, sellTakeProfit, !redForBuy};
}

// Stops beyond the distance from the price on the order's own side.
StopLimits StopsAround(bool buy, double price, double distance)
{
    return buy ? StopLimits{price - distance, price + distance}
               : StopLimits{price + distance, price - distance};
}

double SidePrice(bool buy, const TypeInfo &product)
{
    return static_cast<double>(buy ? product.buyPrice : product.sellPrice);
}

} // namespace

SideHints PositionStopsHints(const HoldInfo &position)
{
    return Hints(position.isBuy(), true, "止损价小于", "止盈价大于", "止损价大于", "止盈价小于");
}

SideHints OrderChangeHints(const DelegateInfo &order)
{
    return Hints(order.isBuy(), true, "止损价小于", "止盈价大于", "止损价大于", "止盈价小于");
}

SideHints LimitCloseHints(const HoldInfo &position)
{
    // Its stops guard the closing order, which runs against the position's side.
    return Hints(position.isBuy(), false, "止损价大于", "止盈价小于", "止损价小于", "止盈价大于");
}

StopLimits PositionStopLimits(const HoldInfo &position, const TypeInfo &product)
{
    return StopsAround(position.isBuy(), SidePrice(position.isBuy(), product),
                       static_cast<double>(product.stopDistance));
}

std::optional<std::string> CheckChangedStops(bool buy, double stopLoss, double takeProfit,
                                             const StopLimits &bounds)
{
    const bool stopLossBeyond
        = stopLoss > 0 && (buy ? stopLoss > bounds.stopLoss : stopLoss < bounds.stopLoss);
    const bool takeProfitBeyond
        = takeProfit > 0 && (buy ? takeProfit < bounds.takeProfit : takeProfit > bounds.takeProfit);
    if (stopLossBeyond || takeProfitBeyond)
        return kBadStops;
    return std::nullopt;
}

ChangeStopsBody ChangeStopsRequest(const HoldInfo &position, double stopLoss, double takeProfit)
{
    ChangeStopsBody body = ZeroRecord<ChangeStopsBody>();
    const std::string_view number = NumberOf(position.positionNumber);
    std::memcpy(body.positionNumber, number.data(), number.size());
    body.stopLoss = Narrow(stopLoss);
    body.takeProfit = Narrow(takeProfit);
    return body;
}

bool ApplyChangedPosition(TradingData &data, const HoldInfo &reply, std::size_t received)
{
    if (received < sizeof(HoldInfo) || reply.positionNumber[0] == 0)
        return false;
    const std::string_view number = NumberOf(reply.positionNumber);
    MutexLock lock(data.kHoldInfoLock);
    auto &positions = data.kHoldInfoList;
    const auto found = std::find_if(positions.begin(), positions.end(), [&](const HoldInfo &p) {
        return NumberOf(p.positionNumber) == number;
    });
    if (found != positions.end())
        *found = reply;
    return true;
}

PriceLimits OrderPriceLimits(const DelegateInfo &order, const TypeInfo &product)
{
    const double side = SidePrice(order.isBuy(), product);
    const double distance = static_cast<double>(product.limitDistance);
    return {side - distance, side + distance};
}

StopLimits OrderStopLimits(const DelegateInfo &order, const TypeInfo &product, double price)
{
    return StopsAround(order.isBuy(), price, static_cast<double>(product.stopDistance));
}

OrderChangeForm ChangeOrderForm(const DelegateInfo &order, const TypeInfo &product,
                                const OrderChangeFields &fields)
{
    OrderChangeForm form;
    if ((form.refusal = CheckLots(fields.lots, product)))
        return form;
    const PriceLimits &bounds = fields.priceBounds;
    // A negative price is no price either.
    if (!(fields.price > 0) || bounds.lower == 0 || bounds.upper == 0
        || (bounds.lower < fields.price && fields.price < bounds.upper)) {
        form.refusal = "价格错误";
        return form;
    }
    if ((form.refusal
         = CheckChangedStops(order.isBuy(), fields.stopLoss, fields.takeProfit, fields.stopBounds)))
        return form;

    form.body = order;
    form.body.lots = ThroughFloat(fields.lots);
    form.body.orderPrice = ThroughFloat(fields.price);
    form.body.stopLoss = ThroughFloat(fields.stopLoss);
    form.body.takeProfit = ThroughFloat(fields.takeProfit);
    form.body.validity
        = fields.validityIndex == 1 ? order_validity::kWeek : order_validity::kTradingDay;
    return form;
}

} // namespace qs
