#include "core/orders/OrderRules.h"

#include "core/platform/Decimal.h"
#include "core/platform/PriceFormat.h"

#include <cmath>
#include <cstdio>

namespace qs {

namespace {

// A zeroed product copy has no unit that any lot count could be a multiple of.
bool IsWholeMultiple(const Decimal &value, const Decimal &unit)
{
    if (unit == 0)
        return false;
    const Decimal quotient = value / unit;
    return quotient == boost::multiprecision::trunc(quotient);
}

} // namespace

std::optional<std::string> CheckLots(double lots, const TypeInfo &product)
{
    // The lot field starts at the minimum as the member reads it ("0.1"), and that double lies
    // below the float 0.1f: the lower bound compares the float's own decimal text instead.
    if (!std::isfinite(lots) || lots > static_cast<double>(product.maxLots)
        || DecimalFromDouble(lots) < DecimalFromFloat(product.minLots))
        return "交易手数不合法，请修改后重试";

    const Decimal unit = DecimalFromDouble(static_cast<double>(product.lotStep))
                         / DecimalFromDouble(static_cast<double>(PowerOfTen(product.lotDecimals)));
    if (!IsWholeMultiple(DecimalFromDouble(lots), unit)) {
        char text[128];
        std::snprintf(text, sizeof text, "交易手数必须是%g的倍数", DecimalToDouble(unit));
        return text;
    }
    return std::nullopt;
}

std::optional<std::string> CheckLimitDistance(double limitPrice, double sidePrice,
                                              double limitDistance)
{
    if (std::fabs(limitPrice - sidePrice) < limitDistance) {
        char text[160];
        std::snprintf(text, sizeof text, "挂单价必须小于%g或者大于%g", sidePrice - limitDistance,
                      sidePrice + limitDistance);
        return text;
    }
    return std::nullopt;
}

std::optional<std::string> CheckStops(std::int32_t direction, double entry, double stopLoss,
                                      double takeProfit, float stopDistance)
{
    const bool buy = direction == 1;
    const Decimal distance = DecimalFromFloat(stopDistance);
    // Written as "not far enough" so that a NaN entry never slips through.
    const auto tooNear = [&](double stop, bool belowEntry) {
        if (!(stop > 0))
            return false;
        if (!std::isfinite(entry) || !std::isfinite(stop))
            return true;
        const Decimal from = DecimalFromDouble(entry);
        const Decimal to = DecimalFromDouble(stop);
        return !((belowEntry ? from - to : to - from) >= distance);
    };
    if (tooNear(stopLoss, buy) || tooNear(takeProfit, !buy)) {
        char text[128];
        std::snprintf(text, sizeof text, "止损或盈利必须远离建仓价%g元",
                      static_cast<double>(stopDistance));
        return text;
    }
    return std::nullopt;
}

} // namespace qs
