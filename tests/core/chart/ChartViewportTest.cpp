#include "core/chart/ChartViewport.h"

#include "core/chart/ChartLabelHit.h"
#include "core/chart/SignalList.h"
#include "core/protocol/TradingData.h"
#include "core/protocol/WireRecord.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace qs {
namespace {

KLineBar Bar(int index, std::int32_t base, const char *time = nullptr)
{
    KLineBar bar = ZeroRecord<KLineBar>();
    bar.productId = 1;
    bar.open = base;
    bar.close = base + 2;
    bar.high = base + 10;
    bar.low = base - 10;
    bar.digits = 2;
    bar.keyNumber = 2024;
    if (time != nullptr)
        std::snprintf(bar.timeText, sizeof bar.timeText, "%s", time);
    else
        std::snprintf(bar.timeText, sizeof bar.timeText, "%08d", index);
    return bar;
}

TypeInfo Product()
{
    TypeInfo product = ZeroRecord<TypeInfo>();
    product.productId = 1;
    product.digits = 2;
    product.tradable = 1;
    product.singleInstrument = 1;
    return product;
}

// A 670 x 470 chart: the plot is 600 x 400.
struct Chart : testing::Test {
    BarList bars;
    SignalList signals;
    TradingData trading;
    ChartViewport viewport{bars, signals, trading, Product()};

