#include "server/Market.h"

#include "server/ProductCatalog.h"
#include "server/ServiceTime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace qs::server {
namespace {

// 2023-11-14 22:13:20 UTC, 2023-11-15 06:13:20 in the service's zone.
constexpr std::int64_t kStart = 1700000000;

struct FakeClock {
    std::shared_ptr<std::atomic<std::int64_t>> seconds
        = std::make_shared<std::atomic<std::int64_t>>(kStart);
    std::function<std::int64_t()> function() const
    {
        return [s = seconds] {
            return s->load();
        };
    }
    void advance(std::int64_t by) { *seconds += by; }
};

Market::Options FixedOptions(const FakeClock &clock, std::uint64_t seed = 7, int historyBars = 60)
{
    Market::Options options;
    options.seed = seed;
    options.historyBars = historyBars;
    options.signalEverySteps = 0;
    options.clock = clock.function();
    return options;
}

bool SameBytes(const KLineBar &a, const KLineBar &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(ServiceTimeTest, CalendarFieldsAreInUtcPlusEight)
{
    const ServiceTime morning = ServiceTime::at(kStart);
    EXPECT_EQ(morning.year, 2023);
    EXPECT_EQ(morning.barText(), "11150613");
    EXPECT_EQ(morning.clockText(), "06:13:20");

    // Midnight of New Year in the service's zone is still the old year in UTC.
    const ServiceTime newYear = ServiceTime::at(1704038400);
    EXPECT_EQ(newYear.year, 2024);
    EXPECT_EQ(newYear.barText(), "01010000");
    EXPECT_EQ(ServiceTime::at(1704038399).year, 2023);

    EXPECT_EQ(ServiceTime::at(1709179200).barText(), "02291200"); // leap day
}

TEST(MarketTest, HistoryEndsBeforeTheLivePeriodWithYearAndTimeKeys)
{
    FakeClock clock;
    Market market(FixedOptions(clock));
    const std::vector<KLineBar> bars = market.completedBars(1);
    ASSERT_EQ(bars.size(), 60u);
    // The live period began at 06:00 (UTC+8), so the newest completed bar is the 04:00 one.
    EXPECT_EQ(bars[0].keyNumber, 2023);
    EXPECT_EQ(bars[0].time(), "11150400");
    EXPECT_EQ(BarKey::of(bars[0]).str(), "202311150400");
    EXPECT_EQ(bars[1].time(), "11150200");
    EXPECT_EQ(bars[59].time(), "11100600");

    const KLineBar live = market.liveBar(1);
    EXPECT_TRUE(live.isLive());
    EXPECT_EQ(live.time(), "06:13:20");
    EXPECT_EQ(live.open, bars[0].close);
    EXPECT_EQ(live.reference, bars[0].close);
    EXPECT_TRUE(market.completedBars(0).empty());
    EXPECT_TRUE(market.completedBars(kProductCount + 1).empty());
}

TEST(MarketTest, BarsAreConsistentPricesOfTheProduct)
{
    FakeClock clock;
    Market market(FixedOptions(clock, 3, 500));
    for (int id = 1; id <= kProductCount; ++id) {
        SCOPED_TRACE(id);
        const std::vector<KLineBar> bars = market.completedBars(id);
        ASSERT_EQ(bars.size(), 500u);
        for (std::size_t i = 0; i < bars.size(); ++i) {
            const KLineBar &bar = bars[i];
            ASSERT_EQ(bar.productId, id);
            ASSERT_EQ(bar.digits, ProductDigits(id));
            ASSERT_GT(bar.low, 0);
            ASSERT_GE(bar.high, std::max(bar.open, bar.close));
            ASSERT_LE(bar.low, std::min(bar.open, bar.close));
            ASSERT_EQ(bar.carried32, 0);
            ASSERT_FALSE(bar.isLive());
            ASSERT_EQ(bar.time().size(), 8u);
            if (i + 1 < bars.size()) {
                ASSERT_EQ(bar.reference, bars[i + 1].close);
                ASSERT_EQ(bar.open, bars[i + 1].close);
                ASSERT_GT(BarKey::of(bar).str(), BarKey::of(bars[i + 1]).str());
            }
        }
        // The walk stays near the catalogue's price instead of drifting off.
        const double scale = std::pow(10.0, ProductDigits(id));
        const double last = bars[0].close / scale;
        EXPECT_GT(last, ProductBasePrice(id) * 0.5);
        EXPECT_LT(last, ProductBasePrice(id) * 2.0);
    }
}

TEST(MarketTest, SameSeedSameHistoryOtherSeedOtherHistory)
{
    FakeClock clock;
    Market first(FixedOptions(clock, 42, 300));
    Market second(FixedOptions(clock, 42, 300));
    Market other(FixedOptions(clock, 43, 300));
    for (int id = 1; id <= kProductCount; ++id) {
        const std::vector<KLineBar> a = first.completedBars(id);
        const std::vector<KLineBar> b = second.completedBars(id);
        ASSERT_EQ(a.size(), b.size());
        EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(KLineBar)), 0) << id;
        const std::vector<KLineBar> c = other.completedBars(id);
        EXPECT_NE(std::memcmp(a.data(), c.data(), a.size() * sizeof(KLineBar)), 0) << id;
    }
}

