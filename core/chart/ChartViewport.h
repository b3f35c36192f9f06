#pragma once

#include "core/chart/BarList.h"
#include "core/chart/ChartLayout.h"
#include "core/protocol/TypeInfo.h"

#include <mutex>
#include <optional>
#include <vector>

namespace qs {

class SignalList;
struct TradingData;

enum class ChartKey { Escape, Left, Up, Right, Down };

inline constexpr int kTitleStripHeight = 20;
// The axis origin the left panel receives is the vertical offset plus this.
inline constexpr int kAxisOriginShift = 20;

// What the window has to do after a viewport operation. Operations only change state; the window
// repaints, moves the cross and feeds the left panel from this.
struct ChartEffect {
    enum class Details { Keep, On, Off };

    bool repaint = false; // the whole chart
    std::optional<RepaintRect> repaintRect;
    bool crossMoved = false;
    CrossPoint oldCross;
    CrossPoint newCross;
    Details details = Details::Keep;
    // The bar under the cross and the cursor y, for the left panel's details box.
    std::optional<KLineBar> detailsBar;
    float detailsY = 0.0f;
    // Set with detailsBar by a layout: the left panel's axis follows the new scale.
    bool axisChanged = false;
};

// What the painter reads, copied under the layout lock.
struct ChartFrame {
    ViewportState state;
    std::vector<BarGeometry> geometry;
    TypeInfo product{};
};

// The chart panel's viewport and its interaction rules, under the layout lock. Lock order: the
// bar-list lock before the layout lock; the signal-list lock, kHoldInfoLock and
// kDelegateInfoLock are taken one after the other inside a layout, never together.
class ChartViewport {
public:
    ChartViewport(BarList &bars, SignalList &signals, TradingData &trading,
                  const TypeInfo &product);

    // The reset of a view restart: the product record, reset values, no geometry, details off.
    // The tool mode stays.
    ChartEffect reset(const TypeInfo &product);
    // A resize of the panel: no cross (nothing erased), mode 0, details off.
    ChartEffect resize(int clientWidth, int clientHeight);
    // Bars, scale and geometry, then the y of signals, positions and orders.
    ChartEffect layOut();
    // A pushed live bar is at the front of the bar list (newBar: it opened a new period).
    ChartEffect applyLiveBar(bool newBar);

    ChartEffect mouseMove(int x, int y);
    ChartEffect mouseLeave();
    ChartEffect leftButtonDown(int x, int y);
    ChartEffect leftButtonUp(int x, int y);
    ChartEffect key(ChartKey key);
    // Commands 32871, 32873 and 32875 as modes 0, 1 and 2.
    ChartEffect setToolMode(int mode);
    // First step of the context menu: back to mode 0 without the cross.
    ChartEffect leaveToolMode();

    int toolMode() const;
    ViewportState state() const;
    TypeInfo product() const;
    std::vector<BarGeometry> geometry() const;
    // Copies what a paint needs into frame, reusing its storage.
    void copyFrame(ChartFrame &frame) const;

    // Tests and the bench set the viewport directly.
    void setState(const ViewportState &state);

private:
    ChartEffect clearCross(ChartEffect effect);
    // Keyboard stepping: the cross to the bar's centre and close.
    ChartEffect moveCrossTo(int index);

    BarList &m_bars;
    SignalList &m_signals;
    TradingData &m_trading;
    mutable std::mutex m_mutex; // the layout lock
    ViewportState m_state;
    std::vector<BarGeometry> m_geometry;
    TypeInfo m_product;
};

} // namespace qs
