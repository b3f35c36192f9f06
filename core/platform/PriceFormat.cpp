#include "core/platform/PriceFormat.h"

#include <algorithm>
#include <cstdio>

namespace qs {

std::string FormatPrice(double value, int digits)
{
    digits = std::clamp(digits, 0, kMaxPriceDigits);
    char format[16];
    std::snprintf(format, sizeof format, "%%.%df", digits);
    // A double's %f text can run to 309 integer digits plus 15 decimals.
    char text[400];
    // The format is built above from a clamped integer, never from outside text.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int length = std::snprintf(text, sizeof text, format, value);
#pragma GCC diagnostic pop
    if (length < 0)
        return {};
    return std::string(text, static_cast<std::size_t>(std::min<int>(length, sizeof text - 1)));
}

std::string FormatG(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

float PowerOfTen(int digits)
{
    digits = std::clamp(digits, -kMaxPowerDigits, kMaxPowerDigits);
    unsigned exponent = static_cast<unsigned>(digits < 0 ? -digits : digits);
    float base = 10.0f;
    float result = 1.0f;
    while (exponent != 0) {
        if (exponent & 1u)
            result *= base;
        base *= base;
        exponent >>= 1;
    }
    return digits < 0 ? 1.0f / result : result;
}

} // namespace qs
