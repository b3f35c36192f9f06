#include "ui/chart/CKMain.h"

#include "core/chart/BarList.h"
#include "core/market/SignalList.h"
#include "core/protocol/WireRecord.h"
#include "core/trading/TradingData.h"
#include "tests/support/BarBuilder.h"
#include "ui/CommandIds.h"
#include "ui/chart/CLeftTips.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace qs::ui {
namespace {

constexpr int kWidth = 670;
constexpr int kHeight = 470;

KLineBar Bar(int index, std::int32_t open, std::int32_t close, std::int32_t high, std::int32_t low)
{
    return test::BarBuilder()
        .product(1)
        .prices(open, high, low, close)
        .digits(2)
        .key(2024)
        .numbered(index);
}

TypeInfo Product()
{
    TypeInfo product = ZeroRecord<TypeInfo>();
    product.productId = 1;
    product.digits = 2;
    product.tradable = 1;
    product.singleInstrument = 1;
    WriteAnsiField(product.name, "伦敦金");
    return product;
}

QRgb Pixel(const QImage &image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000u;
}

// A chart of ten bars, 40-px slots, in a 670 x 470 panel beside its left panel.
struct ChartWindow : testing::Test {
    BarList bars;
    SignalList signals;
    TradingData trading;
    std::vector<int> commands;
    std::vector<std::string> selectedPositions;
    std::vector<int> modes;
    CLeftTips left{trading};
    CKMain chart{bars, signals, trading, Product(),
                 CKMainCallbacks{[this](int id) { commands.push_back(id); },
                                 [this](const std::string &n) { selectedPositions.push_back(n); },
                                 {},
                                 [this](int mode) {
                                     modes.push_back(mode);
                                 }}};

    void SetUp() override { trading.replaceProducts({Product()}); }

    // Bars newest first.
    void show(const std::vector<KLineBar> &newestFirst)
    {
        for (const KLineBar &bar : newestFirst)
            bars.appendBack(bar);
        chart.setLeftTips(&left);
        chart.resize(kWidth, kHeight);
        left.resize(85, kHeight);
        chart.show();
        left.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
        chart.relayout();
        ViewportState wide = chart.viewport().state();
        wide.zoom = static_cast<float>(newestFirst.size()) * 40.0f / 600.0f;
        chart.viewport().setState(wide);
        chart.relayout();
    }
    QImage grab() { return chart.grab().toImage(); }
    BarGeometry entry(std::size_t index) { return chart.viewport().geometry().at(index); }

    // Right click at the point; returns the captions of the popup, choosing the one at
    // choose (or none).
    QStringList rightClick(QPoint at, int choose = -1)
    {
        QStringList captions;
        QTimer::singleShot(0, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (menu == nullptr)
                return;
            for (QAction *action : menu->actions())
                captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
            if (choose >= 0) {
                menu->setActiveAction(menu->actions().at(choose));
                QTest::keyClick(menu, Qt::Key_Return);
            } else {
                menu->close();
            }
        });
        QTest::mouseClick(&chart, Qt::RightButton, Qt::NoModifier, at);
        return captions;
    }
};

TEST_F(ChartWindow, RisingCandleIsOutlinedRedAndFallingFilledWhite)
{
    std::vector<KLineBar> list;
    for (int i = 0; i < 10; ++i)
        list.push_back(i % 2 == 0 ? Bar(i, 1000, 1060, 1080, 980) : Bar(i, 1060, 1000, 1080, 980));
    show(list);
    const QImage image = grab();

    const BarGeometry rising = entry(0);
    const BarGeometry falling = entry(1);
    ASSERT_EQ(rising.direction, 1);
    ASSERT_EQ(falling.direction, -1);
    ASSERT_GT(rising.xRight - rising.xLeft, 20);

    const int risingMid = (rising.yOpen + static_cast<int>(rising.yClose)) / 2;
    EXPECT_EQ(Pixel(image, rising.xLeft, risingMid), qRgb(255, 0, 0));
    EXPECT_EQ(Pixel(image, rising.xRight, risingMid), qRgb(255, 0, 0));
    EXPECT_NE(Pixel(image, rising.xLeft + 5, risingMid), qRgb(255, 0, 0));
    // The upper wick runs from the high to the close.
    EXPECT_EQ(Pixel(image, rising.centreX(), rising.yHigh + 2), qRgb(255, 0, 0));

    const int fallingMid = (falling.yOpen + static_cast<int>(falling.yClose)) / 2;
    EXPECT_EQ(Pixel(image, falling.xLeft + 5, fallingMid), qRgb(255, 255, 255));
    EXPECT_EQ(Pixel(image, falling.centreX(), fallingMid), qRgb(255, 255, 255));
}

