#include "core/alerts/AlertExchanges.h"

#include "core/alerts/AlertList.h"
#include "core/platform/DesktopSeam.h"
#include "core/protocol/AlertInfo.h"
#include "core/protocol/Commands.h"
#include "core/protocol/RequestExchange.h"
#include "core/protocol/WireRecord.h"

#include <cstddef>
#include <cstdint>

namespace qs {

namespace {

const char *const kQuotaUsed
    = "对不起，您当月的免费报价次数已用完!\n如需更多报价服务，请升级成VIP会员";
const char *const kSaveFailed = "保存信息失败，请修改后重试";
constexpr std::int32_t kQuotaUsedId = -1;
constexpr std::int32_t kDialogMark = 2;

} // namespace

std::optional<std::string> CheckNewAlert(std::int32_t productId, std::int32_t condition,
                                         double price)
{
    if (productId == 0)
        return "请选择产品";
    if (condition == 0)
        return "请选择条件";
    // Also refuses a text that is no number (NaN).
    if (!(price > 0))
        return "请输入合适的价格";
    return std::nullopt;
}

AddAlertResult AddAlert(const ServerLink &link, AlertList &alerts, std::int32_t productId,
                        std::int32_t condition, double price)
{
    RequestExchange exchange(link);
    if (!exchange.isOpen())
        return AddAlertResult::NoConnection;

    AlertInfo record = ZeroRecord<AlertInfo>();
    record.level = price;
    record.condition = condition;
    record.productId = productId;
    // The id decides once its four bytes are in; the rest of a short reply leaves the request's
    // own bytes in the record, as the server stored them.
    auto *const bytes = reinterpret_cast<std::uint8_t *>(&record);
    constexpr std::size_t kIdSize = sizeof record.alertId;
    static_assert(offsetof(AlertInfo, alertId) == 0);
    ExchangeStep step = exchange.send(cmd::kAddAlert, record);
    if (step == ExchangeStep::Done)
        step = exchange.receive(bytes, kIdSize, ReplyRead::Exact);
    if (step == ExchangeStep::Done)
        exchange.receive(bytes + kIdSize, sizeof record - kIdSize, ReplyRead::UpTo);
    exchange.close();

    if (step == ExchangeStep::Done && record.alertId > 0) {
        alerts.append(record);
        return AddAlertResult::Added;
    }
    const bool quota = step == ExchangeStep::Done && record.alertId == kQuotaUsedId;
    link.seam().messageBox(quota ? kQuotaUsed : kSaveFailed, MessageIcon::None, MessageButtons::Ok);
    return quota ? AddAlertResult::QuotaUsed : AddAlertResult::Failed;
}

bool DeleteAlertOnServer(const ServerLink &link, const AlertInfo &record)
{
    RequestExchange exchange(link);
    std::uint8_t deleted = 0;
    const ExchangeStep step = exchange.request(cmd::kDeleteAlert, record, deleted);
    exchange.close();
    return step == ExchangeStep::Done && deleted != 0;
}

bool DeleteAlertFromDialog(const ServerLink &link, AlertList &alerts, std::int32_t alertId)
{
    AlertInfo record = ZeroRecord<AlertInfo>();
    record.alertId = alertId;
    record.requestMark = kDialogMark;
    return DeleteAlertOnServer(link, record) && alerts.remove(alertId);
}

} // namespace qs