TEST(MarketTest, CompressedPeriodsStillGetDistinctKeys)
{
    FakeClock clock;
    Market::Options options = FixedOptions(clock, 1, 3000);
    options.barSeconds = 1;
    Market market(options);
    const std::vector<KLineBar> bars = market.completedBars(5);
    ASSERT_EQ(bars.size(), 3000u);
    std::set<std::string> keys;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        keys.insert(BarKey::of(bars[i]).str());
        if (i + 1 < bars.size()) {
            ASSERT_GT(BarKey::of(bars[i]).str(), BarKey::of(bars[i + 1]).str()) << i;
        }
    }
    EXPECT_EQ(keys.size(), bars.size());
}

// The order of completed bars and ticks on the wire is PushHubTest's.
TEST(MarketTest, StepCompletesTheEndedPeriodWithTheLiveBarsPrices)
{
    FakeClock clock;
    Market market(FixedOptions(clock));
    std::vector<KLineBar> completed;
    market.addBarListener([&](const KLineBar &bar) { completed.push_back(bar); });
    market.step();
    EXPECT_TRUE(completed.empty());
    const KLineBar before = market.liveBar(3);

    clock.advance(7200);
    market.step();
    ASSERT_EQ(completed.size(), 28u);
    const KLineBar done = completed[2];
    EXPECT_EQ(done.time(), "11150600");
    EXPECT_EQ(done.open, before.open);
    EXPECT_EQ(done.close, before.close);
    EXPECT_EQ(done.high, before.high);
    EXPECT_EQ(done.low, before.low);
    const std::vector<KLineBar> history = market.completedBars(3);
    ASSERT_EQ(history.size(), 61u);
    EXPECT_TRUE(SameBytes(history[0], done));
    const KLineBar live = market.liveBar(3);
    EXPECT_EQ(live.open, done.close);
    EXPECT_EQ(live.reference, done.close);
    EXPECT_EQ(live.time(), "08:13:20");
}

TEST(MarketTest, SetPriceMovesTheLiveBarAndTheQuote)
{
    FakeClock clock;
    Market market(FixedOptions(clock));
    std::vector<KLineBar> ticks;
    const int listener = market.addTickListener([&](const KLineBar &bar) { ticks.push_back(bar); });

    const KLineBar before = market.liveBar(1);
    market.setPrice(1, before.high / 100.0 + 10.25);
    ASSERT_EQ(ticks.size(), 1u);
    EXPECT_EQ(ticks[0].productId, 1);
    EXPECT_EQ(ticks[0].close, before.high + 1025);
    EXPECT_EQ(ticks[0].high, before.high + 1025);
    EXPECT_EQ(ticks[0].low, before.low);
    EXPECT_EQ(ticks[0].open, before.open);

    // London gold: two digits, ask spread 0.30, bid spread 0.20.
    market.setPrice(1, 1800.55);
    const Quote quote = market.quote(1);
    EXPECT_DOUBLE_EQ(quote.last, 1800.55);
    EXPECT_DOUBLE_EQ(quote.buy, 1800.85);
    EXPECT_DOUBLE_EQ(quote.sell, 1800.35);
    EXPECT_EQ(market.liveBar(1).close, 180055);

    market.removeListener(listener);
    market.setPrice(1, 1790.0);
    market.setPrice(99, 1.0);
    EXPECT_EQ(ticks.size(), 2u);
    EXPECT_EQ(market.quote(99).last, 0.0);
}

