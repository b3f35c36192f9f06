#include "core/market/SignalList.h"

#include "tests/support/KLineRecords.h"

#include <gtest/gtest.h>

namespace qs {
namespace {

using test::MakeSignal;

TEST(SignalList, AddReplacesTheSameKeyAndTellsItWasRepeated)
{
    SignalList list;
    const SignalRecord first = MakeSignal(5, 1800);
    EXPECT_FALSE(list.add(first));

    // Fields outside the key do not make another signal: the newer copy replaces the older one
    // and goes to the end.
    SignalRecord again = first;
    again.capital = 900;
    again.kind = 21;
    again.published = 1700000000;
    again.chartY = 44;
    EXPECT_FALSE(list.add(MakeSignal(5, 1900)));
    EXPECT_TRUE(list.add(again));
    const std::vector<SignalRecord> entries = list.snapshot();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].price, 1900);
    EXPECT_EQ(entries[1].capital, 900);

    // Each key field on its own tells signals apart.
    const auto variants = std::vector<void (*)(SignalRecord &)>{
        [](SignalRecord &s) { s.price += 1; },    [](SignalRecord &s) { s.stopLoss += 1; },
        [](SignalRecord &s) { s.lots1 += 1; },    [](SignalRecord &s) { s.keyByte12 = 9; },
        [](SignalRecord &s) { s.productId = 6; }, [](SignalRecord &s) { s.keyByte37 = 9; },
    };
    for (const auto change : variants) {
        SignalRecord other = first;
        change(other);
        EXPECT_FALSE(list.add(other));
    }
    EXPECT_EQ(list.size(), 2u + variants.size());
}

TEST(SignalList, WithdrawRemovesTheKeyAndCountsFollowProducts)
{
    SignalList list;
    list.add(MakeSignal(5, 1800));
    list.add(MakeSignal(5, 1900));
    list.add(MakeSignal(7, 1800));
    EXPECT_EQ(list.countFor(5), 2);
    EXPECT_EQ(list.countFor(7), 1);
    EXPECT_EQ(list.countFor(8), 0);

    // A withdrawal names the signal by its key; its action byte is no part of it.
    list.withdraw(MakeSignal(5, 1800, 4));
    EXPECT_EQ(list.countFor(5), 1);
    list.withdraw(MakeSignal(5, 2000, 5)); // unknown: nothing happens
    EXPECT_EQ(list.size(), 2u);

    list.forEach([](SignalRecord &entry) { entry.chartY = entry.price / 10; });
    for (const SignalRecord &entry : list.snapshot())
        EXPECT_EQ(entry.chartY, entry.price / 10);
    list.clear();
    EXPECT_EQ(list.size(), 0u);
}

} // namespace
} // namespace qs
