#include "core/chart/ChartViewport.h"

#include "core/chart/ChartLabelHit.h"
#include "core/market/SignalList.h"
#include "core/protocol/WireRecord.h"
#include "core/trading/TradingData.h"
#include "tests/support/BarBuilder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace qs {
namespace {

KLineBar Bar(int index, std::int32_t base, const char *time = nullptr)
{
    test::BarBuilder bar;
    bar.product(1).prices(base, base + 10, base - 10, base + 2).digits(2).key(2024);
    return time != nullptr ? bar.time(time) : bar.numbered(index);
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

TEST_F(Chart, KeysZoomScrollAndStepTheCross)
{
    enum CrossY { Skip, AtClose, AtOpen };
    struct Case {
        const char *what;
        int bars;
        float zoom; // 0: the first layout's
        int scroll;
        int cross; // geometry index, -1: no cross
        ChartKey key;
        bool repaint;
        float zoomFactor; // 0: not checked
        int scrollAfter;
        int selected; // -1: not checked
        const char *detailsTime;
        CrossY crossY;
    };
    const Case cases[] = {
        {"Up zooms in", 1000, 0, 0, -1, ChartKey::Up, true, 1.1f, 0, -1, nullptr, Skip},
        {"Up at the 53-px slot undoes its zoom", 10, 1.0f, 0, -1, ChartKey::Up, false, 1.0f, 0, -1,
         nullptr, Skip},
        {"Down at the narrowest slot undoes its zoom", 1000, 0.01f, 0, -1, ChartKey::Down, false,
         1.0f, 0, -1, nullptr, Skip},
        {"Right at offset 0 without cross", 1000, 0, 0, -1, ChartKey::Right, false, 0, 0, -1,
         nullptr, Skip},
        {"Left scrolls", 1000, 0, 0, -1, ChartKey::Left, true, 0, 1, -1, nullptr, Skip},
        {"Right scrolls back", 1000, 0, 2, -1, ChartKey::Right, true, 0, 1, -1, nullptr, Skip},
        {"Left at the oldest history", 1000, 0, 900, -1, ChartKey::Left, false, 0, 900, -1, nullptr,
         Skip},
        {"Left steps the cross to the older bar", 1000, 0, 0, 10, ChartKey::Left, false, 0, 0, 11,
         "00000011", AtClose},
        {"Left on the oldest visible scrolls one", 1000, 0, 0, 99, ChartKey::Left, true, 0, 1, 99,
         "00000100", AtOpen},
        {"Right on the newest visible scrolls back", 1000, 0, 5, 0, ChartKey::Right, true, 0, 4, 1,
         nullptr, Skip},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        viewport.leaveToolMode();
        bars.clear();
        viewport.reset(Product());
        start(c.bars);
        if (c.zoom > 0 || c.scroll > 0) {
            ViewportState s = state();
            s.zoom = c.zoom > 0 ? c.zoom : s.zoom;
            s.scrollOffset = c.scroll;
            viewport.setState(s);
            viewport.layOut();
        }
        if (c.bars == 10 && c.zoom == 1.0f) {
            ASSERT_FLOAT_EQ(state().bodyWidth + state().gap, 53.0f);
        }
        if (c.cross >= 0)
            crossOn(c.cross);
        const float zoom = state().zoom;

        const ChartEffect effect = viewport.key(c.key);

        EXPECT_EQ(effect.repaint, c.repaint);
        if (c.zoomFactor > 0) {
            EXPECT_FLOAT_EQ(state().zoom, zoom * c.zoomFactor);
        }
        EXPECT_EQ(state().scrollOffset, c.scrollAfter);
        if (c.cross < 0) {
            EXPECT_FALSE(effect.crossMoved);
        }
        if (c.selected >= 0) {
            EXPECT_EQ(state().selected, c.selected);
        }
        if (c.detailsTime != nullptr) {
            ASSERT_TRUE(effect.detailsBar);
            EXPECT_STREQ(effect.detailsBar->timeText, c.detailsTime);
            const BarGeometry g = geometry()[static_cast<std::size_t>(c.selected)];
            EXPECT_STREQ(g.bar.timeText, c.detailsTime);
            EXPECT_EQ(state().cross,
                      (CrossPoint{g.centreX(),
                                  c.crossY == AtOpen ? g.yOpen : static_cast<int>(g.yClose)}));
        }
    }
}

TEST_F(Chart, DragsScrollByWholeBodiesAndStayWithinTheirLimits)
{
    struct Case {
        float bodies;
        int dy;
        bool repaint;
        int scroll;
        int vertical;
    };
    // One drag after the other, from (300, 200).
    const Case cases[] = {
        {3.9f, 0, true, 3, 0},      {-2.5f, 0, true, 1, 0}, {-40, 0, true, 0, 0},
        {0, 30, true, 0, 30},       {0, 900, true, 0, 410}, {0, -3000, true, 0, -410},
        {1000, 0, true, 100, -410}, // no further than the visible count
        {0, 0, false, 100, -410},
    };
    start(1000);
    viewport.setToolMode(kToolMove);
    const float body = state().bodyWidth;
    const int yHigh = geometry()[0].yHigh;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.bodies << " bodies, dy " << c.dy);
        viewport.leftButtonDown(300, 200);
        const ChartEffect effect
            = viewport.leftButtonUp(300 + static_cast<int>(c.bodies * body), 200 + c.dy);
        EXPECT_EQ(effect.repaint, c.repaint);
        EXPECT_EQ(state().scrollOffset, c.scroll);
        EXPECT_EQ(state().verticalOffset, c.vertical);
        if (c.dy == 30) {
            EXPECT_EQ(geometry()[0].yHigh, yHigh + 30);
        }
    }
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

