#pragma once

#include "core/protocol/AlertInfo.h"

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace qs::server {

// The price alerts of every member. Ordinary members (level 1) may add a few per calendar month
// of the service's time zone; deleting one does not give it back. Thread-safe.
class AlertBook {
public:
    static constexpr int kFreeAlertsPerMonth = 3;
    static constexpr std::size_t kMaxAlertsPerMember = 100;
    // Id answered when the monthly quota is used up.
    static constexpr std::int32_t kQuotaUsedUp = -1;

    // clock: seconds since 1970 UTC; empty = the system clock.
    explicit AlertBook(std::function<std::int64_t()> clock = {});

    std::vector<AlertInfo> list(const std::string &member) const;
    // The stored record with its new id; id -1 when the quota is used up, 0 when the request is
    // refused (unknown product, condition other than 1 or 2, level not above 0, list full).
    AlertInfo add(const std::string &member, std::int32_t level, const AlertInfo &request);
    bool remove(const std::string &member, std::int32_t alertId);

private:
    struct Shelf {
        std::vector<AlertInfo> alerts;
        int monthKey = 0; // year * 12 + month of the adds counted
        int addedThisMonth = 0;
    };
    int currentMonthKey() const;

    std::function<std::int64_t()> m_clock;
    mutable std::mutex m_mutex;
    std::map<std::string, Shelf> m_shelves;
    std::int32_t m_nextId = 1;
};

} // namespace qs::server
