#pragma once

#include "core/platform/AnsiCodec.h"

#include <cstddef>
#include <cstdint>

namespace qs {

// One deal of the member's history.
struct DealInfo {
    char dealNumber[21];         // 0
    std::uint8_t carried21[7];   // 21
    char productName[44];        // 28
    std::int32_t side;           // 72  1 buy, else sell
    std::uint8_t carried76[4];   // 76
    double lots;                 // 80
    double price;                // 88
    double profit;               // 96  meaningful for closing deals
    std::uint8_t carried104[24]; // 104
    char orderNumber[21];        // 128
    char positionNumber[21];     // 149
    std::uint8_t carried170[2];  // 170
    std::int32_t openOrClose;    // 172 1 opening deal, 2 closing deal
    std::int32_t fillKind;       // 176 1 market fill, else limit fill
    std::int32_t byUser;         // 180 1 the member, else the system
    char dealTime[40];           // 184

    std::string number() const { return ReadAnsiField(dealNumber); }
    std::string productNameText() const { return ReadAnsiField(productName); }
    std::string orderNumberText() const { return ReadAnsiField(orderNumber); }
    std::string positionNumberText() const { return ReadAnsiField(positionNumber); }
    std::string dealTimeText() const { return ReadAnsiField(dealTime); }
};

static_assert(sizeof(DealInfo) == 224);
static_assert(offsetof(DealInfo, productName) == 28);
static_assert(offsetof(DealInfo, profit) == 96);
static_assert(offsetof(DealInfo, orderNumber) == 128);
static_assert(offsetof(DealInfo, positionNumber) == 149);
static_assert(offsetof(DealInfo, openOrClose) == 172);
static_assert(offsetof(DealInfo, dealTime) == 184);

} // namespace qs
