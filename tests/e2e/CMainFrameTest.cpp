#include "ui/app/CMainFrame.h"

#include "core/BuildConfig.h"
#include "core/app/ClientSession.h"
#include "core/app/ClientSettings.h"
#include "core/market/ProductCatalog.h"
#include "core/protocol/Connection.h"
#include "core/protocol/OrderRecords.h"
#include "core/protocol/RequestHeader.h"
#include "core/trading/TradingData.h"
#include "server/DemoServer.h"
#include "tests/support/DemoLogin.h"
#include "tests/support/HangingListener.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFolder.h"
#include "ui/CommandIds.h"
#include "ui/TradingNotices.h"
#include "ui/app/CChildView.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <cmath>

namespace qs::ui {
namespace {

using test::SeamRecorder;

std::vector<int> ToolbarCommands(const QToolBar *bar)
{
    std::vector<int> ids;
    for (const QAction *action : bar->actions())
        ids.push_back(action->isSeparator()
                          ? 0
                          : action->objectName().mid(QStringLiteral("command").size()).toInt());
    return ids;
}

QStringList PopupTitles(CMainFrame &frame)
{
    QStringList titles;
    for (const QAction *popup : frame.menuBar()->actions())
        titles << popup->text();
    return titles;
}

std::vector<int> VisibleProductCommands(CMainFrame &frame)
{
    std::vector<int> ids;
    for (int id = 30001; id <= 30028; ++id)
        if (frame.action(id)->isVisible())
            ids.push_back(id);
    return ids;
}

class MainFrameTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.start());
        ASSERT_TRUE(test::LogInToDemo(m_server.endpoint(), m_seam, m_session));
        m_seam.clear();
    }

    // A frame on a fresh client state, as a program start makes them.
    std::unique_ptr<CMainFrame> makeFrame() { return makeFrame(m_server.endpoint()); }
    std::unique_ptr<CMainFrame> makeFrame(const ServerEndpoint &endpoint)
    {
        m_clients.push_back(std::make_unique<ClientSession>(ServerLink(endpoint, m_session, m_seam),
                                                            folder(), m_events));
        return std::make_unique<CMainFrame>(*m_clients.back(), m_events);
    }
    ClientSession &client() { return *m_clients.back(); }
    TradingData &trading() { return client().trading(); }

    DataFolder folder() const { return DataFolder(m_temp.path()); }

    // Shown, trading and with the history of product 1 loaded; none when it would not load.
    std::unique_ptr<CMainFrame> startFrameOnProductOne()
    {
        ClientSettings stored;
        stored.setLastProduct(1);
        stored.write(folder());
        auto frame = makeFrame();
        frame->show();
        frame->startTrading();
        if (!QTest::qWaitFor([&] { return client().view().historyLoaded(); }, 10000))
            frame.reset();
        return frame;
    }

    // An order through the request port, as the order dialogs will send it.
    std::int32_t placeOrder(std::int32_t kind, float price)
    {
        OpenOrderBody body{};
        body.productId = 1;
        body.price = price;
        body.lots = 1;
        body.kind = kind;
        body.direction = 1;
        body.validity = 1;
        body.slippage = 5;
        Connection connection = OpenRequestConnection(m_server.endpoint(), m_seam);
        const RequestHeader header = RequestHeader::make(cmd::kOpenOrder, m_session);
        std::int32_t result = 0;
        EXPECT_TRUE(connection.sendAll(&header, sizeof header));
        EXPECT_TRUE(connection.sendAll(&body, sizeof body));
        EXPECT_EQ(ReceiveExact(connection, &result, sizeof result), 4);
        return result;
    }

    server::DemoServer m_server{test::QuietDemoOptions()};
    test::TempFolder m_temp;
    SeamRecorder m_seam;
    Session m_session;
    ClientEventPoster m_events;
    std::vector<std::unique_ptr<ClientSession>> m_clients;
};