TEST_F(ChartWindow, OnlyTheOlderOfTwoEqualHighsIsLabelled)
{
    std::vector<KLineBar> list;
    for (int i = 0; i < 10; ++i)
        list.push_back(Bar(i, 1000, 1010, i == 2 || i == 7 ? 1100 : 1050, 950 - (i == 9 ? 10 : 0)));
    show(list);
    const QImage image = grab();

    const BarGeometry newer = entry(2);
    const BarGeometry older = entry(7);
    ASSERT_EQ(newer.yHigh, older.yHigh);
    const int y = older.yHigh;
    EXPECT_EQ(Pixel(image, older.centreX() + 7, y), qRgb(255, 255, 255));
    EXPECT_NE(Pixel(image, newer.centreX() + 7, y), qRgb(255, 255, 255));
}

TEST_F(ChartWindow, HighNearTheRightEdgeIsLabelledOnTheLeft)
{
    std::vector<KLineBar> list;
    for (int i = 0; i < 10; ++i)
        list.push_back(Bar(i, 1000, 1010, i == 0 ? 1100 : 1050, 950));
    show(list);
    // Narrow the panel until the newest bar sits within 44 px of the right edge.
    const BarGeometry newest = entry(0);
    chart.resize(newest.xRight + 40, kHeight);
    QApplication::processEvents();
    const QImage image = grab();
    EXPECT_EQ(Pixel(image, newest.centreX() - 7, newest.yHigh), qRgb(255, 255, 255));
    EXPECT_NE(Pixel(image, newest.centreX() + 7, newest.yHigh), qRgb(255, 255, 255));
}

TEST_F(ChartWindow, SupportSignalDrawsADashedLineInItsColour)
{
    std::vector<KLineBar> list;
    for (int i = 0; i < 10; ++i)
        list.push_back(Bar(i, 1000, 1010, 1050, 950));
    SignalRecord signal = ZeroRecord<SignalRecord>();
    signal.productId = 1;
    signal.kind = 11;
    signal.price = 1020;
    signal.stopLoss = 990;
    signal.lots1 = 100;
    signal.capital = 500;
    signal.marker = kSignalMarker;
    signals.add(signal);
    show(list);
    const QImage image = grab();

    const int y = signals.snapshot().at(0).chartY;
    ASSERT_GT(y, 35);
    // Dash 5, gap 2 from the left edge.
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(Pixel(image, x, y), qRgb(200, 0, 0)) << x;
    EXPECT_NE(Pixel(image, 5, y), qRgb(200, 0, 0));
    EXPECT_NE(Pixel(image, 6, y), qRgb(200, 0, 0));
    EXPECT_EQ(Pixel(image, 7, y), qRgb(200, 0, 0));
}

TEST_F(ChartWindow, PositionLabelIsStoredAndItsRightClickOpensThePositionMenu)
{
    std::vector<KLineBar> list;
    for (int i = 0; i < 10; ++i)
        list.push_back(Bar(i, 1000, 1010, 1050, 950));
    HoldInfo position = ZeroRecord<HoldInfo>();
    std::snprintf(position.positionNumber, sizeof position.positionNumber, "H0001");
    position.productId = 1;
    position.side = 1;
    position.lotsHeld = 2;
    position.openPrice = 10.2;
    trading.replacePositions({position});
    show(list);
    grab();

    const HoldInfo drawn = trading.positions().at(0);
    EXPECT_EQ(drawn.labelRect[0], 8);
    EXPECT_EQ(drawn.labelRect[1], drawn.openY + 1);
    ASSERT_GT(drawn.labelRect[2], drawn.labelRect[0] + 20);
    ASSERT_GT(drawn.labelRect[3], drawn.labelRect[1] + 5);
    const QImage image = grab();
    EXPECT_EQ(Pixel(image, drawn.labelRect[2] - 1, drawn.labelRect[3] - 1), qRgb(222, 222, 222));

    chart.onToolCommand(command::kMouseCross);
    ASSERT_EQ(chart.toolMode(), kToolCross);
    const QPoint inside((drawn.labelRect[0] + drawn.labelRect[2]) / 2,
                        (drawn.labelRect[1] + drawn.labelRect[3]) / 2);

    const QStringList captions = rightClick(inside, 1);

    EXPECT_EQ(captions, (QStringList{QStringLiteral("修改订单"), QStringLiteral("市价平仓")}));
    EXPECT_EQ(chart.toolMode(), kToolPlain);
    EXPECT_FALSE(left.detailsOn());
    EXPECT_EQ(selectedPositions, std::vector<std::string>{"H0001"});
    EXPECT_EQ(commands, std::vector<int>{command::kMarketClose});
    EXPECT_EQ(modes, (std::vector<int>{kToolCross, kToolPlain}));
}

