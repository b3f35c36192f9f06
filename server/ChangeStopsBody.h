#pragma once

#include <cstddef>
#include <cstdint>

namespace qs::server {

// Body of command 13: a position's new stop-loss and take-profit.
struct ChangeStopsBody {
    char positionNumber[24]; // 0  zero-terminated, zero-padded
    float stopLoss;          // 24 0 = none
    float takeProfit;        // 28 0 = none
};
static_assert(sizeof(ChangeStopsBody) == 32);
static_assert(offsetof(ChangeStopsBody, stopLoss) == 24);

} // namespace qs::server
