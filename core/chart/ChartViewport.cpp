#include "core/chart/ChartViewport.h"

#include "core/market/SignalList.h"
#include "core/trading/TradingData.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace qs {

namespace {

constexpr float kZoomStep = 1.1f;
constexpr int kPanMargin = 60;

} // namespace

ChartViewport::ChartViewport(BarList &bars, SignalList &signals, TradingData &trading,
                             const TypeInfo &product)
    : m_bars(bars)
    , m_signals(signals)
    , m_trading(trading)
    , m_product(product)
{}

ChartEffect ChartViewport::reset(const TypeInfo &product)
{
    std::lock_guard lock(m_mutex);
    ChartEffect effect;
    effect.oldCross = m_state.cross;
    effect.crossMoved = m_state.cross.shown();
    m_product = product;
    m_state.reset();
    m_geometry.clear();
    effect.details = ChartEffect::Details::Off;
    effect.repaint = true;
    return effect;
}

ChartEffect ChartViewport::resize(int clientWidth, int clientHeight)
{
    std::lock_guard lock(m_mutex);
    m_state.clientWidth = clientWidth;
    m_state.clientHeight = clientHeight;
    // The panel is painted anew at its new size, so the cross needs no erasing.
    m_state.cross = {};
    m_state.selected = -1;
    m_state.toolMode = kToolPlain;
    ChartEffect effect;
    effect.details = ChartEffect::Details::Off;
    effect.repaint = true;
    return effect;
}

ChartEffect ChartViewport::layOut()
{
    ChartEffect effect;
    const BarList::Access bars = m_bars.access();
    std::lock_guard lock(m_mutex);
    const LayoutResult result = LayOutBars(m_state, m_geometry, bars.bars());
    if (!result.laidOut)
        return effect;

    const int productId = m_product.productId;
    const int digits = m_product.digits;
    m_signals.forEach([&](SignalRecord &signal) { PlaceSignal(signal, productId, m_state); });
    {
        MutexLock holds(m_trading.kHoldInfoLock);
        for (HoldInfo &position : m_trading.kHoldInfoList)
            PlacePosition(position, productId, digits, m_state);
    }
    {
        MutexLock orders(m_trading.kDelegateInfoLock);
        for (DelegateInfo &order : m_trading.kDelegateInfoList)
            PlaceOrder(order, productId, digits, m_state);
    }

    if (result.crossMoved) {
        effect.crossMoved = true;
        effect.oldCross = result.oldCross;
        effect.newCross = m_state.cross;
    }
    if (result.detailsChanged) {
        effect.detailsBar = result.detailsBar;
        effect.detailsY = result.detailsY;
        effect.axisChanged = true;
    }
    return effect;
}

ChartEffect ChartViewport::applyLiveBar(bool newBar)
{
    bool relayout = false;
    ChartEffect effect;
    {
        const BarList::Access bars = m_bars.access();
        if (bars.bars().empty() || !bars.bars().front().isLive())
            return effect; // a completed bar took its place meanwhile: no repaint for that
        const KLineBar &front = bars.bars().front();
        std::lock_guard lock(m_mutex);
        const LiveViewport viewport{m_state.scrollOffset, m_state.highest, m_state.lowest};
        const PushedBarChange change
            = newBar ? PushedBarChange::LiveInserted : PushedBarChange::LiveOverwritten;
        const LiveChartUpdate update = DecideLiveChartUpdate(change, front, viewport);
        if (update == LiveChartUpdate::None)
            return effect;
        if (update == LiveChartUpdate::FullRelayout || m_geometry.empty()) {
            relayout = true;
        } else {
            BarGeometry &newest = m_geometry.front();
            newest.bar = front;
            newest.direction = BarDirection(front);
            const std::int32_t highest = m_state.highest;
            const float scale = m_state.scale;
            const int offset = m_state.verticalOffset;
            newest.yHigh = BarPriceY(highest, front.high, scale, offset);
            newest.yLow = BarPriceY(highest, front.low, scale, offset);
            newest.yOpen = BarPriceY(highest, front.open, scale, offset);
            newest.yClose = CloseY(highest, front.close, scale, offset);
            effect.repaintRect
                = LiveRepaintRect(newest.xLeft, newest.xRight, newest.yHigh, newest.yLow);
        }
    }
    if (relayout) {
        effect = layOut();
        effect.repaint = true;
    }
    return effect;
}

