#pragma once

namespace qs {

struct TradingData;

// Recomputes the account figures from the positions, the product prices and the account record:
// floating profit and equity in exact decimal, rounded to float before they are stored. Takes
// kHoldInfoLock (with kTypeInfoLock inside it), releases it, then takes kAccountInfoLock.
void RecalcAccountFigures(TradingData &data);

} // namespace qs
