#pragma once

#include "core/protocol/DealInfo.h"

#include <vector>

namespace qs {

class Connection;
class ServerLink;
struct TradingData;

// The trading queries: one exchange each on a connection the caller opened and will close.
// They return 1 on success and -1 on failure; a failure shows its message through the link's
// seam and leaves the target as it was. Records are read with no lock held and swapped in under
// the target's lock.

// Command 1. -1 only when the header cannot be sent; a count of 0 or less keeps the old list.
int QueryTypeInfo(Connection &connection, const ServerLink &link, TradingData &data);
// Command 16. "获取持仓信息失败" on failure; a count of 0 empties the list.
int QueryHoldInfo(Connection &connection, const ServerLink &link, TradingData &data);
// Command 17. "获取持仓信息失败" on failure; a count of 0 empties the list.
int QueryDelegateInfo(Connection &connection, const ServerLink &link, TradingData &data);
// Command 19, into a list of the caller's; "获取成交信息失败" on failure.
int QueryDealInfo(Connection &connection, const ServerLink &link, std::vector<DealInfo> &deals);
// Command 20. "获取持仓信息失败" on failure; a count of 0 empties the list.
int QueryHoldSumInfo(Connection &connection, const ServerLink &link, TradingData &data);
// Command 21. "获取账户信息失败" when fewer than 160 bytes arrive; the previous record stays.
int QueryAccountInfo(Connection &connection, const ServerLink &link, TradingData &data);

// Position summary, positions, account, stopping at the first failure; 1 when all three worked.
int RefreshHoldings(Connection &connection, const ServerLink &link, TradingData &data);

// Once the main frame is shown: position summary and positions, the account only if both
// worked, then the pending orders in any case, all on one connection; then the figures are
// recomputed (also when no connection could be made).
void FetchAccountAtStart(const ServerLink &link, TradingData &data);

} // namespace qs
