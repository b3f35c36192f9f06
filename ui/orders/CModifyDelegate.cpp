#include "ui/orders/CModifyDelegate.h"

#include "core/orders/ModifyForms.h"
#include "core/orders/OpenOrderForms.h"
#include "core/orders/OrderRefetch.h"
#include "core/platform/DesktopSeam.h"
#include "core/platform/PriceFormat.h"
#include "core/platform/SoundIds.h"
#include "core/protocol/Commands.h"
#include "ui/orders/OpenOrderControls.h"
#include "ui/orders/OrderLayout.h"
#include "ui/widgets/CFloatNumberEdit.h"
#include "ui/widgets/CPriceStatic.h"
#include "ui/widgets/MySpinButtonCtrl.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qs::ui {

namespace {

constexpr qint64 kPriceSpinUpper = 1000000;
constexpr int kWeekIndex = 1;

// Whole units of value printed with the field's format, as the field is first filled.
QString UnitsOf(double value, int digits)
{
    return QString::fromStdString(FormatPrice(value * PowerOfTen(digits), digits));
}

} // namespace

CModifyDelegate::CModifyDelegate(const FrameContext &context, const DelegateInfo &order,
                                 QWidget *parent)
    : OrderDialogBase(context, OrderDialog::ModifyOrder, order.productId, parent)
    , m_order(order)
    , m_lots(new CFloatNumberEdit(this))
    , m_price(new CFloatNumberEdit(this))
    , m_stopLoss(new CFloatNumberEdit(this))
    , m_takeProfit(new CFloatNumberEdit(this))
    , m_validity(new QComboBox(this))
{
    setObjectName(QStringLiteral("CModifyDelegate"));
    setWindowTitle(QStringLiteral("修改指价订单"));
    const SideHints hints = OrderChangeHints(order);
    const QRgb colour = hints.red ? kBuyColour : kSellColour;
    m_lowerBound = makePriceLabel(1048, colour, QStringLiteral("小于"));
    m_upperBound = makePriceLabel(1049, colour, QStringLiteral("或大于"));
    m_stopLossBound = makePriceLabel(1052, colour, QString::fromStdString(hints.stopLossHint));
    m_takeProfitBound = makePriceLabel(1053, colour, QString::fromStdString(hints.takeProfitHint));

    NameControl(m_lots, "edit", 1031, QStringLiteral("交易手数"));
    NameControl(m_price, "edit", 1042, QStringLiteral("价格"));
    NameControl(m_stopLoss, "edit", 1028, QStringLiteral("止损价"));
    NameControl(m_takeProfit, "edit", 1030, QStringLiteral("止盈价"));
    NameControl(m_validity, "combo", 1026, QStringLiteral("有效期"));
    auto *lotSpin = new MySpinButtonCtrl(this);
    NameControl(lotSpin, "spin", 1032, QStringLiteral("交易手数"));
    auto *priceSpin = new MySpinButtonCtrl(this);
    NameControl(priceSpin, "spin", 1043, QStringLiteral("价格"));
    auto *stopLossSpin = new MySpinButtonCtrl(this);
    NameControl(stopLossSpin, "spin", 1027, QStringLiteral("止损价"));
    auto *takeProfitSpin = new MySpinButtonCtrl(this);
    NameControl(takeProfitSpin, "spin", 1029, QStringLiteral("止盈价"));
    lotSpin->setBuddy(m_lots);
    priceSpin->setBuddy(m_price);
    stopLossSpin->setBuddy(m_stopLoss);
    takeProfitSpin->setBuddy(m_takeProfit);

    const TypeInfo &copy = product();
    for (CFloatNumberEdit *field : {m_price, m_stopLoss, m_takeProfit})
        field->setDigits(copy.digits);
    const LotSetup lots = MakeLotSetup(copy);
    m_lots->setDigits(lots.digits);
    m_lots->setUnitsText(UnitsOf(order.lots, lots.digits));
    m_stopLoss->setUnitsText(UnitsOf(order.stopLoss, copy.digits));
    m_price->setUnitsText(UnitsOf(order.orderPrice, copy.digits));
    m_takeProfit->setUnitsText(UnitsOf(order.takeProfit, copy.digits));
    lotSpin->setRange(lots.lower, lots.upper);
    lotSpin->setStep(lots.step);
    for (MySpinButtonCtrl *spin : {priceSpin, stopLossSpin, takeProfitSpin})
        spin->setRange(0, kPriceSpinUpper);
    m_maxText = QString::fromStdString(lots.maxText);
    m_validity->addItems({QStringLiteral("当日有效"), QStringLiteral("当周有效")});
    m_validity->setCurrentIndex(order.validity == order_validity::kWeek ? kWeekIndex : 0);

    auto *maxButton = makeButton(1033, QStringLiteral("最大"));
    auto *range = makeHint(1034, QString::fromStdString(lots.rangeLabel));
    auto *submitButton = makeButton(1051, QStringLiteral("修改"));
    addSubmitButton(submitButton);

    auto *group = new QGroupBox(QStringLiteral("修改指价订单"), this);
    NameControl(group, "group", 1047, {});
    auto *grid = new QGridLayout(group);
    const auto caption = [group](const QString &text) {
        return new QLabel(text, group);
    };
    grid->addWidget(caption(QStringLiteral("商品")), 0, 0);
    grid->addWidget(
        makeReadOnly(1035, QStringLiteral("商品"), QString::fromStdString(order.productNameText())),
        0, 1);
    grid->addWidget(caption(QStringLiteral("买卖")), 0, 2);
    grid->addWidget(makeReadOnly(1036, QStringLiteral("买卖"), QString::fromStdString(hints.side)),
                    0, 3);
    grid->addWidget(caption(QStringLiteral("交易手数")), 1, 0);
    grid->addLayout(ControlRow({m_lots, lotSpin}), 1, 1);
    grid->addLayout(ControlRow({maxButton, range}), 1, 2, 1, 2);
    grid->addWidget(caption(QStringLiteral("价格")), 2, 0);
    grid->addLayout(ControlRow({m_price, priceSpin}), 2, 1);
    grid->addLayout(ControlRow({makeHint(1059, QStringLiteral("小于")), m_lowerBound,
                                makeHint(1060, QStringLiteral("或大于")), m_upperBound}),
                    2, 2, 1, 2);
    grid->addWidget(caption(QStringLiteral("止损价")), 3, 0);
    grid->addLayout(ControlRow({m_stopLoss, stopLossSpin}), 3, 1);
    grid->addLayout(
        ControlRow({makeHint(1057, QString::fromStdString(hints.stopLossHint)), m_stopLossBound}),
        3, 2, 1, 2);
    grid->addWidget(caption(QStringLiteral("止盈价")), 4, 0);
    grid->addLayout(ControlRow({m_takeProfit, takeProfitSpin}), 4, 1);
    grid->addLayout(ControlRow({makeHint(1058, QString::fromStdString(hints.takeProfitHint)),
                                m_takeProfitBound}),
                    4, 2, 1, 2);
    grid->addWidget(caption(QStringLiteral("有效期")), 5, 0);
    grid->addWidget(m_validity, 5, 1);
    grid->addWidget(submitButton, 6, 0, 1, 4);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);

    showPriceBounds();
    showStopBounds(order.orderPrice);
    m_price->installEventFilter(this);
    connect(maxButton, &QPushButton::clicked, this, [this] { m_lots->setUnitsText(m_maxText); });
    connect(submitButton, &QPushButton::clicked, this, &CModifyDelegate::submit);
}

