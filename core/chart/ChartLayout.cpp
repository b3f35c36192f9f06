#include "core/chart/ChartLayout.h"

#include "core/platform/PriceFormat.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace qs {

namespace {

constexpr double kPixelLimit = 1.0e9;

float PriceDistance(std::int32_t highest, std::int32_t price)
{
    // In 64 bits: a hostile price must not overflow the subtraction.
    return static_cast<float>(static_cast<std::int64_t>(highest) - price);
}

// The cross's bar is known again by its key; a live bar by being live, as its clock text moves
// on with every tick.
bool SameBar(const KLineBar &a, const KLineBar &b)
{
    if (a.isLive() || b.isLive())
        return a.isLive() && b.isLive();
    return a.keyNumber == b.keyNumber
           && std::strncmp(a.timeText, b.timeText, sizeof a.timeText) == 0;
}

} // namespace

void ViewportState::reset()
{
    const int mode = toolMode;
    const int width = clientWidth;
    const int height = clientHeight;
    *this = ViewportState{};
    toolMode = mode;
    clientWidth = width;
    clientHeight = height;
}

PlotRect ChartPlotRect(int clientWidth, int clientHeight)
{
    return {kPlotMarginX, kPlotMarginY, clientWidth - kPriceLabelRoom - kPlotMarginX,
            clientHeight - kPlotMarginY};
}

int TruncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::clamp(value, -kPixelLimit, kPixelLimit));
}

int BarPriceY(std::int32_t highest, std::int32_t price, float scale, int verticalOffset)
{
    const float distance = PriceDistance(highest, price) * scale;
    return TruncToInt(distance) + verticalOffset + kPlotMarginY;
}

int SignalPriceY(std::int32_t highest, std::int32_t price, float scale, int verticalOffset)
{
    const float y = PriceDistance(highest, price) * scale + static_cast<float>(verticalOffset)
                    + static_cast<float>(kPlotMarginY);
    return TruncToInt(y);
}

int RealPriceY(std::int32_t highest, double price, int digits, float scale, int verticalOffset)
{
    const int q = TruncToInt(static_cast<double>(highest)
                             - price * static_cast<double>(PowerOfTen(digits)));
    const float y = static_cast<float>(q) * scale + static_cast<float>(verticalOffset)
                    + static_cast<float>(kPlotMarginY);
    return TruncToInt(y);
}

float CloseY(std::int32_t highest, std::int32_t close, float scale, int verticalOffset)
{
    return PriceDistance(highest, close) * scale + static_cast<float>(verticalOffset)
           + static_cast<float>(kPlotMarginY);
}

int GridStep(int clientHeight)
{
    const int h = clientHeight - 40;
    if (h < 160)
        return std::max(1, h / 2);
    int best = 80;
    int step = 80;
    for (int i = 0; i < 40; ++i) {
        const int m = 80 + i;
        const int r = h % m;
        // 80, not m: a remainder above 40 counts from 80, which may go below zero and win.
        const int d = r <= 40 ? r : 80 - r;
        if (d < best) {
            best = d;
            step = m;
        }
    }
    return step;
}

int BarDirection(const KLineBar &bar)
{
    if (bar.close == bar.open)
        return bar.close < bar.reference ? -1 : 1;
    return bar.close < bar.open ? -1 : 1;
}

