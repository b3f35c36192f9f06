#include "core/chart/ChartLayout.h"

#include "core/protocol/WireRecord.h"
#include "tests/support/BarBuilder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <list>
#include <vector>

namespace qs {
namespace {

KLineBar Bar(int index, std::int32_t open, std::int32_t close, std::int32_t high, std::int32_t low,
             std::int32_t reference = 0)
{
    return test::BarBuilder()
        .product(1)
        .prices(open, high, low, close)
        .reference(reference)
        .digits(2)
        .key(2024)
        .numbered(index);
}

// count bars newest first; bar i (0 = newest) trades around 1000 + i.
std::list<KLineBar> Bars(int count)
{
    std::list<KLineBar> bars;
    for (int i = 0; i < count; ++i)
        bars.push_back(Bar(i, 1000 + i, 1002 + i, 1010 + i, 990 + i));
    return bars;
}

// A client whose plot is plotWidth wide and 400 high.
ViewportState Client(int plotWidth)
{
    ViewportState state;
    state.clientWidth = plotWidth + 70;
    state.clientHeight = 470;
    return state;
}

float Slot(const ViewportState &state)
{
    return state.bodyWidth + state.gap;
}

TEST(ChartLayout, PlotRectLeavesLabelRoomAndMargins)
{
    EXPECT_EQ(ChartPlotRect(800, 600), (PlotRect{10, 35, 740, 565}));
    EXPECT_EQ(ChartPlotRect(670, 470).width(), 600);
    EXPECT_EQ(ChartPlotRect(670, 470).height(), 400);
}

TEST(ChartLayout, FirstLayoutShowsTheNewestHundredBars)
{
    const std::list<KLineBar> bars = Bars(1000);
    ViewportState state = Client(600);
    std::vector<BarGeometry> geometry;

    const LayoutResult result = LayOutBars(state, geometry, bars);

    ASSERT_TRUE(result.laidOut);
    EXPECT_FALSE(result.crossMoved) << "no cross is placed when none is shown";
    EXPECT_FALSE(result.detailsChanged);
    EXPECT_FALSE(state.cross.shown());
    EXPECT_FALSE(state.firstLayout);
    EXPECT_FLOAT_EQ(state.zoom, 10.0f);
    EXPECT_FLOAT_EQ(Slot(state), 6.0f);
    ASSERT_EQ(geometry.size(), 100u);
    // Newest first in the list, rightmost on screen; the oldest visible at the plot's left edge.
    EXPECT_EQ(std::strcmp(geometry.front().bar.timeText, "00000000"), 0);
    EXPECT_EQ(std::strcmp(geometry.back().bar.timeText, "00000099"), 0);
    EXPECT_EQ(geometry.back().xLeft, 10);
    EXPECT_EQ(geometry.front().xLeft, 604);
    EXPECT_LE(geometry.front().xRight, 610);
    // The highest and lowest of the visible bars only.
    EXPECT_EQ(state.highest, 1010 + 99);
    EXPECT_EQ(state.lowest, 990);
}

TEST(ChartLayout, FewBarsFillTheLeftmostSlots)
{
    const std::list<KLineBar> bars = Bars(10);
    ViewportState state = Client(600);
    std::vector<BarGeometry> geometry;

    LayOutBars(state, geometry, bars);

    EXPECT_NEAR(Slot(state), 6.0f, 1e-5);
    ASSERT_EQ(geometry.size(), 10u);
    EXPECT_EQ(state.scrollOffset, 0);
    EXPECT_EQ(geometry.back().xLeft, 10);
    EXPECT_EQ(geometry.front().xLeft, 64);
    EXPECT_LT(geometry.front().xRight, 100);
}

TEST(ChartLayout, SlotWidthIsHeldBetweenLimitsAndTheZoomFollows)
{
    struct Case {
        int bars;
        float zoom;
        float slot;
        float zoomAfter;
        float gap;
    };
    const Case cases[] = {
        {100, 0.1f, 1.5f, 0.25f, 0.3f},            // 0.6 px widened; the gap has its minimum
        {10, 1.0f, 53.0f, 10 * 53.0f / 600, 5.3f}, // 60 px narrowed
        {100, 1.0f, 6.0f, 1.0f, 0.6f},             // inside the limits
        {100, 0.35f, 2.1f, 0.35f, 0.3f},           // 0.21 px of gap raised to 0.3
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.bars << " bars, zoom " << c.zoom);
        const std::list<KLineBar> bars = Bars(c.bars);
        ViewportState state = Client(600);
        state.firstLayout = false;
        state.zoom = c.zoom;
        std::vector<BarGeometry> geometry;
        LayOutBars(state, geometry, bars);
        EXPECT_NEAR(Slot(state), c.slot, 1e-4);
        EXPECT_NEAR(state.zoom, c.zoomAfter, 1e-5);
        EXPECT_NEAR(state.gap, c.gap, 1e-5);
    }
}

TEST(ChartLayout, ScrollOffsetIsClampedToHistory)
{
    struct Case {
        int bars;
        int scroll;
        int expected;
    };
    // 6-px slots in 600 px: 100 visible.
    const Case cases[] = {{1000, 950, 900}, {1000, 900, 900}, {1000, 10, 10}, {50, 7, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.bars << " bars, offset " << c.scroll);
        const std::list<KLineBar> bars = Bars(c.bars);
        ViewportState state = Client(600);
        state.firstLayout = false;
        state.zoom = static_cast<float>(c.bars) / 100.0f;
        state.scrollOffset = c.scroll;
        std::vector<BarGeometry> geometry;
        LayOutBars(state, geometry, bars);
        EXPECT_EQ(state.scrollOffset, c.expected);
        // The newest visible bar is the first one after the skipped ones.
        char expected[12];
        std::snprintf(expected, sizeof expected, "%08d", c.expected);
        EXPECT_STREQ(geometry.front().bar.timeText, expected);
    }
}

TEST(ChartLayout, FlatRangeIsScaledAsOnePriceUnit)
{
    std::list<KLineBar> bars{Bar(0, 500, 500, 500, 500)};
    ViewportState state = Client(600);
    std::vector<BarGeometry> geometry;

    ASSERT_TRUE(LayOutBars(state, geometry, bars).laidOut);

    EXPECT_TRUE(std::isfinite(state.scale));
    EXPECT_FLOAT_EQ(state.scale, 400.0f);
    ASSERT_EQ(geometry.size(), 1u);
    EXPECT_EQ(geometry[0].yHigh, 35);
    EXPECT_EQ(geometry[0].yLow, 35);
    EXPECT_FLOAT_EQ(geometry[0].yClose, 35.0f);
}

TEST(ChartLayout, NothingIsLaidOutWithoutBarsOrRoom)
{
    const std::list<KLineBar> bars = Bars(10);
    struct Case {
        int width;
        int height;
        bool empty;
    };
    // Below 50 px wide, no height, a plot without width or height, no bars.
    const Case cases[]
        = {{49, 400, false}, {400, 0, false}, {60, 400, false}, {400, 60, false}, {400, 400, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        ViewportState state;
        state.clientWidth = c.width;
        state.clientHeight = c.height;
        std::vector<BarGeometry> geometry;
        EXPECT_FALSE(LayOutBars(state, geometry, c.empty ? std::list<KLineBar>{} : bars).laidOut);
        EXPECT_TRUE(state.firstLayout);
        EXPECT_FLOAT_EQ(state.zoom, 1.0f);
    }
}

TEST(ChartLayout, DirectionOfABar)
{
    struct Case {
        std::int32_t open;
        std::int32_t close;
        std::int32_t reference;
        int direction;
    };
    const Case cases[] = {
        {100, 90, 0, -1},    {90, 100, 200, 1}, // open and close decide
        {100, 100, 101, -1},                    // doji below its reference
        {100, 100, 100, 1},  {100, 100, 99, 1}, {100, 100, 0, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.open << "/" << c.close << " ref " << c.reference);
        EXPECT_EQ(BarDirection(Bar(0, c.open, c.close, 200, 50, c.reference)), c.direction);
    }
}

TEST(ChartLayout, PriceToYRulesTruncateAtTheirOwnPlaces)
{
    struct Case {
        std::int32_t highest;
        std::int32_t price;
        float scale;
        int offset;
        int bar;
        int signal;
    };
    const Case cases[] = {
        {1001, 1000, 0.5f, 0, 35, 35},   // same result when everything is positive
        {1000, 1001, 0.5f, 0, 35, 34},   // above the highest: -0.5 truncates to 0 first
        {1001, 1000, 0.5f, -40, -5, -4}, // panned up: 0.5 - 5 truncates toward zero
        {1000, 990, 2.5f, 7, 67, 67},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.highest << " " << c.price << " x" << c.scale << " " << c.offset);
        EXPECT_EQ(BarPriceY(c.highest, c.price, c.scale, c.offset), c.bar);
        EXPECT_EQ(SignalPriceY(c.highest, c.price, c.scale, c.offset), c.signal);
    }

    struct RealCase {
        std::int32_t highest;
        double price;
        int digits;
        float scale;
        int offset;
        int y;
    };
    const RealCase realCases[] = {
        // 1000 - 999.4999.. = 0.5 truncates to 0 before scaling: 35, not 40.
        {1000, 9.995, 2, 10.0f, 0, 35},
        // -1.4999.. truncates to -1: 25, not 20.
        {1000, 10.015, 2, 10.0f, 0, 25},
        {1000, 9.5, 2, 0.5f, 3, 63},
        {123456, 1234.56, 2, 1.0f, 0, 35},
    };
    for (const RealCase &c : realCases) {
        SCOPED_TRACE(testing::Message() << c.highest << " " << c.price);
        EXPECT_EQ(RealPriceY(c.highest, c.price, c.digits, c.scale, c.offset), c.y);
    }
}

TEST(ChartLayout, HostilePricesGiveBoundedPixels)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float huge = 1e30f;
    EXPECT_EQ(SignalPriceY(INT32_MAX, INT32_MIN, huge, 0), 1000000000);
    EXPECT_EQ(BarPriceY(INT32_MIN, INT32_MAX, huge, 0), -1000000000 + 35);
    EXPECT_EQ(BarPriceY(1000, 900, nan, 5), 40);
    EXPECT_EQ(SignalPriceY(1000, 900, nan, 5), 0);
    EXPECT_EQ(RealPriceY(1000, 1e300, 99, 10.0f, 0), -1000000000);
    EXPECT_LT(RealPriceY(1000, std::numeric_limits<double>::infinity(), 2, 1.0f, 0), -999999000);
    EXPECT_EQ(TruncToInt(-2.9), -2);
}

