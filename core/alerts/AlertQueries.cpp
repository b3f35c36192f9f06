#include "core/alerts/AlertQueries.h"

#include "core/alerts/AlertList.h"
#include "core/protocol/AlertInfo.h"
#include "core/protocol/Commands.h"
#include "core/protocol/CountedList.h"
#include "core/protocol/RequestExchange.h"
#include "core/trading/TradingQueries.h"

#include <utility>

namespace qs {

int QueryAlertInfo(Connection &connection, const ServerLink &link, AlertList &alerts)
{
    if (SendRequest(connection, link.session(), cmd::kAlerts) != ExchangeStep::Done)
        return -1;
    CountedList<AlertInfo> list = ReadCountedList<AlertInfo>(connection, cmd::kAlerts);
    if (list.replaces)
        alerts.replace(std::move(list.records));
    return 1;
}

void FetchProductsAndAlerts(const ServerLink &link, TradingData &data, AlertList &alerts)
{
    RequestExchange exchange(link);
    if (!exchange.isOpen())
        return;
    QueryTypeInfo(exchange.connection(), link, data);
    QueryAlertInfo(exchange.connection(), link, alerts);
}

} // namespace qs
