#pragma once

#include "core/orders/OrderRefetch.h"
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

// Told what the delete fetched again, while its connection is still open (the caller lays the
// chart out and plays sound 190).
using DeletedHandler = std::function<void(const TradeChange &)>;

// The delete both share: when the order is known its status is checked first, then the
// confirmation names the number, then command 15 with the body; on reply 1 the pending orders
// and the account come again on the same connection, the figures are recomputed and `deleted`
// runs. The orders page sends even for an order it no longer finds in the list.
DeleteOrderResult DeleteOrder(const DelegateInfo *known, const std::string &orderNumber,
                              const DeleteOrderBody &body, const ServerLink &link,
                              TradingData &data, const DeletedHandler &deleted);

// "删除指价" on the chart's selected order (a copy of it): the status check, the confirmation,
// command 15 with the first 30 bytes of the record, and on reply 1 the pending orders and the
// account fetched again on the same connection, the figures recomputed and `deleted` run.
// Runs on the UI thread; deleted may be empty.
DeleteOrderResult DeleteOrder(const DelegateInfo &order, const ServerLink &link, TradingData &data,
                              const DeletedHandler &deleted);

} // namespace qs
