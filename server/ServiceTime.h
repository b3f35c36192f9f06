#pragma once

#include <cstdint>
#include <string>

namespace qs::server {

// The service keeps its bar labels and clocks in UTC+8.
inline constexpr std::int64_t kServiceUtcOffsetSeconds = 8 * 3600;

// A moment in the service's time zone, broken into its calendar fields.
struct ServiceTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    static ServiceTime at(std::int64_t utcSeconds);
    // "MMDDhhmm": the time text of a completed bar.
    std::string barText() const;
    // "HH:MM:SS": the time text of a live bar.
    std::string clockText() const;
};

// Seconds since 1970-01-01 UTC by the system clock.
std::int64_t SystemSeconds();

} // namespace qs::server
