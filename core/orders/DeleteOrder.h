#pragma once

#include "core/protocol/Commands.h"
#include "core/protocol/DelegateInfo.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace qs {

class ServerLink;
struct TradingData;

enum class DeleteOrderResult {
    NotWaiting,   // the order is no longer waiting; nothing was sent
    Declined,     // the member answered No
    NoConnection, // "无法连接服务器，操作已取消" was shown
    Failed,       // "删除失败，请检查网络" was shown
    Deleted,
};

using DeleteOrderBody = std::array<std::uint8_t, body_size::kDeleteOrder>;
// The chart sends the first 30 bytes of the order record.
DeleteOrderBody ChartDeleteBody(const DelegateInfo &order);
// The orders page sends the row's number in the code page, zero-filled.
DeleteOrderBody NumberDeleteBody(const std::string &orderNumber);

// The delete both share: when the order is known its status is checked first, then the
// confirmation names the number, then command 15 with the body; on reply 1 the pending orders
// and the account come again on the same connection, the figures are recomputed, the chart
// laid out again and sound 190 plays. The orders page sends even for an order it no longer
// finds in the list.
DeleteOrderResult DeleteOrder(const DelegateInfo *known, const std::string &orderNumber,
                              const DeleteOrderBody &body, const ServerLink &link,
                              TradingData &data, const std::function<void()> &relayoutChart);

// "删除指价" on the chart's selected order (a copy of it): the status check, the confirmation,
// command 15 with the first 30 bytes of the record, and on reply 1 the pending orders and the
// account fetched again on the same connection, the figures recomputed, the chart laid out
// again and sound 190. Runs on the UI thread; relayoutChart may be empty.
DeleteOrderResult DeleteOrder(const DelegateInfo &order, const ServerLink &link, TradingData &data,
                              const std::function<void()> &relayoutChart);

} // namespace qs