LayoutResult LayOutBars(ViewportState &state, std::vector<BarGeometry> &geometry,
                        const std::list<KLineBar> &bars)
{
    LayoutResult result;
    const PlotRect plot = ChartPlotRect(state.clientWidth, state.clientHeight);
    // A plot without width or height would give a negative zoom or scale that stays behind.
    if (bars.empty() || state.clientWidth < 50 || state.clientHeight == 0 || plot.width() <= 0
        || plot.height() <= 0)
        return result;

    const float plotWidth = static_cast<float>(plot.width());
    const float count = static_cast<float>(bars.size());
    if (state.firstLayout) {
        state.firstLayout = false;
        state.zoom = count * state.zoom / 100.0f;
    }
    float slot = plotWidth * state.zoom / count;
    if (!(slot >= kMinSlotWidth)) { // NaN included
        slot = kMinSlotWidth;
        state.zoom = count * kMinSlotWidth / plotWidth;
    } else if (slot > kMaxSlotWidth) {
        slot = kMaxSlotWidth;
        state.zoom = count * kMaxSlotWidth / plotWidth;
    }
    state.gap = std::max(slot / 10.0f, kMinGap);
    state.bodyWidth = slot - state.gap;

    const int total = static_cast<int>(std::min<std::size_t>(bars.size(), 1u << 30));
    const int visible = TruncToInt(plotWidth / (state.bodyWidth + state.gap));
    if (visible < 1)
        return result;
    if (state.scrollOffset + visible > total)
        state.scrollOffset = total - visible;
    if (state.scrollOffset < 0)
        state.scrollOffset = 0;
    const int shown = std::min(visible, total);

    // The list is walked from whichever end is nearer: deep in history the skipped bars are
    // most of a long list.
    const int fromBack = total - state.scrollOffset;
    const auto first = state.scrollOffset <= fromBack ? std::next(bars.begin(), state.scrollOffset)
                                                      : std::prev(bars.end(), fromBack);
    const auto last = std::next(first, shown);
    state.highest = first->high;
    state.lowest = first->low;
    for (auto bar = first; bar != last; ++bar) {
        state.highest = std::max(state.highest, bar->high);
        state.lowest = std::min(state.lowest, bar->low);
    }
    // A flat range would divide by zero; it is scaled as if it spanned one price unit.
    const std::int64_t range
        = std::max<std::int64_t>(1, static_cast<std::int64_t>(state.highest) - state.lowest);
    state.scale = static_cast<float>(plot.height()) / static_cast<float>(range);

    const bool crossShown = state.cross.shown();
    const bool hadSelected
        = state.selected >= 0 && state.selected < static_cast<int>(geometry.size());
    KLineBar selectedBar{};
    if (hadSelected)
        selectedBar = geometry[static_cast<std::size_t>(state.selected)].bar;
    const CrossPoint oldCross = state.cross;
    state.selected = -1;

    geometry.clear();
    geometry.reserve(static_cast<std::size_t>(shown));
    const float step = state.bodyWidth + state.gap;
    int k = 0;
    for (auto bar = first; bar != last; ++bar, ++k) {
        const int i = shown - 1 - k;
        BarGeometry entry;
        entry.xLeft = TruncToInt(step * static_cast<float>(i) + static_cast<float>(kPlotMarginX));
        entry.xRight = TruncToInt(step * static_cast<float>(i) + static_cast<float>(kPlotMarginX)
                                  + state.bodyWidth);
        entry.yHigh = BarPriceY(state.highest, bar->high, state.scale, state.verticalOffset);
        entry.yLow = BarPriceY(state.highest, bar->low, state.scale, state.verticalOffset);
        entry.yOpen = BarPriceY(state.highest, bar->open, state.scale, state.verticalOffset);
        entry.yClose = CloseY(state.highest, bar->close, state.scale, state.verticalOffset);
        entry.direction = BarDirection(*bar);
        entry.bar = *bar;
        geometry.push_back(entry);
        if (crossShown && hadSelected && state.selected < 0 && SameBar(selectedBar, *bar)) {
            state.cross = {entry.centreX(), TruncToInt(entry.yClose)};
            state.selected = k;
            result.detailsChanged = true;
            result.detailsBar = entry.bar;
            result.detailsY = static_cast<float>(state.cross.y);
        }
    }

    if (crossShown && state.selected < 0) {
        const BarGeometry &oldest = geometry.back();
        state.cross = {oldest.centreX(), oldest.yOpen};
        state.selected = static_cast<int>(geometry.size()) - 1;
        result.detailsChanged = true;
        result.detailsBar = oldest.bar;
        result.detailsY = static_cast<float>(state.cross.y);
    }

    result.laidOut = true;
    result.crossMoved = state.cross != oldCross;
    result.oldCross = oldCross;
    return result;
}

void PlaceSignal(SignalRecord &signal, int productId, const ViewportState &state)
{
    if (signal.productId != productId)
        return;
    signal.chartY = SignalPriceY(state.highest, signal.price, state.scale, state.verticalOffset);
}

void PlacePosition(HoldInfo &position, int productId, int digits, const ViewportState &state)
{
    if (position.productId != productId)
        return;
    const auto y = [&](double price) {
        return RealPriceY(state.highest, price, digits, state.scale, state.verticalOffset);
    };
    position.openY = y(position.openPrice);
    if (position.stopLoss > 0)
        position.stopLossY = y(position.stopLoss);
    if (position.takeProfit > 0)
        position.takeProfitY = y(position.takeProfit);
}

void PlaceOrder(DelegateInfo &order, int productId, int digits, const ViewportState &state)
{
    if (order.productId != productId)
        return;
    const auto y = [&](double price) {
        return RealPriceY(state.highest, price, digits, state.scale, state.verticalOffset);
    };
    order.orderY = y(order.orderPrice);
    if (order.stopLoss > 0)
        order.stopLossY = y(order.stopLoss);
    if (order.takeProfit > 0)
        order.takeProfitY = y(order.takeProfit);
}

} // namespace qs
