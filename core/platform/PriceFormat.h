#pragma once

#include <string>

namespace qs {

inline constexpr int kMaxPriceDigits = 15;
inline constexpr int kMaxPowerDigits = 15;

// Expands "%%.%df" with digits (clamped to 0..15) and formats value with the result.
std::string FormatPrice(double value, int digits);

// "%g" of a value, as the refusal and result texts print their numbers.
std::string FormatG(double value);

// 10^digits as a float by repeated squaring, 1/10^|digits| for negative digits. Digits are
// clamped to -15..15 so a hostile digits field can never give an infinity or NaN.
float PowerOfTen(int digits);

} // namespace qs