    EXPECT_EQ(viewport.reset(other).details, ChartEffect::Details::Off);
    EXPECT_EQ(state().toolMode, kToolMove);
    EXPECT_EQ(state().scrollOffset, 0);
    EXPECT_TRUE(state().firstLayout);
    EXPECT_EQ(state().clientWidth, 670);
    EXPECT_TRUE(geometry().empty());
    EXPECT_EQ(viewport.product().productId, 7);
}

TEST_F(Chart, LiveBarRepaintsAroundItselfRelaysOutBeyondTheRangeAndWaitsWhenScrolledBack)
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
    ChartEffect effect = viewport.applyLiveBar(false);
    EXPECT_FALSE(effect.repaint);
    const BarGeometry newest = geometry()[0];
    EXPECT_EQ(newest.yHigh, BarPriceY(before.highest, 1008, before.scale, 0));
    EXPECT_FLOAT_EQ(newest.yClose, CloseY(before.highest, 1005, before.scale, 0));
    ASSERT_TRUE(effect.repaintRect);
    EXPECT_EQ(*effect.repaintRect,
              LiveRepaintRect(newest.xLeft, newest.xRight, newest.yHigh, newest.yLow));
    EXPECT_EQ(state().highest, before.highest);

    live.high = before.highest + 100;
    bars.applyPushed(live, 1, true);
    EXPECT_TRUE(viewport.applyLiveBar(false).repaint);
    EXPECT_EQ(state().highest, live.high);

    viewport.key(ChartKey::Left);
    live.low = 1;
    bars.applyPushed(live, 1, true);
    effect = viewport.applyLiveBar(false);
    EXPECT_FALSE(effect.repaint);
    EXPECT_FALSE(effect.repaintRect);
    EXPECT_NE(state().lowest, 1);
}

// Which records get a y is ChartLayout's; here only that a layout places them.
TEST_F(Chart, LayoutStoresTheYOfSignalsPositionsAndOrders)
{
    fill(100);
    SignalRecord signal = ZeroRecord<SignalRecord>();
    signal.productId = 1;
    signal.price = 1020;
    signal.marker = kSignalMarker;
    signals.add(signal);
    HoldInfo position = ZeroRecord<HoldInfo>();
    position.productId = 1;
    position.openPrice = 10.3;
    trading.replacePositions({position});
    DelegateInfo order = ZeroRecord<DelegateInfo>();
    order.productId = 1;
    order.orderPrice = 10.4;
    trading.replacePendingOrders({order});

    viewport.resize(670, 470);
    viewport.layOut();
    const ViewportState s = state();
    EXPECT_EQ(signals.snapshot()[0].chartY, SignalPriceY(s.highest, 1020, s.scale, 0));
    EXPECT_EQ(trading.positions()[0].openY, RealPriceY(s.highest, 10.3, 2, s.scale, 0));
    EXPECT_EQ(trading.pendingOrders()[0].orderY, RealPriceY(s.highest, 10.4, 2, s.scale, 0));
}

TEST(ChartLabelHit, PositionsBeforeOrdersAndOnlyWhatIsDrawn)
{
    TradingData trading;
    const auto label = [](auto &record, std::int32_t top) {
        const std::int32_t rect[4] = {8, top, 108, top + 12};
        std::memcpy(record.labelRect, rect, sizeof rect);
    };
    const auto position = [&](const char *number, int product, std::int32_t top) {
        HoldInfo record = ZeroRecord<HoldInfo>();
        std::snprintf(record.positionNumber, sizeof record.positionNumber, "%s", number);
        record.productId = product;
        label(record, top);
        return record;
    };
    const auto order = [&](const char *number, int status, std::int32_t top) {
        DelegateInfo record = ZeroRecord<DelegateInfo>();
        std::snprintf(record.orderNumber, sizeof record.orderNumber, "%s", number);
        record.productId = 1;
        record.status = status;
        label(record, top);
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
