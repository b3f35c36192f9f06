#include "core/platform/PriceFormat.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

namespace qs {
namespace {

std::size_t Decimals(const std::string &text)
{
    const auto dot = text.find('.');
    return dot == std::string::npos ? 0 : text.size() - dot - 1;
}

TEST(PriceFormatTest, ExpandsTheDigitsIntoTheFormat)
{
    EXPECT_EQ(FormatPrice(1234.5, 2), "1234.50");
    EXPECT_EQ(FormatPrice(1.234567, 4), "1.2346");
    EXPECT_EQ(FormatPrice(1234.6, 0), "1235");
    EXPECT_EQ(FormatPrice(-0.5, 3), "-0.500");
    EXPECT_EQ(FormatPrice(98.7, 5), "98.70000");
}

TEST(PriceFormatTest, HostileDigitsAreClampedToZeroThroughFifteen)
{
    for (int digits : {-1, -100, INT_MIN})
        EXPECT_EQ(FormatPrice(2.25, digits), "2") << digits;
    for (int digits : {15, 16, 1000, INT_MAX})
        EXPECT_EQ(Decimals(FormatPrice(2.25, digits)), 15u) << digits;

    const std::string huge = FormatPrice(1e308, 1000);
    EXPECT_EQ(Decimals(huge), 15u);
    EXPECT_GT(huge.size(), 300u);
    EXPECT_FALSE(FormatPrice(std::numeric_limits<double>::quiet_NaN(), 2).empty());
    EXPECT_FALSE(FormatPrice(-std::numeric_limits<double>::infinity(), 2).empty());
}

TEST(PriceFormatTest, PowerOfTenGivesPowersAndStaysFiniteForAnyDigits)
{
    EXPECT_EQ(PowerOfTen(0), 1.0f);
    EXPECT_EQ(PowerOfTen(2), 100.0f);
    EXPECT_EQ(PowerOfTen(5), 100000.0f);
    EXPECT_NEAR(PowerOfTen(-2), 0.01f, 1e-9f);
    EXPECT_FLOAT_EQ(PowerOfTen(15), 1e15f);

    for (int digits : {16, 39, 400, INT_MAX, -16, -400, INT_MIN}) {
        const float value = PowerOfTen(digits);
        EXPECT_TRUE(std::isfinite(value)) << digits;
        EXPECT_GT(value, 0.0f) << digits;
    }
    EXPECT_EQ(PowerOfTen(INT_MAX), PowerOfTen(15));
    EXPECT_EQ(PowerOfTen(INT_MIN), PowerOfTen(-15));
}

} // namespace
} // namespace qs
