#include "core/platform/Decimal.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace qs {

Decimal DecimalFromDouble(double value)
{
    if (!std::isfinite(value))
        return Decimal(0);
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    return Decimal(text);
}

Decimal DecimalFromFloat(float value)
{
    if (!std::isfinite(value))
        return Decimal(0);
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(value));
    return Decimal(text);
}

double DecimalToDouble(const Decimal &value)
{
    return value.convert_to<double>();
}

float RoundToFloat(double value)
{
    constexpr double kMax = std::numeric_limits<float>::max();
    if (std::isfinite(value) && std::fabs(value) > kMax)
        return value > 0 ? std::numeric_limits<float>::infinity()
                         : -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

} // namespace qs
