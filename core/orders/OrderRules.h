#pragma once

#include "core/protocol/TypeInfo.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qs {

// Range first ("交易手数不合法，请修改后重试", both bounds inclusive), then the multiple: lots
// divided by lotStep / 10^lotDecimals in decimal arithmetic must be whole, else
// "交易手数必须是%g的倍数".
std::optional<std::string> CheckLots(double lots, const TypeInfo &product);

// |limit - side| < distance is refused with "挂单价必须小于%g或者大于%g" (side -/+ distance);
// equality passes.
std::optional<std::string> CheckLimitDistance(double limitPrice, double sidePrice,
                                              double limitDistance);

// Stops (a value <= 0 is none), stop-loss first: a buy needs entry - stopLoss >= distance and
// takeProfit - entry >= distance, a sell the mirror; else "止损或盈利必须远离建仓价%g元".
// direction 1 is a buy, anything else a sell. Compared in decimal: the product's 32-bit distance
// as the member reads it (0.15f is 0.15), so a stop exactly at the distance passes.
std::optional<std::string> CheckStops(std::int32_t direction, double entry, double stopLoss,
                                      double takeProfit, float stopDistance);

} // namespace qs
