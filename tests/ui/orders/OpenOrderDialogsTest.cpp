// The two open dialogs without a server: the key policy, local refusals and price ticks.
#include "ui/orders/COpenOrder.h"
#include "ui/orders/COpenOrderZj.h"
#include "ui/orders/COrderSJClose.h"
#include "ui/widgets/MySpinButtonCtrl.h"

#include "core/trading/TradingData.h"
#include "tests/ui/orders/OrderDialogTest.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace qs::ui {
namespace {

using test::kNoServer;

// Nothing listens on the request port: whatever reaches the exchange shows kNoServer.
class OpenOrderDialogs : public test::OrderDialogTest {
protected:
    OpenOrderDialogs()
    {
        m_trading.replaceProducts(
            {test::TradableProduct(1, 1765.5f, 1765.0f), test::TradableProduct(2, 7.5f, 7.4f)});
    }

    template<typename Dialog>
    std::unique_ptr<Dialog> open()
    {
        auto dialog = std::make_unique<Dialog>(context(), 1);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return dialog;
    }

    static QStringList FieldTexts(QWidget &dialog)
    {
        QStringList texts;
        for (const QLineEdit *edit : dialog.findChildren<QLineEdit *>())
            texts << edit->text();
        for (const QComboBox *combo : dialog.findChildren<QComboBox *>())
            texts << combo->currentText();
        return texts;
    }

    // Enter in every field and on every button but the submit ones does nothing at all.
    void expectEnterIsInert(QDialog &dialog, const QStringList &submitNames)
    {
        const QStringList before = FieldTexts(dialog);
        QList<QWidget *> targets;
        for (QLineEdit *edit : dialog.findChildren<QLineEdit *>())
            targets << edit;
        for (QComboBox *combo : dialog.findChildren<QComboBox *>())
            targets << combo;
        for (QAbstractButton *button : dialog.findChildren<QAbstractButton *>())
            if (!submitNames.contains(button->objectName()))
                targets << button;
        for (QWidget *target : targets) {
            target->setFocus();
            for (int key : {Qt::Key_Return, Qt::Key_Enter})
                QTest::keyClick(target, static_cast<Qt::Key>(key));
        }
        EXPECT_TRUE(dialog.isVisible()) << dialog.objectName().toStdString();
        EXPECT_EQ(dialog.result(), 0);
        EXPECT_EQ(FieldTexts(dialog), before);
        EXPECT_TRUE(m_seam.messages().empty()) << m_seam.messageTexts().front();
    }
};

TEST_F(OpenOrderDialogs, EnterSubmitsOnlyFromASubmitButton)
{
    auto market = open<COpenOrder>();
    expectEnterIsInert(*market, {QStringLiteral("button1044"), QStringLiteral("button1045")});
    auto limit = open<COpenOrderZj>();
    expectEnterIsInert(*limit, {QStringLiteral("button1060"), QStringLiteral("button1063")});

    // Without a server the dialog stays open with its fields as typed.
    const QStringList typed = FieldTexts(*market);
    auto *buy = market->findChild<QAbstractButton *>(QStringLiteral("button1044"));
    buy->setFocus();
    QTest::keyClick(buy, Qt::Key_Return);
    EXPECT_EQ(m_seam.messageTexts(), std::vector<std::string>{kNoServer});
    EXPECT_TRUE(market->isVisible());
    EXPECT_EQ(FieldTexts(*market), typed);
}

TEST_F(OpenOrderDialogs, ABuyWithoutAPriceIsRefusedBeforeAnythingIsSent)
{
    m_trading.replaceProducts({test::TradableProduct(1, 0, 0)});
    auto market = open<COpenOrder>();
    EXPECT_EQ(market->findChild<CPriceStatic *>(QStringLiteral("label1037"))->text(),
              QStringLiteral("0.00"));
    market->submit(1);
    EXPECT_EQ(m_seam.messageTexts(), std::vector<std::string>{"无效价格"});
}

TEST_F(OpenOrderDialogs, OnlyATickOfTheDialogsProductMovesItsPrices)
{
    auto market = open<COpenOrder>();
    auto limit = open<COpenOrderZj>();
    auto *buyLabel = market->findChild<CPriceStatic *>(QStringLiteral("label1037"));
    auto *buyButton = limit->findChild<QAbstractButton *>(QStringLiteral("button1060"));
    EXPECT_EQ(buyLabel->text(), QStringLiteral("1765.50"));
    EXPECT_EQ(buyButton->text(), QStringLiteral("买/价格<1763.50 或者 > 1767.50"));

    m_trading.replaceProducts(
        {test::TradableProduct(1, 1770.5f, 1770.0f), test::TradableProduct(2, 8.5f, 8.4f)});
    KLineBar other{};
    other.productId = 2;
    m_notices.deliver(false, false, other);
    EXPECT_EQ(buyLabel->text(), QStringLiteral("1765.50"));
    EXPECT_EQ(buyButton->text(), QStringLiteral("买/价格<1763.50 或者 > 1767.50"));

    KLineBar own{};
    own.productId = 1;
    m_notices.deliver(false, false, own);
    EXPECT_EQ(buyLabel->text(), QStringLiteral("1770.50"));
    EXPECT_EQ(market->findChild<CPriceStatic *>(QStringLiteral("label1038"))->text(),
              QStringLiteral("1770.00"));
    EXPECT_EQ(buyButton->text(), QStringLiteral("买/价格<1768.50 或者 > 1772.50"));
}

// The allowed slippage starts at the buy spread in both market dialogs: up never lowers it, down
// steps one unit; a product picked later gets its own range.
TEST_F(OpenOrderDialogs, TheSlippageSpinStepsOneUnitEitherWayFromTheBuySpread)
{
    struct Row {
        float askSpread;
        const char *start, *up, *belowStart;
    };
    const auto step = [](QWidget &dialog, int clicks) {
        Find<MySpinButtonCtrl>(dialog, "spin", 1041)->stepBy(clicks);
        return Find(dialog, "edit", 1040)->text();
    };
    for (const Row &row :
         {Row{0.3f, "0.3000", "0.3001", "0.2999"}, Row{8.0f, "8.0000", "8.0001", "7.9999"},
          Row{0.0002f, "0.0002", "0.0003", "0.0001"}}) {
        TypeInfo product = test::TradableProduct(1, 1765.5f, 1765.0f);
        product.askSpread = row.askSpread;
        TypeInfo other = test::TradableProduct(2, 7.5f, 7.4f);
        other.askSpread = 8.0f;
        m_trading.replaceProducts({product, other});
        auto market = open<COpenOrder>();
        COrderSJClose close(context(), test::Position(1, 1, 1, 1760));
        for (QWidget *dialog : std::initializer_list<QWidget *>{market.get(), &close}) {
            EXPECT_EQ(Find(*dialog, "edit", 1040)->text(), QString::fromLatin1(row.start));
            EXPECT_EQ(step(*dialog, 1), QString::fromLatin1(row.up)) << row.start;
            EXPECT_EQ(step(*dialog, -2), QString::fromLatin1(row.belowStart)) << row.start;
        }
        auto *picker = Find<QComboBox>(*market, "combo", 1025);
        picker->setCurrentIndex(picker->findData(2));
        EXPECT_EQ(step(*market, 1), QStringLiteral("8.0001"));
    }
}

} // namespace
} // namespace qs::ui
