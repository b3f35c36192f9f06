#pragma once

#include "core/protocol/SignalRecord.h"

#include <cstdint>
#include <string>

namespace qs {

// The chart's texts, UTF-8. Prices in integer units are divided by 10^digits and shown with
// those digits; server texts (leg names) are inserted, never used as a format.

inline constexpr const char *kChartPeriodSuffix = " 2小时线";

std::string UnitPriceText(std::int32_t units, int digits);
// "支撑位…" for support, "阻力位…" otherwise.
std::string SignalText(const SignalRecord &signal, bool support, int digits);
std::string TwoLegSignalText(const SignalRecord &signal, int digits, const std::string &leg1,
                             const std::string &leg2);
// Month, day, hour and minute of the time stamp in local time.
std::string PublicationText(std::int32_t published);
std::string PositionLabelText(bool buy, double openPrice, int digits, double lots);
std::string OrderLabelText(bool buy, double orderPrice, int digits, double lots);
std::string TakeProfitText(double price, double takeProfit, int digits);
std::string StopLossText(double price, double stopLoss, int digits);

} // namespace qs
