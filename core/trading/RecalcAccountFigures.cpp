#include "core/trading/RecalcAccountFigures.h"

#include "core/platform/Decimal.h"
#include "core/trading/FloatingProfitCache.h"
#include "core/trading/TradingData.h"

#include <cmath>
#include <limits>

namespace qs {

namespace {

float ToFloat(const Decimal &value)
{
    return RoundToFloat(DecimalToDouble(value));
}

float ToFloat(double value)
{
    return RoundToFloat(value);
}

} // namespace

void RecalcAccountFigures(TradingData &data)
{
    Decimal total;
    {
        MutexLock lock(data.kHoldInfoLock);
        total = data.floatingProfitCache->total(data);
    }
    const float floatingProfit = ToFloat(total);
    const Decimal floating = DecimalFromFloat(floatingProfit);

    MutexLock lock(data.kAccountInfoLock);
    const AccountInfo account = data.kAccountInfo;
    const float equity
        = ToFloat(DecimalFromDouble(account.usableFunds) + DecimalFromDouble(account.occupiedMargin)
                  + DecimalFromDouble(account.frozenMargin)
                  + DecimalFromDouble(account.frozenCommission) + floating);

    AccountFigures &figures = data.figures;
    figures.floatingProfit = floatingProfit;
    figures.equity = equity;
    figures.usableMargin = DecimalToDouble(floating + DecimalFromDouble(account.usableFunds));
    figures.riskRate = account.occupiedMargin > 0
                           ? ToFloat(static_cast<double>(equity) * 100 / account.occupiedMargin)
                           : 0.0f;
    const double base = account.depositsTotal + account.capitalBase;
    figures.netYield = base > 0 ? ToFloat((static_cast<double>(equity) - base) * 100 / base) : 0.0f;
}

} // namespace qs
