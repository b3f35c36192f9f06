#pragma once

#include "core/protocol/KLineBar.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <vector>

namespace qs {

// What applying a pushed bar did to the list.
enum class PushedBarChange {
    Ignored,           // other product, a price not above 0, or a live bar before history
    CompletedInserted, // a completed bar went to the front (a live bar there was removed first)
    LiveOverwritten,   // the live bar at the front took the new prices
    LiveInserted,      // a live bar opened a new period at the front
};

// The chart's bars, newest first, under the bar-list lock. A live bar is only ever kept at the
// front. Elements never move, so the chart's geometry may point at them while it holds the lock.
class BarList {
public:
    // Holds the bar-list lock while it lives; the layout and the cache save walk the bars with it.
    class Access {
    public:
        explicit Access(const BarList &list)
            : m_lock(list.m_mutex)
            , m_bars(list.m_bars)
        {}
        const std::list<KLineBar> &bars() const { return m_bars; }

    private:
        std::unique_lock<std::mutex> m_lock;
        const std::list<KLineBar> &m_bars;
    };

    Access access() const { return Access(*this); }

    void clear();
    void appendBack(const KLineBar &bar);
    std::size_t size() const;
    std::vector<KLineBar> snapshot() const;

    // Copies the front bar into out when it is live; otherwise sets out.close to 0.
    bool copyLiveBar(KLineBar &out) const;
    // "0" when the list is empty or its back bar is live.
    BarKey oldestKey() const;

    // Joins the cached bars behind the downloaded ones when the oldest downloaded bar is the
    // newest cached one (that bar is kept once). An empty cache counts as joined. On success
    // the cache is emptied; otherwise both stay as they were.
    bool mergeCache(std::vector<KLineBar> &cache);

    // The live-update rule for a bar from the push channel.
    PushedBarChange applyPushed(const KLineBar &bar, std::int32_t currentProduct,
                                bool historyLoaded);

private:
    mutable std::mutex m_mutex;
    std::list<KLineBar> m_bars;
};

// Same key number and same time text (the text compared within its 12 bytes).
bool SameBarKey(const KLineBar &a, const KLineBar &b);

// What the chart does after a pushed live bar, judged under its layout lock.
enum class LiveChartUpdate { None, SmallRepaint, FullRelayout };

struct LiveViewport {
    int scrollOffset = 0;
    std::int32_t highestVisible = 0;
    std::int32_t lowestVisible = 1000000;
};

// Nothing while scrolled back; a full relayout when the bar leaves the visible price range or a
// new bar opened; else only the newest bar is repainted.
LiveChartUpdate DecideLiveChartUpdate(PushedBarChange change, const KLineBar &bar,
                                      const LiveViewport &viewport);

struct RepaintRect {
    int left;
    int top;
    int right;
    int bottom;
    friend bool operator==(const RepaintRect &, const RepaintRect &) = default;
};

// The small repaint around the newest bar: 100 px either side, 10 above the high, 15 below the
// low.
RepaintRect LiveRepaintRect(int xLeft, int xRight, int yHigh, int yLow);

} // namespace qs