ChartEffect ChartViewport::mouseMove(int x, int y)
{
    std::lock_guard lock(m_mutex);
    ChartEffect effect;
    if (m_state.toolMode != kToolCross)
        return effect;
    const CrossPoint old = m_state.cross;
    if (y > kTitleStripHeight) {
        const auto found
            = std::find_if(m_geometry.begin(), m_geometry.end(), [x](const BarGeometry &entry) {
                  return entry.xLeft <= x && x <= entry.xRight;
              });
        if (found != m_geometry.end()) {
            effect.detailsBar = found->bar;
            effect.detailsY = static_cast<float>(y);
            m_state.selected = static_cast<int>(found - m_geometry.begin());
            m_state.cross = {found->centreX(), y};
        }
    }
    if (m_state.cross != old) {
        effect.crossMoved = true;
        effect.oldCross = old;
        effect.newCross = m_state.cross;
    }
    return effect;
}

ChartEffect ChartViewport::mouseLeave()
{
    std::lock_guard lock(m_mutex);
    return clearCross({});
}

ChartEffect ChartViewport::leftButtonDown(int x, int y)
{
    std::lock_guard lock(m_mutex);
    ChartEffect effect;
    if (m_state.toolMode == kToolPlain && y > kTitleStripHeight) {
        effect.details = ChartEffect::Details::On;
        effect.repaint = true;
        m_state.toolMode = kToolCross;
    } else if (m_state.toolMode == kToolMove) {
        m_state.press = {x, y};
    }
    return effect;
}

ChartEffect ChartViewport::leftButtonUp(int x, int y)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_state.toolMode != kToolMove || (x == m_state.press.x && y == m_state.press.y))
            return {};
        const int dx = x - m_state.press.x;
        int bars = 0;
        if (m_state.bodyWidth > 0.0f)
            bars = TruncToInt(std::fabs(static_cast<double>(dx) / m_state.bodyWidth));
        const std::int64_t limit = std::max(0, m_state.clientHeight - kPanMargin);
        const std::int64_t offset
            = static_cast<std::int64_t>(y) + m_state.verticalOffset - m_state.press.y;
        m_state.verticalOffset = static_cast<int>(std::clamp(offset, -limit, limit));
        bars = std::min(bars, static_cast<int>(m_geometry.size()));
        if (bars > 0) {
            if (dx <= 0) {
                m_state.scrollOffset = std::max(0, m_state.scrollOffset - bars);
            } else {
                m_state.scrollOffset += bars;
                m_state.selected = -1;
            }
        }
    }
    ChartEffect effect = layOut();
    effect.repaint = true;
    return effect;
}

