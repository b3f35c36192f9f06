#include "ui/app/CMainFrame.h"

#include "core/BuildConfig.h"
#include "core/chart/ClientSettings.h"
#include "core/chart/ProductCatalog.h"
#include "core/orders/DeleteOrder.h"
#include "core/platform/DesktopSeam.h"
#include "core/protocol/LoginExchange.h"
#include "core/protocol/TradingData.h"
#include "core/protocol/TradingQueries.h"
#include "core/signals/SoundIds.h"
#include "ui/alerts/CSmsManager.h"
#include "ui/app/CAboutDlg.h"
#include "ui/app/CChildView.h"
#include "ui/app/CommandIds.h"
#include "ui/app/FrameTimers.h"
#include "ui/widgets/ToolbarImages.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

namespace qs::ui {

namespace {
constexpr int kClockTimerMs = 1000;
} // namespace

CMainFrame::CMainFrame(const ServerEndpoint &endpoint, const Session &session, DataFolder folder,
                       DesktopSeam &seam, TradingData &trading, QWidget *parent)
    : QMainWindow(parent)
    , m_endpoint(endpoint)
    , m_session(session)
    , m_folder(std::move(folder))
    , m_seam(seam)
    , m_trading(trading)
    , m_priceTick(std::make_unique<PriceTick>(m_trading, m_endpoint, m_session, m_seam,
                                              static_cast<PriceTickEnvironment &>(*this)))
{
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(titleText());
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    setFocusPolicy(Qt::StrongFocus);

    FetchProductsAndAlerts(m_endpoint, m_session, m_trading, m_alerts, m_seam);
    buildMenus();
    createClientView();
    buildToolBars();
    buildStatusBar();
    pruneProductMenus();
    createSignalFeed();

    const std::int32_t initial = ChooseInitialProduct(m_trading, ClientSettings::read(m_folder));
    m_selection = ProductSelection(initial);
    m_view->setCurrentProduct(initial);
    updateProductChecks();
    updateToolChecks();

    auto *clockTimer = new QTimer(this);
    connect(clockTimer, &QTimer::timeout, this, &CMainFrame::updateClock);
    clockTimer->start(kClockTimerMs);
    resize(1280, 860);
}

CMainFrame::~CMainFrame()
{
    m_alive = false;
    // The view's workers call back into this frame: they end before its members do.
    delete m_view;
    m_view = nullptr;
}

void CMainFrame::createClientView()
{
    ClientViewHooks hooks;
    hooks.priceTick = [this](const KLineBar &bar) {
        m_priceTick->handle(bar);
    };
    // The feed and the timers exist before startTrading opens the push channel.
    hooks.signalFeed = [this](const SignalRecord &signal) {
        m_feed->feed(signal);
    };
    hooks.message = [this](const std::string &utf8) {
        m_timers->addMessage(utf8, sound::kMessage);
    };
    hooks.blinkUpkeep = [this](std::int32_t productId, int direction) {
        m_timers->blinkUpkeep(productId, direction);
    };
    hooks.restartProgram = [this] {
        if (m_restart)
            m_restart();
        else
            closeForRestart();
    };
    hooks.chart.command = [this](int commandId) {
        onCommand(commandId);
    };
    hooks.chart.selectPosition = [this](const std::string &number) {
        m_selectedPosition = number;
    };
    hooks.chart.selectOrder = [this](const std::string &number) {
        m_selectedOrder = number;
    };
    hooks.chart.toolModeChanged = [this](int) {
        updateToolChecks();
    };
    m_view = new CChildView(m_endpoint, m_session, m_folder, m_seam, m_trading, std::move(hooks),
                            this);
    setCentralWidget(m_view);
}

void CMainFrame::createSignalFeed()
{
    m_timers = new FrameTimers(
        action(command::kMessageManager), [this](int commandId) { return action(commandId); },
        m_seam, m_view->productFlags(),
        [this](std::int32_t productId) { return m_view->signalList().countFor(productId); },
        &std::chrono::system_clock::now, this);
    SignalFeedHooks hooks;
    hooks.currentProduct = [this] {
        return m_view->currentProduct();
    };
    hooks.relayoutChart = [this] {
        postChartRelayout();
    };
    // A withdrawn line goes with a full repaint of the chart, which its relayout gives.
    hooks.repaintChart = [this] {
        postChartRelayout();
    };
    hooks.blinkUpkeep = [this](std::int32_t productId, int direction) {
        m_timers->blinkUpkeep(productId, direction);
    };
    hooks.addMessage = [this](const std::string &utf8, int soundId) {
        m_timers->addMessage(utf8, soundId);
    };
    m_feed = std::make_unique<SignalFeed>(m_view->signalList(), m_trading, m_view->productFlags(),
                                          std::move(hooks));
}

void CMainFrame::startTrading()
{
    FetchAccountAtStart(m_endpoint, m_session, m_trading, m_seam);
    m_view->restartView();
}

bool CMainFrame::mainWindowExists()
{
    return m_alive;
}

void CMainFrame::relayoutChart()
{
    postChartRelayout();
}

void CMainFrame::postChartRelayout()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_view != nullptr)
                m_view->chartPanel()->relayout();
        },
        Qt::QueuedConnection);
}

