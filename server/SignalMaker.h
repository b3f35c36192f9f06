#pragma once

#include "core/protocol/KLineBar.h"
#include "core/protocol/SignalRecord.h"

#include <cstddef>
#include <cstdint>
#include <random>

namespace qs::server {

// Invents the service's trading signals from a seed: which step publishes or withdraws one, and
// what a new signal looks like next to a product's price. Not thread-safe; the market owns one.
class SignalMaker {
public:
    struct Decision {
        enum class Kind { None, Publish, Withdraw };
        Kind kind = Kind::None;
        int productId = 0;     // Publish
        std::size_t index = 0; // Withdraw: which of the active signals
    };

    // On average one decision other than None per everySteps calls; 0 or less: never.
    SignalMaker(std::uint64_t seed, int everySteps);

    Decision decide(std::size_t activeCount);
    int pickProduct();
    // A support or resistance level near the live bar's price; two legs for the ratio products.
    SignalRecord make(const KLineBar &live, std::int64_t publishedUtc);
    // The record that takes a signal back (action 4 or 5 in turn).
    SignalRecord withdrawalOf(const SignalRecord &signal);

private:
    double unit();
    int between(int low, int high); // inclusive

    std::mt19937_64 m_random;
    int m_everySteps;
    std::uint32_t m_serial = 0;
    bool m_nextWithdrawIsFour = true;
};

// Ratio products trade as two legs.
inline constexpr int kFirstTwoLegProduct = 20;
// The active signals kept at most; older ones make room.
inline constexpr std::size_t kMaxActiveSignals = 12;

} // namespace qs::server
