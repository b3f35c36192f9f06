#include "core/chart/BarList.h"

#include <cstring>

namespace qs {

void BarList::clear()
{
    std::lock_guard lock(m_mutex);
    m_bars.clear();
}

void BarList::appendBack(const KLineBar &bar)
{
    std::lock_guard lock(m_mutex);
    m_bars.push_back(bar);
}

std::size_t BarList::size() const
{
    std::lock_guard lock(m_mutex);
    return m_bars.size();
}

std::vector<KLineBar> BarList::snapshot() const
{
    std::lock_guard lock(m_mutex);
    return {m_bars.begin(), m_bars.end()};
}

bool BarList::copyLiveBar(KLineBar &out) const
{
    std::lock_guard lock(m_mutex);
    if (!m_bars.empty() && m_bars.front().isLive()) {
        out = m_bars.front();
        return true;
    }
    out.close = 0;
    return false;
}

BarKey BarList::oldestKey() const
{
    std::lock_guard lock(m_mutex);
    if (m_bars.empty() || m_bars.back().isLive())
        return BarKey::none();
    return BarKey::of(m_bars.back());
}

bool BarList::mergeCache(std::vector<KLineBar> &cache)
{
    if (cache.empty())
        return true;
    std::lock_guard lock(m_mutex);
    if (m_bars.empty() || !SameBarKey(m_bars.back(), cache.front()))
        return false;
    m_bars.pop_back();
    m_bars.insert(m_bars.end(), cache.begin(), cache.end());
    cache.clear();
    return true;
}

PushedBarChange BarList::applyPushed(const KLineBar &bar, std::int32_t currentProduct,
                                     bool historyLoaded)
{
    if (bar.productId != currentProduct || bar.open <= 0 || bar.close <= 0 || bar.high <= 0
        || bar.low <= 0)
        return PushedBarChange::Ignored;
    if (!bar.isLive()) {
        std::lock_guard lock(m_mutex);
        if (!m_bars.empty() && m_bars.front().isLive())
            m_bars.pop_front();
        m_bars.push_front(bar);
        return PushedBarChange::CompletedInserted;
    }
    if (!historyLoaded)
        return PushedBarChange::Ignored;
    std::lock_guard lock(m_mutex);
    if (m_bars.empty())
        return PushedBarChange::Ignored;
    if (m_bars.front().isLive()) {
        m_bars.front() = bar;
        return PushedBarChange::LiveOverwritten;
    }
    m_bars.push_front(bar);
    return PushedBarChange::LiveInserted;
}

bool SameBarKey(const KLineBar &a, const KLineBar &b)
{
    return a.keyNumber == b.keyNumber
           && std::strncmp(a.timeText, b.timeText, sizeof a.timeText) == 0;
}

LiveChartUpdate DecideLiveChartUpdate(PushedBarChange change, const KLineBar &bar,
                                      const LiveViewport &viewport)
{
    if (change != PushedBarChange::LiveOverwritten && change != PushedBarChange::LiveInserted)
        return LiveChartUpdate::None;
    if (viewport.scrollOffset != 0)
        return LiveChartUpdate::None;
    if (change == PushedBarChange::LiveInserted || bar.high > viewport.highestVisible
        || bar.low < viewport.lowestVisible)
        return LiveChartUpdate::FullRelayout;
    return LiveChartUpdate::SmallRepaint;
}

RepaintRect LiveRepaintRect(int xLeft, int xRight, int yHigh, int yLow)
{
    return {xLeft - 100, yHigh - 10, xRight + 100, yLow + 15};
}

} // namespace qs
