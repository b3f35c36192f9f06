#include "core/orders/DeleteOrder.h"

#include "core/orders/OrderRefetch.h"
#include "core/platform/AnsiCodec.h"
#include "core/platform/DesktopSeam.h"
#include "core/protocol/Commands.h"
#include "core/protocol/RequestExchange.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace qs {

namespace {
const char *const kNotWaiting = "无法删除已经完成的订单";
const char *const kDeleteFailed = "删除失败，请检查网络";
constexpr std::int32_t kDeleted = 1;
constexpr std::int32_t kWaiting = 1;
} // namespace

DeleteOrderBody ChartDeleteBody(const DelegateInfo &order)
{
    // The order number and the bytes after it, as the server expects them.
    DeleteOrderBody body{};
    std::memcpy(body.data(), &order, body.size());
    return body;
}

DeleteOrderBody NumberDeleteBody(const std::string &orderNumber)
{
    DeleteOrderBody body{};
    const std::string ansi = Utf8ToAnsi(orderNumber);
    std::memcpy(body.data(), ansi.data(), std::min(ansi.size(), body.size()));
    return body;
}

DeleteOrderResult DeleteOrder(const DelegateInfo *known, const std::string &orderNumber,
                              const DeleteOrderBody &body, const ServerLink &link,
                              TradingData &data, const DeletedHandler &deleted)
{
    DesktopSeam &seam = link.seam();
    if (known != nullptr && known->status != kWaiting) {
        seam.messageBox(kNotWaiting, MessageIcon::None, MessageButtons::Ok);
        return DeleteOrderResult::NotWaiting;
    }
    const std::string question = "确认删除订单[" + orderNumber + "]？";
    if (seam.messageBox(question, MessageIcon::Question, MessageButtons::YesNo)
        != MessageResult::Yes)
        return DeleteOrderResult::Declined;

    RequestExchange exchange(link);
    if (!exchange.isOpen())
        return DeleteOrderResult::NoConnection;

    std::int32_t reply = 0;
    if (exchange.request(cmd::kDeleteOrder, body, reply) != ExchangeStep::Done
        || reply != kDeleted) {
        exchange.finish();
        seam.messageBox(kDeleteFailed, MessageIcon::None, MessageButtons::Ok);
        return DeleteOrderResult::Failed;
    }

    const TradeChange change
        = RefetchAfterTrade(exchange.connection(), link, data, Refetch::OrdersAndAccount);
    if (deleted)
        deleted(change);
    exchange.finish();
    return DeleteOrderResult::Deleted;
}

DeleteOrderResult DeleteOrder(const DelegateInfo &order, const ServerLink &link, TradingData &data,
                              const DeletedHandler &deleted)
{
    return DeleteOrder(&order, order.number(), ChartDeleteBody(order), link, data, deleted);
}

} // namespace qs
