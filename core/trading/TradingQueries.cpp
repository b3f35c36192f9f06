#include "core/trading/TradingQueries.h"

#include "core/platform/DesktopSeam.h"
#include "core/protocol/AccountInfo.h"
#include "core/protocol/Commands.h"
#include "core/protocol/Connection.h"
#include "core/protocol/CountedList.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/RequestExchange.h"
#include "core/protocol/ServerLink.h"
#include "core/protocol/TypeInfo.h"
#include "core/protocol/WireRecord.h"
#include "core/trading/RecalcAccountFigures.h"
#include "core/trading/TradingData.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace qs {

namespace {

const char *const kHoldingsFailed = "获取持仓信息失败";
const char *const kAccountFailed = "获取账户信息失败";
const char *const kDealsFailed = "获取成交信息失败";

bool Sent(Connection &connection, const ServerLink &link, std::int32_t command)
{
    return SendRequest(connection, link.session(), command) == ExchangeStep::Done;
}

template<std::size_t N>
bool Sent(Connection &connection, const ServerLink &link, std::int32_t command,
          const std::array<std::uint8_t, N> &body)
{
    return SendRequest(connection, link.session(), command, body.data(), body.size())
           == ExchangeStep::Done;
}

int Fail(const ServerLink &link, const char *message)
{
    link.seam().messageBox(message, MessageIcon::None, MessageButtons::Ok);
    return -1;
}

} // namespace

int QueryTypeInfo(Connection &connection, const ServerLink &link, TradingData &data)
{
    if (!Sent(connection, link, cmd::kProducts))
        return -1;
    CountedList<TypeInfo> list = ReadCountedList<TypeInfo>(connection, cmd::kProducts);
    if (list.replaces)
        data.replaceProducts(std::move(list.records));
    link.seam().debugLine("kTypeInfoList完成");
    return 1;
}

int QueryHoldInfo(Connection &connection, const ServerLink &link, TradingData &data)
{
    const std::array<std::uint8_t, body_size::kPositions> body{};
    if (!Sent(connection, link, cmd::kPositions, body))
        return Fail(link, kHoldingsFailed);
    CountedList<HoldInfo> list = ReadCountedList<HoldInfo>(connection, cmd::kPositions);
    if (!list.ok)
        return Fail(link, kHoldingsFailed);
    data.replacePositions(std::move(list.records));
    return 1;
}

int QueryDelegateInfo(Connection &connection, const ServerLink &link, TradingData &data)
{
    std::array<std::uint8_t, body_size::kPendingOrders> body{};
    const std::int32_t waitingOnly = 1;
    std::memcpy(body.data() + 8, &waitingOnly, sizeof waitingOnly);
    if (!Sent(connection, link, cmd::kPendingOrders, body))
        return Fail(link, kHoldingsFailed);
    CountedList<DelegateInfo> list = ReadCountedList<DelegateInfo>(connection, cmd::kPendingOrders);
    if (!list.ok)
        return Fail(link, kHoldingsFailed);
    data.replacePendingOrders(std::move(list.records));
    link.seam().debugLine("kDelegateInfoList完成");
    return 1;
}

int QueryDealInfo(Connection &connection, const ServerLink &link, std::vector<DealInfo> &deals)
{
    const std::array<std::uint8_t, body_size::kDeals> body{};
    if (!Sent(connection, link, cmd::kDeals, body))
        return Fail(link, kDealsFailed);
    CountedList<DealInfo> list = ReadCountedList<DealInfo>(connection, cmd::kDeals);
    if (!list.ok)
        return Fail(link, kDealsFailed);
    deals = std::move(list.records);
    return 1;
}

int QueryHoldSumInfo(Connection &connection, const ServerLink &link, TradingData &data)
{
    if (!Sent(connection, link, cmd::kPositionSummary))
        return Fail(link, kHoldingsFailed);
    CountedList<HoldInfo> list = ReadCountedList<HoldInfo>(connection, cmd::kPositionSummary);
    if (!list.ok)
        return Fail(link, kHoldingsFailed);
    data.replacePositionSummary(std::move(list.records));
    return 1;
}

int QueryAccountInfo(Connection &connection, const ServerLink &link, TradingData &data)
{
    if (!Sent(connection, link, cmd::kAccount))
        return Fail(link, kAccountFailed);
    AccountInfo record = ZeroRecord<AccountInfo>();
    // A short reply leaves the previous record: a half-zeroed one would make equity, the risk
    // rate and the low-risk trigger wrong until the next refresh.
    if (ReceiveReply(connection, &record, sizeof record, ReplyRead::Exact) != ExchangeStep::Done)
        return Fail(link, kAccountFailed);
    data.replaceAccount(record);
    return 1;
}

int RefreshHoldings(Connection &connection, const ServerLink &link, TradingData &data)
{
    if (QueryHoldSumInfo(connection, link, data) != 1 || QueryHoldInfo(connection, link, data) != 1
        || QueryAccountInfo(connection, link, data) != 1)
        return -1;
    return 1;
}

void FetchAccountAtStart(const ServerLink &link, TradingData &data)
{
    {
        RequestExchange exchange(link);
        if (exchange.isOpen()) {
            Connection &connection = exchange.connection();
            const bool summary = QueryHoldSumInfo(connection, link, data) == 1;
            const bool positions = QueryHoldInfo(connection, link, data) == 1;
            if (summary && positions)
                QueryAccountInfo(connection, link, data);
            QueryDelegateInfo(connection, link, data);
        }
    }
    RecalcAccountFigures(data);
}

} // namespace qs
