#include "ui/chart/CKMain.h"

#include "core/chart/ChartLabelHit.h"
#include "core/trading/TradingData.h"
#include "ui/CommandIds.h"
#include "ui/chart/CLeftTips.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <chrono>
#include <thread>

namespace qs::ui {

namespace {

// Key repeat would otherwise outrun the layouts.
constexpr std::chrono::milliseconds kKeyPause{10};

int ModeOfCommand(int commandId)
{
    switch (commandId) {
    case command::kMousePlain:
        return kToolPlain;
    case command::kMouseCross:
        return kToolCross;
    case command::kMouseDrag:
        return kToolMove;
    default:
        return -1;
    }
}

} // namespace

CKMain::CKMain(BarList &bars, SignalList &signals, TradingData &trading, const TypeInfo &product,
               CKMainCallbacks callbacks, QWidget *parent)
    : QWidget(parent)
    , m_trading(trading)
    , m_callbacks(std::move(callbacks))
    , m_viewport(bars, signals, trading, product)
    , m_painter(m_viewport, signals, trading)
{
    setObjectName(QStringLiteral("CKMain"));
    // Every pixel comes from the canvas: nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_viewport.resize(width(), height());
}

void CKMain::setLeftTips(CLeftTips *leftTips)
{
    m_leftTips = leftTips;
}

bool CKMain::isToolChecked(int commandId) const
{
    return ModeOfCommand(commandId) == toolMode();
}

void CKMain::reset(int productId)
{
    // The product's record is copied before the layout lock is taken: kTypeInfoLock is innermost.
    const TypeInfo product = m_trading.product(productId);
    const int before = toolMode();
    apply(m_viewport.reset(product), before);
}

void CKMain::relayout()
{
    const int before = toolMode();
    ChartEffect effect = m_viewport.layOut();
    effect.repaint = true;
    apply(effect, before);
}

void CKMain::applyLiveBar(bool newBar)
{
    const int before = toolMode();
    apply(m_viewport.applyLiveBar(newBar), before);
}

void CKMain::handleKey(int key)
{
    ChartKey chartKey;
    switch (key) {
    case Qt::Key_Escape:
        chartKey = ChartKey::Escape;
        break;
    case Qt::Key_Left:
        chartKey = ChartKey::Left;
        break;
    case Qt::Key_Up:
        chartKey = ChartKey::Up;
        break;
    case Qt::Key_Right:
        chartKey = ChartKey::Right;
        break;
    case Qt::Key_Down:
        chartKey = ChartKey::Down;
        break;
    default:
        return;
    }
    const int before = toolMode();
    apply(m_viewport.key(chartKey), before);
    if (chartKey != ChartKey::Escape)
        std::this_thread::sleep_for(kKeyPause);
}

void CKMain::onToolCommand(int commandId)
{
    const int mode = ModeOfCommand(commandId);
    if (mode < 0)
        return;
    const int before = toolMode();
    apply(m_viewport.setToolMode(mode), before);
}

void CKMain::apply(const ChartEffect &effect, int modeBefore)
{
    if (effect.details != ChartEffect::Details::Keep && m_leftTips)
        m_leftTips->setDetailsOn(effect.details == ChartEffect::Details::On);
    if (effect.detailsBar && m_leftTips) {
        if (effect.axisChanged) {
            const ViewportState state = m_viewport.state();
            m_leftTips->updateAxis(-1, state.highest, state.scale,
                                   state.verticalOffset + kAxisOriginShift,
                                   m_viewport.product().productId);
        }
        m_leftTips->updateDetails(*effect.detailsBar, effect.detailsY);
    }
    if (effect.repaint) {
        repaintAll();
    } else {
        if (effect.repaintRect) {
            const RepaintRect &r = *effect.repaintRect;
            const QRect rect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
            m_stale += rect;
            update(rect);
        }
        if (effect.crossMoved) {
            repaintCross(effect.oldCross);
            repaintCross(effect.newCross);
        }
    }
    const int mode = toolMode();
    if (mode != modeBefore) {
        showToolCursor(mode);
        if (m_callbacks.toolModeChanged)
            m_callbacks.toolModeChanged(mode);
    }
}

void CKMain::repaintAll()
{
    m_stale = QRegion(rect());
    update();
}

void CKMain::repaintCross(CrossPoint cross)
{
    if (!cross.shown())
        return;
    // The canvas holds no cross: copying its lines back erases it.
    update(QRect(cross.x, 0, 1, height() + 1));
    update(QRect(0, cross.y, width() + 1, 1));
}

void CKMain::showToolCursor(int mode)
{
    if (mode == kToolMove)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void CKMain::paintEvent(QPaintEvent *event)
{
    if (m_canvas.size() != size()) {
        m_canvas = QImage(size(), QImage::Format_RGB32);
        m_stale = QRegion(rect());
    }
    PaintedAxis axis;
    bool painted = false;
    if (!m_stale.isEmpty()) {
        QPainter canvas(&m_canvas);
        canvas.setClipRegion(m_stale);
        axis = m_painter.paint(canvas, size());
        m_stale = QRegion();
        painted = true;
    }
    {
        QPainter window(this);
        const QRect area = event->rect();
        window.drawImage(area, m_canvas, area);
        DrawCross(window, m_viewport.state().cross, size());
    }
    if (painted && m_leftTips)
        m_leftTips->updateAxis(axis.gridStep, axis.highest, axis.scale,
                               axis.verticalOffset + kAxisOriginShift, axis.productId);
}

void CKMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int before = toolMode();
    apply(m_viewport.resize(event->size().width(), event->size().height()), before);
}

void CKMain::mouseMoveEvent(QMouseEvent *event)
{
    if (toolMode() != kToolCross)
        return;
    // The leave notice is asked for only by tracking in cross mode.
    m_leaveWanted = true;
    const QPoint at = event->position().toPoint();
    apply(m_viewport.mouseMove(at.x(), at.y()), kToolCross);
}

void CKMain::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    const int before = toolMode();
    if (event->button() == Qt::LeftButton)
        apply(m_viewport.leftButtonDown(at.x(), at.y()), before);
    else if (event->button() == Qt::RightButton)
        openContextMenu(at);
}

