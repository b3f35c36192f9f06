#pragma once

#include "core/protocol/KLineBar.h"
#include "core/protocol/SignalRecord.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace qs::server {

// Deflated archive items of each product's older bars, kept so that a download deflates only
// what changed. Items hold kRecordsPerArchiveItem bars each, counted from the oldest bar the
// product had when first packed, so neither a new bar nor a trimmed front moves their bounds.
// A kept item is used only while its bars are byte for byte those of the history at hand.
class PackedItems {
public:
    // The archive of newestFirst[first, first + count) with the signals behind its first bar;
    // its items run newest first. Empty on failure.
    std::vector<std::uint8_t> pack(int productId, const std::vector<KLineBar> &newestFirst,
                                   std::size_t first, std::size_t count,
                                   std::span<const SignalRecord> signals);

    // Whole items kept for the product.
    std::size_t items(int productId) const;

private:
    struct Item {
        std::vector<std::uint8_t> records; // newest first
        std::vector<std::uint8_t> archive;
    };
    // By item number: bar ordinal / kRecordsPerArchiveItem.
    using Shelf = std::map<std::int64_t, std::shared_ptr<const Item>>;

    static std::optional<std::int64_t> oldestOrdinal(const Shelf &shelf,
                                                     const std::vector<KLineBar> &newestFirst);

    mutable std::mutex m_mutex;
    std::map<int, Shelf> m_shelves;
};

} // namespace qs::server
