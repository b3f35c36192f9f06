#include "ui/app/CMainFrame.h"

#include "core/BuildConfig.h"
#include "core/app/ClientSession.h"
#include "core/market/ProductCatalog.h"
#include "core/platform/DesktopSeam.h"
#include "core/platform/SupportLog.h"
#include "core/protocol/LoginExchange.h"
#include "ui/CommandIds.h"
#include "ui/alerts/AlertCommands.h"
#include "ui/app/CAboutDlg.h"
#include "ui/app/CChildView.h"
#include "ui/app/FrameBars.h"
#include "ui/app/FrameTimers.h"
#include "ui/orders/OrderCommands.h"
#include "ui/orders/OrderWindowsFactory.h"
#include "ui/report/ReportCommands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

namespace qs::ui {

namespace {
constexpr int kClockTimerMs = 1000;
} // namespace

CMainFrame::CMainFrame(ClientSession &session, ClientEventPoster &events, QWidget *parent)
    : QMainWindow(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(titleText());
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    setFocusPolicy(Qt::StrongFocus);

    m_session.fetchProductsAndAlerts();
    m_bars = new FrameBars(*this, [this](int commandId) { onCommand(commandId); });
    createClientView(events);
    m_bars->buildToolBars();
    m_bars->buildStatusBar();
    m_bars->pruneProductMenus(PruneProductMenus(m_session.trading()));
    createTimers(events);
    createRouters();

    m_session.chooseInitialProduct();
    m_bars->updateProductChecks(m_session.selection());
    updateToolChecks();

    auto *clockTimer = new QTimer(this);
    connect(clockTimer, &QTimer::timeout, m_bars, &FrameBars::updateClock);
    clockTimer->start(kClockTimerMs);
    // A trading terminal fills the screen; the first size must fit it in any case.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        resize(screen->availableGeometry().size());
}

CMainFrame::~CMainFrame()
{
    // The session's workers post to this frame's windows: they end before the windows do.
    m_session.shutdown();
    delete m_view;
    m_view = nullptr;
}

std::int32_t CMainFrame::currentProduct() const
{
    return m_session.selection().current();
}

FrameContext CMainFrame::context()
{
    return FrameContext{m_session.link(), m_session.trading(), this, m_notices, [this] {
                            m_chart->relayout();
                        }};
}

void CMainFrame::createClientView(ClientEventPoster &events)
{
    CKMainCallbacks chart;
    chart.command = [this](int commandId) {
        onCommand(commandId);
    };
    chart.selectPosition = [this](const std::string &number) {
        m_chartSelection.position = number;
    };
    chart.selectOrder = [this](const std::string &number) {
        m_chartSelection.order = number;
    };
    chart.toolModeChanged = [this](int) {
        updateToolChecks();
    };
    m_view = new CChildView(m_session, events, std::move(chart), this);
    m_chart = m_view->chartPanel();
    setCentralWidget(m_view);
    connect(m_view, &CChildView::restartRequested, this, &CMainFrame::restart);
    connect(&events, &ClientEventPoster::tradingNoticesArrived, &m_notices,
            &TradingNotices::tickChanged);
    connect(&events, &ClientEventPoster::alertsWereChanged, &m_notices,
            &TradingNotices::notifyAlertsChanged);
    connect(&events, &ClientEventPoster::signalWasPushed, &m_notices,
            &TradingNotices::notifySignal);
    connect(&events, &ClientEventPoster::messageWasAdded, &m_notices,
            &TradingNotices::notifyMessage);
    connect(&events, &ClientEventPoster::pushStateWasChanged, &m_notices,
            &TradingNotices::notifyPushState);
    connect(m_view, &CChildView::pushReconnecting, &m_notices,
            [this] { m_notices.notifyPushState(PushState::Reconnecting); });
}

void CMainFrame::createTimers(ClientEventPoster &events)
{
    m_timers = new FrameTimers(
        action(command::kMessageManager), [this](int commandId) { return action(commandId); },
        m_session.link().seam(), m_session.flags(),
        [this](std::int32_t productId) { return m_session.signals().countFor(productId); },
        m_session.messages(), this);
    connect(&events, &ClientEventPoster::messageWasAdded, m_timers, &FrameTimers::onMessageAdded);
    connect(&events, &ClientEventPoster::blinkUpkeepRequested, m_timers,
            [this](int productId, int direction) { m_timers->blinkUpkeep(productId, direction); });
}

void CMainFrame::createRouters()
{
    m_routers.push_back(std::make_unique<OrderCommands>(
        context(), m_chartSelection, [this] { return m_session.currentProduct(); }));
    m_routers.push_back(std::make_unique<ReportCommands>(context(), MakeOrderWindows(context())));
    m_routers.push_back(std::make_unique<AlertCommands>(
        context(), m_session.messages(), [this] { m_timers->stopMessageBlink(); },
        m_session.alerts(), m_session.flags()));
}

void CMainFrame::startTrading()
{
    m_session.fetchAccount();
    restartView();
}

void CMainFrame::restartView(CChildView::Cache cache)
{
    m_view->restartView(cache);
}

QAction *CMainFrame::action(int commandId) const
{
    return m_bars->action(commandId);
}

QToolBar *CMainFrame::commonToolBar() const
{
    return m_bars->commonToolBar();
}

QToolBar *CMainFrame::productToolBar() const
{
    return m_bars->productToolBar();
}

void CMainFrame::selectProduct(std::int32_t productId)
{
    const bool changed = m_session.selection().select(productId);
    // Choosing the current product again toggled its checkable item off: put the mark back.
    m_bars->updateProductChecks(m_session.selection());
    if (changed) {
        m_session.changeProduct(productId);
        restartView();
    }
}

void CMainFrame::updateToolChecks()
{
    m_bars->setToolChecks([this](int id) { return m_chart->isToolChecked(id); });
}

QString CMainFrame::titleText()
{
    return QStringLiteral("%1——提高操盘成功率 让投资更有道理").arg(QApplication::applicationName());
}

void CMainFrame::onCommand(int commandId)
{
    if (IsProductCommand(commandId)) {
        selectProduct(commandId - kProductCommandBase);
        return;
    }
    for (const std::unique_ptr<CommandRouter> &router : m_routers) {
        if (router->route(commandId))
            return;
    }
    // The windows of the remaining commands arrive with their own features.
    runFrameCommand(commandId);
}

bool CMainFrame::runFrameCommand(int commandId)
{
    const std::string site = build::kWebSite;
    switch (commandId) {
    case command::kDeposit:
        m_session.link().seam().openWebPage(site + "uc/BuyCart.jsp?val1=3");
        return true;
    case command::kAwards:
        m_session.link().seam().openWebPage(site + "articlelist/HJ_MLDSGG");
        return true;
    case command::kSignalHelp:
        m_session.link().seam().openWebPage(site + "article/HJ_JSPCJWT");
        return true;
    case command::kWebSite:
        m_session.link().seam().openWebPage(site);
        return true;
    case command::kBlog:
        m_session.link().seam().openWebPage(build::kBlogUrl);
        return true;
    case command::kShowCommonBar:
        commonToolBar()->show();
        action(command::kShowCommonBar)->setChecked(true);
        return true;
    case command::kShowProductBar:
        productToolBar()->show();
        action(command::kShowProductBar)->setChecked(true);
        return true;
    case command::kReinitialise:
        restartView(CChildView::Cache::Drop);
        return true;
    case command::kMousePlain:
    case command::kMouseCross:
    case command::kMouseDrag:
        m_chart->onToolCommand(commandId);
        updateToolChecks();
        return true;
    case command::kOpenLogFolder: {
        // What a member sends to support; the folder is there as soon as the log is open.
        const std::filesystem::path logs = SupportLog::folder();
        if (!logs.empty())
            m_session.link().seam().openWebPage(
                QUrl::fromLocalFile(QString::fromStdString(logs.string()))
                    .toString()
                    .toStdString());
        return true;
    }
    case command::kAbout: {
        CAboutDlg about(this);
        about.exec();
        return true;
    }
    case command::kRelogin:
        restart();
        return true;
    case command::kExit:
        close();
        return true;
    default:
        return false;
    }
}

void CMainFrame::restart()
{
    if (m_restart)
        m_restart();
    else
        closeForRestart();
}

bool CMainFrame::confirmExit()
{
    const std::string prompt = "确认退出" + QApplication::applicationName().toStdString() + "？";
    if (m_session.link().seam().messageBox(prompt, MessageIcon::None, MessageButtons::OkCancel,
                                           "确认退出")
        != MessageResult::Ok)
        return false;
    // The window goes at once; the notice after it takes a moment at most.
    hide();
    SendLogoutNotice(m_session.link());
    return true;
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (!m_closingForRestart && !confirmExit()) {
        event->ignore();
        return;
    }
    event->accept();
}

void CMainFrame::closeForRestart()
{
    m_closingForRestart = true;
    m_timers->stopMessageBlink();
    m_view->endChannels();
    close();
}

void CMainFrame::focusInEvent(QFocusEvent *)
{
    centralWidget()->setFocus();
}

} // namespace qs::ui