TEST_F(MainFrameTest, TitleMenusAndToolbarsAreComplete)
{
    auto frame = makeFrame();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quillstar——提高操盘成功率 让投资更有道理"));
    EXPECT_EQ(PopupTitles(*frame), (QStringList{QStringLiteral("系统"), QStringLiteral("产品(&K)"),
                                                QStringLiteral("套利"), QStringLiteral("工具"),
                                                QStringLiteral("帮助")}));
    for (int id : {32877, 32901, 32803, 32816, 32903, 32832, 32785, 32867, 32869, 32871, 32873,
                   32875, 32795, 57664, 32784, 32787, 32788})
        EXPECT_NE(frame->action(id), nullptr) << id;
    EXPECT_EQ(frame->action(30001)->text(), QStringLiteral("伦敦金(T+0)"));
    EXPECT_EQ(frame->action(30028)->text(), QStringLiteral("白银/加元"));

    EXPECT_EQ(ToolbarCommands(frame->commonToolBar()),
              (std::vector<int>{32784, 0, 32871, 32873, 32875, 32787, 32788, 32785}));
    const std::vector<int> products = ToolbarCommands(frame->productToolBar());
    ASSERT_EQ(products.size(), 28u);
    for (int i = 0; i < 28; ++i)
        EXPECT_EQ(products[static_cast<std::size_t>(i)], 30001 + i);
    EXPECT_EQ(frame->productToolBar()->iconSize(), QSize(32, 32));
    EXPECT_TRUE(m_seam.messages().empty());
}

TEST_F(MainFrameTest, StartFillsTheFiveCollectionsAndTheChart)
{
    ASSERT_EQ(placeOrder(order_kind::kMarket, m_server.quote(1).buy), 1);
    ASSERT_EQ(placeOrder(order_kind::kLimit, m_server.quote(1).buy - 20), 1);

    auto frame = makeFrame();
    frame->show();
    frame->startTrading();
    EXPECT_EQ(trading().products().size(), 28u);
    EXPECT_EQ(trading().positions().size(), 1u);
    EXPECT_EQ(trading().positionSummary().size(), 1u);
    EXPECT_EQ(trading().pendingOrders().size(), 1u);
    EXPECT_GT(trading().account().occupiedMargin, 0.0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return client().view().historyLoaded(); }, 10000));
    EXPECT_TRUE(client().pushChannelOpen());
    EXPECT_TRUE(m_seam.messages().empty());
}

TEST_F(MainFrameTest, ExitCancelSendsNothing)
{
    auto frame = makeFrame();
    frame->show();
    m_seam.answerWith(MessageResult::Cancel);
    frame->onCommand(command::kExit);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_FALSE(frame->close()); // the close box asks the same question
    EXPECT_TRUE(frame->isVisible());

    const auto messages = m_seam.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "确认退出Quillstar？");
    EXPECT_EQ(messages[0].caption, "确认退出");
    EXPECT_EQ(messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(m_server.requestCount(cmd::kLogout), 0);
}

TEST_F(MainFrameTest, ExitOkSendsTheLogoutNoticeAndCloses)
{
    for (bool fromMenu : {true, false}) {
        auto frame = makeFrame();
        frame->show();
        m_seam.answerWith(MessageResult::Ok);
        const int before = m_server.requestCount(cmd::kLogout);
        if (fromMenu)
            frame->onCommand(command::kExit);
        else
            frame->close();
        EXPECT_FALSE(frame->isVisible());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return m_server.requestCount(cmd::kLogout) == before + 1; }, 5000));
        ASSERT_TRUE(test::LogInToDemo(m_server.endpoint(), m_seam, m_session));
    }
}

// Exit (confirmed close, then the frame destroyed) while the push thread waits on a tick refresh
// the server answers after 30 s, or while the push channel's connect hangs: both take a moment,
// not a network time-out.
TEST_F(MainFrameTest, ExitNeverWaitsOnTheNetwork)
{
    const test::HangingListener hanging;
    ASSERT_EQ(placeOrder(order_kind::kLimit, static_cast<float>(m_server.quote(1).buy - 20)), 1);
    for (const bool stalledRefresh : {true, false}) {
        std::unique_ptr<CMainFrame> frame;
        if (stalledRefresh) {
            frame = startFrameOnProductOne();
            ASSERT_TRUE(frame);
            m_server.answerLate(cmd::kPendingOrders, std::chrono::milliseconds(30000));
            const int asked = m_server.requestCount(cmd::kPendingOrders);
            m_server.setPrice(1, m_server.quote(1).last - 40); // reaches the waiting order
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return m_server.requestCount(cmd::kPendingOrders) > asked; }, 5000));
        } else {
            ServerEndpoint endpoint = m_server.endpoint();
            endpoint.pushPort = hanging.port();
            frame = makeFrame(endpoint);
            frame->show();
            frame->startTrading();
            QTest::qWait(200); // the push thread is in its connect
        }
        m_seam.answerWith(MessageResult::Ok);
        QElapsedTimer exit;
        exit.start();
        EXPECT_TRUE(frame->close());
        frame.reset();
        EXPECT_LT(exit.elapsed(), 3000) << stalledRefresh;
        m_server.clearReplyFaults();
        ASSERT_TRUE(test::LogInToDemo(m_server.endpoint(), m_seam, m_session));
    }
}