void CKMain::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    const int before = toolMode();
    apply(m_viewport.leftButtonUp(at.x(), at.y()), before);
}

void CKMain::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (!m_leaveWanted)
        return;
    m_leaveWanted = false;
    const int before = toolMode();
    apply(m_viewport.mouseLeave(), before);
}

void CKMain::openContextMenu(QPoint at)
{
    const int before = toolMode();
    apply(m_viewport.leaveToolMode(), before);

    const TypeInfo product = m_viewport.product();
    const ChartLabelHit hit = FindChartLabel(m_trading, product.productId, at.x(), at.y());

    QMenu menu(this);
    menu.setObjectName(QStringLiteral("chartPopup"));
    const auto item = [&menu](int commandId, const QString &text) {
        QAction *action = menu.addAction(text);
        action->setData(commandId);
    };
    switch (hit.kind) {
    case ChartLabelHit::Kind::Position:
        if (m_callbacks.selectPosition)
            m_callbacks.selectPosition(hit.number);
        item(command::kModifyPosition, QStringLiteral("修改订单"));
        item(command::kMarketClose, QStringLiteral("市价平仓"));
        break;
    case ChartLabelHit::Kind::Order:
        if (m_callbacks.selectOrder)
            m_callbacks.selectOrder(hit.number);
        item(command::kModifyOrder, QStringLiteral("修改指价"));
        item(command::kDeleteOrder, QStringLiteral("删除指价"));
        break;
    case ChartLabelHit::Kind::None:
        if (product.tradable == 1) {
            item(command::kMarketOpen, QStringLiteral("市价建仓单"));
            item(command::kLimitOpen, QStringLiteral("指价建仓单"));
            menu.addSeparator();
        }
        item(command::kReport, QStringLiteral("交易报表"));
        break;
    }
    const QAction *chosen = menu.exec(mapToGlobal(at));
    if (chosen != nullptr && m_callbacks.command)
        m_callbacks.command(chosen->data().toInt());
}

} // namespace qs::ui
