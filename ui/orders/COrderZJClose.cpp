#include "ui/orders/COrderZJClose.h"

#include "core/orders/CloseForms.h"
#include "core/orders/ModifyForms.h"
#include "core/protocol/Commands.h"
#include "ui/AfterTrade.h"
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
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <initializer_list>
#include <optional>

namespace qs::ui {

namespace {

constexpr qint64 kPriceSpinLower = 1;
constexpr qint64 kPriceSpinUpper = 1000000;

} // namespace

COrderZJClose::COrderZJClose(const FrameContext &context, const HoldInfo &position, QWidget *parent)
    : OrderDialogBase(context, OrderDialog::LimitClose, position.productId, parent)
    , m_position(position)
    , m_lots(new CFloatNumberEdit(this))
    , m_price(new CFloatNumberEdit(this))
    , m_stopLoss(new CFloatNumberEdit(this))
    , m_takeProfit(new CFloatNumberEdit(this))
    , m_validity(new QComboBox(this))
{
    setObjectName(QStringLiteral("COrderZJClose"));
    setWindowTitle(QStringLiteral("指价平仓"));
    // The live price comes from the tick itself; the copy stays as the dialog opened.
    setRefreshCopyOnTick(false);
    const PositionTexts texts = MakePositionTexts(position, product());
    const CloseLotSetup lots = MakeCloseLotSetup(position, product());
    const SideHints hints = LimitCloseHints(position);
    const QRgb colour = hints.red ? kBuyColour : kSellColour;
    m_closingPrice = makePriceLabel(1048, colour, QStringLiteral("平仓价格"));
    m_stopLossBound = makePriceLabel(1052, colour, QString::fromStdString(hints.stopLossHint));
    m_takeProfitBound = makePriceLabel(1053, colour, QString::fromStdString(hints.takeProfitHint));

    NameControl(m_lots, "edit", 1037, QStringLiteral("平仓手数"));
    auto *lotSpin = new MySpinButtonCtrl(this);
    NameControl(lotSpin, "spin", 1032, QStringLiteral("平仓手数"));
    lotSpin->setRange(lots.lower, lots.upper);
    auto *range = makeHint(1039, QString::fromStdString(lots.rangeLabel));
    NameControl(m_price, "edit", 1042, QStringLiteral("价格"));
    auto *priceSpin = new MySpinButtonCtrl(this);
    NameControl(priceSpin, "spin", 1043, QStringLiteral("价格"));
    NameControl(m_stopLoss, "edit", 1029, QStringLiteral("委托止损价"));
    auto *stopLossSpin = new MySpinButtonCtrl(this);
    NameControl(stopLossSpin, "spin", 1027, QStringLiteral("委托止损价"));
    NameControl(m_takeProfit, "edit", 1034, QStringLiteral("委托止盈价"));
    auto *takeProfitSpin = new MySpinButtonCtrl(this);
    NameControl(takeProfitSpin, "spin", 1038, QStringLiteral("委托止盈价"));
    for (MySpinButtonCtrl *spin : {priceSpin, stopLossSpin, takeProfitSpin})
        spin->setRange(kPriceSpinLower, kPriceSpinUpper);
    NameControl(m_validity, "combo", 1026, QStringLiteral("有效期"));
    m_validity->addItems({QStringLiteral("当日有效"), QStringLiteral("当周有效")});
    auto *submitButton = makeButton(1044, QStringLiteral("确认"));
    submitButton->setMinimumHeight(36);
    addSubmitButton(submitButton);

    auto *group = new QGroupBox(QStringLiteral("指价平仓单"), this);
    NameControl(group, "group", 1047, {});
    auto *grid = new QGridLayout(group);
    const auto caption = [group](const QString &text, QWidget *buddy) {
        auto *label = new QLabel(text, group);
        label->setBuddy(buddy);
        return label;
    };
    addPositionFields(*grid, texts, QStringLiteral("持仓手数"), texts.heldLots);
    const auto entry = [&](int row, const QString &name, CFloatNumberEdit *field,
                           MySpinButtonCtrl *spin, QLayout *beside) {
        grid->addWidget(caption(name, field), row, 0);
        grid->addLayout(FieldWithSpin(field, spin), row, 1);
        grid->addLayout(beside, row, 2, 1, 2);
    };
    entry(3, QStringLiteral("平仓手数"), m_lots, lotSpin, ControlRow({range}));
    entry(4, QStringLiteral("价格"), m_price, priceSpin,
          ControlRow({makeHint(1059, QString::fromUtf8(position.isBuy() ? "大于" : "小于")),
                      m_closingPrice}));
    entry(
        5, QStringLiteral("委托止损价"), m_stopLoss, stopLossSpin,
        ControlRow({makeHint(1057, QString::fromStdString(hints.stopLossHint)), m_stopLossBound}));
    entry(6, QStringLiteral("委托止盈价"), m_takeProfit, takeProfitSpin,
          ControlRow(
              {makeHint(1058, QString::fromStdString(hints.takeProfitHint)), m_takeProfitBound}));
    grid->addWidget(caption(QStringLiteral("有效期"), m_validity), 7, 0);
    grid->addWidget(m_validity, 7, 1);
    grid->addWidget(submitButton, 8, 0, 1, 4);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);

    m_lots->setDigits(lots.digits);
    m_lots->setUnitsText(QString::fromStdString(lots.firstText));
    for (CFloatNumberEdit *field : {m_price, m_stopLoss, m_takeProfit})
        field->setDigits(product().digits);
    m_validity->setCurrentIndex(0);
    m_price->installEventFilter(this);

    connect(submitButton, &QPushButton::clicked, this, &COrderZJClose::submit);
}

void COrderZJClose::tickArrived(const KLineBar &tick)
{
    m_closingPrice->setText(priceText(LimitCloseTickPrice(m_position, product(), tick.close)));
    m_closingPrice->update();
}

void COrderZJClose::showStopBounds()
{
    const std::optional<StopLimits> bounds
        = LimitCloseStopBounds(m_position, product(), m_price->value());
    if (!bounds)
        return;
    m_stopLossBound->setText(priceText(bounds->stopLoss));
    m_takeProfitBound->setText(priceText(bounds->takeProfit));
    m_stopLossBound->update();
    m_takeProfitBound->update();
}

bool COrderZJClose::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_price && event->type() == QEvent::FocusOut)
        showStopBounds();
    return OrderDialogBase::eventFilter(watched, event);
}

void COrderZJClose::submit()
{
    LimitCloseFields fields;
    fields.lots = m_lots->value();
    fields.price = m_price->value();
    fields.stopLoss = m_stopLoss->value();
    fields.takeProfit = m_takeProfit->value();
    fields.validityIndex = m_validity->currentIndex();
    const DelegateInfo body = LimitCloseBody(m_position, fields);
    // Bytes of the record that never arrive keep the request's values.
    DelegateInfo reply = body;
    const Outcome outcome
        = exchangeBytes(cmd::kClosePosition, &body, sizeof body, &reply, sizeof reply);
    if (!outcome.sent)
        return;
    const LimitCloseVerdict verdict = JudgeLimitCloseReply(reply);
    if (!verdict.success) {
        showText(verdict.message);
        // The server may have placed the order before the reply broke off.
        if (!outcome.complete)
            refetchAfterIncomplete(Refetch::OrdersAndAccount);
        return;
    }
    AddLimitClose(context().trading, reply);
    TradeChange change;
    change.orders = true;
    AnnounceTrade(context(), change, AfterTradeOrder::RelayoutNotice);
    m_succeeded = true;
    done(kSucceeded);
}

} // namespace qs::ui