void CMainFrame::notifyWindows(bool holdChanged, bool delegateChanged, const KLineBar &tick)
{
    QMetaObject::invokeMethod(
        this,
        [this, holdChanged, delegateChanged, tick] {
            m_registered.deliver(holdChanged, delegateChanged, tick);
        },
        Qt::QueuedConnection);
}

void CMainFrame::checkAlerts(const KLineBar &)
{
    // Price alerts are checked once the alert feature lands.
}

void CMainFrame::pruneProductMenus()
{
    const ProductMenuPruning pruning = PruneProductMenus(m_trading);
    QMenuBar *bar = menuBar();
    QMenu *products = bar->findChild<QMenu *>(QStringLiteral("menuProducts"));
    QMenu *ratios = bar->findChild<QMenu *>(QStringLiteral("menuRatios"));
    for (int commandId : pruning.removedCommands) {
        QAction *item = m_actions.at(commandId);
        // The toolbar button is hidden; the menu item goes.
        item->setVisible(false);
        products->removeAction(item);
        ratios->removeAction(item);
    }
    if (pruning.deleteRatioMenu)
        bar->removeAction(ratios->menuAction());
    if (pruning.deleteProductMenu)
        bar->removeAction(products->menuAction());
}

void CMainFrame::selectProduct(std::int32_t productId)
{
    if (!m_selection.select(productId))
        return;
    updateProductChecks();
    m_view->changeProduct(productId);
}

void CMainFrame::updateProductChecks()
{
    for (const CatalogueEntry &entry : kCatalogue) {
        const int commandId = ProductCommandId(entry.productId);
        m_actions.at(commandId)->setChecked(m_selection.isChecked(commandId));
    }
}

void CMainFrame::updateToolChecks()
{
    for (int id : {command::kMousePlain, command::kMouseCross, command::kMouseDrag})
        m_actions.at(id)->setChecked(m_view->chartPanel()->isToolChecked(id));
}

QString CMainFrame::titleText()
{
    return QStringLiteral("%1——提高操盘成功率 让投资更有道理").arg(QApplication::applicationName());
}

QAction *CMainFrame::makeAction(int commandId, const QString &text)
{
    auto *action = new QAction(text, this);
    action->setObjectName(QStringLiteral("command%1").arg(commandId));
    connect(action, &QAction::triggered, this, [this, commandId] { onCommand(commandId); });
    m_actions[commandId] = action;
    return action;
}

QAction *CMainFrame::action(int commandId) const
{
    const auto found = m_actions.find(commandId);
    return found == m_actions.end() ? nullptr : found->second;
}

