#include "ui/orders/COpenOrderZj.h"

#include "core/orders/OpenOrderForms.h"
#include "ui/orders/OpenOrderControls.h"
#include "ui/widgets/CFloatNumberEdit.h"
#include "ui/widgets/MySpinButtonCtrl.h"

#include <QComboBox>
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
} // namespace

COpenOrderZj::COpenOrderZj(const FrameContext &context, std::int32_t productId, QWidget *parent)
    : OrderDialogBase(context, OrderDialog::LimitOpen, productId, parent)
    , m_controls(new OpenOrderControls(this))
    , m_price(new CFloatNumberEdit(this))
    , m_validity(new QComboBox(this))
    , m_buy(makeButton(1060, QStringLiteral("买下单")))
    , m_sell(makeButton(1063, QStringLiteral("卖下单")))
{
    setObjectName(QStringLiteral("COpenOrderZj"));
    setWindowTitle(QStringLiteral("指价建仓单"));
    NameControl(m_price, "edit", 1042, QStringLiteral("价格"));
    auto *priceSpin = new MySpinButtonCtrl(this);
    NameControl(priceSpin, "spin", 1043, QStringLiteral("价格"));
    priceSpin->setRange(0, kPriceSpinUpper);
    NameControl(m_validity, "combo", 1026, QStringLiteral("有效期"));
    m_validity->addItems({QStringLiteral("当日有效"), QStringLiteral("当周有效")});
    m_buy->setStyleSheet(QStringLiteral("background-color: rgb(255,128,128);"));
    m_sell->setStyleSheet(QStringLiteral("background-color: rgb(160,192,255);"));
    for (QPushButton *button : {m_buy, m_sell}) {
        button->setMinimumHeight(36);
        button->setMinimumWidth(220);
        addSubmitButton(button);
    }

    auto *group = new QGroupBox(QStringLiteral("指价建仓"), this);
    NameControl(group, "group", 1047, {});
    auto *grid = new QGridLayout(group);
    m_controls->addProductAndLots(*grid, 0);
    auto *priceLabel = new QLabel(QStringLiteral("价格"), group);
    priceLabel->setBuddy(m_price);
    grid->addWidget(priceLabel, 2, 0);
    auto *priceBox = new QHBoxLayout;
    priceBox->setSpacing(0);
    priceBox->addWidget(m_price, 1);
    priceBox->addWidget(priceSpin);
    priceSpin->setBuddy(m_price);
    grid->addLayout(priceBox, 2, 1);
    auto *validityLabel = new QLabel(QStringLiteral("有效期"), group);
    validityLabel->setBuddy(m_validity);
    auto *validityRow = new QHBoxLayout;
    validityRow->addWidget(validityLabel);
    validityRow->addWidget(m_validity);
    validityRow->addStretch();
    grid->addLayout(validityRow, 2, 2);
    m_controls->addStops(*grid, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_buy);
    buttons->addWidget(m_sell);
    grid->addLayout(buttons, 5, 0, 1, 3);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);

    m_controls->fillPicker(context.trading, productId);
    m_validity->setCurrentIndex(kWeekIndex);
    showProduct();

    connect(m_controls, &OpenOrderControls::productChosen, this, &COpenOrderZj::changeProduct);
    connect(m_buy, &QPushButton::clicked, this, [this] { submit(1); });
    connect(m_sell, &QPushButton::clicked, this, [this] { submit(2); });
}

void COpenOrderZj::showProduct()
{
    m_controls->applyProduct(product());
    m_price->setDigits(product().digits);
    refreshButtonTexts();
}

void COpenOrderZj::changeProduct(std::int32_t productId)
{
    if (!takeProduct(productId))
        return;
    showProduct();
}

void COpenOrderZj::refreshButtonTexts()
{
    const LimitButtonTexts texts = MakeLimitButtonTexts(product());
    m_buy->setText(QString::fromStdString(texts.buy));
    m_sell->setText(QString::fromStdString(texts.sell));
}

void COpenOrderZj::productTicked()
{
    refreshButtonTexts();
}

void COpenOrderZj::submit(std::int32_t direction)
{
    LimitOpenFields fields;
    fields.productId = m_controls->selectedProduct();
    fields.lots = m_controls->lots()->value();
    fields.limitPrice = m_price->value();
    fields.validityIndex = m_validity->currentIndex();
    fields.stopLoss = m_controls->stopLoss()->value();
    fields.takeProfit = m_controls->takeProfit()->value();
    const OrderForm form = LimitOpenForm(product(), fields, direction);
    submitOpen(form, Refetch::OrdersAndAccount, kSucceeded);
}

} // namespace qs::ui
