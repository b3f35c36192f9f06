#include "core/orders/OrderRefetch.h"

#include "core/protocol/RecalcAccountFigures.h"
#include "core/protocol/RequestExchange.h"
#include "core/protocol/TradingQueries.h"

namespace qs {

void RefetchAfterOrder(const ServerLink &link, TradingData &data, Refetch what)
{
    {
        RequestExchange exchange(link);
        if (exchange.isOpen()) {
            if (what == Refetch::Holdings) {
                RefreshHoldings(exchange.connection(), link, data);
            } else {
                QueryDelegateInfo(exchange.connection(), link, data);
                QueryAccountInfo(exchange.connection(), link, data);
            }
        }
    }
    RecalcAccountFigures(data);
}

} // namespace qs
