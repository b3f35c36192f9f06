#include "core/protocol/CountedList.h"

#include "core/protocol/Commands.h"

#include <cstring>

namespace qs {

CountRule CountRuleFor(std::int32_t command)
{
    switch (command) {
    case cmd::kPositionSummary:
        return CountRule::Summary;
    case cmd::kProducts:
    case cmd::kAlerts:
        return CountRule::Lenient;
    default:
        return CountRule::Strict;
    }
}

ListCount ReadListCount(Connection &connection, CountRule rule)
{
    // The bytes land in a zeroed count, so a count that breaks off keeps what did arrive.
    unsigned char bytes[4] = {0, 0, 0, 0};
    const std::size_t got = ReceiveUpTo(connection, bytes, sizeof bytes);
    std::int32_t signedCount = 0;
    std::uint32_t unsignedCount = 0;
    std::memcpy(&signedCount, bytes, sizeof signedCount);
    std::memcpy(&unsignedCount, bytes, sizeof unsignedCount);
    const bool complete = got == sizeof bytes;

    ListCount count;
    switch (rule) {
    case CountRule::Strict:
        count.ok = complete;
        count.count = signedCount;
        break;
    case CountRule::Summary:
        count.ok = complete || unsignedCount != 0;
        count.count = unsignedCount;
        break;
    case CountRule::Lenient:
        count.ok = true;
        count.count = signedCount;
        break;
    }
    return count;
}

} // namespace qs
