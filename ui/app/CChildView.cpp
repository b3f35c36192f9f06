#include "ui/app/CChildView.h"

#include "core/app/ClientSession.h"
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

CChildView::CChildView(ClientSession &session, ClientEventPoster &events, CKMainCallbacks chart,
                       QWidget *parent)
    : QWidget(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("CChildView"));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);

    m_session.createView();

    TradingData &trading = m_session.trading();
    m_left = new CLeftTips(trading, this);
    PreparePanel(m_left, "CLeftTips", kLeftChildId);
    m_chart = new CKMain(m_session.bars(), m_session.signals(), trading,
                         trading.product(m_session.currentProduct()), std::move(chart), this);
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
    connect(&events, &ClientEventPoster::chartRelayoutRequested, this,
            &CChildView::chartRelayoutRequested);
    connect(&events, &ClientEventPoster::liveBarWasApplied, this, &CChildView::liveBarApplied);
    connect(&events, &ClientEventPoster::sessionWasEnded, this, &CChildView::endSession);

    m_watchdog.setInterval(kWatchdogPeriod);
    connect(&m_watchdog, &QTimer::timeout, this, &CChildView::onWatchdog);
    m_watchdog.start();
}

CChildView::~CChildView()
{
    m_watchdog.stop();
}

void CChildView::restartView(Cache cache)
{
    if (cache == Cache::Drop)
        m_session.dropProductCache();
    m_session.restartData();
    Q_EMIT chartResetRequested(m_session.currentProduct());
    m_session.openPushChannel();
    layoutPanels(size());
}

void CChildView::endChannels()
{
    m_watchdog.stop();
    m_session.endChannels();
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
    if (m_session.view().historyLoaded())
        Q_EMIT chartRelayoutRequested();
}

void CChildView::onWatchdog()
{
    if (!m_session.view().watchdogTick())
        return;
    SupportLog::line("push-reconnect", "no heartbeat within the watchdog period");
    m_watchdog.stop();
    m_session.closePushChannel();
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
        m_session.view().pageBack();
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
    m_session.closePushChannel();
    m_session.link().seam().messageBox(why == SessionEnd::KickedOff ? kKickedOffText
                                                                    : kLinkLostText,
                                       MessageIcon::None, MessageButtons::Ok);
    Q_EMIT restartRequested();
}

} // namespace qs::ui