void CMainFrame::buildMenus()
{
    QMenuBar *bar = menuBar();
    QMenu *system = bar->addMenu(QStringLiteral("系统"));
    system->setObjectName(QStringLiteral("menuSystem"));
    system->addAction(makeAction(command::kDeposit, QStringLiteral("入金")));
    system->addAction(makeAction(command::kAwards, QStringLiteral("获奖公告")));
    system->addSeparator();
    system->addAction(makeAction(command::kReinitialise, QStringLiteral("重新初始化")));
    system->addAction(makeAction(command::kProductSettings, QStringLiteral("产品设置")));
    system->addAction(makeAction(command::kPriceAlerts, QStringLiteral("到价提醒")));
    system->addSeparator();
    system->addAction(makeAction(command::kRelogin, QStringLiteral("重新登录")));
    system->addAction(makeAction(command::kExit, QStringLiteral("退出(&X)")));

    QMenu *products = bar->addMenu(QStringLiteral("产品(&K)"));
    products->setObjectName(QStringLiteral("menuProducts"));
    QMenu *ratios = bar->addMenu(QStringLiteral("套利"));
    ratios->setObjectName(QStringLiteral("menuRatios"));
    for (const CatalogueEntry &entry : kCatalogue) {
        QAction *item = makeAction(
            ProductCommandId(entry.productId),
            QString::fromUtf8(entry.caption.data(), static_cast<int>(entry.caption.size())));
        item->setCheckable(true);
        item->setStatusTip(item->text());
        item->setToolTip(item->text());
        (entry.productId < kFirstRatioProduct ? products : ratios)->addAction(item);
    }

    QMenu *tools = bar->addMenu(QStringLiteral("工具"));
    tools->setObjectName(QStringLiteral("menuTools"));
    tools->addAction(makeAction(command::kShowCommonBar, QStringLiteral("常用")));
    tools->addAction(makeAction(command::kShowProductBar, QStringLiteral("工具箱")));
    tools->addSeparator();
    tools->addAction(makeAction(command::kMousePlain, QStringLiteral("默认(无)")));
    tools->addAction(makeAction(command::kMouseCross, QStringLiteral("十字光标")));
    tools->addAction(makeAction(command::kMouseDrag, QStringLiteral("移动K线")));
    for (int id : {command::kShowCommonBar, command::kShowProductBar, command::kMousePlain,
                   command::kMouseCross, command::kMouseDrag})
        m_actions[id]->setCheckable(true);

    QMenu *help = bar->addMenu(QStringLiteral("帮助"));
    help->setObjectName(QStringLiteral("menuHelp"));
    help->addAction(makeAction(command::kSignalHelp, QStringLiteral("操盘信号说明")));
    help->addAction(makeAction(command::kAbout, QStringLiteral("关于 Quillstar(&A)...")));
}

void CMainFrame::buildToolBars()
{
    const QSize imageSize(kToolbarImageSize, kToolbarImageSize);
    m_commonBar = addToolBar(QStringLiteral("常用"));
    m_commonBar->setObjectName(QStringLiteral("toolbar195"));
    m_commonBar->setIconSize(imageSize);
    m_commonBar->setMovable(true);
    m_commonBar->addAction(makeAction(command::kMessageManager, QStringLiteral("消息管理")));
    m_actions[command::kMessageManager]->setStatusTip(QStringLiteral("打开消息管理器"));
    m_commonBar->addSeparator();
    for (int id : {command::kMousePlain, command::kMouseCross, command::kMouseDrag})
        m_commonBar->addAction(m_actions[id]);
    m_commonBar->addAction(makeAction(command::kWebSite, QStringLiteral("网站首页")));
    m_commonBar->addAction(makeAction(command::kBlog, QStringLiteral("博客")));
    m_commonBar->addAction(m_actions[command::kExit]);
    for (int id : {command::kMessageManager, command::kMousePlain, command::kMouseCross,
                   command::kMouseDrag, command::kWebSite, command::kBlog, command::kExit})
        m_actions[id]->setIcon(CommonButtonImage(id));

    // 28 buttons need a row of their own.
    addToolBarBreak();
    m_productBar = addToolBar(QStringLiteral("工具箱"));
    m_productBar->setObjectName(QStringLiteral("toolbar135"));
    m_productBar->setIconSize(imageSize);
    for (const CatalogueEntry &entry : kCatalogue) {
        QAction *item = m_actions[ProductCommandId(entry.productId)];
        item->setIcon(ProductButtonImage(entry.productId, item->text()));
        m_productBar->addAction(item);
    }

    m_actions[command::kShowCommonBar]->setChecked(true);
    m_actions[command::kShowProductBar]->setChecked(true);
    connect(m_commonBar, &QToolBar::visibilityChanged, m_actions[command::kShowCommonBar],
            &QAction::setChecked);
    connect(m_productBar, &QToolBar::visibilityChanged, m_actions[command::kShowProductBar],
            &QAction::setChecked);
}

