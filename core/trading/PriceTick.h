#pragma once

#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/ServerLink.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qs {

struct TradingData;

// A position the server closed or a pending order it filled, as the refresh of a tick found
// it: listed before the refresh, gone after it.
struct ServerDeal {
    std::string number;
    std::int32_t productId = 0;
    std::int32_t side = 0; // 1 buy, else sell
    double lots = 0;

    bool operator==(const ServerDeal &) const = default;
};

// What one tick changed.
struct TickChange {
    KLineBar tick{};
    bool pricesSet = false; // false: the product is not listed, no triggers were tested
    float buyPrice = 0;
    float sellPrice = 0;
    bool holdings = false;  // a position trigger or the low-risk trigger fired
    bool orders = false;    // a pending-order trigger fired
    bool refreshed = false; // the refresh reached the server and the lists may have changed
    std::vector<ServerDeal> closedByServer;
    std::vector<ServerDeal> filledByServer;

    bool needsRefresh() const { return holdings || orders; }
};

// A position reaches its take-profit or stop-loss (0 = none) at these prices. Buys are tested
// against the sell price, sells against the buy price.
bool PositionTriggered(const HoldInfo &position, float buyPrice, float sellPrice);
// A pending order's trigger kind is met: buy kind 1 (ask <= price) or 3 (ask >= price), sell
// kind 2 (bid >= price) or 4 (bid <= price). Any other pairing never triggers.
bool PendingOrderTriggered(const DelegateInfo &order, float buyPrice, float sellPrice);

// The trading side of a live bar on the push thread, step by step; the caller runs the steps
// and recomputes the figures between them.
class PriceTick {
public:
    PriceTick(TradingData &data, const ServerLink &link);

    // Sets last, buy and sell price of the ticked product and tests its stops and pending orders.
    TickChange applyPrices(const KLineBar &tick);
    // The risk rate of the last figures is at or below 30 while margin is held.
    bool lowRisk() const;
    // Fetches again what a trigger touched, on one request connection, and notes what the server
    // closed or filled meanwhile.
    void refresh(TickChange &change);

private:
    bool setPrices(const KLineBar &tick, TickChange &change);
    bool positionsTriggered(std::int32_t productId, float buyPrice, float sellPrice);
    bool pendingOrdersTriggered(std::int32_t productId, float buyPrice, float sellPrice);

    TradingData &m_data;
    const ServerLink m_link;
};

} // namespace qs