TEST(ChartLayout, GridStepForClientHeights)
{
    struct Case {
        int height;
        int step;
    };
    const Case cases[] = {
        {199, 79},                    // 159 px of grid: half of it
        {200, 80},                    // 160 divides by 80
        {240, 101},                   // 200 mod 101 = 99 counts as 80 - 99 = -19, the smallest
        {100, 30},  {41, 1}, {10, 1}, // a step that always advances
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.height);
        EXPECT_EQ(GridStep(c.height), c.step);
    }
}

TEST(ChartLayout, CrossFollowsItsBarOrGoesToTheOldestVisible)
{
    const std::list<KLineBar> bars = Bars(1000);
    ViewportState state = Client(600);
    std::vector<BarGeometry> geometry;
    LayOutBars(state, geometry, bars);
    state.cross = {geometry[5].centreX(), 200};
    state.selected = 5;

    state.zoom *= 1.5f; // wider bars: bar 5 moves
    const LayoutResult result = LayOutBars(state, geometry, bars);
    EXPECT_TRUE(result.crossMoved);
    EXPECT_EQ(result.oldCross.y, 200);
    EXPECT_EQ(state.selected, 5);
    EXPECT_EQ(state.cross,
              (CrossPoint{geometry[5].centreX(), static_cast<int>(geometry[5].yClose)}));
    ASSERT_TRUE(result.detailsChanged);
    EXPECT_STREQ(result.detailsBar.timeText, "00000005");

    state.scrollOffset = 10; // bar 5 is no longer visible
    LayOutBars(state, geometry, bars);
    EXPECT_EQ(state.selected, static_cast<int>(geometry.size()) - 1);
    EXPECT_EQ(state.cross, (CrossPoint{geometry.back().centreX(), geometry.back().yOpen}));
}