void CMainFrame::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->showMessage(QStringLiteral("就绪"));
    for (const char *indicator : {"CAP", "NUM", "SCRL"}) {
        auto *pane = new QLabel(QString::fromLatin1(indicator), bar);
        pane->setEnabled(false);
        bar->addPermanentWidget(pane);
    }
    m_clock = new QLabel(QStringLiteral("00:00:00"), bar);
    m_clock->setObjectName(QStringLiteral("pane101"));
    bar->addPermanentWidget(m_clock);
}

void CMainFrame::updateClock()
{
    m_clock->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

void CMainFrame::openPage(const std::string &url)
{
    m_seam.openWebPage(url);
}

void CMainFrame::onCommand(int commandId)
{
    if (IsProductCommand(commandId)) {
        selectProduct(commandId - kProductCommandBase);
        return;
    }
    const std::string site = build::kWebSite;
    switch (commandId) {
    case command::kDeposit:
        openPage(site + "uc/BuyCart.jsp?val1=3");
        break;
    case command::kAwards:
        openPage(site + "articlelist/HJ_MLDSGG");
        break;
    case command::kSignalHelp:
        openPage(site + "article/HJ_JSPCJWT");
        break;
    case command::kWebSite:
        openPage(site);
        break;
    case command::kBlog:
        openPage(build::kBlogUrl);
        break;
    case command::kShowCommonBar:
        m_commonBar->show();
        m_actions[command::kShowCommonBar]->setChecked(true);
        break;
    case command::kShowProductBar:
        m_productBar->show();
        m_actions[command::kShowProductBar]->setChecked(true);
        break;
    case command::kReinitialise:
        m_view->reinitialize();
        break;
    case command::kMousePlain:
    case command::kMouseCross:
    case command::kMouseDrag:
        m_view->chartPanel()->onToolCommand(commandId);
        updateToolChecks();
        break;
    case command::kMessageManager:
        openMessageManager();
        break;
    case command::kAbout: {
        CAboutDlg about(this);
        about.exec();
        break;
    }
    case command::kDeleteOrder:
        deleteSelectedOrder();
        break;
    case command::kRelogin:
        if (m_restart)
            m_restart();
        else
            closeForRestart();
        break;
    case command::kExit:
        close();
        break;
    default:
        // The windows of the remaining commands arrive with their own features.
        break;
    }
}

void CMainFrame::openMessageManager()
{
    m_timers->stopMessageBlink();
    CSmsManager manager(m_timers->messages(), this);
    manager.exec();
}

void CMainFrame::deleteSelectedOrder()
{
    // The chart names the order; the record is looked up again now.
    const std::vector<DelegateInfo> orders = m_trading.pendingOrders();
    const auto selected = std::find_if(orders.begin(), orders.end(), [this](const DelegateInfo &o) {
        return !m_selectedOrder.empty() && o.number() == m_selectedOrder;
    });
    if (selected == orders.end())
        return;
    DeleteOrder(*selected, m_endpoint, m_session, m_trading, m_seam,
                [this] { m_view->chartPanel()->relayout(); });
}

bool CMainFrame::confirmExit()
{
    const std::string prompt = "确认退出" + QApplication::applicationName().toStdString() + "？";
    if (m_seam.messageBox(prompt, MessageIcon::None, MessageButtons::OkCancel, "确认退出")
        != MessageResult::Ok)
        return false;
    SendLogoutNotice(m_endpoint, m_session, m_seam);
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
    close();
}

void CMainFrame::focusInEvent(QFocusEvent *)
{
    m_view->setFocus();
}

} // namespace qs::ui
