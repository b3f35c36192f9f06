#pragma once

#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/ServerLink.h"

#include <cstdint>

namespace qs {

struct TradingData;

// What a price tick needs beyond the trading collections. Called on the push thread: the UI
// implements each by posting to its own thread and never waits for the push thread there.
class PriceTickEnvironment {
public:
    virtual ~PriceTickEnvironment() = default;

    virtual bool mainWindowExists() = 0;
    // Relayout and redraw of the chart after a refresh.
    virtual void relayoutChart() = 0;
    // To every registered window, in this order: 1032 if either flag is set, 1033 if the orders
    // flag is set, then 1031 with a copy of the tick. One delivery per tick, never merged.
    virtual void notifyWindows(bool holdChanged, bool delegateChanged, const KLineBar &tick) = 0;
    // The price-alert check of the ticked product, last of all.
    virtual void checkAlerts(const KLineBar &tick) = 0;
};

// What one tick did; for the caller's and the tests' eyes.
struct PriceTickOutcome {
    bool handled = false;      // false: the main window is gone, nothing was done
    bool productFound = false; // false: no prices set and no triggers tested
    float buyPrice = 0;
    float sellPrice = 0;
    bool holdChanged = false;     // a position trigger or the low-risk trigger fired
    bool delegateChanged = false; // a pending-order trigger fired
};

// A position reaches its take-profit or stop-loss (0 = none) at these prices. Buys are tested
// against the sell price, sells against the buy price.
bool PositionTriggered(const HoldInfo &position, float buyPrice, float sellPrice);
// A pending order's trigger kind is met: buy kind 1 (ask <= price) or 3 (ask >= price), sell
// kind 2 (bid >= price) or 4 (bid <= price). Any other pairing never triggers.
bool PendingOrderTriggered(const DelegateInfo &order, float buyPrice, float sellPrice);

// The push thread's handling of a live bar: set the product's prices, test stops, pending
// orders and the risk rate, refresh what a trigger touched on one request connection, recompute
// the figures around it and tell the windows.
class PriceTick {
public:
    PriceTick(TradingData &data, const ServerLink &link, PriceTickEnvironment &environment);

    PriceTickOutcome handle(const KLineBar &tick);

private:
    // Sets last, buy and sell price of the ticked product; false when it is not listed.
    bool setPrices(const KLineBar &tick, PriceTickOutcome &outcome);
    bool positionsTriggered(std::int32_t productId, float buyPrice, float sellPrice);
    bool pendingOrdersTriggered(std::int32_t productId, float buyPrice, float sellPrice);
    bool lowRisk();
    void refresh(bool holdings, bool orders);

    TradingData &m_data;
    const ServerLink m_link;
    PriceTickEnvironment &m_environment;
};

} // namespace qs
