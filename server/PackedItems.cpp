#include "server/PackedItems.h"

#include "server/HistoryArchive.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string>

namespace qs::server {

namespace {

constexpr auto kPerItem = static_cast<std::int64_t>(kRecordsPerArchiveItem);

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor)
{
    const std::int64_t quotient = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

std::span<const std::uint8_t> BytesOf(const std::vector<KLineBar> &bars, std::size_t first,
                                      std::size_t count)
{
    return {reinterpret_cast<const std::uint8_t *>(bars.data() + first), count * kRecordSize};
}

} // namespace

std::optional<std::int64_t> PackedItems::oldestOrdinal(const Shelf &shelf,
                                                       const std::vector<KLineBar> &newestFirst)
{
    // Through the newest kept item whose oldest bar is still in the history: keys sort by time.
    for (auto kept = shelf.rbegin(); kept != shelf.rend(); ++kept) {
        KLineBar oldestBar;
        std::memcpy(&oldestBar,
                    kept->second->records.data() + (kRecordsPerArchiveItem - 1) * kRecordSize,
                    sizeof oldestBar);
        const std::string key = BarKey::of(oldestBar).str();
        const auto found = std::partition_point(
            newestFirst.begin(), newestFirst.end(),
            [&](const KLineBar &bar) { return BarKey::of(bar).str() > key; });
        if (found != newestFirst.end() && std::memcmp(&*found, &oldestBar, sizeof oldestBar) == 0) {
            const auto olderBars = static_cast<std::int64_t>(newestFirst.end() - found) - 1;
            return kept->first * kPerItem - olderBars;
        }
    }
    return std::nullopt;
}

std::vector<std::uint8_t> PackedItems::pack(int productId, const std::vector<KLineBar> &newestFirst,
                                            std::size_t first, std::size_t count,
                                            std::span<const SignalRecord> signals)
{
    const std::size_t total = newestFirst.size();
    if (count == 0 || first > total || count > total - first)
        return {};
    Shelf shelf;
    {
        std::lock_guard lock(m_mutex);
        if (const auto found = m_shelves.find(productId); found != m_shelves.end())
            shelf = found->second;
    }
    // A product seen for the first time, or whose kept bars are all gone, counts from its oldest.
    const std::optional<std::int64_t> anchored = oldestOrdinal(shelf, newestFirst);
    const std::int64_t oldest = anchored.value_or(0);
    if (!anchored)
        shelf.clear();

    std::vector<std::shared_ptr<const Item>> pieces;
    Shelf made;
    for (std::size_t index = first, end = first + count; index < end;) {
        const std::int64_t ordinal = oldest + static_cast<std::int64_t>(total - 1 - index);
        const std::int64_t number = FloorDiv(ordinal, kPerItem);
        const std::size_t bars
            = std::min(static_cast<std::size_t>(ordinal - number * kPerItem) + 1, end - index);
        const std::span<const std::uint8_t> records = BytesOf(newestFirst, index, bars);
        // The signals travel behind the newest bar, so the item holding it is always packed anew.
        const bool withSignals = index == first && !signals.empty();
        const bool whole = bars == kRecordsPerArchiveItem && !withSignals;
        std::shared_ptr<const Item> item;
        if (const auto kept = shelf.find(number);
            whole && kept != shelf.end() && std::ranges::equal(kept->second->records, records))
            item = kept->second;
        if (!item) {
            auto fresh = std::make_shared<Item>();
            const std::size_t head = withSignals ? kRecordSize : records.size();
            fresh->records.assign(records.begin(), records.begin() + head);
            if (withSignals) {
                const auto *signalBytes = reinterpret_cast<const std::uint8_t *>(signals.data());
                fresh->records.insert(fresh->records.end(), signalBytes,
                                      signalBytes + signals.size() * sizeof(SignalRecord));
                fresh->records.insert(fresh->records.end(), records.begin() + head, records.end());
            }
            fresh->archive
                = PackHistoryArchive(fresh->records, fresh->records.size() / kRecordSize);
            if (fresh->archive.empty())
                return {};
            if (whole)
                made[number] = fresh;
            item = std::move(fresh);
        }
        pieces.push_back(std::move(item));
        index += bars;
    }

    {
        std::lock_guard lock(m_mutex);
        Shelf &kept = m_shelves[productId];
        if (!anchored)
            kept.clear(); // counted another way; nothing there can be found again
        // An item whose oldest bar went off the front can never be whole again.
        kept.erase(kept.begin(), kept.lower_bound(FloorDiv(oldest + kPerItem - 1, kPerItem)));
        for (auto &[number, item] : made)
            kept.insert_or_assign(number, std::move(item));
    }

    if (pieces.size() == 1)
        return pieces.front()->archive;
    std::vector<std::span<const std::uint8_t>> parts;
    parts.reserve(pieces.size());
    for (const auto &piece : pieces)
        parts.emplace_back(piece->archive);
    return JoinHistoryArchives(parts);
}

std::size_t PackedItems::items(int productId) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_shelves.find(productId);
    return found == m_shelves.end() ? 0 : found->second.size();
}

} // namespace qs::server
