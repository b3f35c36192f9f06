#include "core/orders/OrderRules.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

namespace qs {
namespace {

using Refusal = std::optional<std::string>;
const Refusal kPass;

// The rows at 0.3 and 0.07 lots are multiples that a division in doubles misses.
static_assert(0.3 / 0.1 != 3.0 && 0.07 / 0.01 != 7.0);

TEST(OrderRules, LotsInRangeAndOnTheUnit)
{
    const std::string range = "交易手数不合法，请修改后重试";
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        float minLots;
        std::int32_t maxLots;
        std::int32_t lotDecimals;
        float lotStep;
        double lots;
        Refusal expected;
    } rows[] = {
        {0.1f, 50, 1, 1, 0.1, kPass}, // the float minimum as the field shows it
        {0.1f, 50, 1, 1, 50, kPass},
        {0.1f, 50, 1, 1, 0.0, range},
        {0.1f, 50, 1, 1, 50.1, range},
        {0.1f, 50, 1, 1, nan, range},
        {0.1f, 50, 1, 1, 0.3, kPass},
        {0.1f, 50, 1, 1, 0.35, "交易手数必须是0.1的倍数"},
        {0.01f, 10, 2, 1, 0.07, kPass},
        {0.01f, 10, 2, 1, 0.075, "交易手数必须是0.01的倍数"},
        {0.5f, 20, 1, 5, 1.5, kPass},
        {0.5f, 20, 1, 5, 1.2, "交易手数必须是0.5的倍数"},
        {0, 0, 0, 0, 0, "交易手数必须是0的倍数"}, // a product copy that stayed zero
    };
    for (const auto &row : rows) {
        TypeInfo product{};
        product.minLots = row.minLots;
        product.maxLots = row.maxLots;
        product.lotDecimals = row.lotDecimals;
        product.lotStep = row.lotStep;
        EXPECT_EQ(CheckLots(row.lots, product), row.expected) << row.lots;
    }
}

TEST(OrderRules, StopsKeepTheStopDistanceFromTheEntry)
{
    const std::string near = "止损或盈利必须远离建仓价3元";
    const std::string silver = "止损或盈利必须远离建仓价0.15元";
    const std::string crude = "止损或盈利必须远离建仓价0.3元";
    const std::string pair = "止损或盈利必须远离建仓价0.003元";
    const struct {
        std::int32_t direction;
        double entry;
        double stopLoss;
        double takeProfit;
        float distance;
        Refusal expected;
    } rows[] = {
        {1, 1765.30, 1762.30, 0, 3, kPass},
        {1, 1765.30, 1762.31, 0, 3, near},
        {1, 1765.30, 0, 1768.30, 3, kPass},
        {1, 1765.30, 0, 1768.29, 3, near},
        {1, 1765.30, -1, -1, 3, kPass},
        {2, 1765.30, 1768.30, 0, 3, kPass},
        {2, 1765.30, 1768.29, 0, 3, near},
        {2, 1765.30, 1762.30, 0, 3, near},
        {2, 1765.30, 0, 1762.30, 3, kPass},
        {2, 1765.30, 0, 1762.31, 3, near},
        {1, 1765.30, 1765, 0, 0.5f, "止损或盈利必须远离建仓价0.5元"},
        // Distances a float cannot hold: exactly at the distance passes, one unit closer fails.
        {1, 33.680, 33.530, 0, 0.15f, kPass},
        {1, 33.680, 33.531, 0, 0.15f, silver},
        {1, 33.680, 0, 33.830, 0.15f, kPass},
        {1, 33.680, 0, 33.829, 0.15f, silver},
        {2, 33.650, 33.800, 0, 0.15f, kPass},
        {2, 33.650, 33.799, 0, 0.15f, silver},
        {2, 33.650, 0, 33.500, 0.15f, kPass},
        {2, 33.650, 0, 33.501, 0.15f, silver},
        {1, 95.43, 95.13, 0, 0.30f, kPass},
        {1, 95.43, 95.14, 0, 0.30f, crude},
        {2, 95.40, 0, 95.10, 0.30f, kPass},
        {2, 95.40, 95.69, 0, 0.30f, crude},
        {1, 1.3082, 0, 1.3112, 0.0030f, kPass},
        {1, 1.3082, 0, 1.3111, 0.0030f, pair},
        {2, 1.3082, 1.3112, 0, 0.0030f, kPass},
        {2, 1.3082, 0, 1.3053, 0.0030f, pair},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(CheckStops(row.direction, row.entry, row.stopLoss, row.takeProfit, row.distance),
                  row.expected)
            << row.direction << ' ' << row.entry << ' ' << row.stopLoss << ' ' << row.takeProfit;
    }
}

} // namespace
} // namespace qs
