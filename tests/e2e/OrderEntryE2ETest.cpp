// The two open dialogs through the main frame against the demo server.
#include "core/chart/ClientSettings.h"
#include "core/orders/OrderRules.h"
#include "core/protocol/Commands.h"
#include "core/protocol/TradingData.h"
#include "server/DemoServer.h"
#include "tests/e2e/DemoLogin.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFolder.h"
#include "ui/CommandIds.h"
#include "ui/app/CChildView.h"
#include "ui/app/CMainFrame.h"
#include "ui/orders/COpenOrder.h"
#include "ui/orders/COpenOrderZj.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace qs::ui {
namespace {

constexpr std::int32_t kProduct = 1;

class OrderEntryE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.start());
        ASSERT_TRUE(test::LogInToDemo(m_server.endpoint(), m_seam, m_session));
        m_seam.clear();
        ClientSettings stored;
        stored.setLastProduct(kProduct);
        ASSERT_TRUE(stored.write(DataFolder(m_temp.path())));
        m_frame = std::make_unique<CMainFrame>(ServerLink(m_server.endpoint(), m_session, m_seam),
                                               DataFolder(m_temp.path()), m_trading);
        m_frame->show();
        m_frame->startTrading();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return m_frame->clientView()->state().historyLoaded(); }, 10000));
    }

    // Runs the frame command; act gets the dialog once its modal loop runs and must end it or
    // leave it for the test to close.
    template<typename Dialog>
    void runDialog(int commandId, const std::function<void(Dialog &)> &act)
    {
        QTimer::singleShot(0, [&act] {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (auto *dialog = qobject_cast<Dialog *>(top); dialog && dialog->isVisible()) {
                    act(*dialog);
                    return;
                }
            }
            ADD_FAILURE() << "no dialog";
        });
        m_frame->onCommand(commandId);
    }

    static void Click(QWidget &dialog, int buttonId)
    {
        dialog.findChild<QAbstractButton *>(QStringLiteral("button%1").arg(buttonId))->click();
    }

    server::DemoServer m_server{test::QuietDemoOptions()};
    test::TempFolder m_temp;
    test::SeamRecorder m_seam;
    Session m_session;
    TradingData m_trading;
    std::unique_ptr<CMainFrame> m_frame;
};

TEST_F(OrderEntryE2E, AMarketBuyOpensAPositionShownInTheListsAndOnTheChart)
{
    int result = 0;
    runDialog<COpenOrder>(command::kMarketOpen, [&](COpenOrder &dialog) {
        QObject::connect(&dialog, &QDialog::finished, [&](int code) { result = code; });
        Click(dialog, 1044);
    });
    EXPECT_EQ(result, COpenOrder::kSucceeded);
    const std::vector<HoldInfo> positions = m_trading.positions();
    ASSERT_EQ(positions.size(), 1u);
    EXPECT_EQ(positions[0].productId, kProduct);
    EXPECT_EQ(m_trading.positionSummary().size(), 1u);
    // The chart draws the position's line and label with its next paint.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const std::vector<HoldInfo> drawn = m_trading.positions();
            return !drawn.empty() && drawn[0].labelRect[2] > drawn[0].labelRect[0];
        },
        5000));
    ASSERT_FALSE(m_seam.sounds().empty());
    EXPECT_EQ(m_seam.sounds().back().resourceId, 190);
    EXPECT_TRUE(m_seam.messages().empty());
}

TEST_F(OrderEntryE2E, ALimitSellPlacesAWeekOrder)
{
    const TypeInfo product = m_trading.product(kProduct);
    const double limit = product.sellPrice + 10 * product.limitDistance;
    int result = 0;
    runDialog<COpenOrderZj>(command::kLimitOpen, [&](COpenOrderZj &dialog) {
        QObject::connect(&dialog, &QDialog::finished, [&](int code) { result = code; });
        dialog.findChild<QLineEdit *>(QStringLiteral("edit1042"))
            ->setText(QString::number(limit, 'f', product.digits));
        Click(dialog, 1063);
    });
    EXPECT_EQ(result, COpenOrderZj::kSucceeded);
    const std::vector<DelegateInfo> orders = m_trading.pendingOrders();
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_NE(orders[0].side, 1);
    EXPECT_EQ(orders[0].validity, 2);
    EXPECT_NEAR(orders[0].orderPrice, limit, std::pow(10.0, -product.digits));
    EXPECT_TRUE(m_seam.messages().empty());
}

TEST_F(OrderEntryE2E, EveryRefusalOfTheServerShowsItsTextAndKeepsTheDialogOpen)
{
    const TypeInfo product = m_trading.product(kProduct);
    const std::vector<std::pair<std::int32_t, std::string>> cases{
        {2, "价格已经变动，请重新下单"},
        {3, "保证金不足"},
        {4, "挂单价必须远离市价至少" + FormatG(product.limitDistance) + "元"},
        {5, "止损或盈利必须远离建仓价" + FormatG(product.stopDistance) + "元"},
        {6, "闭市中，禁止交易"},
        {7, "无效价格"},
        {9, "未知错误"},
    };
    runDialog<COpenOrder>(command::kMarketOpen, [&](COpenOrder &dialog) {
        for (const auto &[code, text] : cases) {
            m_seam.clear();
            m_server.forceNextResult(cmd::kOpenOrder, code);
            Click(dialog, 1044);
            EXPECT_EQ(m_seam.messageTexts(), std::vector<std::string>{text}) << code;
            EXPECT_TRUE(dialog.isVisible()) << code;
        }
        dialog.reject();
    });
    EXPECT_TRUE(m_trading.positions().empty());
}

TEST_F(OrderEntryE2E, AReplyCutAfterTheOrderWasCarriedOutStillShowsThePosition)
{
    m_server.closeInReply(cmd::kOpenOrder, 0);
    runDialog<COpenOrder>(command::kMarketOpen, [&](COpenOrder &dialog) {
        Click(dialog, 1044);
        EXPECT_EQ(m_seam.messageTexts(), std::vector<std::string>{"未知错误"});
        EXPECT_TRUE(dialog.isVisible());
        dialog.reject();
    });
    m_server.clearReplyFaults();
    EXPECT_EQ(m_trading.positions().size(), 1u) << "exactly the one the server opened";
    EXPECT_EQ(m_server.account("demo").positions.size(), 1u);
}

} // namespace
} // namespace qs::ui
