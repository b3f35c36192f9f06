#pragma once

#include <cstddef>
#include <cstdint>

namespace qs {

// A price alert kept by the server.
struct AlertInfo {
    std::int32_t alertId;      // 0   assigned by the server, > 0
    std::uint8_t carried4[12]; // 4
    double level;              // 16
    std::int32_t condition;    // 24  1 price >= level, 2 price <= level
    std::int32_t productId;    // 28
    std::int32_t requestMark;  // 32  2 in a deletion made from the alert dialog
    std::uint8_t carried36[4]; // 36
};

static_assert(sizeof(AlertInfo) == 40);
static_assert(offsetof(AlertInfo, level) == 16);
static_assert(offsetof(AlertInfo, condition) == 24);
static_assert(offsetof(AlertInfo, productId) == 28);
static_assert(offsetof(AlertInfo, requestMark) == 32);

} // namespace qs