ChartEffect ChartViewport::key(ChartKey key)
{
    switch (key) {
    case ChartKey::Escape: {
        std::lock_guard lock(m_mutex);
        if (m_state.toolMode != kToolCross && m_state.toolMode != kToolMove)
            return {};
        ChartEffect effect = clearCross({});
        effect.details = ChartEffect::Details::Off;
        effect.repaint = true;
        m_state.toolMode = kToolPlain;
        return effect;
    }
    case ChartKey::Up:
    case ChartKey::Down: {
        float zoom;
        float body;
        {
            std::lock_guard lock(m_mutex);
            zoom = m_state.zoom;
            body = m_state.bodyWidth;
            m_state.zoom = key == ChartKey::Up ? zoom * kZoomStep : zoom / kZoomStep;
        }
        ChartEffect effect = layOut();
        std::lock_guard lock(m_mutex);
        // At a width limit the zoom would creep on without anything changing on screen.
        if (m_state.bodyWidth == body)
            m_state.zoom = zoom;
        else
            effect.repaint = true;
        return effect;
    }
    case ChartKey::Left: {
        int wanted;
        {
            std::lock_guard lock(m_mutex);
            const int oldest = static_cast<int>(m_geometry.size()) - 1;
            if (m_state.cross.shown() && m_geometry.size() >= 2 && m_state.selected >= 0
                && m_state.selected < oldest)
                return moveCrossTo(m_state.selected + 1);
            wanted = ++m_state.scrollOffset;
            m_state.selected = -1;
        }
        ChartEffect effect = layOut();
        std::lock_guard lock(m_mutex);
        effect.repaint = m_state.scrollOffset == wanted;
        return effect;
    }
    case ChartKey::Right: {
        {
            std::lock_guard lock(m_mutex);
            if (m_state.cross.shown() && m_geometry.size() >= 2 && m_state.selected > 0
                && m_state.selected < static_cast<int>(m_geometry.size()))
                return moveCrossTo(m_state.selected - 1);
            if (m_state.scrollOffset <= 0)
                return {};
            --m_state.scrollOffset;
        }
        ChartEffect effect = layOut();
        effect.repaint = true;
        return effect;
    }
    }
    return {};
}

ChartEffect ChartViewport::setToolMode(int mode)
{
    std::lock_guard lock(m_mutex);
    if (m_state.toolMode == mode)
        return {};
    ChartEffect effect;
    switch (mode) {
    case kToolPlain:
        effect = clearCross({});
        effect.details = ChartEffect::Details::Off;
        break;
    case kToolCross:
        effect.details = ChartEffect::Details::On;
        break;
    case kToolMove:
        effect.details = ChartEffect::Details::Off;
        break;
    default:
        return {};
    }
    effect.repaint = true;
    m_state.toolMode = mode;
    return effect;
}

ChartEffect ChartViewport::leaveToolMode()
{
    std::lock_guard lock(m_mutex);
    if (m_state.toolMode == kToolPlain)
        return {};
    // The cursor is cleared as well as erased: a cursor left set would come back with the next
    // paint and follow its bar through every layout while nothing tracks the mouse.
    ChartEffect effect = clearCross({});
    effect.details = ChartEffect::Details::Off;
    effect.repaint = true;
    m_state.toolMode = kToolPlain;
    return effect;
}

int ChartViewport::toolMode() const
{
    std::lock_guard lock(m_mutex);
    return m_state.toolMode;
}

ViewportState ChartViewport::state() const
{
    std::lock_guard lock(m_mutex);
    return m_state;
}

TypeInfo ChartViewport::product() const
{
    std::lock_guard lock(m_mutex);
    return m_product;
}

std::vector<BarGeometry> ChartViewport::geometry() const
{
    std::lock_guard lock(m_mutex);
    return m_geometry;
}

void ChartViewport::copyFrame(ChartFrame &frame) const
{
    std::lock_guard lock(m_mutex);
    frame.state = m_state;
    frame.geometry.assign(m_geometry.begin(), m_geometry.end());
    frame.product = m_product;
}

void ChartViewport::setState(const ViewportState &state)
{
    std::lock_guard lock(m_mutex);
    m_state = state;
}

ChartEffect ChartViewport::clearCross(ChartEffect effect)
{
    if (m_state.cross.shown()) {
        effect.crossMoved = true;
        effect.oldCross = m_state.cross;
        effect.newCross = {};
    }
    m_state.cross = {};
    return effect;
}

ChartEffect ChartViewport::moveCrossTo(int index)
{
    const BarGeometry &entry = m_geometry[static_cast<std::size_t>(index)];
    ChartEffect effect;
    effect.oldCross = m_state.cross;
    m_state.cross = {entry.centreX(), TruncToInt(entry.yClose)};
    m_state.selected = index;
    effect.crossMoved = effect.oldCross != m_state.cross;
    effect.newCross = m_state.cross;
    effect.detailsBar = entry.bar;
    effect.detailsY = static_cast<float>(m_state.cross.y);
    return effect;
}

} // namespace qs
