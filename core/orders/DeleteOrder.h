#pragma once

#include "core/protocol/DelegateInfo.h"

#include <functional>

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

// "删除指价" on the chart's selected order (a copy of it): the status check, the confirmation,
// command 15 with the first 30 bytes of the record, and on reply 1 the pending orders and the
// account fetched again on the same connection, the figures recomputed, the chart laid out
// again and sound 190. Runs on the UI thread; relayoutChart may be empty.
DeleteOrderResult DeleteOrder(const DelegateInfo &order, const ServerLink &link, TradingData &data,
                              const std::function<void()> &relayoutChart);

} // namespace qs
