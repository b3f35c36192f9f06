#pragma once

#include "core/protocol/Connection.h"
#include "core/protocol/WireRecord.h"

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

namespace qs {

// How a list reply's count is treated when it breaks off, per command:
//  - Strict (positions 16, pending orders 17, deals 19): an incomplete count is a failure.
//  - Summary (position summary 20): a failure only while the bytes read so far make zero;
//    otherwise the partial count is used. Its count is compared unsigned.
//  - Lenient (products 1, alerts 8): whatever was read is the count; the old list is replaced
//    only when it is above zero.
enum class CountRule { Strict, Summary, Lenient };

struct ListCount {
    bool ok = false;        // false: the query failed, the list stays as it was
    std::int64_t count = 0; // records announced (0 or less: none)
};

CountRule CountRuleFor(std::int32_t command);
ListCount ReadListCount(Connection &connection, CountRule rule);

template<WireRecord T>
struct CountedList {
    bool ok = false;        // the count arrived as its command requires
    bool replaces = false;  // the target list is to be replaced by records
    std::vector<T> records; // the complete records that arrived, in order
};

// Reads the count and the records of a list reply. Stops at the first record that breaks off:
// every later one would break off too, and a hostile count must not keep us looping.
template<WireRecord T>
CountedList<T> ReadCountedList(Connection &connection, std::int32_t command)
{
    const CountRule rule = CountRuleFor(command);
    const ListCount count = ReadListCount(connection, rule);
    CountedList<T> list;
    list.ok = count.ok;
    if (!count.ok) {
        LogFailedExchange(command, "count");
        return list;
    }
    list.replaces = rule != CountRule::Lenient || count.count > 0;
    // Positions, pending orders and the summary pause 1 ms after each record.
    const bool pause = rule != CountRule::Lenient && command != 19;
    for (std::int64_t i = 0; i < count.count; ++i) {
        T record = ZeroRecord<T>();
        if (ReceiveExact(connection, &record, sizeof(T)) != static_cast<long>(sizeof(T))) {
            LogFailedExchange(command, "record");
            break;
        }
        list.records.push_back(record);
        if (pause)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return list;
}

} // namespace qs
