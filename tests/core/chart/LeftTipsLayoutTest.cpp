#include "core/chart/LeftTipsLayout.h"

#include "tests/support/BarBuilder.h"

#include <gtest/gtest.h>

namespace qs {
namespace {

KLineBar Bar(std::int32_t open, std::int32_t high, std::int32_t low, std::int32_t close,
             std::int32_t reference, int digits = 2)
{
    return test::BarBuilder()
        .prices(open, high, low, close)
        .reference(reference)
        .digits(digits)
        .time("03140800");
}

TEST(LeftTipsLayout, AxisShowsOneDecimalFewerAtTheChartsPriceLevels)
{
    // Digits 2, highest 1234: at y = origin + 15 the label reads 12.3.
    LeftAxis axis{1234, 80, 2.0f, 20};
    EXPECT_FLOAT_EQ(AxisValue(axis, 35.0f), 123.4f);

    const std::vector<AxisLabel> labels = AxisLabels(axis, 2, 200);
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(labels[0].y, 15);
    EXPECT_EQ(labels[1].y, 95);
    EXPECT_EQ(labels[2].y, 175);
    EXPECT_EQ(labels[0].text, "12.4"); // 20 px above the highest: 1244
    EXPECT_EQ(labels[1].text, "12.0"); // 60 px below: 1204

    axis.gridStep = 20;
    EXPECT_EQ(AxisLabels(axis, 2, 200)[1].text, "12.3");
    // The vertical offset moves the origin with the chart.
    axis.yOrigin = 40;
    EXPECT_EQ(AxisLabels(axis, 2, 200)[2].text, "12.3");
}

TEST(LeftTipsLayout, NoAxisBeforeTheChartHasAScale)
{
    EXPECT_TRUE(AxisLabels(LeftAxis{0, 80, 2.0f, 20}, 2, 600).empty());
    EXPECT_TRUE(AxisLabels(LeftAxis{1234, 80, 0.0f, 20}, 2, 600).empty());
    // A grid step that never came (layout before the first paint) must not hang the paint.
    EXPECT_TRUE(AxisLabels(LeftAxis{1234, 0, 2.0f, 20}, 2, 600).empty());
    EXPECT_TRUE(AxisLabels(LeftAxis{1234, -1, 2.0f, 20}, 2, 600).empty());
}

TEST(LeftTipsLayout, DetailsRowsCaptionsAndValues)
{
    const KLineBar bar = Bar(123450, 124000, 122000, 123000, 123000);
    const std::vector<DetailsRow> rows = DetailsRows(bar, 35.0f, LeftAxis{123400, 80, 1.0f, 20}, 2);

    ASSERT_EQ(rows.size(), 12u);
    const char *texts[] = {"时    间", "03140800", "数    值", "1234.00", "开    盘", "1234.50",
                           "最    高", "1240.00",  "最    低", "1220.00", "收    盘", "1230.00"};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].y, 4 + 18 * static_cast<int>(i));
        EXPECT_EQ(rows[i].text, texts[i]);
    }
    EXPECT_EQ(rows[0].style, DetailsStyle::Caption);
    EXPECT_EQ(rows[1].style, DetailsStyle::Time);
    EXPECT_EQ(rows[3].style, DetailsStyle::CursorValue);
    EXPECT_EQ(rows[3].argb, kDetailsCursorColour);
    // Reference 1230.00: open and high above it, low below, close equal.
    EXPECT_EQ(rows[5].argb, kPriceUpColour);
    EXPECT_EQ(rows[7].argb, kPriceUpColour);
    EXPECT_EQ(rows[9].argb, kPriceDownColour);
    EXPECT_EQ(rows[11].argb, kPriceUnchangedColour);
}

TEST(LeftTipsLayout, CursorValueIsFormattedWithTheBarsDigits)
{
    // Product digits 3 place the value; the bar's own digits (1) format it.
    const KLineBar bar = Bar(100, 100, 100, 100, 0, 1);
    const std::vector<DetailsRow> rows = DetailsRows(bar, 35.0f, LeftAxis{12340, 80, 1.0f, 20}, 3);
    EXPECT_EQ(rows[3].text, "12.3");
    // No scale yet: no value rather than an infinity.
    EXPECT_EQ(DetailsRows(bar, 35.0f, LeftAxis{12340, 80, 0.0f, 20}, 3)[3].text, "");
}

TEST(LeftTipsLayout, PriceColourRule)
{
    struct Case {
        std::int32_t reference;
        std::int32_t value;
        std::uint32_t argb;
    };
    const Case cases[] = {
        {0, 500, kPriceUnchangedColour}, {500, 500, kPriceUnchangedColour},
        {499, 500, kPriceUpColour},      {501, 500, kPriceDownColour},
        {0, 0, kPriceUnchangedColour},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(DetailsPriceColour(c.reference, c.value), c.argb)
            << c.reference << " vs " << c.value;
    }
}

TEST(LeftTipsLayout, BoxNeedsDetailsOnAndABarWithAnOpen)
{
    EXPECT_TRUE(DetailsBoxShown(true, Bar(1, 1, 1, 1, 0)));
    EXPECT_FALSE(DetailsBoxShown(false, Bar(1, 1, 1, 1, 0)));
    EXPECT_FALSE(DetailsBoxShown(true, Bar(0, 1, 1, 1, 0)));
}

} // namespace
} // namespace qs
