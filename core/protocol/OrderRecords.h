#pragma once

#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"

#include <cstddef>
#include <cstdint>

namespace qs {

// Body of command 11, market and limit opens alike.
struct OpenOrderBody {
    std::int32_t productId; // 0
    float price;            // 4  market: the price the member saw; limit: the limit price
    float stopLoss;         // 8  0 = none
    float takeProfit;       // 12 0 = none
    float lots;             // 16
    std::int32_t kind;      // 20 order_kind
    std::int32_t direction; // 24 1 buy, else sell
    std::int32_t validity;  // 28 limit: order_validity
    float slippage;         // 32 market: allowed distance from the current price
};
static_assert(sizeof(OpenOrderBody) == 36);
static_assert(offsetof(OpenOrderBody, price) == 4);
static_assert(offsetof(OpenOrderBody, stopLoss) == 8);
static_assert(offsetof(OpenOrderBody, takeProfit) == 12);
static_assert(offsetof(OpenOrderBody, lots) == 16);
static_assert(offsetof(OpenOrderBody, kind) == 20);
static_assert(offsetof(OpenOrderBody, direction) == 24);
static_assert(offsetof(OpenOrderBody, validity) == 28);
static_assert(offsetof(OpenOrderBody, slippage) == 32);

namespace order_kind {
inline constexpr std::int32_t kMarket = 1;
inline constexpr std::int32_t kLimit = 2;
} // namespace order_kind

// How long a pending order waits: its field in an open body and in a pending-order record.
namespace order_validity {
inline constexpr std::int32_t kTradingDay = 1;
inline constexpr std::int32_t kWeek = 2;
} // namespace order_validity

// Body of command 13: a position's new stop-loss and take-profit.
struct ChangeStopsBody {
    char positionNumber[24]; // 0  zero-terminated, zero-padded
    float stopLoss;          // 24 0 = none
    float takeProfit;        // 28 0 = none
};
static_assert(sizeof(ChangeStopsBody) == 32);
static_assert(offsetof(ChangeStopsBody, stopLoss) == 24);
static_assert(offsetof(ChangeStopsBody, takeProfit) == 28);

// Result codes of the order requests.
namespace order_result {
inline constexpr std::int32_t kDone = 1;
inline constexpr std::int32_t kPriceMoved = 2;   // beyond the allowed slippage
inline constexpr std::int32_t kNoMargin = 3;     // usable margin too small
inline constexpr std::int32_t kLimitTooNear = 4; // opens: limit price within the limit distance
inline constexpr std::int32_t kBadPrice = 4;     // closes and order changes: invalid price
inline constexpr std::int32_t kStopTooNear = 5;  // stops within the stop distance
inline constexpr std::int32_t kMarketClosed = 6;
inline constexpr std::int32_t kInvalidPrice = 7; // opens: no price, unknown or untradable product
inline constexpr std::int32_t kUnknown = 7;      // closes and order changes: anything else
inline constexpr std::int32_t kRefused = 8;      // opens: lots or position size not allowed
} // namespace order_result

// Command 18 closes a position with a body in the shape of a pending-order record. Its validity
// tells the two closes apart: this value asks for a market close (reply: a result code), an
// order_validity places a limit close (reply: the new pending-order record).
inline constexpr std::int32_t kMarketCloseValidity = 0;

inline bool IsMarketClose(const DelegateInfo &closeBody)
{
    return closeBody.validity == kMarketCloseValidity;
}

// What both closes send: the product (24), the closing direction (72: the position's other
// side), lots (80), price (88), the position number (152) and the validity (176); every other
// byte is zero. A market close adds its allowed slippage in the stop-loss field (96); a limit
// close adds the product name (28) and its own stops (96, 104).
DelegateInfo ClosePositionBody(const HoldInfo &position, double lots, double price,
                               std::int32_t validity);

} // namespace qs
