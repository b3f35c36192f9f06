#include "core/platform/Decimal.h"

#include <cmath>
#include <cstdio>

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

} // namespace qs
