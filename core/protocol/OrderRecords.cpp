#include "core/protocol/OrderRecords.h"

#include "core/protocol/WireRecord.h"

#include <cstring>

namespace qs {

DelegateInfo ClosePositionBody(const HoldInfo &position, double lots, double price,
                               std::int32_t validity)
{
    DelegateInfo body = ZeroRecord<DelegateInfo>();
    body.productId = position.productId;
    body.side = position.side == 2 ? 1 : 2;
    body.lots = lots;
    body.orderPrice = price;
    // The number as the position carries it, always with a terminator and zeros after it.
    std::memcpy(body.relatedPosition, position.positionNumber,
                strnlen(position.positionNumber, sizeof body.relatedPosition - 1));
    body.validity = validity;
    return body;
}

} // namespace qs
