#include "core/trading/PriceTick.h"

#include "core/platform/DesktopSeam.h"
#include "core/platform/PriceFormat.h"
#include "core/platform/SoundIds.h"
#include "core/protocol/RequestExchange.h"
#include "core/trading/RecalcAccountFigures.h"
#include "core/trading/TradingData.h"
#include "core/trading/TradingQueries.h"

#include <mutex>

namespace qs {

namespace {

constexpr float kLowRiskRate = 30.0f;

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

PriceTick::PriceTick(TradingData &data, const ServerLink &link, PriceTickEnvironment &environment)
    : m_data(data)
    , m_link(link)
    , m_environment(environment)
{}

PriceTickOutcome PriceTick::handle(const KLineBar &tick)
{
    PriceTickOutcome outcome;
    if (!m_environment.mainWindowExists())
        return outcome;
    outcome.handled = true;

    // kTypeInfoLock is released inside setPrices before the other locks are taken.
    if (setPrices(tick, outcome)) {
        outcome.holdChanged
            = positionsTriggered(tick.productId, outcome.buyPrice, outcome.sellPrice);
        outcome.delegateChanged
            = pendingOrdersTriggered(tick.productId, outcome.buyPrice, outcome.sellPrice);
    }

    RecalcAccountFigures(m_data);
    // While the risk rate stays at or below 30 every tick refreshes again.
    if (lowRisk())
        outcome.holdChanged = true;

    if (outcome.holdChanged || outcome.delegateChanged) {
        refresh(outcome.holdChanged, outcome.delegateChanged);
        m_link.seam().playSound(sound::kRefresh, false);
        m_environment.relayoutChart();
    }

    RecalcAccountFigures(m_data);
    m_environment.notifyWindows(outcome.holdChanged, outcome.delegateChanged, tick);
    m_environment.checkAlerts(tick);
    return outcome;
}

bool PriceTick::setPrices(const KLineBar &tick, PriceTickOutcome &outcome)
{
    MutexLock lock(m_data.kTypeInfoLock);
    for (TypeInfo &product : m_data.kTypeInfoList) {
        if (product.productId != tick.productId)
            continue;
        product.lastPrice = static_cast<float>(tick.close) / PowerOfTen(product.digits);
        product.buyPrice = product.askSpread + product.lastPrice;
        product.sellPrice = product.lastPrice - product.bidSpread;
        outcome.productFound = true;
        outcome.buyPrice = product.buyPrice;
        outcome.sellPrice = product.sellPrice;
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

bool PriceTick::lowRisk()
{
    MutexLock lock(m_data.kAccountInfoLock);
    return m_data.kAccountInfo.occupiedMargin > 0 && m_data.figures.riskRate <= kLowRiskRate;
}

void PriceTick::refresh(bool holdings, bool orders)
{
    RequestExchange exchange(m_link);
    if (!exchange.isOpen())
        return;
    Connection &connection = exchange.connection();
    if (holdings)
        RefreshHoldings(connection, m_link, m_data);
    if (orders) {
        QueryDelegateInfo(connection, m_link, m_data);
        if (!holdings)
            RefreshHoldings(connection, m_link, m_data);
    }
}

} // namespace qs