    void fill(int count)
    {
        for (int i = 0; i < count; ++i)
            bars.appendBack(Bar(i, 1000 + (i % 50)));
    }
    void start(int count)
    {
        fill(count);
        viewport.resize(670, 470);
        viewport.layOut();
    }
    const ViewportState state() const { return viewport.state(); }
    std::vector<BarGeometry> geometry() const { return viewport.geometry(); }
    // Cross mode with the cross on geometry entry index.
    void crossOn(int index)
    {
        viewport.setToolMode(kToolCross);
        const BarGeometry entry = geometry()[static_cast<std::size_t>(index)];
        viewport.mouseMove(entry.centreX(), 200);
        ASSERT_EQ(state().selected, index);
    }
};

TEST_F(Chart, UpAndDownZoomUntilTheWidthLimit)
{
    start(1000);
    const float zoom = state().zoom;

    ChartEffect effect = viewport.key(ChartKey::Up);
    EXPECT_TRUE(effect.repaint);
    EXPECT_FLOAT_EQ(state().zoom, zoom * 1.1f);
    effect = viewport.key(ChartKey::Down);
    EXPECT_TRUE(effect.repaint);
    EXPECT_NEAR(state().zoom, zoom, 1e-4);
}

TEST_F(Chart, UpAtTheWidestSlotUndoesItsZoom)
{
    start(10);
    ViewportState wide = state();
    wide.zoom = 1.0f; // 60 px asked, 53 given
    viewport.setState(wide);
    viewport.layOut();
    const float zoom = state().zoom;
    const float body = state().bodyWidth;
    ASSERT_FLOAT_EQ(body + state().gap, 53.0f);

    const ChartEffect effect = viewport.key(ChartKey::Up);

    EXPECT_FALSE(effect.repaint);
    EXPECT_FLOAT_EQ(state().zoom, zoom);
    EXPECT_FLOAT_EQ(state().bodyWidth, body);
}

TEST_F(Chart, DownAtTheNarrowestSlotUndoesItsZoom)
{
    start(1000);
    ViewportState narrow = state();
    narrow.zoom = 0.01f;
    viewport.setState(narrow);
    viewport.layOut();
    const float zoom = state().zoom;

    EXPECT_FALSE(viewport.key(ChartKey::Down).repaint);
    EXPECT_FLOAT_EQ(state().zoom, zoom);
}

TEST_F(Chart, RightAtTheNewestBarWithoutCrossDoesNothing)
{
    start(1000);
    const ChartEffect effect = viewport.key(ChartKey::Right);
    EXPECT_FALSE(effect.repaint);
    EXPECT_FALSE(effect.crossMoved);
    EXPECT_EQ(state().scrollOffset, 0);
}

TEST_F(Chart, LeftAndRightScrollWithoutCross)
{
    start(1000);
    EXPECT_TRUE(viewport.key(ChartKey::Left).repaint);
    EXPECT_TRUE(viewport.key(ChartKey::Left).repaint);
    EXPECT_EQ(state().scrollOffset, 2);
    EXPECT_TRUE(viewport.key(ChartKey::Right).repaint);
    EXPECT_EQ(state().scrollOffset, 1);
}

TEST_F(Chart, LeftAtTheOldestHistoryDoesNotRepaint)
{
    start(1000);
    ViewportState back = state();
    back.scrollOffset = 900; // the oldest bar is already at the left edge
    viewport.setState(back);
    viewport.layOut();

    EXPECT_FALSE(viewport.key(ChartKey::Left).repaint);
    EXPECT_EQ(state().scrollOffset, 900);
}

TEST_F(Chart, LeftWithTheCrossInsideStepsToTheOlderBar)
{
    start(1000);
    crossOn(10);

    const ChartEffect effect = viewport.key(ChartKey::Left);

    const BarGeometry older = geometry()[11];
    EXPECT_EQ(state().scrollOffset, 0);
    EXPECT_EQ(state().selected, 11);
    EXPECT_EQ(state().cross, (CrossPoint{older.centreX(), static_cast<int>(older.yClose)}));
    ASSERT_TRUE(effect.detailsBar);
    EXPECT_STREQ(effect.detailsBar->timeText, older.bar.timeText);
    EXPECT_TRUE(effect.crossMoved);
    EXPECT_FALSE(effect.repaint);

    viewport.key(ChartKey::Right);
    EXPECT_EQ(state().selected, 10);
}

TEST_F(Chart, LeftWithTheCrossOnTheOldestVisibleBarScrollsOneBar)
{
    start(1000);
    crossOn(99);

    const ChartEffect effect = viewport.key(ChartKey::Left);

    EXPECT_TRUE(effect.repaint);
    EXPECT_EQ(state().scrollOffset, 1);
    const std::vector<BarGeometry> now = geometry();
    EXPECT_STREQ(now.back().bar.timeText, "00000100");
    EXPECT_EQ(state().selected, 99);
    EXPECT_EQ(state().cross, (CrossPoint{now.back().centreX(), now.back().yOpen}));
    ASSERT_TRUE(effect.detailsBar);
    EXPECT_STREQ(effect.detailsBar->timeText, "00000100");
}

TEST_F(Chart, RightWithTheCrossOnTheNewestVisibleBarScrollsBack)
{
    start(1000);
    ViewportState back = state();
    back.scrollOffset = 5;
    viewport.setState(back);
    viewport.layOut();
    crossOn(0);

    EXPECT_TRUE(viewport.key(ChartKey::Right).repaint);

    EXPECT_EQ(state().scrollOffset, 4);
    // The cross stays on its bar, now one slot further left.
    EXPECT_EQ(state().selected, 1);
    EXPECT_STREQ(geometry()[1].bar.timeText, "00000005");
}

TEST_F(Chart, DragRightByThreePointNineBodiesScrollsThreeBars)
{
    start(1000);
    viewport.setToolMode(kToolMove);
    const float body = state().bodyWidth;
    const int dx = static_cast<int>(3.9f * body);

    viewport.leftButtonDown(300, 200);
    const ChartEffect effect = viewport.leftButtonUp(300 + dx, 200);

    EXPECT_TRUE(effect.repaint);
    EXPECT_EQ(state().scrollOffset, 3);
    EXPECT_EQ(state().verticalOffset, 0);

    // Dragging left brings newer bars back, never past the newest.
    viewport.leftButtonDown(300, 200);
    viewport.leftButtonUp(300 - static_cast<int>(2.5f * body), 200);
    EXPECT_EQ(state().scrollOffset, 1);
    viewport.leftButtonDown(300, 200);
    viewport.leftButtonUp(100, 200);
    EXPECT_EQ(state().scrollOffset, 0);
}

TEST_F(Chart, DragIsLimitedToTheVisibleBarsAndTheHeight)
{
    start(1000);
    viewport.setToolMode(kToolMove);
    const int yBefore = geometry()[0].yHigh;

    viewport.leftButtonDown(10, 100);
    viewport.leftButtonUp(10, 130);
    EXPECT_EQ(state().verticalOffset, 30);
    EXPECT_EQ(geometry()[0].yHigh, yBefore + 30);

    // 470 - 60 = 410 at most, either way.
    viewport.leftButtonDown(10, 100);
    viewport.leftButtonUp(10, 1000);
    EXPECT_EQ(state().verticalOffset, 410);
    viewport.leftButtonDown(10, 1000);
    viewport.leftButtonUp(10, -2000);
    EXPECT_EQ(state().verticalOffset, -410);

    // A drag wider than the chart scrolls by the visible count only.
    viewport.leftButtonDown(0, 0);
    viewport.leftButtonUp(5000, 0);
    EXPECT_EQ(state().scrollOffset, 100);
}

TEST_F(Chart, ReleaseWhereThePressWasDoesNothing)
{
    start(1000);
    viewport.setToolMode(kToolMove);
    viewport.leftButtonDown(200, 200);
    const ChartEffect effect = viewport.leftButtonUp(200, 200);
    EXPECT_FALSE(effect.repaint);
}

TEST_F(Chart, ToolModesAndTheirTransitions)
{
    start(100);
    // The title strip never starts the cross.
    EXPECT_FALSE(viewport.leftButtonDown(100, 20).repaint);
    EXPECT_EQ(viewport.toolMode(), kToolPlain);

    ChartEffect effect = viewport.leftButtonDown(100, 21);
    EXPECT_EQ(viewport.toolMode(), kToolCross);
    EXPECT_EQ(effect.details, ChartEffect::Details::On);
    EXPECT_TRUE(effect.repaint);

    viewport.mouseMove(geometry()[3].centreX(), 150);
    EXPECT_TRUE(state().cross.shown());

    // Move mode keeps the cross where it is, but the mouse no longer moves it.
    effect = viewport.setToolMode(kToolMove);
    EXPECT_EQ(effect.details, ChartEffect::Details::Off);
    const CrossPoint cross = state().cross;
    EXPECT_FALSE(viewport.mouseMove(geometry()[5].centreX(), 160).crossMoved);
    EXPECT_EQ(state().cross, cross);
    EXPECT_FALSE(viewport.setToolMode(kToolMove).repaint);

    effect = viewport.key(ChartKey::Escape);
    EXPECT_EQ(viewport.toolMode(), kToolPlain);
    EXPECT_EQ(effect.details, ChartEffect::Details::Off);
    EXPECT_TRUE(effect.crossMoved);
    EXPECT_FALSE(state().cross.shown());
    // Escape in mode 0 does nothing.
    EXPECT_FALSE(viewport.key(ChartKey::Escape).repaint);
}

TEST_F(Chart, MouseInCrossModeTracksBarsBelowTheTitleStrip)
{
    start(100);
    viewport.setToolMode(kToolCross);
    const BarGeometry entry = geometry()[7];

    ChartEffect effect = viewport.mouseMove(entry.xLeft, 300);
    EXPECT_EQ(state().cross, (CrossPoint{entry.centreX(), 300}));
    ASSERT_TRUE(effect.detailsBar);
    EXPECT_FLOAT_EQ(effect.detailsY, 300.0f);

    // Above y = 20 or between bars: the cross stays.
    effect = viewport.mouseMove(geometry()[2].centreX(), 20);
    EXPECT_FALSE(effect.crossMoved);
    EXPECT_FALSE(effect.detailsBar);
    effect = viewport.mouseMove(state().clientWidth - 5, 300);
    EXPECT_FALSE(effect.crossMoved);

    effect = viewport.mouseLeave();
    EXPECT_TRUE(effect.crossMoved);
    EXPECT_FALSE(state().cross.shown());
}

TEST_F(Chart, ResizeAndTheContextMenuEndEveryToolMode)
{
    start(100);
    crossOn(4);

    ChartEffect effect = viewport.leaveToolMode();
    EXPECT_EQ(viewport.toolMode(), kToolPlain);
    EXPECT_EQ(effect.details, ChartEffect::Details::Off);
    EXPECT_FALSE(state().cross.shown());
    EXPECT_FALSE(viewport.leaveToolMode().repaint);

    crossOn(4);
    effect = viewport.resize(800, 500);
    EXPECT_EQ(viewport.toolMode(), kToolPlain);
    EXPECT_EQ(effect.details, ChartEffect::Details::Off);
    EXPECT_FALSE(state().cross.shown());
}

TEST_F(Chart, ResetClearsTheViewportButKeepsTheToolMode)
{
    start(100);
    viewport.setToolMode(kToolMove);
    viewport.key(ChartKey::Left);
    TypeInfo other = Product();
    other.productId = 7;

    const ChartEffect effect = viewport.reset(other);

    const ViewportState now = state();
    EXPECT_EQ(effect.details, ChartEffect::Details::Off);
    EXPECT_EQ(now.toolMode, kToolMove);
    EXPECT_EQ(now.scrollOffset, 0);
    EXPECT_TRUE(now.firstLayout);
    EXPECT_FLOAT_EQ(now.zoom, 1.0f);
    EXPECT_EQ(now.highest, 0);
    EXPECT_EQ(now.lowest, 1000000);
    EXPECT_EQ(now.clientWidth, 670);
    EXPECT_TRUE(geometry().empty());
    EXPECT_EQ(viewport.product().productId, 7);
}

TEST_F(Chart, FlatBarsLayOutToFiniteGeometry)
{
    KLineBar flat = Bar(0, 500);
    flat.open = flat.close = flat.high = flat.low = 500;
    bars.appendBack(flat);
    viewport.resize(670, 470);
    viewport.layOut();
    ASSERT_EQ(geometry().size(), 1u);
    EXPECT_FLOAT_EQ(state().scale, 400.0f);
    EXPECT_EQ(geometry()[0].yHigh, 35);
}

TEST_F(Chart, LiveBarInsideTheRangeRepaintsAroundTheNewestBar)
{
    KLineBar live = Bar(0, 1000, "10:00:00");
    bars.appendBack(live);
    fill(200);
    viewport.resize(670, 470);
    viewport.layOut();
    const ViewportState before = state();

    live.close = 1005;
    live.high = 1008;
    ASSERT_EQ(bars.applyPushed(live, 1, true), PushedBarChange::LiveOverwritten);
    const ChartEffect effect = viewport.applyLiveBar(false);

    EXPECT_FALSE(effect.repaint);
    const BarGeometry newest = geometry()[0];
    EXPECT_EQ(newest.bar.close, 1005);
    EXPECT_EQ(newest.yHigh, BarPriceY(before.highest, 1008, before.scale, 0));
    EXPECT_FLOAT_EQ(newest.yClose, CloseY(before.highest, 1005, before.scale, 0));
    ASSERT_TRUE(effect.repaintRect);
    EXPECT_EQ(*effect.repaintRect,
              LiveRepaintRect(newest.xLeft, newest.xRight, newest.yHigh, newest.yLow));
    EXPECT_EQ(state().highest, before.highest);
}

TEST_F(Chart, LiveBarBeyondTheRangeOrScrolledBack)
{
    KLineBar live = Bar(0, 1000, "10:00:00");
    bars.appendBack(live);
    fill(200);
    viewport.resize(670, 470);
    viewport.layOut();

    live.high = state().highest + 100;
    bars.applyPushed(live, 1, true);
    ChartEffect effect = viewport.applyLiveBar(false);
    EXPECT_TRUE(effect.repaint);
    EXPECT_EQ(state().highest, live.high);

    viewport.key(ChartKey::Left);
    live.low = 1;
    bars.applyPushed(live, 1, true);
    effect = viewport.applyLiveBar(false);
    EXPECT_FALSE(effect.repaint);
    EXPECT_FALSE(effect.repaintRect);
    EXPECT_NE(state().lowest, 1);
}

TEST_F(Chart, LayoutStoresTheYOfSignalsPositionsAndOrders)
{
    fill(100);
    SignalRecord mine = ZeroRecord<SignalRecord>();
    mine.productId = 1;
    mine.price = 1020;
    mine.marker = kSignalMarker;
    SignalRecord theirs = mine;
    theirs.productId = 2;
    signals.add(mine);
    signals.add(theirs);

    HoldInfo position = ZeroRecord<HoldInfo>();
    position.productId = 1;
    position.openPrice = 10.3;
    position.stopLoss = 10.1;
    HoldInfo otherPosition = position;
    otherPosition.productId = 2;
    trading.replacePositions({position, otherPosition});

    DelegateInfo order = ZeroRecord<DelegateInfo>();
    order.productId = 1;
    order.orderPrice = 10.4;
    order.takeProfit = 10.45;
    trading.replacePendingOrders({order});

    viewport.resize(670, 470);
    viewport.layOut();
    const ViewportState s = state();

    const std::vector<SignalRecord> laid = signals.snapshot();
    EXPECT_EQ(laid[0].chartY, SignalPriceY(s.highest, 1020, s.scale, 0));
    EXPECT_EQ(laid[1].chartY, 0);
    const std::vector<HoldInfo> positions = trading.positions();
    EXPECT_EQ(positions[0].openY, RealPriceY(s.highest, 10.3, 2, s.scale, 0));
    EXPECT_EQ(positions[0].stopLossY, RealPriceY(s.highest, 10.1, 2, s.scale, 0));
    EXPECT_EQ(positions[0].takeProfitY, 0);
    EXPECT_EQ(positions[1].openY, 0);
    const std::vector<DelegateInfo> orders = trading.pendingOrders();
    EXPECT_EQ(orders[0].orderY, RealPriceY(s.highest, 10.4, 2, s.scale, 0));
    EXPECT_EQ(orders[0].takeProfitY, RealPriceY(s.highest, 10.45, 2, s.scale, 0));
}

TEST(ChartLabelHit, PositionsBeforeOrdersAndOnlyWhatIsDrawn)
{
    TradingData trading;
    const auto position = [](const char *number, int product, std::int32_t top) {
        HoldInfo record = ZeroRecord<HoldInfo>();
        std::snprintf(record.positionNumber, sizeof record.positionNumber, "%s", number);
        record.productId = product;
        record.labelRect[0] = 8;
        record.labelRect[1] = top;
        record.labelRect[2] = 108;
        record.labelRect[3] = top + 12;
        return record;
    };
    const auto order = [](const char *number, int status, std::int32_t top) {
        DelegateInfo record = ZeroRecord<DelegateInfo>();
        std::snprintf(record.orderNumber, sizeof record.orderNumber, "%s", number);
        record.productId = 1;
        record.status = status;
        record.labelRect[0] = 8;
        record.labelRect[1] = top;
        record.labelRect[2] = 108;
        record.labelRect[3] = top + 12;
        return record;
    };
    // P2 lies under P1; P9 belongs to another product; O2 is cancelled.
    trading.replacePositions(
        {position("P9", 2, 300), position("P1", 1, 100), position("P2", 1, 105)});
    trading.replacePendingOrders({order("O2", 2, 200), order("O1", 1, 108), order("O3", 1, 200)});

    struct Case {
        int x;
        int y;
        ChartLabelHit::Kind kind;
        const char *number;
    };
    const Case cases[] = {
        {8, 100, ChartLabelHit::Kind::Position, "P1"},  // top-left corner is inside
        {50, 110, ChartLabelHit::Kind::Position, "P1"}, // first in list order wins
        {50, 115, ChartLabelHit::Kind::Position, "P2"},
        {50, 117, ChartLabelHit::Kind::Order, "O1"}, // below both positions
        {108, 101, ChartLabelHit::Kind::None, ""},   // right edge is outside
        {50, 205, ChartLabelHit::Kind::Order, "O3"}, // cancelled O2 is not drawn
        {50, 305, ChartLabelHit::Kind::None, ""},    // P9 is not on this chart
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        const ChartLabelHit hit = FindChartLabel(trading, 1, c.x, c.y);
        EXPECT_EQ(hit.kind, c.kind);
        EXPECT_EQ(hit.number, c.number);
    }
}

} // namespace
} // namespace qs
