#pragma once

#include <QColor>
#include <QFont>

#include <cstdint>

namespace qs::ui {

// The chart's two families, "宋体" and "Arial", each falling back to an installed font of its
// kind where it is missing. The fallbacks are installed once, on first use.
QFont SongFont(int pointSize, bool bold = false);
QFont ArialFont(int pointSize, bool bold = false);
void InstallChartFontFallbacks();

// #AARRGGBB as the chart's colour table writes it.
inline QColor Argb(std::uint32_t argb)
{
    return QColor::fromRgba(argb);
}

} // namespace qs::ui
