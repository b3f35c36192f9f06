// The stops and order change dialogs without a server: which bounds follow ticks and which
// follow the typed price.
#include "ui/orders/CModifyDelegate.h"
#include "ui/orders/COrderModify.h"

#include "core/protocol/TradingData.h"
#include "tests/core/protocol/TradingTestRecords.h"
#include "tests/support/SeamRecorder.h"
#include "ui/TradingNotices.h"
#include "ui/chart/CPriceStatic.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace qs::ui {
namespace {

TypeInfo Gold(float buy, float sell)
{
    TypeInfo product = test::Product(1, 2, 1);
    product.tradable = 1;
    product.buyPrice = buy;
    product.sellPrice = sell;
    product.minLots = 1;
    product.maxLots = 5;
    product.lotStep = 1;
    product.stopDistance = 3;
    product.limitDistance = 2;
    return product;
}

class ChangeDialogs : public ::testing::Test {
protected:
    ChangeDialogs() { m_trading.replaceProducts({Gold(1765.30f, 1765.00f)}); }

    FrameContext context()
    {
        return FrameContext{ServerLink(m_endpoint, m_session, m_seam),
                            m_trading,
                            nullptr,
                            m_notices,
                            m_selection,
                            {},
                            [] {
                                return 1;
                            }};
    }

    void tick(float buy, float sell)
    {
        m_trading.replaceProducts({Gold(buy, sell)});
        KLineBar bar{};
        bar.productId = 1;
        m_notices.deliver(false, false, bar);
    }

    static QString Label(QWidget &dialog, int id)
    {
        return dialog.findChild<CPriceStatic *>(QStringLiteral("label%1").arg(id))->text();
    }

    ServerEndpoint m_endpoint;
    Session m_session;
    test::SeamRecorder m_seam;
    TradingData m_trading;
    TradingNotices m_notices;
    ChartSelection m_selection;
};

TEST_F(ChangeDialogs, PositionStopBoundsFollowTheLivePriceOfTheirSide)
{
    COrderModify buy(context(), test::Position(1, 1, 1, 1760));
    COrderModify sell(context(), test::Position(1, 2, 1, 1770));
    EXPECT_EQ(Label(buy, 1052), QStringLiteral("1762.30"));
    EXPECT_EQ(Label(buy, 1053), QStringLiteral("1768.30"));
    EXPECT_EQ(Label(sell, 1052), QStringLiteral("1768.00"));
    EXPECT_EQ(Label(sell, 1053), QStringLiteral("1762.00"));
    tick(1770.30f, 1770.00f);
    EXPECT_EQ(Label(buy, 1052), QStringLiteral("1767.30"));
    EXPECT_EQ(Label(sell, 1053), QStringLiteral("1767.00"));
}

TEST_F(ChangeDialogs, OrderPriceBoundsFollowTicksAndStopBoundsTheTypedPrice)
{
    DelegateInfo order = test::Order(1, 1, 1, 1760);
    CModifyDelegate dialog(context(), order);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(Label(dialog, 1048), QStringLiteral("1763.30"));
    EXPECT_EQ(Label(dialog, 1049), QStringLiteral("1767.30"));
    EXPECT_EQ(Label(dialog, 1052), QStringLiteral("1757.00"));
    EXPECT_EQ(Label(dialog, 1053), QStringLiteral("1763.00"));

    tick(1770.30f, 1770.00f);
    EXPECT_EQ(Label(dialog, 1048), QStringLiteral("1768.30"));
    EXPECT_EQ(Label(dialog, 1052), QStringLiteral("1757.00")) << "ticks leave the stop bounds";

    auto *price = dialog.findChild<QLineEdit *>(QStringLiteral("edit1042"));
    price->setFocus();
    price->setText(QStringLiteral("1750.00"));
    EXPECT_EQ(Label(dialog, 1052), QStringLiteral("1757.00")) << "not while typing";
    dialog.findChild<QLineEdit *>(QStringLiteral("edit1031"))->setFocus();
    EXPECT_EQ(Label(dialog, 1052), QStringLiteral("1747.00"));
    EXPECT_EQ(Label(dialog, 1053), QStringLiteral("1753.00"));
}

} // namespace
} // namespace qs::ui
