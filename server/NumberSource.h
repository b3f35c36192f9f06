#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace qs::server {

// Numbers of positions, orders and deals: ten digits, unique within one server run, in the order
// they are handed out.
class NumberSource {
public:
    std::string nextPosition() { return text(1000000000LL + ++m_positions); }
    std::string nextOrder() { return text(2000000000LL + ++m_orders); }
    std::string nextDeal() { return text(3000000000LL + ++m_deals); }

private:
    static std::string text(long long value) { return std::to_string(value); }

    std::atomic<long long> m_positions{0};
    std::atomic<long long> m_orders{0};
    std::atomic<long long> m_deals{0};
};

} // namespace qs::server
