#include "ui/chart/CLeftTips.h"

#include "core/protocol/WireRecord.h"
#include "core/trading/TradingData.h"
#include "tests/support/BarBuilder.h"

#include <QImage>

#include <gtest/gtest.h>

namespace qs::ui {
namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlack = 0xFF000000;

struct LeftPanel : testing::Test {
    TradingData trading;
    CLeftTips panel{trading};

    void SetUp() override
    {
        TypeInfo product = ZeroRecord<TypeInfo>();
        product.productId = 1;
        product.digits = 2;
        trading.replaceProducts({product});
        panel.resize(85, 400);
    }
    QImage grab() { return panel.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    static KLineBar Bar(std::int32_t open)
    {
        return test::BarBuilder().prices(open, 124000, 122000, 123000).digits(2).time("03140800");
    }
    // Pixels other than black in the rectangle.
    static int Lit(const QImage &image, QRect area)
    {
        int lit = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                lit += image.pixel(x, y) != kBlack;
        return lit;
    }
};

TEST_F(LeftPanel, BeforeTheFirstLayoutOnlyBackgroundAndBorder)
{
    // The layout's own axis update carries no grid step.
    panel.updateAxis(-1, 123400, 1.0f, 20, 1);
    const QImage image = grab();
    EXPECT_EQ(Lit(image, QRect(0, 0, 84, 400)), 0);
    for (int y : {0, 200, 399})
        EXPECT_EQ(image.pixel(84, y), kRed);
}

TEST_F(LeftPanel, AxisLabelsStandAtTheGridSteps)
{
    panel.updateAxis(80, 123400, 1.0f, 20, 1);
    EXPECT_EQ(panel.axis().gridStep, 80);
    panel.updateAxis(-1, 123400, 2.0f, 20, 1);
    EXPECT_EQ(panel.axis().gridStep, 80);
    const QImage image = grab();
    // Labels start 5 px above y = 15, 95, ... at x = 40.
    EXPECT_GT(Lit(image, QRect(40, 10, 44, 14)), 0);
    EXPECT_GT(Lit(image, QRect(40, 90, 44, 14)), 0);
    EXPECT_EQ(Lit(image, QRect(40, 40, 44, 30)), 0);
    EXPECT_EQ(Lit(image, QRect(0, 0, 39, 400)), 0);
}

TEST_F(LeftPanel, DetailsBoxNeedsDetailsOnAndABarWithAnOpen)
{
    panel.updateAxis(80, 123400, 1.0f, 20, 1);
    panel.updateDetails(Bar(123450), 100.0f);
    EXPECT_EQ(grab().pixel(0, 100), kBlack); // details off

    panel.setDetailsOn(true);
    QImage image = grab();
    EXPECT_EQ(image.pixel(0, 100), kRed);
    EXPECT_EQ(image.pixel(30, 225), kRed);
    EXPECT_EQ(image.pixel(30, 226), kBlack);
    // Prices end 10 px left of the right edge, in red above the reference... here reference 0:
    // white.
    bool white = false;
    for (int x = 40; x < 75 && !white; ++x)
        for (int y = 94; y < 110 && !white; ++y)
            white = image.pixel(x, y) == 0xFFFFFFFF;
    EXPECT_TRUE(white);
    EXPECT_EQ(Lit(image, QRect(76, 94, 7, 16)), 0);

    panel.updateDetails(Bar(0), 100.0f);
    EXPECT_EQ(grab().pixel(0, 100), kBlack);
}

} // namespace
} // namespace qs::ui
