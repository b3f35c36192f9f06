#include "ui/orders/COrderSJClose.h"

#include "core/orders/CloseForms.h"
#include "core/platform/DesktopSeam.h"
#include "core/platform/SoundIds.h"
#include "core/protocol/Commands.h"
#include "core/protocol/OrderRecords.h"
#include "core/protocol/RecalcAccountFigures.h"
#include "ui/chart/CPriceStatic.h"
#include "ui/orders/OpenOrderControls.h"
#include "ui/widgets/CFloatNumberEdit.h"
#include "ui/widgets/MySpinButtonCtrl.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qs::ui {

namespace {

constexpr int kSlippageDigits = 4;
constexpr qint64 kSlippageSpinUpper = 1000;

QLayout *FieldWithSpin(CFloatNumberEdit *field, MySpinButtonCtrl *spin)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(field, 1);
    row->addWidget(spin);
    spin->setBuddy(field);
    return row;
}

} // namespace

COrderSJClose::COrderSJClose(const FrameContext &context, const HoldInfo &position, QWidget *parent)
    : OrderDialogBase(context, OrderDialog::MarketClose, position.productId, parent)
    , m_position(position)
    , m_lots(new CFloatNumberEdit(this))
    , m_closingPrice(makePriceLabel(1048, position.isBuy() ? kSellColour : kBuyColour))
    , m_useSlippage(new QCheckBox(QStringLiteral("允许成交价和报价的最大点差"), this))
    , m_slippage(new CFloatNumberEdit(this))
{
    setObjectName(QStringLiteral("COrderSJClose"));
    setWindowTitle(QStringLiteral("市价平仓"));
    const PositionTexts texts = MakePositionTexts(position, product());
    const CloseLotSetup lots = MakeCloseLotSetup(position, product());

    NameControl(m_lots, "edit", 1032, QStringLiteral("平仓手数"));
    auto *lotSpin = new MySpinButtonCtrl(this);
    NameControl(lotSpin, "spin", 1033, QStringLiteral("平仓手数"));
    lotSpin->setRange(lots.lower, lots.upper);
    m_closingPrice->setAccessibleName(QStringLiteral("平仓价格"));
    NameControl(m_useSlippage, "check", 1039, {});
    NameControl(m_slippage, "edit", 1040, QStringLiteral("允许成交价和报价的最大点差"));
    auto *slippageSpin = new MySpinButtonCtrl(this);
    NameControl(slippageSpin, "spin", 1041, QStringLiteral("允许成交价和报价的最大点差"));
    slippageSpin->setRange(0, kSlippageSpinUpper);
    auto *submitButton = makeButton(1059, QStringLiteral("平仓"));
    submitButton->setMinimumHeight(36);
    addSubmitButton(submitButton);

    auto *group = new QGroupBox(QStringLiteral("市价平仓"), this);
    NameControl(group, "group", 1047, {});
    auto *grid = new QGridLayout(group);
    const auto caption = [group](const QString &text, QWidget *buddy) {
        auto *label = new QLabel(text, group);
        label->setBuddy(buddy);
        return label;
    };
    const auto readOnly
        = [&](int row, int column, int id, const QString &name, const std::string &text) {
              QLineEdit *field = makeReadOnly(id, name, QString::fromStdString(text));
              grid->addWidget(caption(name, field), row, column);
              grid->addWidget(field, row, column + 1);
          };
    readOnly(0, 0, 1035, QStringLiteral("商品"), texts.productName);
    readOnly(0, 2, 1036, QStringLiteral("买卖"), texts.side);
    readOnly(1, 0, 1028, QStringLiteral("止损价"), texts.stopLoss);
    readOnly(1, 2, 1030, QStringLiteral("止盈价"), texts.takeProfit);
    readOnly(2, 0, 1031, QStringLiteral("持仓手数"), texts.heldLots);
    grid->addWidget(caption(QStringLiteral("平仓手数"), m_lots), 2, 2);
    grid->addLayout(FieldWithSpin(m_lots, lotSpin), 2, 3);
    grid->addWidget(caption(QStringLiteral("平仓价格"), m_closingPrice), 3, 0);
    grid->addWidget(m_closingPrice, 3, 1, 1, 3);
    auto *slippageRow = new QHBoxLayout;
    slippageRow->addWidget(m_useSlippage);
    slippageRow->addLayout(FieldWithSpin(m_slippage, slippageSpin));
    slippageRow->addStretch();
    grid->addLayout(slippageRow, 4, 0, 1, 4);
    grid->addWidget(submitButton, 5, 0, 1, 4);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);

    m_lots->setDigits(lots.digits);
    m_lots->setUnitsText(QString::fromStdString(lots.firstText));
    m_useSlippage->setChecked(true);
    m_slippage->setDigits(kSlippageDigits);
    m_slippage->setUnitsText(QString::fromStdString(MarketCloseSlippageText(product())));
    showClosingPrice();

    connect(submitButton, &QPushButton::clicked, this, &COrderSJClose::submit);
}

void COrderSJClose::showClosingPrice()
{
    m_closingPrice->setText(priceText(ClosingPrice(m_position, product())));
    m_closingPrice->update();
}

void COrderSJClose::productTicked()
{
    showClosingPrice();
}

void COrderSJClose::submit()
{
    MarketCloseFields fields;
    fields.lots = m_lots->value();
    fields.closingPrice = m_closingPrice->text().toDouble();
    fields.slippageTicked = m_useSlippage->isChecked();
    fields.slippage = m_slippage->value();
    const DelegateInfo body = MarketCloseBody(m_position, fields);
    std::int32_t code = 0;
    const Outcome outcome = exchangeForCode(
        cmd::kClosePosition, &body, sizeof body, code, [this](Connection &connection) {
            // A failed re-fetch leaves the lists as they were; the close itself succeeded.
            RefetchOn(connection, context().link, context().trading, Refetch::Holdings);
        });
    if (!outcome.sent)
        return;
    if (code == order_result::kDone) {
        // A reply that broke off after its code had no re-fetch on its connection.
        if (!outcome.complete)
            RefetchAfterOrder(context().link, context().trading, Refetch::Holdings);
        RecalcAccountFigures(context().trading);
        announceChange();
        context().link.seam().playSound(sound::kTradeDone, false);
        done(kSucceeded);
        return;
    }
    showText(ResultText(kind(), code, product()));
    // The server may have closed the position before the reply broke off.
    if (!outcome.complete)
        refetchAfterIncomplete(Refetch::Holdings);
}

} // namespace qs::ui
