#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qs {

inline constexpr std::size_t kRecordSize = 48;
inline constexpr std::size_t kMarkerOffset = 36;
inline constexpr std::uint8_t kSignalMarker = 0xFF;

// One K-line bar: the same 48 bytes in cache files, downloads and the push channel.
struct KLineBar {
    std::int32_t productId; // 0
    std::int32_t open;      // 4   integer units of 10^-digits
    std::int32_t close;     // 8   the latest price for a live bar
    std::int32_t high;      // 12
    std::int32_t low;       // 16
    std::int32_t reference; // 20  the preceding close, 0 = none
    std::int32_t digits;    // 24
    std::int32_t keyNumber; // 28  first part of the bar key
    std::int32_t carried32; // 32
    char timeText[12];      // 36  rest of the key; "HH:MM:SS" marks a live bar

    // A live bar's time text is a clock: ':' as its third character.
    bool isLive() const { return timeText[2] == ':'; }
    std::string time() const;
};
static_assert(sizeof(KLineBar) == kRecordSize);
static_assert(offsetof(KLineBar, timeText) == kMarkerOffset);

// True when a 48-byte record from a stream is a signal rather than a bar.
inline bool IsSignalRecord(const void *record)
{
    return static_cast<const std::uint8_t *>(record)[kMarkerOffset] == kSignalMarker;
}

// 13-byte key naming a bar in download requests and replies; "0" names no bar.
struct BarKey {
    char text[13] = {'0'};

    static BarKey none() { return BarKey{}; }
    // Key number in decimal from byte 0, then the time text from byte 4 over what followed.
    static BarKey of(const KLineBar &bar);

    bool isNone() const;
    std::string str() const;
    // Byte-wise comparison of the two 13-byte fields.
    friend bool operator==(const BarKey &a, const BarKey &b);
};
static_assert(sizeof(BarKey) == 13);

} // namespace qs
