#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace qs {

// Caps on what one downloaded archive may unpack to; the sizes in an archive are not trusted.
struct ArchiveLimits {
    std::uint64_t maxItemSize = std::uint64_t{64} << 20;
    std::uint64_t maxTotalSize = std::uint64_t{256} << 20;
};

enum class ArchiveEnd {
    Complete,     // every item was read
    NotAnArchive, // the bytes do not open as a zip archive
    ItemFailed,   // an item could not be unpacked; later items were not read
    OverLimit,    // an item or the total exceeded the limits; later items were not read
    Stopped,      // the record callback asked to stop
};

// Called with each 48-byte record; false stops the reading.
using ArchiveRecordVisitor = std::function<bool(const std::uint8_t *record)>;

// Unpacks a zip archive held in memory, item by item in archive order (names are not looked
// at), and hands on floor(size / 48) records of each item in order. Records of items read
// before a failure have been handed on.
ArchiveEnd ReadArchiveRecords(const std::uint8_t *data, std::size_t size,
                              const ArchiveRecordVisitor &visit, const ArchiveLimits &limits = {});

} // namespace qs
