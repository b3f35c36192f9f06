#include "ui/app/CChildView.h"

#include "core/alerts/MessageList.h"
#include "core/platform/DesktopSeam.h"
#include "core/platform/SupportLog.h"
#include "core/trading/TradingData.h"

#include <QEvent>
#include <QKeyEvent>
#include <QResizeEvent>

namespace qs::ui {

namespace {

constexpr int kMinimumSide = 400;

void PreparePanel(QWidget *panel, const char *name, int childId)
{
    panel->setObjectName(QString::fromLatin1(name));
    panel->setProperty("childId", childId);
    panel->setFocusPolicy(Qt::StrongFocus);
    panel->show();
}

} // namespace

CChildView::CChildView(const ServerLink &link, DataFolder folder, TradingData &trading,
                       MessageList &messages, AlertList &alerts, CKMainCallbacks chart,
                       QWidget *parent)
    : QWidget(parent)
    , m_link(link)
    , m_state(link.endpoint(), link.session(), std::move(folder), m_bars, m_signals, m_events)
    , m_dispatch(trading, m_link, m_state, m_signals, messages, alerts, m_events)
    , m_push(m_dispatch)
{
    setObjectName(QStringLiteral("CChildView"));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);

    m_state.create(m_link.seam());

    m_left = new CLeftTips(trading, this);
    PreparePanel(m_left, "CLeftTips", kLeftChildId);
    m_chart = new CKMain(m_bars, m_signals, trading, trading.product(m_state.currentProduct()),
                         std::move(chart), this);
    PreparePanel(m_chart, "CKMain", kChartChildId);
    m_chart->setLeftTips(m_left);
    m_chart->setGeometry(rect());
    m_left->setGeometry(rect());
    installEventFilter(this);
    m_chart->installEventFilter(this);
    m_left->installEventFilter(this);
    connect(this, &CChildView::chartResetRequested, m_chart, &CKMain::reset);
    connect(this, &CChildView::chartRelayoutRequested, m_chart, &CKMain::relayout);
    connect(this, &CChildView::liveBarApplied, m_chart, &CKMain::applyLiveBar);
    connect(this, &CChildView::chartKeyPressed, m_chart, &CKMain::handleKey);
    connect(&m_events, &ClientEventPoster::chartRelayoutRequested, this,
            &CChildView::chartRelayoutRequested);
    connect(&m_events, &ClientEventPoster::liveBarWasApplied, this, &CChildView::liveBarApplied);
    connect(&m_events, &ClientEventPoster::sessionWasEnded, this, &CChildView::endSession);

    m_watchdog.setInterval(kWatchdogPeriod);
    connect(&m_watchdog, &QTimer::timeout, this, &CChildView::onWatchdog);
    m_watchdog.start();
}

CChildView::~CChildView()
{
    m_watchdog.stop();
    m_dispatch.detach();
    // The one place that waits for the workers: the program is ending.
    m_push.close();
    m_push.waitForThreads();
    m_state.shutdown();
}

void CChildView::changeProduct(std::int32_t productId)
{
    m_state.changeProduct(productId);
    restartView();
}

void CChildView::restartView()
{
    m_state.restart();
    finishRestart();
}

void CChildView::reinitialize()
{
    m_state.reinitialize();
    finishRestart();
}

void CChildView::finishRestart()
{
    Q_EMIT chartResetRequested(m_state.currentProduct());
    openPushChannel();
    layoutPanels(size());
}

void CChildView::openPushChannel()
{
    m_push.open(m_link.endpoint(), m_link.session());
}

void CChildView::closePushChannel()
{
    m_push.close();
}

void CChildView::endChannels()
{
    m_watchdog.stop();
    closePushChannel();
    m_state.download().abandon();
}

void CChildView::setWatchdogInterval(std::chrono::milliseconds period)
{
    const bool active = m_watchdog.isActive();
    m_watchdog.setInterval(period);
    if (active)
        m_watchdog.start();
}

void CChildView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutPanels(event->size());
}

void CChildView::layoutPanels(QSize size)
{
    if (size.width() <= kMinimumSide || size.height() <= kMinimumSide)
        return;
    // Held back while both move, as the panels were hidden while moved; hiding would take the
    // keyboard focus away from the chart.
    setUpdatesEnabled(false);
    m_left->setGeometry(0, 0, kLeftStripWidth, size.height());
    m_chart->setGeometry(kLeftStripWidth, 0, size.width() - kLeftStripWidth, size.height());
    setUpdatesEnabled(true);
    if (m_state.historyLoaded())
        Q_EMIT chartRelayoutRequested();
}

void CChildView::onWatchdog()
{
    if (!m_state.watchdogTick())
        return;
    SupportLog::line("push-reconnect", "no heartbeat within the watchdog period");
    m_watchdog.stop();
    closePushChannel();
    Q_EMIT pushReconnecting();
    restartView();
    m_watchdog.start();
}

bool CChildView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && takeKey(static_cast<QKeyEvent *>(event)->key()))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool CChildView::takeKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        m_state.pageBack();
        break;
    case Qt::Key_Escape:
    case Qt::Key_Up:
    case Qt::Key_Right:
        break;
    default:
        return false;
    }
    Q_EMIT chartKeyPressed(key);
    return true;
}

void CChildView::endSession(SessionEnd why)
{
    if (m_sessionEnding)
        return;
    m_sessionEnding = true;
    SupportLog::line("session-ended",
                     why == SessionEnd::KickedOff ? "logged in elsewhere" : "the link was lost");
    m_watchdog.stop();
    closePushChannel();
    m_link.seam().messageBox(why == SessionEnd::KickedOff ? kKickedOffText : kLinkLostText,
                             MessageIcon::None, MessageButtons::Ok);
    Q_EMIT restartRequested();
}

} // namespace qs::ui
