#include "server/ServiceTime.h"

#include <chrono>
#include <cstdio>

namespace qs::server {

namespace {

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor)
{
    const std::int64_t quotient = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

} // namespace

ServiceTime ServiceTime::at(std::int64_t utcSeconds)
{
    const std::int64_t local = utcSeconds + kServiceUtcOffsetSeconds;
    const std::int64_t days = FloorDiv(local, 86400);
    const std::int64_t secondOfDay = local - days * 86400;

    // Civil date from a day count (proleptic Gregorian), without the C library's time zone.
    const std::int64_t shifted = days + 719468;
    const std::int64_t era = FloorDiv(shifted, 146097);
    const std::int64_t dayOfEra = shifted - era * 146097;
    const std::int64_t yearOfEra
        = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const std::int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);

    ServiceTime time;
    time.year = static_cast<int>(year);
    time.month = static_cast<int>(month);
    time.day = static_cast<int>(day);
    time.hour = static_cast<int>(secondOfDay / 3600);
    time.minute = static_cast<int>(secondOfDay / 60 % 60);
    time.second = static_cast<int>(secondOfDay % 60);
    return time;
}

std::string ServiceTime::barText() const
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%02d%02d", month, day, hour, minute);
    return text;
}

std::string ServiceTime::clockText() const
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
    return text;
}

std::int64_t SystemSeconds()
{
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace qs::server