void CModifyDelegate::showPriceBounds()
{
    const PriceLimits bounds = OrderPriceLimits(m_order, product());
    m_lowerBound->setText(priceText(bounds.lower));
    m_upperBound->setText(priceText(bounds.upper));
    m_lowerBound->update();
    m_upperBound->update();
}

void CModifyDelegate::showStopBounds(double price)
{
    const StopLimits bounds = OrderStopLimits(m_order, product(), price);
    m_stopLossBound->setText(priceText(bounds.stopLoss));
    m_takeProfitBound->setText(priceText(bounds.takeProfit));
    m_stopLossBound->update();
    m_takeProfitBound->update();
}

void CModifyDelegate::productTicked()
{
    // Ticks move the price bounds only; the stop bounds follow the typed price.
    showPriceBounds();
}

bool CModifyDelegate::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_price && event->type() == QEvent::FocusOut)
        showStopBounds(m_price->value());
    return OrderDialogBase::eventFilter(watched, event);
}

void CModifyDelegate::submit()
{
    OrderChangeFields fields;
    fields.lots = m_lots->value();
    fields.price = m_price->value();
    fields.stopLoss = m_stopLoss->value();
    fields.takeProfit = m_takeProfit->value();
    fields.validityIndex = m_validity->currentIndex();
    fields.priceBounds = {m_lowerBound->text().toDouble(), m_upperBound->text().toDouble()};
    fields.stopBounds = {m_stopLossBound->text().toDouble(), m_takeProfitBound->text().toDouble()};
    const OrderChangeForm form = ChangeOrderForm(m_order, product(), fields);
    if (form.refusal) {
        showText(*form.refusal);
        return;
    }
    submitChange(cmd::kChangeOrder, &form.body, sizeof form.body, Refetch::OrdersAndAccount,
                 kSucceeded);
}

} // namespace qs::ui
