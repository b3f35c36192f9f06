#include "core/chart/BarList.h"

#include "tests/support/KLineRecords.h"

#include <gtest/gtest.h>

namespace qs {
namespace {

using test::KeysOf;
using test::MakeBar;
using test::MakeBars;

TEST(BarList, OldestKeyAndLiveBarCopyLookOnlyWhereTheyBelong)
{
    BarList bars;
    EXPECT_TRUE(bars.oldestKey().isNone());
    KLineBar out = MakeBar(1, 2024, "01010800", 777);
    EXPECT_FALSE(bars.copyLiveBar(out));
    EXPECT_EQ(out.close, 0);

    for (const KLineBar &bar : MakeBars(1, 10, 3))
        bars.appendBack(bar);
    EXPECT_EQ(bars.oldestKey().str(), "202401080800");
    out.close = 5;
    EXPECT_FALSE(bars.copyLiveBar(out));
    EXPECT_EQ(out.close, 0);

    const KLineBar live = MakeBar(1, 2024, "10:15:00", 1234);
    ASSERT_EQ(bars.applyPushed(live, 1, true), PushedBarChange::LiveInserted);
    EXPECT_TRUE(bars.copyLiveBar(out));
    EXPECT_EQ(out.close, 1234);
    EXPECT_EQ(std::string(out.timeText), "10:15:00");

    // A list holding nothing but a live bar has no oldest completed bar to page from.
    BarList onlyLive;
    onlyLive.appendBack(live);
    EXPECT_TRUE(onlyLive.oldestKey().isNone());
}

TEST(BarList, MergeKeepsTheSharedBarOnceOrLeavesBothAlone)
{
    const std::vector<KLineBar> all = MakeBars(1, 20, 6); // newest first
    BarList bars;
    for (int i = 0; i < 3; ++i)
        bars.appendBack(all[static_cast<std::size_t>(i)]);
    std::vector<KLineBar> cache(all.begin() + 2, all.end()); // starts with the oldest download
    ASSERT_TRUE(bars.mergeCache(cache));
    EXPECT_TRUE(cache.empty());
    EXPECT_EQ(KeysOf(bars.snapshot()), KeysOf(all));

    // An empty cache joins trivially and changes nothing.
    std::vector<KLineBar> none;
    EXPECT_TRUE(bars.mergeCache(none));
    EXPECT_EQ(bars.size(), all.size());

    // Without the overlap (or with an empty list) both lists stay as they were.
    BarList apart;
    apart.appendBack(all[0]);
    apart.appendBack(all[1]);
    std::vector<KLineBar> gap(all.begin() + 3, all.end());
    EXPECT_FALSE(apart.mergeCache(gap));
    EXPECT_EQ(gap.size(), 3u);
    EXPECT_EQ(apart.size(), 2u);
    BarList empty;
    EXPECT_FALSE(empty.mergeCache(gap));
    EXPECT_EQ(empty.size(), 0u);

    // Same key number with another time text is another bar.
    BarList sameYear;
    sameYear.appendBack(MakeBar(1, 2024, "01020800"));
    std::vector<KLineBar> other{MakeBar(1, 2024, "01020801")};
    EXPECT_FALSE(sameYear.mergeCache(other));
    std::vector<KLineBar> otherYear{MakeBar(1, 2023, "01020800")};
    EXPECT_FALSE(sameYear.mergeCache(otherYear));
}

TEST(BarList, PushedBarsFollowTheLiveUpdateRules)
{
    const std::vector<KLineBar> history = MakeBars(3, 30, 2);

    {
        BarList bars;
        for (const KLineBar &bar : history)
            bars.appendBack(bar);
        // Other products and bars with a price not above 0 never land.
        EXPECT_EQ(bars.applyPushed(MakeBar(4, 2024, "12:00:00"), 3, true),
                  PushedBarChange::Ignored);
        for (int field = 0; field < 4; ++field) {
            KLineBar bad = MakeBar(3, 2024, field % 2 ? "12:00:00" : "02030800");
            int32_t *prices[] = {&bad.open, &bad.close, &bad.high, &bad.low};
            *prices[field] = 0;
            EXPECT_EQ(bars.applyPushed(bad, 3, true), PushedBarChange::Ignored) << field;
            *prices[field] = -7;
            EXPECT_EQ(bars.applyPushed(bad, 3, true), PushedBarChange::Ignored) << field;
        }
        EXPECT_EQ(bars.size(), 2u);
    }
    {
        // Live bars wait for the history; completed bars do not.
        BarList bars;
        EXPECT_EQ(bars.applyPushed(MakeBar(3, 2024, "12:00:00"), 3, true),
                  PushedBarChange::Ignored);
        EXPECT_EQ(bars.applyPushed(MakeBar(3, 2024, "12:00:00"), 3, false),
                  PushedBarChange::Ignored);
        EXPECT_EQ(bars.applyPushed(MakeBar(3, 2024, "02020800"), 3, false),
                  PushedBarChange::CompletedInserted);
        EXPECT_EQ(bars.size(), 1u);
    }
    {
        BarList bars;
        for (const KLineBar &bar : history)
            bars.appendBack(bar);
        EXPECT_EQ(bars.applyPushed(MakeBar(3, 2024, "10:00:00", 1500), 3, true),
                  PushedBarChange::LiveInserted);
        EXPECT_EQ(bars.applyPushed(MakeBar(3, 2024, "10:00:05", 1510), 3, true),
                  PushedBarChange::LiveOverwritten);
        ASSERT_EQ(bars.size(), 3u);
        EXPECT_EQ(bars.snapshot().front().close, 1510);

        // The completed bar of the period takes the live bar's place.
        EXPECT_EQ(bars.applyPushed(MakeBar(3, 2024, "02050800", 1520), 3, true),
                  PushedBarChange::CompletedInserted);
        const std::vector<KLineBar> after = bars.snapshot();
        ASSERT_EQ(after.size(), 3u);
        EXPECT_EQ(after.front().close, 1520);
        EXPECT_FALSE(after.front().isLive());
        // With no live bar in front a completed bar is simply added.
        EXPECT_EQ(bars.applyPushed(MakeBar(3, 2024, "02060800", 1530), 3, true),
                  PushedBarChange::CompletedInserted);
        EXPECT_EQ(bars.size(), 4u);
    }
}

TEST(BarList, LiveBarAsksForRelayoutOnlyWhenItMustAndNothingWhileScrolledBack)
{
    const KLineBar bar = MakeBar(1, 2024, "10:00:00", 1000); // high 1010, low 990
    struct Case {
        PushedBarChange change;
        LiveViewport viewport;
        LiveChartUpdate expected;
        const char *why;
    } cases[] = {
        {PushedBarChange::LiveOverwritten,
         {0, 1010, 990},
         LiveChartUpdate::SmallRepaint,
         "inside the visible range, edges included"},
        {PushedBarChange::LiveOverwritten,
         {0, 1009, 900},
         LiveChartUpdate::FullRelayout,
         "high above the visible highest"},
        {PushedBarChange::LiveOverwritten,
         {0, 2000, 991},
         LiveChartUpdate::FullRelayout,
         "low below the visible lowest"},
        {PushedBarChange::LiveInserted, {0, 2000, 900}, LiveChartUpdate::FullRelayout, "a new bar"},
        {PushedBarChange::LiveInserted, {3, 1009, 991}, LiveChartUpdate::None, "scrolled back"},
        {PushedBarChange::LiveOverwritten, {1, 1009, 991}, LiveChartUpdate::None, "scrolled back"},
        {PushedBarChange::CompletedInserted,
         {0, 1009, 991},
         LiveChartUpdate::None,
         "completed bars ask for nothing"},
        {PushedBarChange::Ignored, {0, 1009, 991}, LiveChartUpdate::None, "ignored"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DecideLiveChartUpdate(c.change, bar, c.viewport), c.expected) << c.why;

    EXPECT_EQ(LiveRepaintRect(300, 306, 120, 180), (RepaintRect{200, 110, 406, 195}));
}

} // namespace
} // namespace qs
