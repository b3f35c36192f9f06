#include "server/HistorySlice.h"

#include <algorithm>

namespace qs::server {

HistorySlice HistorySlice::select(const std::vector<KLineBar> &newestFirst, const BarKey &from,
                                  const BarKey &to)
{
    HistorySlice slice;
    const std::size_t total = newestFirst.size();
    // Keys are a four-digit year and "MMDDhhmm", so their texts sort by time: both ends are found
    // by bisection, and a page works even when "to" is not one of ours (a cache older than this
    // server's history).
    // Index of the first bar whose key sorts below key (orEqual: not above it).
    const auto firstBelow = [&](const BarKey &key, bool orEqual) {
        const std::string limit = key.str();
        const auto found = std::partition_point(newestFirst.begin(), newestFirst.end(),
                                                [&](const KLineBar &bar) {
                                                    const std::string text = BarKey::of(bar).str();
                                                    return orEqual ? text > limit : text >= limit;
                                                });
        return static_cast<std::size_t>(found - newestFirst.begin());
    };
    if (to.isNone()) {
        slice.first = 0;
        slice.count = std::min(total, kBarsPerReply);
        if (!from.isNone()) {
            const std::size_t found = firstBelow(from, true);
            if (found < total && BarKey::of(newestFirst[found]) == from)
                slice.count = found + 1;
        }
    } else {
        slice.first = firstBelow(to, false);
        slice.count = std::min(total - slice.first, kBarsPerReply);
    }

    if (slice.count == 0)
        slice.trailer = to;
    else if (slice.first + slice.count < total)
        slice.trailer = BarKey::of(newestFirst[slice.first + slice.count]);
    else
        slice.trailer = BarKey::of(newestFirst[slice.first + slice.count - 1]);
    return slice;
}

} // namespace qs::server
