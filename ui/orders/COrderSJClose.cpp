#include "ui/orders/COrderSJClose.h"

#include "core/orders/CloseForms.h"
#include "core/platform/DesktopSeam.h"
#include "core/platform/SoundIds.h"
#include "core/protocol/Commands.h"
#include "core/protocol/OrderRecords.h"
#include "ui/orders/OpenOrderControls.h"
#include "ui/orders/OrderLayout.h"
#include "ui/orders/SlippageControls.h"
#include "ui/widgets/CFloatNumberEdit.h"
#include "ui/widgets/CPriceStatic.h"
#include "ui/widgets/MySpinButtonCtrl.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qs::ui {

COrderSJClose::COrderSJClose(const FrameContext &context, const HoldInfo &position, QWidget *parent)
    : OrderDialogBase(context, OrderDialog::MarketClose, position.productId, parent)
    , m_position(position)
    , m_lots(new CFloatNumberEdit(this))
    , m_closingPrice(makePriceLabel(1048, position.isBuy() ? kSellColour : kBuyColour,
                                    QStringLiteral("平仓价格")))
    , m_slippage(new SlippageControls(this))
{
    setObjectName(QStringLiteral("COrderSJClose"));
    setWindowTitle(QStringLiteral("市价平仓"));
    const PositionTexts texts = MakePositionTexts(position, product());
    const CloseLotSetup lots = MakeCloseLotSetup(position, product());

    NameControl(m_lots, "edit", 1032, QStringLiteral("平仓手数"));
    auto *lotSpin = new MySpinButtonCtrl(this);
    NameControl(lotSpin, "spin", 1033, QStringLiteral("平仓手数"));
    lotSpin->setRange(lots.lower, lots.upper);
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
    addPositionFields(*grid, texts, QStringLiteral("持仓手数"), texts.heldLots);
    grid->addWidget(caption(QStringLiteral("平仓手数"), m_lots), 2, 2);
    grid->addLayout(FieldWithSpin(m_lots, lotSpin), 2, 3);
    grid->addWidget(caption(QStringLiteral("平仓价格"), m_closingPrice), 3, 0);
    grid->addWidget(m_closingPrice, 3, 1, 1, 3);
    grid->addLayout(m_slippage->row(), 4, 0, 1, 4);
    grid->addWidget(submitButton, 5, 0, 1, 4);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);

    m_lots->setDigits(lots.digits);
    m_lots->setUnitsText(QString::fromStdString(lots.firstText));
    m_slippage->setStartUnits(QString::fromStdString(MarketCloseSlippageText(product())));
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
    fields.slippageTicked = m_slippage->ticked();
    fields.slippage = m_slippage->value();
    const DelegateInfo body = MarketCloseBody(m_position, fields);
    submitChange(cmd::kClosePosition, &body, sizeof body, Refetch::Holdings, kSucceeded);
}

} // namespace qs::ui
