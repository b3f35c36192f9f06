#pragma once

#include "core/platform/Mutex.h"
#include "core/protocol/AlertInfo.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qs {

// The main frame's price alerts in server order. The dialog (UI thread) and the tick check (push
// thread) both use it, so every access goes through its lock; readers get copies.
class AlertList {
public:
    void replace(std::vector<AlertInfo> records);
    void append(const AlertInfo &record);
    // Drops the alert with this id; false when there is none.
    bool remove(std::int32_t alertId);

    std::vector<AlertInfo> snapshot() const;
    std::size_t size() const;

private:
    mutable Mutex m_lock;
    std::vector<AlertInfo> m_alerts GUARDED_BY(m_lock);
};

} // namespace qs
