#include "core/chart/ChartLabelHit.h"

#include "core/trading/TradingData.h"

#include <cstdint>

namespace qs {

namespace {

bool Contains(const std::int32_t (&rect)[4], int x, int y)
{
    return rect[0] <= x && x < rect[2] && rect[1] <= y && y < rect[3];
}

} // namespace

ChartLabelHit FindChartLabel(const TradingData &trading, int productId, int x, int y)
{
    {
        MutexLock lock(trading.kHoldInfoLock);
        for (const HoldInfo &position : trading.kHoldInfoList) {
            if (position.productId == productId && Contains(position.labelRect, x, y))
                return {ChartLabelHit::Kind::Position, position.number()};
        }
    }
    MutexLock lock(trading.kDelegateInfoLock);
    for (const DelegateInfo &order : trading.kDelegateInfoList) {
        if (order.productId == productId && order.status == 1 && Contains(order.labelRect, x, y))
            return {ChartLabelHit::Kind::Order, order.number()};
    }
    return {};
}

} // namespace qs
