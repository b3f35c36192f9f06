#pragma once

#include "core/protocol/KLineBar.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qs {

// What the left price panel keeps of the chart's viewport.
struct LeftAxis {
    std::int32_t highest = 0;
    int gridStep = 0;
    float scale = 0.0f;
    int yOrigin = 0; // the chart's vertical offset + 20
};

inline constexpr int kAxisFirstY = 15;
inline constexpr int kAxisLabelX = 40;
inline constexpr int kDetailsBoxBottom = 225;
inline constexpr int kDetailsRowHeight = 18;
inline constexpr int kDetailsFirstRowY = 4;
inline constexpr int kDetailsTextX = 8;
inline constexpr int kDetailsValueRightMargin = 10;

inline constexpr std::uint32_t kDetailsCaptionColour = 0xFFC6C6C6;
inline constexpr std::uint32_t kDetailsCursorColour = 0xFFFF0000;
inline constexpr std::uint32_t kPriceUnchangedColour = 0xFFFFFFFF;
inline constexpr std::uint32_t kPriceUpColour = 0xFFFF0000;
inline constexpr std::uint32_t kPriceDownColour = 0xFF00FF00;

// The chart's price level at a y of the panel, in tenths of the product's price unit (the axis
// shows one decimal fewer): (highest - (y - origin - 15) / scale) / 10.
float AxisValue(const LeftAxis &axis, float y);

struct AxisLabel {
    int y; // the label is drawn 5 px above this
    std::string text;
};

// Labels at y = 15, 15 + grid step, ... below the height; none before the chart has a scale,
// and none for a grid step that would not advance.
std::vector<AxisLabel> AxisLabels(const LeftAxis &axis, int productDigits, int clientHeight);

enum class DetailsStyle { Caption, Time, CursorValue, Price };

struct DetailsRow {
    int y;
    std::string text;
    DetailsStyle style;
    std::uint32_t argb;
};

// White for no reference or no change, red above the reference, green below.
std::uint32_t DetailsPriceColour(std::int32_t reference, std::int32_t value);

// Whether the box shows: details on and a bar with an open above 0.
bool DetailsBoxShown(bool detailsOn, const KLineBar &bar);

// The twelve rows of the box, 18 px apart from y = 4.
std::vector<DetailsRow> DetailsRows(const KLineBar &bar, float cursorY, const LeftAxis &axis,
                                    int productDigits);

} // namespace qs
