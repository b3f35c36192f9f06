#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qs {

class AlertList;
class ServerLink;
struct AlertInfo;

// The alert dialog's checks before anything is sent, in this order: no product (id 0) "请选择产品",
// no condition (0) "请选择条件", a price not above 0 "请输入合适的价格". Nothing when all pass.
std::optional<std::string> CheckNewAlert(std::int32_t productId, std::int32_t condition,
                                         double price);

enum class AddAlertResult { Added, QuotaUsed, Failed, NoConnection };

// Command 9 with the price, condition and product. The server's id decides once its four bytes
// arrived, even if the rest of the reply is cut short: a stored record (id > 0) joins the end of
// the list; the month's used quota (id -1), any other id, a reply of fewer than four bytes or a
// failed send are shown through the seam and leave the list as it was.
AddAlertResult AddAlert(const ServerLink &link, AlertList &alerts, std::int32_t productId,
                        std::int32_t condition, double price);

// Command 10 with this record; true when the reply byte is nonzero (deleted). Only a connection
// that cannot be made shows its message; any other failure shows nothing.
bool DeleteAlertOnServer(const ServerLink &link, const AlertInfo &record);

// The dialog's deletion: command 10 with the alert's id and the dialog's mark, zeros elsewhere.
// True when the server deleted it and it left the list.
bool DeleteAlertFromDialog(const ServerLink &link, AlertList &alerts, std::int32_t alertId);

} // namespace qs
