#pragma once

#include "core/chart/ChartViewport.h"
#include "ui/chart/ChartPainter.h"

#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <functional>
#include <string>

namespace qs {
class BarList;
class SignalList;
struct TradingData;
} // namespace qs

namespace qs::ui {

class CLeftTips;

// What the chart panel hands to the main frame. Every one runs on the UI thread; an empty one is
// skipped.
struct CKMainCallbacks {
    // A command chosen in one of the chart's popup menus.
    std::function<void(int commandId)> command;
    // Set just before the position or order popup opens; the frame keeps the number and looks
    // the record up again when the command comes.
    std::function<void(const std::string &positionNumber)> selectPosition;
    std::function<void(const std::string &orderNumber)> selectOrder;
    // The tool mode changed (the frame moves its check marks).
    std::function<void(int toolMode)> toolModeChanged;
};

// The chart panel. It paints from the laid-out viewport into an off-screen image copied in one
// block; the cross cursor is drawn over that copy, so moving it repaints only its own lines.
class CKMain final : public QWidget {
    Q_OBJECT

public:
    CKMain(BarList &bars, SignalList &signals, TradingData &trading, const TypeInfo &product,
           CKMainCallbacks callbacks, QWidget *parent = nullptr);

    // The left panel this chart feeds (axis, details, details box on and off); may be none.
    void setLeftTips(CLeftTips *leftTips);

    ChartViewport &viewport() { return m_viewport; }
    int toolMode() const { return m_viewport.toolMode(); }
    // The check mark of commands 32871, 32873 and 32875.
    bool isToolChecked(int commandId) const;

public Q_SLOTS:
    // View restart: the product's record, reset values, empty geometry, details off.
    void reset(int productId);
    // Lay out and repaint it all.
    void relayout();
    // A pushed live bar is at the front of the bar list.
    void applyLiveBar(bool newBar);
    // Escape, Left, Up, Right and Down as the client view hands them over.
    void handleKey(int key);
    // Commands 32871, 32873 and 32875.
    void onToolCommand(int commandId);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void apply(const ChartEffect &effect, int modeBefore);
    void repaintAll();
    void repaintCross(CrossPoint cross);
    void openContextMenu(QPoint at);
    void showToolCursor(int mode);

    TradingData &m_trading;
    CKMainCallbacks m_callbacks;
    ChartViewport m_viewport;
    ChartPainter m_painter;
    QPointer<CLeftTips> m_leftTips;
    QImage m_canvas;
    QRegion m_stale; // parts of the canvas to paint again before the next copy
    bool m_leaveWanted = false;
};

} // namespace qs::ui
