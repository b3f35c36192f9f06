#include "ui/widgets/CPriceStatic.h"

#include <QImage>

#include <algorithm>

#include <gtest/gtest.h>

namespace qs::ui {
namespace {

TEST(CPriceStatic, DrawsItsTextInItsColourCentredVertically)
{
    CPriceStatic label;
    label.resize(200, 60);
    label.setText(QStringLiteral("1234.56"));
    label.setColour(0xFFFF0000);
    const QImage image = label.grab().toImage().convertToFormat(QImage::Format_RGB32);

    int top = -1;
    int bottom = -1;
    int left = image.width();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != 0xFFFF0000)
                continue;
            top = top < 0 ? y : top;
            bottom = y;
            left = std::min(left, x);
        }
    }
    ASSERT_GE(top, 0);
    // Digits fill the upper part of the line box; their middle lies near the control's middle.
    EXPECT_NEAR((top + bottom) / 2, 30, 6);
    EXPECT_LT(left, 4);

    label.setColour(0xFF00FF00);
    const QImage green = label.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int greens = 0;
    int reds = 0;
    for (int y = 0; y < green.height(); ++y) {
        for (int x = 0; x < green.width(); ++x) {
            greens += green.pixel(x, y) == 0xFF00FF00;
            reds += green.pixel(x, y) == 0xFFFF0000;
        }
    }
    EXPECT_GT(greens, 20);
    EXPECT_EQ(reds, 0);
}

} // namespace
} // namespace qs::ui
