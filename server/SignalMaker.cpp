#include "server/SignalMaker.h"

#include "core/protocol/WireRecord.h"
#include "server/ProductCatalog.h"

#include <algorithm>
#include <cmath>

namespace qs::server {

namespace {

constexpr std::uint8_t kSupport = 11;
constexpr std::uint8_t kResistance = 21;
constexpr std::uint8_t kPublish = 1;

} // namespace

SignalMaker::SignalMaker(std::uint64_t seed, int everySteps)
    : m_everySteps(everySteps)
{
    // A stream of its own, so signals never shift the prices made from the same seed.
    std::seed_seq sequence{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32),
                           0x5167u};
    m_random.seed(sequence);
}

double SignalMaker::unit()
{
    // Built from the raw engine output so every standard library draws the same numbers.
    return static_cast<double>(m_random() >> 11) * 0x1.0p-53;
}

int SignalMaker::between(int low, int high)
{
    const auto span = static_cast<std::uint64_t>(high - low + 1);
    return low + static_cast<int>(m_random() % span);
}

SignalMaker::Decision SignalMaker::decide(std::size_t activeCount)
{
    Decision decision;
    if (m_everySteps <= 0 || unit() * m_everySteps >= 1.0)
        return decision;
    const bool withdraw
        = activeCount >= kMaxActiveSignals || (activeCount > 0 && unit() < 1.0 / 3.0);
    if (withdraw) {
        decision.kind = Decision::Kind::Withdraw;
        decision.index = static_cast<std::size_t>(m_random() % activeCount);
    } else {
        decision.kind = Decision::Kind::Publish;
        decision.productId = pickProduct();
    }
    return decision;
}

int SignalMaker::pickProduct()
{
    return between(1, kProductCount);
}

SignalRecord SignalMaker::make(const KLineBar &live, std::int64_t publishedUtc)
{
    auto signal = ZeroRecord<SignalRecord>();
    ++m_serial;
    const bool support = unit() < 0.5;
    const double price = std::max(1, live.close);
    // The level sits a fraction of a percent away from the market, the stop half as far again.
    const auto distance
        = static_cast<std::int32_t>(std::max(2.0, std::round(price * (0.002 + 0.008 * unit()))));
    const std::int32_t level = support ? std::max(1, live.close - distance) : live.close + distance;
    const std::int32_t stop
        = support ? std::max(1, level - distance / 2) : level + std::max(1, distance / 2);

    signal.price = level;
    signal.stopLoss = stop;
    signal.capital = between(2, 20) * 50;
    signal.keyByte12 = static_cast<std::uint8_t>(m_serial & 0xFF);
    signal.productId = static_cast<std::int8_t>(live.productId);
    signal.action = kPublish;
    signal.kind = support ? kSupport : kResistance;
    const std::int32_t lots = between(1, 50) * 10;
    // Buy at a support, sell at a resistance; a ratio trade takes the other leg the other way.
    signal.lots1 = support ? lots : -lots;
    if (live.productId >= kFirstTwoLegProduct) {
        const std::int32_t second = between(1, 30) * 10;
        signal.lots2 = support ? -second : second;
    }
    signal.published = static_cast<std::int32_t>(publishedUtc);
    signal.marker = kSignalMarker;
    signal.keyByte37 = static_cast<std::uint8_t>((m_serial >> 8) & 0xFF);
    return signal;
}

SignalRecord SignalMaker::withdrawalOf(const SignalRecord &signal)
{
    SignalRecord withdrawal = signal;
    withdrawal.action = m_nextWithdrawIsFour ? 4 : 5;
    m_nextWithdrawIsFour = !m_nextWithdrawIsFour;
    withdrawal.marker = kSignalMarker;
    return withdrawal;
}

} // namespace qs::server
