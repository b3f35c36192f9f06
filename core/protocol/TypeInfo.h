#pragma once

#include "core/platform/AnsiCodec.h"

#include <cstddef>
#include <cstdint>

namespace qs {

// A product with its trading parameters; the three prices are set by the client from ticks.
struct TypeInfo {
    std::int32_t productId;          // 0
    std::uint8_t carried4[8];        // 4
    float lastPrice;                 // 12
    float buyPrice;                  // 16  last + ask spread
    float sellPrice;                 // 20  last - bid spread
    std::int32_t digits;             // 24
    float pointValue;                // 28  money per price step per lot
    std::uint8_t carried32[8];       // 32
    char name[40];                   // 40
    char codeText[40];               // 80
    std::int32_t unitAmount;         // 120
    std::int32_t unitKind;           // 124 1 g, 2 oz, 3 kg, 4 USD, 5 currency units, 6 barrels
    float minLots;                   // 128
    std::int32_t maxLots;            // 132
    std::int32_t lotDecimals;        // 136
    float lotStep;                   // 140 in units of 10^-lotDecimals lots
    std::int32_t maxPosition;        // 144
    std::int32_t commissionMethod;   // 148 1 proportional, else per lot
    float commissionValue;           // 152
    std::int32_t commissionCharging; // 156 1 single side, else both sides
    std::int32_t marginMethod;       // 160 1 proportional, else per lot
    float marginValue;               // 164
    std::uint8_t carried168[4];      // 168
    float deferralValue;             // 172
    float askSpread;                 // 176
    float bidSpread;                 // 180
    float limitDistance;             // 184 pending order price vs market
    float stopDistance;              // 188 stops vs open price
    std::int32_t tradable;           // 192 1 = offered in product pickers
    std::uint8_t carried196[4];      // 196
    std::int32_t singleInstrument;   // 200 1 = single instrument, else a ratio of two
    char leg1Name[40];               // 204
    char leg2Name[40];               // 244
    std::uint8_t carried284[4];      // 284

    std::string nameText() const { return ReadAnsiField(name); }
    std::string codeTextUtf8() const { return ReadAnsiField(codeText); }
    std::string leg1NameText() const { return ReadAnsiField(leg1Name); }
    std::string leg2NameText() const { return ReadAnsiField(leg2Name); }
};

static_assert(sizeof(TypeInfo) == 288);
static_assert(offsetof(TypeInfo, lastPrice) == 12);
static_assert(offsetof(TypeInfo, name) == 40);
static_assert(offsetof(TypeInfo, unitAmount) == 120);
static_assert(offsetof(TypeInfo, deferralValue) == 172);
static_assert(offsetof(TypeInfo, tradable) == 192);
static_assert(offsetof(TypeInfo, singleInstrument) == 200);
static_assert(offsetof(TypeInfo, leg2Name) == 244);

} // namespace qs
