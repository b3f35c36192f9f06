#include "core/alerts/AlertList.h"

#include <algorithm>
#include <utility>

namespace qs {

void AlertList::replace(std::vector<AlertInfo> records)
{
    MutexLock lock(m_lock);
    m_alerts.swap(records);
}

void AlertList::append(const AlertInfo &record)
{
    MutexLock lock(m_lock);
    m_alerts.push_back(record);
}

bool AlertList::remove(std::int32_t alertId)
{
    MutexLock lock(m_lock);
    const auto found = std::find_if(m_alerts.begin(), m_alerts.end(), [&](const AlertInfo &alert) {
        return alert.alertId == alertId;
    });
    if (found == m_alerts.end())
        return false;
    m_alerts.erase(found);
    return true;
}

std::vector<AlertInfo> AlertList::snapshot() const
{
    MutexLock lock(m_lock);
    return m_alerts;
}

std::size_t AlertList::size() const
{
    MutexLock lock(m_lock);
    return m_alerts.size();
}

} // namespace qs
