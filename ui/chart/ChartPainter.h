#pragma once

#include "core/chart/ChartViewport.h"

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <vector>

class QPainter;

namespace qs {
class SignalList;
struct LabelRect;
struct TradingData;
} // namespace qs

namespace qs::ui {

// What the left panel's axis needs from a paint.
struct PaintedAxis {
    int gridStep = 0;
    std::int32_t highest = 0;
    float scale = 0.0f;
    int verticalOffset = 0;
    int productId = 0;
};

// Draws the chart panel but for its cross: background, watermark, title, grid, candles with the
// highest, lowest and live labels, then signals, positions and orders. Positions and orders are
// drawn from copies; the label rectangles laid out go back into the records afterwards, for the
// context menu's hit test.
class ChartPainter {
public:
    ChartPainter(ChartViewport &viewport, SignalList &signals, TradingData &trading);

    PaintedAxis paint(QPainter &painter, QSize client);

    // The application's display name, a blank and the service's web domain.
    static QString watermarkText();

private:
    void paintBackdrop(QPainter &painter, QSize client);
    void paintGrid(QPainter &painter, QSize client, int step) const;
    void paintCandles(QPainter &painter, int clientWidth) const;
    void paintSignals(QPainter &painter, QSize client) const;
    // Each returns the label rectangles it laid out, in drawing order.
    std::vector<LabelRect> paintPositions(QPainter &painter, int clientWidth) const;
    std::vector<LabelRect> paintOrders(QPainter &painter, int clientWidth) const;

    ChartViewport &m_viewport;
    SignalList &m_signals;
    TradingData &m_trading;
    ChartFrame m_frame;
    // Background and watermark depend on the size alone.
    QImage m_backdrop;
    QFont m_titleFont;
    QFont m_extremeFont;
    QFont m_liveFont;
    QFont m_signalFont;
    QFont m_timeFont;
    QFont m_labelFont;
};

// The cross cursor, drawn by exclusive-or over what is already painted.
void DrawCross(QPainter &painter, CrossPoint cross, QSize client);

} // namespace qs::ui
