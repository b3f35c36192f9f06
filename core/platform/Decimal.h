#pragma once

#include <boost/multiprecision/cpp_dec_float.hpp>

namespace qs {

// Exact base-10 arithmetic for money: floating profit and lot-multiple checks.
using Decimal = boost::multiprecision::number<boost::multiprecision::cpp_dec_float<28>,
                                              boost::multiprecision::et_off>;

// A double enters through its 15-significant-digit text ("%.15g"), so 0.1 is exactly 0.1.
Decimal DecimalFromDouble(double value);
// A float enters through its shortest text ("%.7g"), so the price 1001.5f is exactly 1001.5.
Decimal DecimalFromFloat(float value);
double DecimalToDouble(const Decimal &value);
// Rounds to float; a value beyond float's range becomes an infinity rather than undefined.
float RoundToFloat(double value);

} // namespace qs
