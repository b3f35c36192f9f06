// The stops and order change dialogs without a server: which bounds follow ticks and which
// follow the typed price.
#include "ui/orders/CModifyDelegate.h"
#include "ui/orders/COrderModify.h"

#include "core/protocol/TradingData.h"
#include "tests/ui/orders/OrderDialogTest.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace qs::ui {
namespace {

class ChangeDialogs : public test::OrderDialogTest {
protected:
    ChangeDialogs() { m_trading.replaceProducts({test::TradableProduct(1, 1765.30f, 1765.00f)}); }

    void tick(float buy, float sell)
    {
        m_trading.replaceProducts({test::TradableProduct(1, buy, sell)});
        KLineBar bar{};
        bar.productId = 1;
        m_notices.deliver(false, false, bar);
    }

    static QString Shown(QWidget &dialog, int id) { return Label(dialog, id)->text(); }
};

TEST_F(ChangeDialogs, PositionStopBoundsFollowTheLivePriceOfTheirSide)
{
    COrderModify buy(context(), test::Position(1, 1, 1, 1760));
    COrderModify sell(context(), test::Position(1, 2, 1, 1770));
    EXPECT_EQ(Shown(buy, 1052), QStringLiteral("1762.30"));
    EXPECT_EQ(Shown(buy, 1053), QStringLiteral("1768.30"));
    EXPECT_EQ(Shown(sell, 1052), QStringLiteral("1768.00"));
    EXPECT_EQ(Shown(sell, 1053), QStringLiteral("1762.00"));
    tick(1770.30f, 1770.00f);
    EXPECT_EQ(Shown(buy, 1052), QStringLiteral("1767.30"));
    EXPECT_EQ(Shown(sell, 1053), QStringLiteral("1767.00"));
}

TEST_F(ChangeDialogs, OrderPriceBoundsFollowTicksAndStopBoundsTheTypedPrice)
{
    DelegateInfo order = test::Order(1, 1, 1, 1760);
    CModifyDelegate dialog(context(), order);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(Shown(dialog, 1048), QStringLiteral("1763.30"));
    EXPECT_EQ(Shown(dialog, 1049), QStringLiteral("1767.30"));
    EXPECT_EQ(Shown(dialog, 1052), QStringLiteral("1757.00"));
    EXPECT_EQ(Shown(dialog, 1053), QStringLiteral("1763.00"));

    tick(1770.30f, 1770.00f);
    EXPECT_EQ(Shown(dialog, 1048), QStringLiteral("1768.30"));
    EXPECT_EQ(Shown(dialog, 1052), QStringLiteral("1757.00")) << "ticks leave the stop bounds";

    auto *price = dialog.findChild<QLineEdit *>(QStringLiteral("edit1042"));
    price->setFocus();
    price->setText(QStringLiteral("1750.00"));
    EXPECT_EQ(Shown(dialog, 1052), QStringLiteral("1757.00")) << "not while typing";
    dialog.findChild<QLineEdit *>(QStringLiteral("edit1031"))->setFocus();
    EXPECT_EQ(Shown(dialog, 1052), QStringLiteral("1747.00"));
    EXPECT_EQ(Shown(dialog, 1053), QStringLiteral("1753.00"));
}

} // namespace
} // namespace qs::ui
