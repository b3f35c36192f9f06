#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qs::server {

// Records per archive item; a long reply comes in several items.
inline constexpr std::size_t kRecordsPerArchiveItem = 500;

// Packs 48-byte records, in order, into a zip archive held in memory: items of at most
// recordsPerItem records each. Empty on failure (and for no records at all).
std::vector<std::uint8_t> PackHistoryArchive(const std::vector<std::uint8_t> &records,
                                             std::size_t recordsPerItem = kRecordsPerArchiveItem);

} // namespace qs::server
