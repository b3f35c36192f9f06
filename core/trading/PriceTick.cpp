#include "core/trading/PriceTick.h"

#include "core/platform/PriceFormat.h"
#include "core/protocol/RequestExchange.h"
#include "core/trading/TradingData.h"
#include "core/trading/TradingQueries.h"

#include <mutex>
#include <string>
#include <unordered_set>

namespace qs {

namespace {

constexpr float kLowRiskRate = 30.0f;

double Lots(const HoldInfo &position)
{
    return position.lotsHeld;
}

double Lots(const DelegateInfo &order)
{
    return order.lots;
}

// The records of before whose numbers after no longer lists, in the order of before.
template<typename Record>
std::vector<ServerDeal> GoneSince(const std::vector<Record> &before,
                                  const std::vector<Record> &after)
{
    std::unordered_set<std::string> remaining;
    for (const Record &record : after)
        remaining.insert(record.number());
    std::vector<ServerDeal> gone;
    for (const Record &record : before) {
        std::string number = record.number();
        if (remaining.count(number) == 0)
            gone.push_back({std::move(number), record.productId, record.side, Lots(record)});
    }
    return gone;
}

} // namespace

bool PositionTriggered(const HoldInfo &position, float buyPrice, float sellPrice)
{
    const double tp = position.takeProfit;
    const double sl = position.stopLoss;
    if (position.isBuy()) {
        const double sell = sellPrice;
        return (tp > 0 && sell >= tp) || (sl > 0 && sell <= sl);
    }
    const double buy = buyPrice;
    return (tp > 0 && buy <= tp) || (sl > 0 && buy >= sl);
}

bool PendingOrderTriggered(const DelegateInfo &order, float buyPrice, float sellPrice)
{
    const double price = order.orderPrice;
    const double buy = buyPrice;
    const double sell = sellPrice;
    if (order.isBuy())
        return (order.triggerKind == 1 && buy <= price) || (order.triggerKind == 3 && buy >= price);
    return (order.triggerKind == 2 && sell >= price) || (order.triggerKind == 4 && sell <= price);
}

PriceTick::PriceTick(TradingData &data, const ServerLink &link)
    : m_data(data)
    , m_link(link)
{}

TickChange PriceTick::applyPrices(const KLineBar &tick)
{
    TickChange change;
    change.tick = tick;
    // kTypeInfoLock is released inside setPrices before the other locks are taken.
    if (setPrices(tick, change)) {
        change.holdings = positionsTriggered(tick.productId, change.buyPrice, change.sellPrice);
        change.orders = pendingOrdersTriggered(tick.productId, change.buyPrice, change.sellPrice);
    }
    return change;
}

bool PriceTick::setPrices(const KLineBar &tick, TickChange &change)
{
    MutexLock lock(m_data.kTypeInfoLock);
    for (TypeInfo &product : m_data.kTypeInfoList) {
        if (product.productId != tick.productId)
            continue;
        product.lastPrice = static_cast<float>(tick.close) / PowerOfTen(product.digits);
        product.buyPrice = product.askSpread + product.lastPrice;
        product.sellPrice = product.lastPrice - product.bidSpread;
        change.pricesSet = true;
        change.buyPrice = product.buyPrice;
        change.sellPrice = product.sellPrice;
        return true;
    }
    return false;
}

bool PriceTick::positionsTriggered(std::int32_t productId, float buyPrice, float sellPrice)
{
    MutexLock lock(m_data.kHoldInfoLock);
    bool triggered = false;
    for (const HoldInfo &position : m_data.kHoldInfoList) {
        if (position.productId == productId && position.status == 1
            && PositionTriggered(position, buyPrice, sellPrice))
            triggered = true;
    }
    return triggered;
}

bool PriceTick::pendingOrdersTriggered(std::int32_t productId, float buyPrice, float sellPrice)
{
    MutexLock lock(m_data.kDelegateInfoLock);
    bool triggered = false;
    for (const DelegateInfo &order : m_data.kDelegateInfoList) {
        if (order.productId == productId && order.status == 1
            && PendingOrderTriggered(order, buyPrice, sellPrice))
            triggered = true;
    }
    return triggered;
}

bool PriceTick::lowRisk() const
{
    // While the risk rate stays at or below 30 every tick refreshes again.
    MutexLock lock(m_data.kAccountInfoLock);
    return m_data.kAccountInfo.occupiedMargin > 0 && m_data.figures.riskRate <= kLowRiskRate;
}

void PriceTick::refresh(TickChange &change)
{
    RequestExchange exchange(m_link);
    if (!exchange.isOpen())
        return;
    const std::vector<HoldInfo> positionsBefore = m_data.positions();
    const std::vector<DelegateInfo> ordersBefore = m_data.pendingOrders();
    Connection &connection = exchange.connection();
    if (change.holdings)
        RefreshHoldings(connection, m_link, m_data);
    if (change.orders) {
        QueryDelegateInfo(connection, m_link, m_data);
        if (!change.holdings)
            RefreshHoldings(connection, m_link, m_data);
    }
    change.refreshed = true;
    change.closedByServer = GoneSince(positionsBefore, m_data.positions());
    change.filledByServer = GoneSince(ordersBefore, m_data.pendingOrders());
}

} // namespace qs