TEST_F(MainFrameTest, RestartClosesWithoutPromptOrLogout)
{
    auto frame = makeFrame();
    int restarts = 0;
    frame->setRestartHandler([&] {
        ++restarts;
        frame->closeForRestart();
    });
    frame->show();
    frame->onCommand(command::kRelogin);
    EXPECT_EQ(restarts, 1);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_TRUE(m_seam.messages().empty());
    EXPECT_EQ(m_server.requestCount(cmd::kLogout), 0);
}

TEST_F(MainFrameTest, WebCommandsOpenTheirPagesAndToolbarsComeBack)
{
    auto frame = makeFrame();
    frame->show();
    for (int id : {32877, 32901, 32795, 32787, 32788})
        frame->onCommand(id);
    const std::string site = build::kWebSite;
    EXPECT_EQ(m_seam.webPages(), (std::vector<std::string>{
                                     site + "uc/BuyCart.jsp?val1=3", site + "articlelist/HJ_MLDSGG",
                                     site + "article/HJ_JSPCJWT", site, build::kBlogUrl}));

    frame->productToolBar()->hide();
    EXPECT_FALSE(frame->action(command::kShowProductBar)->isChecked());
    frame->onCommand(command::kShowProductBar);
    EXPECT_TRUE(frame->productToolBar()->isVisible());
    EXPECT_TRUE(frame->action(command::kShowProductBar)->isChecked());
    // Showing is all it does: a second press does not hide the bar.
    frame->onCommand(command::kShowProductBar);
    EXPECT_TRUE(frame->productToolBar()->isVisible());
}

TEST_F(MainFrameTest, MenusShrinkToTheServersProducts)
{
    const QString products = QStringLiteral("产品(&K)");
    const QString ratios = QStringLiteral("套利");
    {
        m_server.offerOnlyProducts({1, 20});
        auto frame = makeFrame();
        EXPECT_EQ(VisibleProductCommands(*frame), (std::vector<int>{30001, 30020}));
        EXPECT_TRUE(PopupTitles(*frame).contains(products));
        EXPECT_TRUE(PopupTitles(*frame).contains(ratios));
        const auto *menu = frame->menuBar()->findChild<QMenu *>(QStringLiteral("menuProducts"));
        EXPECT_EQ(menu->actions().size(), 1);
    }
    {
        m_server.offerOnlyProducts({2, 5, 19});
        auto frame = makeFrame();
        EXPECT_TRUE(PopupTitles(*frame).contains(products));
        EXPECT_FALSE(PopupTitles(*frame).contains(ratios));
    }
    {
        // An empty list keeps the products of before: start from a fresh collection.
        m_server.offerOnlyProducts({});
        const std::unique_ptr<CMainFrame> made = makeFrame();
        CMainFrame &frame = *made;
        EXPECT_TRUE(VisibleProductCommands(frame).empty());
        EXPECT_FALSE(PopupTitles(frame).contains(products));
        EXPECT_FALSE(PopupTitles(frame).contains(ratios));
        EXPECT_EQ(frame.currentProduct(), 1);
        EXPECT_EQ(PopupTitles(frame).size(), 3);
    }
}