TEST(ChartLayout, PlacementStoresYOfTheCurrentProductOnly)
{
    ViewportState state;
    state.highest = 2000;
    state.scale = 0.5f;
    state.verticalOffset = 4;

    SignalRecord signal = ZeroRecord<SignalRecord>();
    signal.productId = 1;
    signal.price = 1901;
    PlaceSignal(signal, 1, state);
    EXPECT_EQ(signal.chartY, SignalPriceY(2000, 1901, 0.5f, 4));
    signal.chartY = 7;
    PlaceSignal(signal, 2, state);
    EXPECT_EQ(signal.chartY, 7);

    HoldInfo position = ZeroRecord<HoldInfo>();
    position.productId = 1;
    position.openPrice = 19.5;
    position.takeProfit = 19.9;
    position.stopLossY = 123; // no stop loss: the old y stays
    PlacePosition(position, 1, 2, state);
    EXPECT_EQ(position.openY, RealPriceY(2000, 19.5, 2, 0.5f, 4));
    EXPECT_EQ(position.takeProfitY, RealPriceY(2000, 19.9, 2, 0.5f, 4));
    EXPECT_EQ(position.stopLossY, 123);

    DelegateInfo order = ZeroRecord<DelegateInfo>();
    order.productId = 3;
    order.orderPrice = 19.0;
    PlaceOrder(order, 1, 2, state);
    EXPECT_EQ(order.orderY, 0);
    order.productId = 1;
    order.stopLoss = 18.0;
    PlaceOrder(order, 1, 2, state);
    EXPECT_EQ(order.orderY, RealPriceY(2000, 19.0, 2, 0.5f, 4));
    EXPECT_EQ(order.stopLossY, RealPriceY(2000, 18.0, 2, 0.5f, 4));
    EXPECT_EQ(order.takeProfitY, 0);
}

} // namespace
} // namespace qs
