#pragma once

#include "core/platform/AnsiCodec.h"

#include <cstddef>
#include <cstdint>

namespace qs {

// A pending (limit) order; also the body of an order change.
struct DelegateInfo {
    char orderNumber[21];        // 0
    std::uint8_t carried21[3];   // 21
    std::int32_t productId;      // 24
    char productName[44];        // 28
    std::int32_t side;           // 72  1 buy, else sell
    std::uint8_t carried76[4];   // 76
    double lots;                 // 80
    double orderPrice;           // 88
    double stopLoss;             // 96  0 = none
    double takeProfit;           // 104 0 = none
    std::uint8_t carried112[32]; // 112
    // 1 buy when ask <= price, 2 sell when bid >= price, 3 buy when ask >= price,
    // 4 sell when bid <= price.
    std::int32_t triggerKind;   // 144
    std::int32_t openOrClose;   // 148 1 opens a position, else closes one
    char relatedPosition[21];   // 152
    std::uint8_t carried173[3]; // 173
    std::int32_t validity;      // 176 1 the trading day, else the week
    char orderTime[40];         // 180
    std::int32_t status;        // 220 1 waiting, 2 cancelled, 3 filled
    // Written by the chart layout and painter; sent back unchanged in an order change.
    std::int32_t orderY;        // 224
    std::int32_t stopLossY;     // 228
    std::int32_t takeProfitY;   // 232
    std::int32_t labelRect[4];  // 236 left, top, right, bottom
    std::uint8_t carried252[4]; // 252

    std::string number() const { return ReadAnsiField(orderNumber); }
    std::string productNameText() const { return ReadAnsiField(productName); }
    std::string relatedPositionText() const { return ReadAnsiField(relatedPosition); }
    std::string orderTimeText() const { return ReadAnsiField(orderTime); }
    bool isBuy() const { return side == 1; }
};

static_assert(sizeof(DelegateInfo) == 256);
static_assert(offsetof(DelegateInfo, lots) == 80);
static_assert(offsetof(DelegateInfo, takeProfit) == 104);
static_assert(offsetof(DelegateInfo, triggerKind) == 144);
static_assert(offsetof(DelegateInfo, relatedPosition) == 152);
static_assert(offsetof(DelegateInfo, validity) == 176);
static_assert(offsetof(DelegateInfo, orderTime) == 180);
static_assert(offsetof(DelegateInfo, status) == 220);
static_assert(offsetof(DelegateInfo, labelRect) == 236);

} // namespace qs
