#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace qs::server {

// Records per archive item; a long reply comes in several items.
inline constexpr std::size_t kRecordsPerArchiveItem = 500;

// Packs 48-byte records, in order, into a zip archive held in memory: items of at most
// recordsPerItem records each. Empty on failure (and for no records at all).
std::vector<std::uint8_t> PackHistoryArchive(const std::vector<std::uint8_t> &records,
                                             std::size_t recordsPerItem = kRecordsPerArchiveItem);

// One archive of every item of the given archives, in order, their deflated data copied as it
// is. Empty on failure (a part that does not open, or no parts at all).
std::vector<std::uint8_t> JoinHistoryArchives(std::span<const std::span<const std::uint8_t>> parts);

} // namespace qs::server
