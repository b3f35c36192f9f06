#include "server/HistorySlice.h"

#include <algorithm>

namespace qs::server {

HistorySlice HistorySlice::select(const std::vector<KLineBar> &newestFirst, const BarKey &from,
                                  const BarKey &to)
{
    HistorySlice slice;
    const std::size_t total = newestFirst.size();
    if (to.isNone()) {
        slice.first = 0;
        slice.count = std::min(total, kBarsPerReply);
        if (!from.isNone()) {
            const auto found
                = std::find_if(newestFirst.begin(), newestFirst.end(),
                               [&](const KLineBar &bar) { return BarKey::of(bar) == from; });
            if (found != newestFirst.end())
                slice.count = static_cast<std::size_t>(found - newestFirst.begin()) + 1;
        }
    } else {
        // Keys are a four-digit year and "MMDDhhmm", so their texts sort by time: a page works
        // even when "to" is not one of ours (a cache older than this server's history).
        const std::string limit = to.str();
        const auto older
            = std::find_if(newestFirst.begin(), newestFirst.end(),
                           [&](const KLineBar &bar) { return BarKey::of(bar).str() < limit; });
        slice.first = static_cast<std::size_t>(older - newestFirst.begin());
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
