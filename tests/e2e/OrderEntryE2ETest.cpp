// The two open dialogs through the main frame against the demo server.
#include "core/platform/PriceFormat.h"
#include "tests/e2e/TradingFrame.h"
#include "ui/CommandIds.h"
#include "ui/orders/COpenOrder.h"
#include "ui/orders/COpenOrderZj.h"
#include "ui/widgets/CPriceStatic.h"

#include <QComboBox>
#include <QLineEdit>

#include <cmath>

namespace qs::ui {
namespace {

class OrderEntryE2E : public test::TradingFrameTest {
protected:
    void SetUp() override
    {
        TradingFrameTest::SetUp();
        startFrame();
    }

    // Runs the frame command; act gets the dialog once its modal loop runs and must end it or
    // leave it for the test to close.
    template<typename Dialog>
    void runDialog(int commandId, std::function<void(Dialog &)> act)
    {
        WhenShown<Dialog>(std::move(act));
        m_frame->onCommand(commandId);
    }
};

TEST_F(OrderEntryE2E, AMarketBuyOpensAPositionShownInTheListsAndOnTheChart)
{
    int result = 0;
    runDialog<COpenOrder>(command::kMarketOpen, [&](COpenOrder &dialog) {
        QObject::connect(&dialog, &QDialog::finished, [&](int code) { result = code; });
        Click(dialog, 1044);
    });
    EXPECT_EQ(result, COpenOrder::kSucceeded);
    const std::vector<HoldInfo> positions = trading().positions();
    ASSERT_EQ(positions.size(), 1u);
    EXPECT_EQ(positions[0].productId, kProduct);
    EXPECT_EQ(trading().positionSummary().size(), 1u);
    // The chart draws the position's line and label with its next paint.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const std::vector<HoldInfo> drawn = trading().positions();
            return !drawn.empty() && drawn[0].labelRect[2] > drawn[0].labelRect[0];
        },
        5000));
    ASSERT_FALSE(m_seam.sounds().empty());
    EXPECT_EQ(m_seam.sounds().back().resourceId, 190);
    EXPECT_TRUE(m_seam.messages().empty());
}

// Silver's stop distance 0.15 is no float: a stop-loss exactly that far below the buy price is
// placed all the same.
TEST_F(OrderEntryE2E, AStopLossExactlyTheStopDistanceBelowTheBuyPriceIsPlaced)
{
    constexpr std::int32_t kSilver = 2;
    QString stopLoss;
    int result = 0;
    runDialog<COpenOrder>(command::kMarketOpen, [&](COpenOrder &dialog) {
        QObject::connect(&dialog, &QDialog::finished, [&](int code) { result = code; });
        auto *picker = dialog.findChild<QComboBox *>(QStringLiteral("combo1025"));
        picker->setCurrentIndex(picker->findData(kSilver));
        const double buy
            = dialog.findChild<CPriceStatic *>(QStringLiteral("label1037"))->text().toDouble();
        stopLoss = QString::number(buy - 0.150, 'f', 3);
        dialog.findChild<QLineEdit *>(QStringLiteral("edit1028"))->setText(stopLoss);
        Click(dialog, 1044);
        if (dialog.isVisible())
            dialog.reject();
    });
    EXPECT_TRUE(m_seam.messages().empty()) << m_seam.messageTexts().front();
    EXPECT_EQ(result, COpenOrder::kSucceeded);
    const std::vector<HoldInfo> positions = trading().positions();
    ASSERT_EQ(positions.size(), 1u);
    EXPECT_EQ(positions[0].productId, kSilver);
    EXPECT_EQ(QString::number(positions[0].stopLoss, 'f', 3), stopLoss);
}

TEST_F(OrderEntryE2E, ALimitSellPlacesAWeekOrder)
{
    const TypeInfo product = trading().product(kProduct);
    const double limit = product.sellPrice + 10 * product.limitDistance;
    int result = 0;
    runDialog<COpenOrderZj>(command::kLimitOpen, [&](COpenOrderZj &dialog) {
        QObject::connect(&dialog, &QDialog::finished, [&](int code) { result = code; });
        dialog.findChild<QLineEdit *>(QStringLiteral("edit1042"))
            ->setText(QString::number(limit, 'f', product.digits));
        Click(dialog, 1063);
    });
    EXPECT_EQ(result, COpenOrderZj::kSucceeded);
    const std::vector<DelegateInfo> orders = trading().pendingOrders();
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_NE(orders[0].side, 1);
    EXPECT_EQ(orders[0].validity, 2);
    EXPECT_NEAR(orders[0].orderPrice, limit, std::pow(10.0, -product.digits));
    EXPECT_TRUE(m_seam.messages().empty());
}

TEST_F(OrderEntryE2E, EveryRefusalOfTheServerShowsItsTextAndKeepsTheDialogOpen)
{
    const TypeInfo product = trading().product(kProduct);
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
    EXPECT_TRUE(trading().positions().empty());
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
    EXPECT_EQ(trading().positions().size(), 1u) << "exactly the one the server opened";
    EXPECT_EQ(m_server.account("demo").positions.size(), 1u);
}

} // namespace
} // namespace qs::ui
