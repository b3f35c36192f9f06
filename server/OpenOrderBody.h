#pragma once

#include <cstddef>
#include <cstdint>

namespace qs::server {

// Body of command 11, market and limit opens alike.
struct OpenOrderBody {
    std::int32_t productId; // 0
    float price;            // 4  market: the price the member saw; limit: the limit price
    float stopLoss;         // 8  0 = none
    float takeProfit;       // 12 0 = none
    float lots;             // 16
    std::int32_t kind;      // 20 1 market, 2 limit
    std::int32_t direction; // 24 1 buy, else sell
    std::int32_t validity;  // 28 limit: 1 the trading day, 2 the week
    float slippage;         // 32 market: allowed distance from the current price
};
static_assert(sizeof(OpenOrderBody) == 36);
static_assert(offsetof(OpenOrderBody, slippage) == 32);

namespace order_kind {
inline constexpr std::int32_t kMarket = 1;
inline constexpr std::int32_t kLimit = 2;
} // namespace order_kind

} // namespace qs::server
