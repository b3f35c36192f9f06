#include "core/platform/Decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qs {
namespace {

Decimal D(double value)
{
    return DecimalFromDouble(value);
}

TEST(DecimalTest, FloatingProfitIsExact)
{
    // (close − open) × contract size × lots × 2
    const Decimal profit = (D(1001.50) - D(1000.00)) * D(100) * D(0.1) * D(2);
    EXPECT_EQ(profit, Decimal(30));

    // Here the naive double sum misses: 0.1 of a price step is not a double.
    const double naive = (1800.35 - 1800.25) * 100 * 0.1 * 2;
    EXPECT_NE(naive, 2.0);
    EXPECT_EQ((D(1800.35) - D(1800.25)) * D(100) * D(0.1) * D(2), Decimal(2));
    EXPECT_EQ(DecimalToDouble((D(1.3105) - D(1.3100)) * D(100000) * D(0.1)), 5.0);
}

TEST(DecimalTest, LotMultipleCheckDividesExactly)
{
    const double naive = 0.3 / 0.1;
    EXPECT_NE(naive, 3.0);
    const Decimal ratio = D(0.3) / D(0.1);
    EXPECT_EQ(ratio, Decimal(3));
    EXPECT_EQ(ratio, trunc(ratio));

    const Decimal notMultiple = D(0.35) / D(0.1);
    EXPECT_NE(notMultiple, trunc(notMultiple));
}

TEST(DecimalTest, DoublesEnterThroughFifteenSignificantDigits)
{
    EXPECT_EQ(D(0.1), Decimal("0.1"));
    EXPECT_EQ(D(-1234.56), Decimal("-1234.56"));
    EXPECT_EQ(D(123456789012.345), Decimal("123456789012.345"));
    EXPECT_EQ(DecimalToDouble(D(1234.56)), 1234.56);
    EXPECT_EQ(D(0.0), Decimal(0));
}

TEST(DecimalTest, NonFiniteDoublesBecomeZero)
{
    EXPECT_EQ(D(std::numeric_limits<double>::quiet_NaN()), Decimal(0));
    EXPECT_EQ(D(std::numeric_limits<double>::infinity()), Decimal(0));
    EXPECT_EQ(D(-std::numeric_limits<double>::infinity()), Decimal(0));
    EXPECT_TRUE(std::isfinite(DecimalToDouble(D(1e300) * D(1e300) / D(1e300))));
}

} // namespace
} // namespace qs