TEST_F(ChartWindow, GeneralMenuOffersOrdersOnlyForTradableProducts)
{
    std::vector<KLineBar> list;
    for (int i = 0; i < 10; ++i)
        list.push_back(Bar(i, 1000, 1010, 1050, 950));
    show(list);

    EXPECT_EQ(rightClick({300, 300}),
              (QStringList{QStringLiteral("市价建仓单"), QStringLiteral("指价建仓单"),
                           QStringLiteral("-"), QStringLiteral("交易报表")}));
    EXPECT_TRUE(commands.empty());

    TypeInfo closed = Product();
    closed.tradable = 0;
    trading.replaceProducts({closed});
    chart.reset(1);
    EXPECT_EQ(rightClick({300, 300}, 0), QStringList{QStringLiteral("交易报表")});
    EXPECT_EQ(commands, std::vector<int>{command::kReport});
}

TEST_F(ChartWindow, CrossCursorFollowsTheMouseAndFeedsTheLeftPanel)
{
    std::vector<KLineBar> list;
    for (int i = 0; i < 10; ++i)
        list.push_back(Bar(i, 1000, 1010, 1050, 950));
    show(list);
    const QImage before = grab();

    QTest::mouseClick(&chart, Qt::LeftButton, Qt::NoModifier, {300, 10});
    EXPECT_EQ(chart.toolMode(), kToolPlain); // the title strip
    QTest::mouseClick(&chart, Qt::LeftButton, Qt::NoModifier, {300, 200});
    ASSERT_EQ(chart.toolMode(), kToolCross);
    EXPECT_TRUE(left.detailsOn());
    EXPECT_TRUE(chart.isToolChecked(command::kMouseCross));

    const BarGeometry bar = entry(3);
    QTest::mouseMove(&chart, {bar.xLeft + 1, 250});
    QApplication::processEvents();
    EXPECT_EQ(chart.viewport().state().cross, (CrossPoint{bar.centreX(), 250}));
    EXPECT_STREQ(left.bar().timeText, bar.bar.timeText);
    EXPECT_FLOAT_EQ(left.cursorY(), 250.0f);

    // Drawn by exclusive-or over the picture: black turns to the cross's grey.
    QImage with = grab();
    const int x = bar.centreX();
    EXPECT_EQ(Pixel(with, 640, 250), Pixel(before, 640, 250) ^ 0x00C8C8C8u);
    EXPECT_EQ(Pixel(with, x, 5), Pixel(before, x, 5) ^ 0x00C8C8C8u);

    chart.handleKey(Qt::Key_Escape);
    EXPECT_EQ(chart.toolMode(), kToolPlain);
    EXPECT_FALSE(left.detailsOn());
    EXPECT_EQ(grab(), before);
}

TEST_F(ChartWindow, ResizeEndsCrossMode)
{
    std::vector<KLineBar> list;
    for (int i = 0; i < 10; ++i)
        list.push_back(Bar(i, 1000, 1010, 1050, 950));
    show(list);
    chart.onToolCommand(command::kMouseDrag);
    EXPECT_TRUE(chart.isToolChecked(command::kMouseDrag));
    EXPECT_EQ(chart.cursor().shape(), Qt::PointingHandCursor);

    chart.resize(kWidth + 20, kHeight);
    QApplication::processEvents();
    EXPECT_EQ(chart.toolMode(), kToolPlain);
    EXPECT_EQ(chart.cursor().shape(), Qt::ArrowCursor);
}

} // namespace
} // namespace qs::ui
