#pragma once

#include <cstddef>
#include <cstdint>

namespace qs {

// A trading signal; told apart from a bar by marker 0xFF at byte 36.
struct SignalRecord {
    std::int32_t price;         // 0   integer units of 10^-digits of the product
    std::int32_t stopLoss;      // 4
    std::int32_t capital;       // 8   capital x 100, in ten thousands of yuan
    std::uint8_t keyByte12;     // 12
    std::int8_t productId;      // 13
    std::uint8_t action;        // 14  4 or 5 withdraws the signal
    std::uint8_t kind;          // 15  11 support, else resistance
    std::int32_t lots1;         // 16  lots x 100; sign is the first leg's direction
    std::int32_t lots2;         // 20  second leg, signed the same way
    std::int32_t chartY;        // 24  the chart's own copy stores its line's y here
    std::int32_t published;     // 28  seconds since 1970-01-01 UTC
    std::uint8_t carried32[4];  // 32
    std::uint8_t marker;        // 36  0xFF
    std::uint8_t keyByte37;     // 37
    std::uint8_t carried38[10]; // 38

    bool isWithdrawal() const { return action == 4 || action == 5; }
    bool isSupport() const { return kind == 11; }
    // Same signal: price, stop-loss, lots 1 and bytes 12, 13 and 37 agree.
    bool sameKey(const SignalRecord &other) const
    {
        return price == other.price && stopLoss == other.stopLoss && lots1 == other.lots1
               && keyByte12 == other.keyByte12 && productId == other.productId
               && keyByte37 == other.keyByte37;
    }
};
static_assert(sizeof(SignalRecord) == 48);
static_assert(offsetof(SignalRecord, productId) == 13);
static_assert(offsetof(SignalRecord, lots1) == 16);
static_assert(offsetof(SignalRecord, published) == 28);
static_assert(offsetof(SignalRecord, marker) == 36);

} // namespace qs
