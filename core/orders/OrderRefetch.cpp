#include "core/orders/OrderRefetch.h"

#include "core/protocol/RequestExchange.h"
#include "core/trading/RecalcAccountFigures.h"
#include "core/trading/TradingQueries.h"

namespace qs {

void RefetchOn(Connection &connection, const ServerLink &link, TradingData &data, Refetch what)
{
    if (what == Refetch::Holdings) {
        // Stops at the first query that fails.
        RefreshHoldings(connection, link, data);
    } else {
        QueryDelegateInfo(connection, link, data);
        QueryAccountInfo(connection, link, data);
    }
}

void RefetchAfterOrder(const ServerLink &link, TradingData &data, Refetch what)
{
    {
        RequestExchange exchange(link);
        if (exchange.isOpen())
            RefetchOn(exchange.connection(), link, data, what);
    }
    RecalcAccountFigures(data);
}

} // namespace qs
