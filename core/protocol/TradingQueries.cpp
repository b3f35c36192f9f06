#include "core/protocol/TradingQueries.h"

#include "core/alerts/AlertList.h"
#include "core/platform/DesktopSeam.h"
#include "core/protocol/AccountInfo.h"
#include "core/protocol/AlertInfo.h"
#include "core/protocol/Commands.h"
#include "core/protocol/Connection.h"
#include "core/protocol/CountedList.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/RecalcAccountFigures.h"
#include "core/protocol/RequestHeader.h"
#include "core/protocol/Session.h"
#include "core/protocol/TradingData.h"
#include "core/protocol/TypeInfo.h"
#include "core/protocol/WireRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

namespace qs {

namespace {

const char *const kHoldingsFailed = "获取持仓信息失败";
const char *const kAccountFailed = "获取账户信息失败";
const char *const kDealsFailed = "获取成交信息失败";

// The header, then the body if there is one; false when either is not accepted.
bool SendRequest(Connection &connection, const Session &session, std::int32_t command,
                 const void *body = nullptr, std::size_t bodySize = 0)
{
    const RequestHeader header = RequestHeader::make(command, session);
    if (!connection.sendAll(&header, sizeof header))
        return false;
    return bodySize == 0 || connection.sendAll(body, bodySize);
}

int Fail(DesktopSeam &seam, const char *message)
{
    seam.messageBox(message, MessageIcon::None, MessageButtons::Ok);
    return -1;
}

} // namespace

int QueryTypeInfo(Connection &connection, const Session &session, TradingData &data,
                  DesktopSeam &seam)
{
    if (!SendRequest(connection, session, cmd::kProducts))
        return -1;
    CountedList<TypeInfo> list = ReadCountedList<TypeInfo>(connection, cmd::kProducts);
    if (list.replaces)
        data.replaceProducts(std::move(list.records));
    seam.debugLine("kTypeInfoList完成");
    return 1;
}

int QueryAlertInfo(Connection &connection, const Session &session, AlertList &alerts, DesktopSeam &)
{
    if (!SendRequest(connection, session, cmd::kAlerts))
        return -1;
    CountedList<AlertInfo> list = ReadCountedList<AlertInfo>(connection, cmd::kAlerts);
    if (list.replaces)
        alerts.replace(std::move(list.records));
    return 1;
}

int QueryHoldInfo(Connection &connection, const Session &session, TradingData &data,
                  DesktopSeam &seam)
{
    const std::array<std::uint8_t, body_size::kPositions> body{};
    if (!SendRequest(connection, session, cmd::kPositions, body.data(), body.size()))
        return Fail(seam, kHoldingsFailed);
    CountedList<HoldInfo> list = ReadCountedList<HoldInfo>(connection, cmd::kPositions);
    if (!list.ok)
        return Fail(seam, kHoldingsFailed);
    data.replacePositions(std::move(list.records));
    return 1;
}

int QueryDelegateInfo(Connection &connection, const Session &session, TradingData &data,
                      DesktopSeam &seam)
{
    std::array<std::uint8_t, body_size::kPendingOrders> body{};
    const std::int32_t waitingOnly = 1;
    std::memcpy(body.data() + 8, &waitingOnly, sizeof waitingOnly);
    if (!SendRequest(connection, session, cmd::kPendingOrders, body.data(), body.size()))
        return Fail(seam, kHoldingsFailed);
    CountedList<DelegateInfo> list = ReadCountedList<DelegateInfo>(connection, cmd::kPendingOrders);
    if (!list.ok)
        return Fail(seam, kHoldingsFailed);
    data.replacePendingOrders(std::move(list.records));
    seam.debugLine("kDelegateInfoList完成");
    return 1;
}

int QueryDealInfo(Connection &connection, const Session &session, std::vector<DealInfo> &deals,
                  DesktopSeam &seam)
{
    const std::array<std::uint8_t, body_size::kDeals> body{};
    if (!SendRequest(connection, session, cmd::kDeals, body.data(), body.size()))
        return Fail(seam, kDealsFailed);
    CountedList<DealInfo> list = ReadCountedList<DealInfo>(connection, cmd::kDeals);
    if (!list.ok)
        return Fail(seam, kDealsFailed);
    deals = std::move(list.records);
    return 1;
}

int QueryHoldSumInfo(Connection &connection, const Session &session, TradingData &data,
                     DesktopSeam &seam)
{
    if (!SendRequest(connection, session, cmd::kPositionSummary))
        return Fail(seam, kHoldingsFailed);
    CountedList<HoldInfo> list = ReadCountedList<HoldInfo>(connection, cmd::kPositionSummary);
    if (!list.ok)
        return Fail(seam, kHoldingsFailed);
    data.replacePositionSummary(std::move(list.records));
    return 1;
}

int QueryAccountInfo(Connection &connection, const Session &session, TradingData &data,
                     DesktopSeam &seam)
{
    if (!SendRequest(connection, session, cmd::kAccount))
        return Fail(seam, kAccountFailed);
    AccountInfo record = ZeroRecord<AccountInfo>();
    // A short reply leaves the previous record: a half-zeroed one would make equity, the risk
    // rate and the low-risk trigger wrong until the next refresh.
    if (ReceiveUpTo(connection, &record, sizeof record) != sizeof record)
        return Fail(seam, kAccountFailed);
    data.replaceAccount(record);
    return 1;
}

int RefreshHoldings(Connection &connection, const Session &session, TradingData &data,
                    DesktopSeam &seam)
{
    if (QueryHoldSumInfo(connection, session, data, seam) != 1
        || QueryHoldInfo(connection, session, data, seam) != 1
        || QueryAccountInfo(connection, session, data, seam) != 1)
        return -1;
    return 1;
}

void FetchProductsAndAlerts(const ServerEndpoint &endpoint, const Session &session,
                            TradingData &data, AlertList &alerts, DesktopSeam &seam)
{
    Connection connection = OpenRequestConnection(endpoint, seam);
    if (!connection.isOpen())
        return;
    QueryTypeInfo(connection, session, data, seam);
    QueryAlertInfo(connection, session, alerts, seam);
    connection.shutdownAndClose();
}

void FetchAccountAtStart(const ServerEndpoint &endpoint, const Session &session, TradingData &data,
                         DesktopSeam &seam)
{
    Connection connection = OpenRequestConnection(endpoint, seam);
    if (connection.isOpen()) {
        const bool summary = QueryHoldSumInfo(connection, session, data, seam) == 1;
        const bool positions = QueryHoldInfo(connection, session, data, seam) == 1;
        if (summary && positions)
            QueryAccountInfo(connection, session, data, seam);
        QueryDelegateInfo(connection, session, data, seam);
        connection.shutdownAndClose();
    }
    RecalcAccountFigures(data);
}

} // namespace qs