std::vector<SignalRecord> RecordSignals(Market &market, int steps)
{
    std::vector<SignalRecord> seen;
    market.addSignalListener([&](const SignalRecord &signal) { seen.push_back(signal); });
    for (int i = 0; i < steps; ++i)
        market.step();
    return seen;
}

TEST(MarketTest, GeneratedSignalsFollowTheSeedAndTheirRules)
{
    FakeClock clock;
    Market::Options options = FixedOptions(clock, 11);
    options.signalEverySteps = 2;
    Market first(options);
    Market second(options);
    const std::vector<SignalRecord> a = RecordSignals(first, 400);
    const std::vector<SignalRecord> b = RecordSignals(second, 400);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_GT(a.size(), 100u);
    EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(SignalRecord)), 0);

    // Replay the events on the signals that stood at the start: what is left must be what the
    // market says is standing.
    // A fresh market of the same seed opens with the same signals.
    Market opening(options);
    std::vector<SignalRecord> standing;
    for (int id = 1; id <= kProductCount; ++id) {
        for (const SignalRecord &signal : opening.activeSignals(id))
            standing.push_back(signal);
    }
    EXPECT_FALSE(standing.empty());
    int withdrawals = 0;
    for (const SignalRecord &signal : a) {
        ASSERT_EQ(signal.marker, kSignalMarker);
        ASSERT_GE(signal.productId, 1);
        ASSERT_LE(signal.productId, kProductCount);
        if (signal.isWithdrawal()) {
            ++withdrawals;
            const auto erased = std::erase_if(
                standing, [&](const SignalRecord &held) { return held.sameKey(signal); });
            EXPECT_EQ(erased, 1u) << "a withdrawal names a standing signal";
            continue;
        }
        if (signal.isSupport()) {
            EXPECT_LT(signal.stopLoss, signal.price);
            EXPECT_GT(signal.lots1, 0);
        } else {
            EXPECT_EQ(signal.kind, 21);
            EXPECT_GT(signal.stopLoss, signal.price);
            EXPECT_LT(signal.lots1, 0);
        }
        if (signal.productId >= 20) {
            EXPECT_NE(signal.lots2, 0);
            EXPECT_EQ(signal.lots1 > 0, signal.lots2 < 0) << "legs go opposite ways";
        } else {
            EXPECT_EQ(signal.lots2, 0);
        }
        EXPECT_EQ(signal.published, kStart);
        standing.push_back(signal);
    }
    EXPECT_GT(withdrawals, 10);
    std::size_t active = 0;
    for (int id = 1; id <= kProductCount; ++id)
        active += first.activeSignals(id).size();
    EXPECT_EQ(active, standing.size());
}

TEST(MarketTest, SteeredSignalsStandUntilWithdrawn)
{
    FakeClock clock;
    Market market(FixedOptions(clock));
    std::vector<SignalRecord> heard;
    market.addSignalListener([&](const SignalRecord &signal) { heard.push_back(signal); });

    SignalRecord signal{};
    signal.price = 176000;
    signal.stopLoss = 175000;
    signal.productId = 1;
    signal.kind = 11;
    signal.lots1 = 100;
    market.publishSignal(signal);
    market.publishSignal(signal); // the same key replaces, never doubles
    ASSERT_EQ(market.activeSignals(1).size(), 1u);
    EXPECT_EQ(market.activeSignals(1)[0].marker, kSignalMarker);
    EXPECT_TRUE(market.activeSignals(2).empty());

    SignalRecord withdrawal = signal;
    withdrawal.action = 5;
    market.publishSignal(withdrawal);
    EXPECT_TRUE(market.activeSignals(1).empty());
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[0].marker, kSignalMarker);
    EXPECT_EQ(heard[2].action, 5);
}

} // namespace
} // namespace qs::server
