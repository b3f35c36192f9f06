// Closing, changing stops and changing orders through the chart and the dialogs, against the
// demo server.
#include "tests/e2e/TradingFrame.h"
#include "ui/TradingNotices.h"
#include "ui/chart/CKMain.h"
#include "ui/orders/CModifyDelegate.h"
#include "ui/orders/COrderModify.h"
#include "ui/orders/COrderSJClose.h"
#include "ui/orders/COrderZJClose.h"
#include "ui/widgets/CPriceStatic.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>

namespace qs::ui {
namespace {

class OrderChangeE2E : public test::TradingFrameTest {
protected:
    // Right click on the first drawn label of a position (or an order), then the popup's item.
    template<typename Dialog>
    void chooseOnLabel(bool position, const QString &item, std::function<void(Dialog &)> act)
    {
        int rect[4] = {};
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                if (position) {
                    const std::vector<HoldInfo> drawn = trading().positions();
                    if (!drawn.empty())
                        std::copy(drawn[0].labelRect, drawn[0].labelRect + 4, rect);
                } else {
                    const std::vector<DelegateInfo> drawn = trading().pendingOrders();
                    if (!drawn.empty())
                        std::copy(drawn[0].labelRect, drawn[0].labelRect + 4, rect);
                }
                return rect[2] > rect[0];
            },
            5000));
        WhenShown<QMenu>([item](QMenu &menu) {
            for (QAction *action : menu.actions())
                if (action->text() == item)
                    menu.setActiveAction(action);
            QTest::keyClick(&menu, Qt::Key_Return);
        });
        WhenShown<Dialog>(std::move(act));
        CKMain *chart = m_frame->clientView()->chartPanel();
        QTest::mouseClick(chart, Qt::RightButton, {},
                          QPoint((rect[0] + rect[2]) / 2, (rect[1] + rect[3]) / 2));
    }

    static void Type(QWidget &dialog, int fieldId, double value)
    {
        dialog.findChild<QLineEdit *>(QStringLiteral("edit%1").arg(fieldId))
            ->setText(QString::number(value, 'f', 2));
    }
};

TEST_F(OrderChangeE2E, PartOfAPositionClosedFromItsLabelOnTheChart)
{
    ASSERT_EQ(placeOrder(order_kind::kMarket, m_server.quote(kProduct).buy, 2), 1);
    startFrame();
    int result = -1;
    chooseOnLabel<COrderSJClose>(true, QStringLiteral("市价平仓"), [&](COrderSJClose &dialog) {
        QObject::connect(&dialog, &QDialog::finished, [&](int code) { result = code; });
        dialog.findChild<QLineEdit *>(QStringLiteral("edit1032"))->setText(QStringLiteral("0.5"));
        Click(dialog, 1059);
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return result != -1; }, 5000));
    EXPECT_EQ(result, COrderSJClose::kSucceeded);
    ASSERT_EQ(trading().positions().size(), 1u);
    EXPECT_DOUBLE_EQ(trading().positions()[0].lotsHeld, 1.5);
    EXPECT_DOUBLE_EQ(m_server.account("demo").positions[0].lotsHeld, 1.5);
    EXPECT_TRUE(m_seam.messages().empty());
}

TEST_F(OrderChangeE2E, NewStopsMoveThePositionsLinesOnTheChart)
{
    ASSERT_EQ(placeOrder(order_kind::kMarket, m_server.quote(kProduct).buy), 1);
    startFrame();
    double stopLoss = 0;
    double takeProfit = 0;
    chooseOnLabel<COrderModify>(true, QStringLiteral("修改订单"), [&](COrderModify &dialog) {
        const auto bound = [&](int id) {
            return dialog.findChild<CPriceStatic *>(QStringLiteral("label%1").arg(id))
                ->text()
                .toDouble();
        };
        stopLoss = bound(1052) - 5;
        takeProfit = bound(1053) + 5;
        Type(dialog, 1033, stopLoss);
        Type(dialog, 1034, takeProfit);
        Click(dialog, 1051);
    });
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const std::vector<HoldInfo> drawn = trading().positions();
            return drawn.size() == 1 && drawn[0].stopLossY != 0 && drawn[0].takeProfitY != 0;
        },
        5000));
    const HoldInfo changed = trading().positions()[0];
    EXPECT_NEAR(changed.stopLoss, stopLoss, 0.01);
    EXPECT_NEAR(changed.takeProfit, takeProfit, 0.01);
    EXPECT_GT(changed.stopLossY, changed.takeProfitY) << "a buy's stop-loss lies below";
    EXPECT_TRUE(m_seam.messages().empty());
}

TEST_F(OrderChangeE2E, AnOrderChangeOfTheValidityKeepsTheNumbers)
{
    ASSERT_EQ(placeOrder(order_kind::kLimit, m_server.quote(kProduct).buy - 20), 1);
    startFrame();
    const DelegateInfo before = trading().pendingOrders().at(0);
    chooseOnLabel<CModifyDelegate>(false, QStringLiteral("修改指价"), [&](CModifyDelegate &dialog) {
        dialog.findChild<QComboBox *>(QStringLiteral("combo1026"))->setCurrentIndex(0);
        Click(dialog, 1051);
    });
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return trading().pendingOrders().at(0).validity == order_validity::kTradingDay; },
        5000));
    const DelegateInfo after = trading().pendingOrders().at(0);
    EXPECT_EQ(after.lots, before.lots);
    EXPECT_EQ(after.orderPrice, before.orderPrice);
    EXPECT_EQ(after.stopLoss, before.stopLoss);
    EXPECT_EQ(after.takeProfit, before.takeProfit);

    // A code the server gives for a closed market reads "无效价格" in this dialog.
    m_server.forceNextResult(cmd::kChangeOrder, 6);
    CModifyDelegate dialog(frameContext(), after);
    dialog.submit();
    EXPECT_EQ(m_seam.messageTexts(), std::vector<std::string>{"无效价格"});
}

TEST_F(OrderChangeE2E, ASecondLimitCloseReplacesTheFirstAndIsDrawnAtItsPrice)
{
    ASSERT_EQ(placeOrder(order_kind::kMarket, m_server.quote(kProduct).buy), 1);
    startFrame();
    const HoldInfo position = trading().positions().at(0);
    const TypeInfo product = trading().product(kProduct);
    for (double above : {10.0, 12.0}) {
        COrderZJClose dialog(frameContext(), position);
        Type(dialog, 1042, product.sellPrice + above * product.limitDistance);
        Click(dialog, 1044);
        EXPECT_TRUE(dialog.succeeded()) << above;
    }
    const std::vector<DelegateInfo> orders = trading().pendingOrders();
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0].relatedPositionText(), position.number());
    EXPECT_NEAR(orders[0].orderPrice, product.sellPrice + 12 * product.limitDistance, 0.01);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const std::vector<DelegateInfo> drawn = trading().pendingOrders();
            return drawn.size() == 1 && drawn[0].orderY > 0;
        },
        5000));

    // An outcome of 1 without an order number is no success.
    m_server.forceNextResult(cmd::kClosePosition, 1);
    COrderZJClose dialog(frameContext(), position);
    Type(dialog, 1042, product.sellPrice + 14 * product.limitDistance);
    Click(dialog, 1044);
    EXPECT_FALSE(dialog.succeeded());
    EXPECT_EQ(m_seam.messageTexts(), std::vector<std::string>{"委托失败，未知错误"});
    EXPECT_EQ(trading().pendingOrders().size(), 1u);
}

} // namespace
} // namespace qs::ui
