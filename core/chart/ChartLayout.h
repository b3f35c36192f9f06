#pragma once

#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/SignalRecord.h"

#include <cstdint>
#include <list>
#include <vector>

namespace qs {

inline constexpr int kPriceLabelRoom = 50; // right of the plot, for the current-price label
inline constexpr int kPlotMarginX = 10;
inline constexpr int kPlotMarginY = 35;
inline constexpr float kMinSlotWidth = 1.5f;
inline constexpr float kMaxSlotWidth = 53.0f;
inline constexpr float kMinGap = 0.3f;
inline constexpr std::int32_t kResetHighest = 0;
inline constexpr std::int32_t kResetLowest = 1000000;
inline constexpr int kGridTop = 20;

struct PlotRect {
    int left;
    int top;
    int right;
    int bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const PlotRect &, const PlotRect &) = default;
};

// The client rectangle less 50 px of label room at the right, then 10 px at left and right and
// 35 px at top and bottom.
PlotRect ChartPlotRect(int clientWidth, int clientHeight);

// Truncation toward zero for every float that becomes a pixel: NaN gives 0 and anything beyond
// a billion pixels is held there, so no conversion is undefined and later sums cannot overflow.
int TruncToInt(double value);

// The three price-to-y rules. They truncate at different points, and the difference shows on
// screen, so each is kept as it is.
// Bars: trunc((highest - p) * scale) + offset + 35.
int BarPriceY(std::int32_t highest, std::int32_t price, float scale, int verticalOffset);
// Signals: trunc((highest - p) * scale + offset + 35).
int SignalPriceY(std::int32_t highest, std::int32_t price, float scale, int verticalOffset);
// Real prices: q = trunc(highest - P * 10^digits), then trunc(q * scale + offset + 35).
int RealPriceY(std::int32_t highest, double price, int digits, float scale, int verticalOffset);
// The close of a bar, not rounded.
float CloseY(std::int32_t highest, std::int32_t close, float scale, int verticalOffset);

// Grid step for a client height: h / 2 below 160 px of grid, else the step in 80..119 whose
// remainder lies closest to a multiple of 80. Never below 1, so a drawing loop always advances.
int GridStep(int clientHeight);

// -1 falling, +1 rising; a doji takes its colour from the reference price.
int BarDirection(const KLineBar &bar);

// One visible bar. The bar is a copy: a pushed completed bar may remove the live bar from the
// bar list while the chart still shows it.
struct BarGeometry {
    int direction = 0;
    int xLeft = 0;
    int yHigh = 0;
    int xRight = 0;
    int yLow = 0;
    int yOpen = 0;
    float yClose = 0.0f;
    KLineBar bar{};
    int centreX() const { return xLeft + (xRight - xLeft) / 2; }
};

// x, y of the cross cursor; 0, 0 means none.
struct CrossPoint {
    int x = 0;
    int y = 0;
    bool shown() const { return x != 0 || y != 0; }
    friend bool operator==(const CrossPoint &, const CrossPoint &) = default;
};

enum ToolMode { kToolPlain = 0, kToolCross = 1, kToolMove = 2 };

// The chart's viewport; guarded by the layout lock.
struct ViewportState {
    std::int32_t highest = kResetHighest;
    std::int32_t lowest = kResetLowest;
    float gap = 0.0f;
    float bodyWidth = 0.0f;
    float scale = 0.0f;
    float zoom = 1.0f;
    bool firstLayout = true;
    int scrollOffset = 0;
    int verticalOffset = 0;
    CrossPoint cross;
    int selected = -1; // index into the geometry list, -1 = none
    CrossPoint press;
    int toolMode = kToolPlain;
    int clientWidth = 0;
    int clientHeight = 0;

    // Back to the reset values; the tool mode and the client size stay.
    void reset();
};

// What a layout did beyond the geometry: where the cross went, and the bar the left panel
// should detail when the cross moved with its bar.
struct LayoutResult {
    bool laidOut = false;
    bool crossMoved = false;
    CrossPoint oldCross;
    bool detailsChanged = false;
    KLineBar detailsBar{};
    float detailsY = 0.0f;
};

// Visible bars, widths, scale and geometry from the bars newest first, and the cross put back
// on its bar (or on the oldest visible one). Nothing happens for no bars or a client too small
// to hold a plot.
LayoutResult LayOutBars(ViewportState &state, std::vector<BarGeometry> &geometry,
                        const std::list<KLineBar> &bars);

// Where the layout stores the y of a signal, a position with its stops, a pending order with
// its stops. Records of other products are left alone; a stop of 0 (none) keeps its old y.
void PlaceSignal(SignalRecord &signal, int productId, const ViewportState &state);
void PlacePosition(HoldInfo &position, int productId, int digits, const ViewportState &state);
void PlaceOrder(DelegateInfo &order, int productId, int digits, const ViewportState &state);

} // namespace qs
