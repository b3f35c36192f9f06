#include "ui/app/CChildView.h"

#include "core/platform/DesktopSeam.h"
#include "core/protocol/TradingData.h"

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

CChildView::CChildView(const ServerEndpoint &endpoint, const Session &session, DataFolder folder,
                       DesktopSeam &seam, TradingData &trading, ClientViewHooks hooks,
                       QWidget *parent)
    : QWidget(parent)
    , m_endpoint(endpoint)
    , m_session(session)
    , m_seam(seam)
    , m_hooks(std::move(hooks))
    , m_state(endpoint, session, std::move(folder), m_bars, m_signals, *this)
    , m_push(*this)
{
    setObjectName(QStringLiteral("CChildView"));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);

    m_state.create(m_seam);

    m_left = new CLeftTips(trading, this);
    PreparePanel(m_left, "CLeftTips", kLeftChildId);
    m_chart = new CKMain(m_bars, m_signals, trading, trading.product(m_state.currentProduct()),
                         m_hooks.chart, this);
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

    m_watchdog.setInterval(kWatchdogPeriod);
    connect(&m_watchdog, &QTimer::timeout, this, &CChildView::onWatchdog);
    m_watchdog.start();
}

CChildView::~CChildView()
{
    m_watchdog.stop();
    m_push.close();
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
    m_push.open(m_endpoint, m_session);
}

void CChildView::closePushChannel()
{
    m_push.close();
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
    m_watchdog.stop();
    closePushChannel();
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

void CChildView::endSession(const char *text)
{
    if (m_sessionEnding)
        return;
    m_sessionEnding = true;
    m_watchdog.stop();
    closePushChannel();
    m_seam.messageBox(text, MessageIcon::None, MessageButtons::Ok);
    if (m_hooks.restartProgram)
        m_hooks.restartProgram();
}

void CChildView::requestRelayout()
{
    QMetaObject::invokeMethod(
        this, [this] { Q_EMIT chartRelayoutRequested(); }, Qt::QueuedConnection);
}

void CChildView::onBarRecord(const KLineBar &bar)
{
    if (m_hooks.priceTick)
        m_hooks.priceTick(bar);
    const PushedBarChange change = m_state.applyPushedBar(bar);
    if (change == PushedBarChange::LiveOverwritten || change == PushedBarChange::LiveInserted) {
        const bool newBar = change == PushedBarChange::LiveInserted;
        QMetaObject::invokeMethod(
            this, [this, newBar] { Q_EMIT liveBarApplied(newBar); }, Qt::QueuedConnection);
    }
}

void CChildView::onSignalRecord(const SignalRecord &signal)
{
    if (m_hooks.signalFeed) {
        m_hooks.signalFeed(signal);
        return;
    }
    if (signal.isWithdrawal())
        m_signals.withdraw(signal);
    else
        m_signals.add(signal);
    requestRelayout();
}

void CChildView::onMessage(const std::string &utf8)
{
    if (m_hooks.message)
        m_hooks.message(utf8);
}

void CChildView::onHeartbeat()
{
    m_state.noteHeartbeat();
}

void CChildView::onSessionClosed()
{
    QMetaObject::invokeMethod(
        this, [this] { endSession(kLinkLostText); }, Qt::QueuedConnection);
}

void CChildView::onKickedOff()
{
    QMetaObject::invokeMethod(
        this, [this] { endSession(kKickedOffText); }, Qt::QueuedConnection);
}

void CChildView::downloadedSignal(const SignalRecord &signal)
{
    const std::int32_t productId = signal.productId;
    QMetaObject::invokeMethod(
        this,
        [this, productId] {
            if (m_hooks.blinkUpkeep)
                m_hooks.blinkUpkeep(productId, 1);
        },
        Qt::QueuedConnection);
}

void CChildView::historyReady()
{
    requestRelayout();
}

} // namespace qs::ui
