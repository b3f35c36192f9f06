// The market and the limit close: lot ranges, closing prices, bounds, and what a submit sends
// and does with the answer.
#include "ui/orders/COrderSJClose.h"
#include "ui/orders/COrderZJClose.h"

#include "core/protocol/Commands.h"
#include "core/trading/TradingData.h"
#include "tests/support/TradingTestRecords.h"
#include "tests/ui/orders/OrderDialogTest.h"
#include "ui/widgets/CFloatNumberEdit.h"
#include "ui/widgets/MySpinButtonCtrl.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <tuple>

namespace qs::ui {
namespace {

using test::kNoServer;

// Last 1765.00 with half a point of spread each side; lots in tenths.
TypeInfo Gold()
{
    TypeInfo product = test::Product(1, 2, 1, 0.5f, 0.5f);
    product.lastPrice = 1765.0f;
    product.buyPrice = 1765.5f;
    product.sellPrice = 1764.5f;
    product.lotDecimals = 1;
    product.stopDistance = 3;
    return product;
}

HoldInfo Held(std::int32_t side)
{
    HoldInfo position = test::Position(1, side, 2.0, 1760.0);
    WriteAnsiField(position.positionNumber, "P1001");
    return position;
}

double DoubleAt(const test::Bytes &bytes, std::size_t offset)
{
    double value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

class CloseDialogs : public test::OrderDialogTest {
protected:
    CloseDialogs()
    {
        m_trading.replaceProducts({Gold(), test::Product(2, 2, 1)});
        m_trading.replacePositions({Held(1)});
    }

    template<typename Dialog>
    std::unique_ptr<Dialog> open(std::int32_t side)
    {
        auto dialog = std::make_unique<Dialog>(context(), Held(side));
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return dialog;
    }
};

TEST_F(CloseDialogs, TwoLotsCloseFromOneLotUnitToOneUnitAboveTheHolding)
{
    auto market = open<COrderSJClose>(1);
    EXPECT_EQ(Find<QLineEdit>(*market, "edit", 1031)->text(), QStringLiteral("2.0"));
    auto limit = open<COrderZJClose>(1);
    EXPECT_EQ(Find<QLabel>(*limit, "label", 1039)->text(), QStringLiteral("(可填范围0.1-2)"));
    for (auto [dialog, field, spin] :
         {std::tuple<QWidget *, int, int>{market.get(), 1032, 1033}, {limit.get(), 1037, 1032}}) {
        CFloatNumberEdit *lots = Find(*dialog, "edit", field);
        EXPECT_EQ(lots->text(), QStringLiteral("2.0"));
        auto *stepper = Find<MySpinButtonCtrl>(*dialog, "spin", spin);
        stepper->stepBy(5);
        EXPECT_EQ(lots->text(), QStringLiteral("2.1"));
        stepper->stepBy(-50);
        EXPECT_EQ(lots->text(), QStringLiteral("0.1"));
    }

    // Without a server the market close stays open.
    Click(*market, 1059);
    EXPECT_EQ(m_seam.messageTexts(), std::vector<std::string>{kNoServer});
    EXPECT_TRUE(market->isVisible());
}

TEST_F(CloseDialogs, TheClosingPriceIsTheOtherSidesAndFollowsTicks)
{
    auto buy = open<COrderSJClose>(1);
    EXPECT_EQ(Label(*buy, 1048)->text(), QStringLiteral("1764.50"));
    EXPECT_EQ(Label(*buy, 1048)->colour(), kSellColour);
    auto sell = open<COrderSJClose>(2);
    CPriceStatic *closing = Label(*sell, 1048);
    EXPECT_EQ(closing->text(), QStringLiteral("1765.50"));
    EXPECT_EQ(closing->colour(), kBuyColour);
    auto limit = open<COrderZJClose>(2);
    CPriceStatic *limitClosing = Label(*limit, 1048);
    EXPECT_EQ(limitClosing->text(), QString());
    EXPECT_EQ(limitClosing->colour(), kBuyColour);

    TypeInfo moved = Gold();
    moved.buyPrice = 1770.5f;
    moved.sellPrice = 1769.5f;
    moved.askSpread = 1.0f; // the limit close keeps the copy it opened with
    m_trading.replaceProducts({moved, test::Product(2, 2, 1)});
    m_notices.deliver(false, false, test::Tick(2, 800, 2));
    EXPECT_EQ(closing->text(), QStringLiteral("1765.50"));
    EXPECT_EQ(limitClosing->text(), QString());

    // The limit close prices from the tick: last plus the buy spread for a sell position.
    m_notices.deliver(false, false, test::Tick(1, 177000, 2));
    EXPECT_EQ(closing->text(), QStringLiteral("1770.50"));
    EXPECT_EQ(limitClosing->text(), QStringLiteral("1770.50"));
}

TEST_F(CloseDialogs, LeavingTheLimitPriceSetsTheStopBoundsUnlessItIsZero)
{
    auto limit = open<COrderZJClose>(1);
    CFloatNumberEdit *price = Find(*limit, "edit", 1042);
    QWidget *elsewhere = Find(*limit, "edit", 1037);
    CPriceStatic *stopLoss = Label(*limit, 1052);
    CPriceStatic *takeProfit = Label(*limit, 1053);
    EXPECT_EQ(stopLoss->colour(), kSellColour);
    const auto leave = [&](const QString &text) {
        price->setFocus();
        price->setText(text);
        elsewhere->setFocus();
    };

    leave(QStringLiteral("0"));
    EXPECT_EQ(stopLoss->text(), QString());
    EXPECT_EQ(takeProfit->text(), QString());
    // Buy position: 1780 - 0.5 sell spread, then +/- 3 stop distance.
    leave(QStringLiteral("1780.00"));
    EXPECT_EQ(stopLoss->text(), QStringLiteral("1782.50"));
    EXPECT_EQ(takeProfit->text(), QStringLiteral("1776.50"));
    leave(QStringLiteral("0.00"));
    EXPECT_EQ(stopLoss->text(), QStringLiteral("1782.50"));
    EXPECT_EQ(takeProfit->text(), QStringLiteral("1776.50"));

    Click(*limit, 1044);
    EXPECT_EQ(m_seam.messageTexts(), std::vector<std::string>{kNoServer});
    EXPECT_TRUE(limit->isVisible());
    EXPECT_FALSE(limit->succeeded());
}

TEST_F(CloseDialogs, AMarketCloseSendsWhatIsShownAndRefetchesOnItsConnection)
{
    test::Script script;
    script.expect(test::Header(cmd::kClosePosition)).expectAny(256).send(test::Int32Bytes(1));
    test::ExpectHoldingsRefresh(script, test::Account(1000, 0));
    test::ScriptedPeer peer(script);
    m_endpoint = peer.endpoint();

    auto dialog = open<COrderSJClose>(1);
    Find(*dialog, "edit", 1032)->setText(QStringLiteral("0.5"));
    Find<QAbstractButton>(*dialog, "check", 1039)->click();
    Click(*dialog, 1059);

    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
    const test::Bytes received = peer.received();
    ASSERT_GE(received.size(), 24u + 256u);
    const test::Bytes body(received.begin() + 24, received.begin() + 24 + 256);
    EXPECT_DOUBLE_EQ(DoubleAt(body, 80), 0.5);
    EXPECT_DOUBLE_EQ(DoubleAt(body, 88), 1764.5);
    EXPECT_DOUBLE_EQ(DoubleAt(body, 96), 0) << "slippage unticked";
    EXPECT_EQ(peer.connectionsAccepted(), 1u);
    EXPECT_TRUE(m_trading.positions().empty()) << "the holdings came again";
    EXPECT_EQ(dialog->result(), COrderSJClose::kSucceeded);
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_EQ(m_seam.sounds().size(), 1u);
    EXPECT_EQ(m_seam.sounds()[0].resourceId, 190);
    EXPECT_EQ(m_relayouts, 1);
    EXPECT_TRUE(m_seam.messages().empty());
}

} // namespace
} // namespace qs::ui
