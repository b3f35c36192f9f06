#pragma once

#include "core/platform/AnsiCodec.h"

#include <cstddef>
#include <cstdint>

namespace qs {

// An open position; also one row of the position summary (one per product and side).
struct HoldInfo {
    char positionNumber[21];    // 0
    std::uint8_t carried21[3];  // 21
    std::int32_t productId;     // 24
    char productName[44];       // 28
    std::int32_t side;          // 72  1 buy, else sell
    std::uint8_t carried76[4];  // 76
    double lotsOpened;          // 80
    double lotsHeld;            // 88  summary: total lots
    double openPrice;           // 96  summary: average open price
    std::uint8_t carried104[8]; // 104
    double stopLoss;            // 112 0 = none
    double takeProfit;          // 120 0 = none
    std::uint8_t carried128[8]; // 128
    double margin;              // 136
    char openTime[48];          // 144
    double deferralFee;         // 192
    std::uint8_t carried200[8]; // 200
    double commission1;         // 208
    std::uint8_t carried216[8]; // 216
    double commission2;         // 224
    std::int32_t status;        // 232 1 = active
    // Written by the chart layout and painter; never sent by the client.
    std::int32_t openY;        // 236
    std::int32_t stopLossY;    // 240
    std::int32_t takeProfitY;  // 244
    std::int32_t labelRect[4]; // 248 left, top, right, bottom

    std::string number() const { return ReadAnsiField(positionNumber); }
    std::string productNameText() const { return ReadAnsiField(productName); }
    std::string openTimeText() const { return ReadAnsiField(openTime); }
    bool isBuy() const { return side == 1; }
};

static_assert(sizeof(HoldInfo) == 264);
static_assert(offsetof(HoldInfo, productId) == 24);
static_assert(offsetof(HoldInfo, side) == 72);
static_assert(offsetof(HoldInfo, lotsOpened) == 80);
static_assert(offsetof(HoldInfo, stopLoss) == 112);
static_assert(offsetof(HoldInfo, margin) == 136);
static_assert(offsetof(HoldInfo, openTime) == 144);
static_assert(offsetof(HoldInfo, deferralFee) == 192);
static_assert(offsetof(HoldInfo, commission2) == 224);
static_assert(offsetof(HoldInfo, status) == 232);
static_assert(offsetof(HoldInfo, labelRect) == 248);

} // namespace qs
