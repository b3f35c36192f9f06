#include "core/orders/DeleteOrder.h"

#include "core/platform/DesktopSeam.h"
#include "core/protocol/Commands.h"
#include "core/protocol/Connection.h"
#include "core/protocol/RecalcAccountFigures.h"
#include "core/protocol/RequestHeader.h"
#include "core/protocol/Session.h"
#include "core/protocol/TradingQueries.h"
#include "core/signals/SoundIds.h"

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

DeleteOrderResult DeleteOrder(const DelegateInfo &order, const ServerEndpoint &endpoint,
                              const Session &session, TradingData &data, DesktopSeam &seam,
                              const std::function<void()> &relayoutChart)
{
    if (order.status != kWaiting) {
        seam.messageBox(kNotWaiting, MessageIcon::None, MessageButtons::Ok);
        return DeleteOrderResult::NotWaiting;
    }
    const std::string question = "确认删除订单[" + order.number() + "]？";
    if (seam.messageBox(question, MessageIcon::Question, MessageButtons::YesNo)
        != MessageResult::Yes)
        return DeleteOrderResult::Declined;

    Connection connection = OpenRequestConnection(endpoint, seam);
    if (!connection.isOpen())
        return DeleteOrderResult::NoConnection;

    // The order number and the bytes after it, as the server expects them.
    std::array<std::uint8_t, body_size::kDeleteOrder> body{};
    std::memcpy(body.data(), &order, body.size());
    const RequestHeader header = RequestHeader::make(cmd::kDeleteOrder, session);
    std::int32_t reply = 0;
    const bool deleted
        = connection.sendAll(&header, sizeof header) && connection.sendAll(body.data(), body.size())
          && ReceiveExact(connection, &reply, sizeof reply) == sizeof reply && reply == kDeleted;
    if (!deleted) {
        connection.shutdownAndClose();
        seam.messageBox(kDeleteFailed, MessageIcon::None, MessageButtons::Ok);
        return DeleteOrderResult::Failed;
    }

    QueryDelegateInfo(connection, session, data, seam);
    QueryAccountInfo(connection, session, data, seam);
    RecalcAccountFigures(data);
    if (relayoutChart)
        relayoutChart();
    seam.playSound(sound::kTradeDone, false);
    connection.shutdownAndClose();
    return DeleteOrderResult::Deleted;
}

} // namespace qs
