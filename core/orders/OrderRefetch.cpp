#include "core/orders/OrderRefetch.h"

#include "core/protocol/RequestExchange.h"
#include "core/trading/RecalcAccountFigures.h"
#include "core/trading/TradingQueries.h"

namespace qs {

namespace {

TradeChange Fetch(Connection &connection, const ServerLink &link, TradingData &data, Refetch what)
{
    TradeChange change;
    change.account = true;
    if (what == Refetch::Holdings) {
        // Stops at the first query that fails.
        RefreshHoldings(connection, link, data);
        change.holdings = true;
    } else {
        QueryDelegateInfo(connection, link, data);
        QueryAccountInfo(connection, link, data);
        change.orders = true;
    }
    return change;
}

} // namespace

TradeChange RefetchAfterTrade(const ServerLink &link, TradingData &data, Refetch what)
{
    TradeChange change;
    {
        RequestExchange exchange(link);
        if (exchange.isOpen())
            change = Fetch(exchange.connection(), link, data, what);
    }
    RecalcAccountFigures(data);
    return change;
}

TradeChange RefetchAfterTrade(Connection &connection, const ServerLink &link, TradingData &data,
                              Refetch what)
{
    const TradeChange change = Fetch(connection, link, data, what);
    RecalcAccountFigures(data);
    return change;
}

} // namespace qs