TEST_F(MainFrameTest, InitialProductAndSwitching)
{
    ClientSettings stored;
    stored.setLastProduct(7);
    ASSERT_TRUE(stored.write(folder()));
    m_server.offerOnlyProducts({3, 7, 9});
    {
        auto frame = makeFrame();
        EXPECT_EQ(frame->currentProduct(), 7);
        EXPECT_TRUE(frame->action(30007)->isChecked());
    }
    m_server.offerOnlyProducts({3, 9});
    const std::unique_ptr<CMainFrame> made = makeFrame();
    CMainFrame &frame = *made;
    EXPECT_EQ(frame.currentProduct(), 3); // 7 is gone: the first of the list
    EXPECT_EQ(client().currentProduct(), 3);

    // The current product again: nothing happens, not even a write of the settings file.
    std::filesystem::remove(folder().file("data"));
    frame.onCommand(30003);
    EXPECT_FALSE(std::filesystem::exists(folder().file("data")));

    frame.onCommand(30009);
    EXPECT_EQ(frame.currentProduct(), 9);
    EXPECT_EQ(client().currentProduct(), 9);
    EXPECT_TRUE(frame.action(30009)->isChecked());
    EXPECT_FALSE(frame.action(30003)->isChecked());
    EXPECT_EQ(ClientSettings::read(folder()).lastProduct(), 9);
}

TEST_F(MainFrameTest, TheCurrentProductKeepsItsCheckAndTheIdleTextComesBackAfterATip)
{
    auto frame = makeFrame();
    frame->show();
    QAction *current = frame->action(ProductCommandId(frame->currentProduct()));
    ASSERT_TRUE(current->isChecked());
    current->trigger(); // a checkable item unchecks itself before the command runs
    EXPECT_TRUE(current->isChecked());

    const auto *idle = frame->statusBar()->findChild<QLabel *>(QStringLiteral("paneIdle"));
    ASSERT_NE(idle, nullptr);
    EXPECT_EQ(idle->text(), QStringLiteral("就绪"));
    QStatusTipEvent tip(current->statusTip());
    QCoreApplication::sendEvent(frame.get(), &tip);
    EXPECT_FALSE(idle->isVisible());
    QStatusTipEvent gone{QString()};
    QCoreApplication::sendEvent(frame.get(), &gone);
    EXPECT_TRUE(idle->isVisible());
}

// Notes the product of every 1031 it hears.
class TickListener : public QWidget, public NoticeReceiver {
public:
    std::vector<std::int32_t> products;

    void ticked(const KLineBar &tick) override { products.push_back(tick.productId); }
};

TEST_F(MainFrameTest, ASteeredPriceMovesTheAccountFiguresTheNoticesAndTheLiveBar)
{
    ASSERT_EQ(placeOrder(order_kind::kMarket, m_server.quote(1).buy), 1);
    auto frame = startFrameOnProductOne();
    ASSERT_TRUE(frame);
    TickListener listener;
    frame->notices().add(&listener, &listener);

    const double before = trading().accountFigures().floatingProfit;
    for (double step : {1.02, 0.97}) {
        const double price = m_server.quote(1).last * step;
        m_server.setPrice(1, price);
        const auto close = static_cast<std::int32_t>(
            std::llround(m_server.quote(1).last * std::pow(10.0, trading().product(1).digits)));
        KLineBar live{};
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return client().bars().copyLiveBar(live) && live.close == close; }, 10000));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return trading().accountFigures().floatingProfit != before; }, 10000));
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return !listener.products.empty(); }, 10000));
    EXPECT_EQ(listener.products.front(), 1);
    EXPECT_TRUE(m_seam.messages().empty());
}

TEST_F(MainFrameTest, AStalledTickRefreshNeverFreezesTheWindowWhenTheWatchdogReconnects)
{
    // A waiting order the next tick reaches makes the push thread refresh the orders, which the
    // server answers only after three seconds.
    ASSERT_EQ(placeOrder(order_kind::kLimit, m_server.quote(1).buy - 20), 1);
    auto frame = startFrameOnProductOne();
    ASSERT_TRUE(frame);
    CChildView *view = frame->clientView();
    const int connections = client().pushConnectionsMade();

    m_server.answerLate(cmd::kPendingOrders, std::chrono::milliseconds(3000));
    m_server.setHeartbeats(false);
    view->setWatchdogInterval(std::chrono::milliseconds(300));
    m_server.setPrice(1, m_server.quote(1).last - 40);

    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longestGap = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestGap = std::max(longestGap, now - last);
        last = now;
    });
    clock.start();
    beat.start(10);
    QTest::qWait(2500);
    beat.stop();

    EXPECT_LT(longestGap, 100);
    EXPECT_GT(client().pushConnectionsMade(), connections) << "the watchdog reconnected meanwhile";
    m_server.clearReplyFaults();
}

} // namespace
} // namespace qs::ui
