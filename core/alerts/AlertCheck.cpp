#include "core/alerts/AlertCheck.h"

#include "core/alerts/AlertExchanges.h"
#include "core/alerts/AlertList.h"
#include "core/alerts/AlertTexts.h"
#include "core/platform/PriceFormat.h"
#include "core/protocol/AlertInfo.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/WireRecord.h"
#include "core/trading/TradingData.h"

#include <vector>

namespace qs {

namespace {

constexpr std::int32_t kAtOrAbove = 1;
constexpr std::int32_t kAtOrBelow = 2;

bool Reached(const AlertInfo &alert, double price)
{
    if (alert.condition == kAtOrAbove)
        return price >= alert.level;
    if (alert.condition == kAtOrBelow)
        return price <= alert.level;
    return false;
}

} // namespace

void CheckAlerts(AlertList &alerts, const KLineBar &tick, const TradingData &trading,
                 const ServerLink &link, const AlertCheckHooks &hooks)
{
    // In double: a float price would miss a level it sits exactly on.
    const double price
        = static_cast<double>(tick.close) / static_cast<double>(PowerOfTen(tick.digits));
    std::vector<AlertInfo> reached;
    for (const AlertInfo &alert : alerts.snapshot()) {
        if (alert.productId == tick.productId && Reached(alert, price))
            reached.push_back(alert);
    }
    if (reached.empty())
        return;

    TypeInfo product = ZeroRecord<TypeInfo>();
    product.productId = tick.productId;
    trading.copyProduct(tick.productId, product);
    for (const AlertInfo &alert : reached) {
        if (hooks.announce)
            hooks.announce(AlertAnnouncement(alert, product));
        if (DeleteAlertOnServer(link, alert) && alerts.remove(alert.alertId) && hooks.alertsChanged)
            hooks.alertsChanged();
    }
}

} // namespace qs
