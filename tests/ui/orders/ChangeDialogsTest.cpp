// The stops and order change dialogs without a server: which bounds follow ticks and which
// follow the typed price.
#include "ui/orders/CModifyDelegate.h"
#include "ui/orders/COpenOrder.h"
#include "ui/orders/COrderModify.h"
#include "ui/orders/COrderSJClose.h"

#include "core/trading/TradingData.h"
#include "tests/ui/orders/OrderDialogTest.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPalette>
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

// Screen readers and UI automation read what the eye reads: painted prices and bounds by their
// caption with their text as the value, the new stops by their captions.
TEST_F(ChangeDialogs, EveryShownValueIsReadableByItsCaption)
{
    COpenOrder open(context(), 1);
    COrderSJClose close(context(), test::Position(1, 1, 1, 1760));
    COrderModify stops(context(), test::Position(1, 1, 1, 1760));
    CModifyDelegate order(context(), test::Order(1, 1, 1, 1760));
    const struct {
        QWidget *dialog;
        const char *control;
        const char *name;
        const char *value; // nullptr: a field, whose value its own text gives
    } rows[] = {
        {&open, "label1037", "买价", "1765.30"},
        {&open, "label1038", "卖价", "1765.00"},
        {&close, "label1048", "平仓价格", "1765.00"},
        {&stops, "label1052", "止损价小于", "1762.30"},
        {&stops, "label1053", "止盈价大于", "1768.30"},
        {&order, "label1048", "小于", "1763.30"},
        {&order, "label1049", "或大于", "1767.30"},
        {&order, "label1052", "止损价小于", "1757.00"},
        {&stops, "edit1033", "新止损价", nullptr},
        {&stops, "spin1027", "新止损价", nullptr},
        {&stops, "edit1034", "新止盈价", nullptr},
        {&stops, "edit1028", "止损价", nullptr},
    };
    for (const auto &row : rows) {
        auto *control = row.dialog->findChild<QWidget *>(QString::fromLatin1(row.control));
        ASSERT_NE(control, nullptr) << row.control;
        QAccessibleInterface *readable = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(readable, nullptr) << row.control;
        EXPECT_EQ(readable->text(QAccessible::Name), QString::fromUtf8(row.name)) << row.control;
        if (row.value != nullptr) {
            EXPECT_EQ(readable->text(QAccessible::Value), QString::fromUtf8(row.value))
                << row.control;
        }
    }

    // Read-only fields on the window's colour, as the platform draws fields nobody types in.
    for (QWidget *dialog : std::initializer_list<QWidget *>{&close, &stops, &order}) {
        for (const QLineEdit *field : dialog->findChildren<QLineEdit *>()) {
            const QPalette &palette = field->palette();
            EXPECT_EQ(palette.color(QPalette::Base) == palette.color(QPalette::Window),
                      field->isReadOnly())
                << field->objectName().toStdString();
        }
    }
}

} // namespace
} // namespace qs::ui
