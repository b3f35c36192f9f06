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

// After an order the server carried out, or may have (a reply that did not come whole): the
// queries on a new connection, then the figures recomputed. The caller plays the success sound
// where there was success and lays the chart out again.
void RefetchAfterOrder(const ServerLink &link, TradingData &data, Refetch what);
// The queries alone, on a connection a request already used; the caller recomputes the figures.
void RefetchOn(Connection &connection, const ServerLink &link, TradingData &data, Refetch what);

} // namespace qs
