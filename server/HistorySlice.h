#pragma once

#include "core/protocol/KLineBar.h"

#include <cstddef>
#include <vector>

namespace qs::server {

// Bars sent at most by one download reply.
inline constexpr std::size_t kBarsPerReply = 1000;

// Which completed bars (newest first) answer a download for the keys "from" and "to", and the
// trailer that goes after them.
struct HistorySlice {
    std::size_t first = 0;
    std::size_t count = 0;
    BarKey trailer;

    // "to" = "0": the newest bars down to and including the "from" bar, which the client holds
    // already and needs again to join the reply to its cache; the newest kBarsPerReply when
    // "from" is "0" or unknown. Otherwise a page of bars strictly older than "to".
    // The trailer names the next older bar not sent; when the reply reaches the oldest bar it
    // names that bar, and an empty page names "to": either way the client's next page request
    // has equal keys and its paging stops.
    static HistorySlice select(const std::vector<KLineBar> &newestFirst, const BarKey &from,
                               const BarKey &to);
};

} // namespace qs::server
