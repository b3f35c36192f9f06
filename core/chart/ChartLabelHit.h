#pragma once

#include <string>

namespace qs {

struct TradingData;

// What a right click on the chart landed on.
struct ChartLabelHit {
    enum class Kind { None, Position, Order };
    Kind kind = Kind::None;
    std::string number; // position number or order number
};

// The label rectangles as the last paint left them: positions first, then orders, each list in
// its order; the first hit wins. Only records the chart draws are tested (the current product's
// positions and its waiting orders): a record of another product still carries the rectangle
// from when that product was shown. Each lock is held only while testing its list.
ChartLabelHit FindChartLabel(const TradingData &trading, int productId, int x, int y);

} // namespace qs
