#include "server/AlertBook.h"

#include "core/protocol/WireRecord.h"
#include "server/ProductCatalog.h"
#include "server/ServiceTime.h"

#include <algorithm>
#include <cmath>

namespace qs::server {

AlertBook::AlertBook(std::function<std::int64_t()> clock)
    : m_clock(std::move(clock))
{}

int AlertBook::currentMonthKey() const
{
    const ServiceTime now = ServiceTime::at(m_clock ? m_clock() : SystemSeconds());
    return now.year * 12 + now.month;
}

std::vector<AlertInfo> AlertBook::list(const std::string &member) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_shelves.find(member);
    return found == m_shelves.end() ? std::vector<AlertInfo>{} : found->second.alerts;
}

AlertInfo AlertBook::add(const std::string &member, std::int32_t level, const AlertInfo &request)
{
    AlertInfo reply = request;
    reply.alertId = 0;
    const bool valid = request.productId >= 1 && request.productId <= kProductCount
                       && (request.condition == 1 || request.condition == 2)
                       && std::isfinite(request.level) && request.level > 0;
    if (!valid)
        return reply;

    const int month = currentMonthKey();
    std::lock_guard lock(m_mutex);
    Shelf &shelf = m_shelves[member];
    if (shelf.monthKey != month) {
        shelf.monthKey = month;
        shelf.addedThisMonth = 0;
    }
    if (level == 1 && shelf.addedThisMonth >= kFreeAlertsPerMonth) {
        reply.alertId = kQuotaUsedUp;
        return reply;
    }
    if (shelf.alerts.size() >= kMaxAlertsPerMember)
        return reply;

    AlertInfo stored = ZeroRecord<AlertInfo>();
    stored.alertId = m_nextId++;
    stored.level = request.level;
    stored.condition = request.condition;
    stored.productId = request.productId;
    shelf.alerts.push_back(stored);
    ++shelf.addedThisMonth;
    return stored;
}

bool AlertBook::remove(const std::string &member, std::int32_t alertId)
{
    std::lock_guard lock(m_mutex);
    const auto shelf = m_shelves.find(member);
    if (shelf == m_shelves.end())
        return false;
    auto &alerts = shelf->second.alerts;
    const auto found = std::find_if(alerts.begin(), alerts.end(),
                                    [alertId](const AlertInfo &a) { return a.alertId == alertId; });
    if (found == alerts.end())
        return false;
    alerts.erase(found);
    return true;
}

} // namespace qs::server
