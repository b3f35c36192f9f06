#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

namespace qs {

// A hostile record must not make a conversion to int undefined: NaN is 0, the rest saturates.
inline std::int32_t ClampToInt(double whole)
{
    if (std::isnan(whole))
        return 0;
    constexpr double kLow = std::numeric_limits<std::int32_t>::min();
    constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(whole, kLow, kHigh));
}

// The wire carries 32-bit floats; a value beyond their range saturates instead of overflowing.
inline float Narrow(double value)
{
    constexpr double kMax = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, -kMax, kMax));
}

// A number field of a record read up to its terminator, or all of it when it has none.
template<std::size_t N>
std::string_view NumberOf(const char (&field)[N])
{
    return {field, strnlen(field, N)};
}

} // namespace qs
