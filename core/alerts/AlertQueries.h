#pragma once

namespace qs {

class AlertList;
class Connection;
class ServerLink;
struct TradingData;

// Command 8, into the main frame's alert list, on a connection the caller opened: -1 only when
// the header cannot be sent; a count of 0 or less keeps the old list.
int QueryAlertInfo(Connection &connection, const ServerLink &link, AlertList &alerts);

// Main frame creation: products then alerts on one connection. Without a connection (its
// message shown) both lists stay as they are.
void FetchProductsAndAlerts(const ServerLink &link, TradingData &data, AlertList &alerts);

} // namespace qs
