#include "ui/orders/COpenOrder.h"

#include "core/orders/OpenOrderForms.h"
#include "ui/orders/OpenOrderControls.h"
#include "ui/orders/OrderLayout.h"
#include "ui/orders/SlippageControls.h"
#include "ui/widgets/CFloatNumberEdit.h"
#include "ui/widgets/CPriceStatic.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace qs::ui {

COpenOrder::COpenOrder(const FrameContext &context, std::int32_t productId, QWidget *parent)
    : OrderDialogBase(context, OrderDialog::MarketOpen, productId, parent)
    , m_controls(new OpenOrderControls(this))
    , m_buyPrice(makePriceLabel(1037, kBuyColour, QStringLiteral("买价")))
    , m_sellPrice(makePriceLabel(1038, kSellColour, QStringLiteral("卖价")))
    , m_buy(makeButton(1044, QStringLiteral("买")))
    , m_sell(makeButton(1045, QStringLiteral("卖")))
    , m_slippage(new SlippageControls(this))
{
    setObjectName(QStringLiteral("COpenOrder"));
    setWindowTitle(QStringLiteral("市价建仓单"));
    m_buy->setStyleSheet(QStringLiteral("background-color: rgb(255,128,128);"));
    m_sell->setStyleSheet(QStringLiteral("background-color: rgb(160,192,255);"));
    m_buy->setMinimumHeight(36);
    m_sell->setMinimumHeight(36);
    addSubmitButton(m_buy);
    addSubmitButton(m_sell);

    auto *group = new QGroupBox(QStringLiteral("市价建仓"), this);
    NameControl(group, "group", 1047, {});
    auto *grid = new QGridLayout(group);
    m_controls->addProductAndLots(*grid, 0);
    m_controls->addStops(*grid, 2);
    auto *prices = new QGridLayout;
    prices->addWidget(m_buyPrice, 0, 0, Qt::AlignHCenter);
    prices->addWidget(m_sellPrice, 0, 1, Qt::AlignHCenter);
    prices->addWidget(m_buy, 1, 0);
    prices->addWidget(m_sell, 1, 1);
    grid->addLayout(prices, 4, 0, 1, 3);
    grid->addLayout(m_slippage->row(), 5, 0, 1, 3);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);

    m_controls->fillPicker(context.trading, productId);
    showProduct();

    connect(m_controls, &OpenOrderControls::productChosen, this, &COpenOrder::changeProduct);
    connect(m_buy, &QPushButton::clicked, this, [this] { submit(1); });
    connect(m_sell, &QPushButton::clicked, this, [this] { submit(2); });
}

void COpenOrder::showProduct()
{
    m_controls->applyProduct(product());
    m_slippage->setStartUnits(QString::fromStdString(InitialSlippageText(product())));
    refreshPrices();
}

void COpenOrder::changeProduct(std::int32_t productId)
{
    if (!takeProduct(productId))
        return;
    showProduct();
}

void COpenOrder::refreshPrices()
{
    m_buyPrice->setText(priceText(product().buyPrice));
    m_sellPrice->setText(priceText(product().sellPrice));
    m_buyPrice->update();
    m_sellPrice->update();
}

void COpenOrder::productTicked()
{
    refreshPrices();
}

void COpenOrder::submit(std::int32_t direction)
{
    MarketOpenFields fields;
    fields.productId = m_controls->selectedProduct();
    fields.lots = m_controls->lots()->value();
    fields.slippageTicked = m_slippage->ticked();
    fields.slippage = m_slippage->value();
    fields.stopLoss = m_controls->stopLoss()->value();
    fields.takeProfit = m_controls->takeProfit()->value();
    fields.buyLabel = m_buyPrice->text().toDouble();
    fields.sellLabel = m_sellPrice->text().toDouble();
    const OrderForm form = MarketOpenForm(product(), fields, direction);
    submitOpen(form, Refetch::Holdings, kSucceeded);
}

} // namespace qs::ui
