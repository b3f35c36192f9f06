#include "ui/orders/COrderModify.h"

#include "core/orders/CloseForms.h"
#include "core/orders/ModifyForms.h"
#include "core/platform/PriceFormat.h"
#include "core/protocol/Commands.h"
#include "ui/AfterTrade.h"
#include "ui/orders/OpenOrderControls.h"
#include "ui/orders/OrderLayout.h"
#include "ui/widgets/CFloatNumberEdit.h"
#include "ui/widgets/CPriceStatic.h"
#include "ui/widgets/MySpinButtonCtrl.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qs::ui {

namespace {

constexpr qint64 kPriceSpinUpper = 1000000;

} // namespace

COrderModify::COrderModify(const FrameContext &context, const HoldInfo &position, QWidget *parent)
    : OrderDialogBase(context, OrderDialog::ModifyPosition, position.productId, parent)
    , m_position(position)
    , m_stopLoss(new CFloatNumberEdit(this))
    , m_takeProfit(new CFloatNumberEdit(this))
{
    setObjectName(QStringLiteral("COrderModify"));
    setWindowTitle(QStringLiteral("修改订单"));
    const PositionTexts texts = MakePositionTexts(position, product());
    const SideHints hints = PositionStopsHints(position);
    const QRgb colour = hints.red ? kBuyColour : kSellColour;
    m_stopLossBound = makePriceLabel(1052, colour, QString::fromStdString(hints.stopLossHint));
    m_takeProfitBound = makePriceLabel(1053, colour, QString::fromStdString(hints.takeProfitHint));

    // Named as their captions read: the read-only current values are "止损价" and "止盈价".
    NameControl(m_stopLoss, "edit", 1033, QStringLiteral("新止损价"));
    NameControl(m_takeProfit, "edit", 1034, QStringLiteral("新止盈价"));
    auto *stopLossSpin = new MySpinButtonCtrl(this);
    NameControl(stopLossSpin, "spin", 1027, QStringLiteral("新止损价"));
    auto *takeProfitSpin = new MySpinButtonCtrl(this);
    NameControl(takeProfitSpin, "spin", 1029, QStringLiteral("新止盈价"));
    for (MySpinButtonCtrl *spin : {stopLossSpin, takeProfitSpin})
        spin->setRange(0, kPriceSpinUpper);
    stopLossSpin->setBuddy(m_stopLoss);
    takeProfitSpin->setBuddy(m_takeProfit);
    const int digits = product().digits;
    for (CFloatNumberEdit *field : {m_stopLoss, m_takeProfit})
        field->setDigits(digits);
    const float scale = PowerOfTen(digits);
    m_stopLoss->setUnitsText(
        QString::fromStdString(FormatPrice(position.stopLoss * scale, digits)));
    m_takeProfit->setUnitsText(
        QString::fromStdString(FormatPrice(position.takeProfit * scale, digits)));

    auto *submitButton = makeButton(1051, QStringLiteral("修改订单"));
    addSubmitButton(submitButton);

    auto *group = new QGroupBox(QStringLiteral("修改持仓订单"), this);
    NameControl(group, "group", 1047, {});
    auto *grid = new QGridLayout(group);
    const auto caption = [group](const QString &text, QWidget *buddy) {
        auto *label = new QLabel(text, group);
        label->setBuddy(buddy);
        return label;
    };
    addPositionFields(*grid, texts, QStringLiteral("手数"), texts.openedLots);
    grid->addWidget(caption(QStringLiteral("新止损价"), m_stopLoss), 3, 0);
    grid->addLayout(ControlRow({m_stopLoss, stopLossSpin}), 3, 1);
    grid->addLayout(
        ControlRow({makeHint(1057, QString::fromStdString(hints.stopLossHint)), m_stopLossBound}),
        3, 2, 1, 2);
    grid->addWidget(caption(QStringLiteral("新止盈价"), m_takeProfit), 4, 0);
    grid->addLayout(ControlRow({m_takeProfit, takeProfitSpin}), 4, 1);
    grid->addLayout(ControlRow({makeHint(1058, QString::fromStdString(hints.takeProfitHint)),
                                m_takeProfitBound}),
                    4, 2, 1, 2);
    grid->addWidget(submitButton, 5, 0, 1, 4);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);

    showBounds();
    connect(submitButton, &QPushButton::clicked, this, &COrderModify::submit);
}

void COrderModify::showBounds()
{
    const StopLimits bounds = PositionStopLimits(m_position, product());
    m_stopLossBound->setText(priceText(bounds.stopLoss));
    m_takeProfitBound->setText(priceText(bounds.takeProfit));
    m_stopLossBound->update();
    m_takeProfitBound->update();
}

void COrderModify::productTicked()
{
    showBounds();
}

void COrderModify::submit()
{
    const double stopLoss = m_stopLoss->value();
    const double takeProfit = m_takeProfit->value();
    const StopLimits shown{m_stopLossBound->text().toDouble(),
                           m_takeProfitBound->text().toDouble()};
    if (const auto refusal = CheckChangedStops(m_position.isBuy(), stopLoss, takeProfit, shown)) {
        showText(*refusal);
        return;
    }
    const ChangeStopsBody body = ChangeStopsRequest(m_position, stopLoss, takeProfit);
    HoldInfo reply{};
    const Outcome outcome = exchange(cmd::kChangeStops, body, reply);
    if (!outcome.sent)
        return;
    if (!ApplyChangedPosition(context().trading, reply, outcome.complete ? sizeof reply : 0)) {
        showText("止损或盈利无效");
        if (!outcome.complete)
            refetchAfterIncomplete(Refetch::Holdings);
        return;
    }
    TradeChange change;
    change.holdings = true;
    AnnounceTrade(context(), change, AfterTradeOrder::RelayoutNoticeSound);
    done(kSucceeded);
}

} // namespace qs::ui
