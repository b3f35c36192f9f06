#pragma once

namespace qs {

class Connection;
class ServerLink;
struct TradingData;

// What an order may have changed on the server, and so what is fetched again afterwards.
enum class Refetch {
    Holdings,         // position summary, positions, and the account only if both worked
    OrdersAndAccount, // pending orders, then the account, on one connection
};

// What the work after a trade fetched again; nothing when no connection was made.
struct TradeChange {
    bool holdings = false;
    bool orders = false;
    bool account = false;

    bool operator==(const TradeChange &) const = default;
};

// After a trade the server carried out, or may have (a reply that did not come whole): the
// queries `what` names on a new connection, then the figures recomputed. The caller lays the
// chart out, tells the windows and plays the sound.
TradeChange RefetchAfterTrade(const ServerLink &link, TradingData &data, Refetch what);
// The same on a connection the request already used, which stays open.
TradeChange RefetchAfterTrade(Connection &connection, const ServerLink &link, TradingData &data,
                              Refetch what);

} // namespace qs
