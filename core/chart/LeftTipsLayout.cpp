#include "core/chart/LeftTipsLayout.h"

#include "core/chart/ChartTexts.h"
#include "core/platform/PriceFormat.h"

namespace qs {

namespace {

constexpr const char *kCaptions[]
    = {"时    间", "数    值", "开    盘", "最    高", "最    低", "收    盘"};

} // namespace

float AxisValue(const LeftAxis &axis, float y)
{
    const float fromTop = y - static_cast<float>(axis.yOrigin + kAxisFirstY);
    return (static_cast<float>(axis.highest) - fromTop / axis.scale) / 10.0f;
}

std::vector<AxisLabel> AxisLabels(const LeftAxis &axis, int productDigits, int clientHeight)
{
    std::vector<AxisLabel> labels;
    if (axis.highest <= 0 || !(axis.scale > 0.0f) || axis.gridStep <= 0)
        return labels;
    const int digits = productDigits - 1;
    const float unit = PowerOfTen(digits);
    for (int y = kAxisFirstY; y < clientHeight; y += axis.gridStep) {
        const float value = AxisValue(axis, static_cast<float>(y)) / unit;
        labels.push_back({y, FormatPrice(static_cast<double>(value), digits)});
    }
    return labels;
}

std::uint32_t DetailsPriceColour(std::int32_t reference, std::int32_t value)
{
    if (reference == 0 || reference == value)
        return kPriceUnchangedColour;
    return reference < value ? kPriceUpColour : kPriceDownColour;
}

bool DetailsBoxShown(bool detailsOn, const KLineBar &bar)
{
    return detailsOn && bar.open > 0;
}

std::vector<DetailsRow> DetailsRows(const KLineBar &bar, float cursorY, const LeftAxis &axis,
                                    int productDigits)
{
    std::vector<DetailsRow> rows;
    int y = kDetailsFirstRowY;
    const auto add = [&](std::string text, DetailsStyle style, std::uint32_t argb) {
        rows.push_back({y, std::move(text), style, argb});
        y += kDetailsRowHeight;
    };
    const auto price = [&](std::int32_t value) {
        add(UnitPriceText(value, bar.digits), DetailsStyle::Price,
            DetailsPriceColour(bar.reference, value));
    };

    add(kCaptions[0], DetailsStyle::Caption, kDetailsCaptionColour);
    add(bar.time(), DetailsStyle::Time, kDetailsCaptionColour);
    add(kCaptions[1], DetailsStyle::Caption, kDetailsCaptionColour);
    // Without a scale there is no price at the cursor; an empty value beats "inf".
    std::string cursorValue;
    if (axis.scale > 0.0f)
        cursorValue = FormatPrice(
            static_cast<double>(AxisValue(axis, cursorY) / PowerOfTen(productDigits - 1)),
            bar.digits);
    add(cursorValue, DetailsStyle::CursorValue, kDetailsCursorColour);
    add(kCaptions[2], DetailsStyle::Caption, kDetailsCaptionColour);
    price(bar.open);
    add(kCaptions[3], DetailsStyle::Caption, kDetailsCaptionColour);
    price(bar.high);
    add(kCaptions[4], DetailsStyle::Caption, kDetailsCaptionColour);
    price(bar.low);
    add(kCaptions[5], DetailsStyle::Caption, kDetailsCaptionColour);
    price(bar.close);
    return rows;
}

} // namespace qs
