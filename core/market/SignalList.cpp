#include "core/market/SignalList.h"

#include <algorithm>

namespace qs {

bool SignalList::add(const SignalRecord &record)
{
    MutexLock lock(m_mutex);
    const bool repeated = removeKey(record) > 0;
    m_signals.push_back(record);
    return repeated;
}

void SignalList::withdraw(const SignalRecord &record)
{
    MutexLock lock(m_mutex);
    removeKey(record);
}

int SignalList::countFor(int productId) const
{
    MutexLock lock(m_mutex);
    return static_cast<int>(
        std::count_if(m_signals.begin(), m_signals.end(), [productId](const SignalRecord &entry) {
            return entry.productId == productId;
        }));
}

void SignalList::clear()
{
    MutexLock lock(m_mutex);
    m_signals.clear();
}

std::size_t SignalList::size() const
{
    MutexLock lock(m_mutex);
    return m_signals.size();
}

std::vector<SignalRecord> SignalList::snapshot() const
{
    MutexLock lock(m_mutex);
    return m_signals;
}

void SignalList::forEach(const std::function<void(SignalRecord &)> &visit)
{
    MutexLock lock(m_mutex);
    for (SignalRecord &entry : m_signals)
        visit(entry);
}

std::size_t SignalList::removeKey(const SignalRecord &record)
{
    return std::erase_if(m_signals,
                         [&record](const SignalRecord &entry) { return entry.sameKey(record); });
}

} // namespace qs
