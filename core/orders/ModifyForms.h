#pragma once

#include "core/orders/CloseForms.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/OrderRecords.h"
#include "core/protocol/TypeInfo.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace qs {

struct TradingData;

// The side texts and colours both change dialogs and the limit close show.
struct SideHints {
    std::string side;           // "买" / "卖"
    std::string stopLossHint;   // e.g. "止损价小于"
    std::string takeProfitHint; // e.g. "止盈价大于"
    bool red = false;           // bound labels in the buy colour (red) or the sell colour (blue)
};
// Changing a position's stops: buy → "止损价小于"/"止盈价大于", red; sell mirrored, blue.
SideHints PositionStopsHints(const HoldInfo &position);
// Changing an order: the same texts by the order's side.
SideHints OrderChangeHints(const DelegateInfo &order);
// The limit close: buy position → "止损价大于"/"止盈价小于", blue; sell → mirrored, red.
SideHints LimitCloseHints(const HoldInfo &position);

// Stops of a position: P is the buy price for a buy position, the sell price for a sell; D the
// stop distance. Buy: stop-loss bound P - D, take-profit bound P + D; sell mirrored.
StopLimits PositionStopLimits(const HoldInfo &position, const TypeInfo &product);

// The bounds as the labels read back (the label texts as numbers), the values as typed.
// Buy: refused when stop-loss > 0 and above its bound, or take-profit > 0 and below its bound;
// sell mirrored; equality passes. Refusal "止损或盈利无效".
std::optional<std::string> CheckChangedStops(bool buy, double stopLoss, double takeProfit,
                                             const StopLimits &bounds);

// Command 13: the position number zero-terminated and zero-padded to 24 bytes, then the two
// stops as 32-bit floats.
ChangeStopsBody ChangeStopsRequest(const HoldInfo &position, double stopLoss, double takeProfit);
// Only a complete 264-byte record whose first byte is not zero replaces the position whose
// number matches it, under kHoldInfoLock; true when the reply was such a record (a half record
// would corrupt the position).
bool ApplyChangedPosition(TradingData &data, const HoldInfo &reply, std::size_t received);

// An order change: price bounds S - L and S + L from the side price S of the product copy,
// stop bounds from the limit price p: buy p - D, p + D; sell p + D, p - D.
struct PriceLimits {
    double lower = 0;
    double upper = 0;
};
PriceLimits OrderPriceLimits(const DelegateInfo &order, const TypeInfo &product);
StopLimits OrderStopLimits(const DelegateInfo &order, const TypeInfo &product, double price);

struct OrderChangeFields {
    double lots = 0;
    double price = 0;
    double stopLoss = 0;
    double takeProfit = 0;
    int validityIndex = 1; // 0 "当日有效", 1 "当周有效"
    // The four bound labels read back as numbers.
    PriceLimits priceBounds;
    StopLimits stopBounds;
};
struct OrderChangeForm {
    std::optional<std::string> refusal;
    DelegateInfo body{};
};
// Lots (range, then multiple), then the price ("价格错误" when it or a bound is 0, or it lies
// strictly between the bounds), then the stops ("止损或盈利无效"), all on the doubles as read;
// the body is the order record with lots, price, stops (each through a 32-bit float) and the
// validity (2 for "当周有效", else 1) changed, every other byte as it was.
OrderChangeForm ChangeOrderForm(const DelegateInfo &order, const TypeInfo &product,
                                const OrderChangeFields &fields);

} // namespace qs
