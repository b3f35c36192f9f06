#include "ui/orders/OpenOrderControls.h"
#include "ui/orders/OrderLayout.h"

#include "core/orders/OpenOrderForms.h"
#include "core/trading/TradingData.h"
#include "ui/widgets/CFloatNumberEdit.h"
#include "ui/widgets/MySpinButtonCtrl.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace qs::ui {

namespace {

constexpr qint64 kPriceSpinUpper = 1000000;

QLabel *Caption(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

OpenOrderControls::OpenOrderControls(QWidget *dialog)
    : QObject(dialog)
    , m_dialog(dialog)
    , m_picker(new QComboBox(dialog))
    , m_lots(new CFloatNumberEdit(dialog))
    , m_lotSpin(new MySpinButtonCtrl(dialog))
    , m_max(new QPushButton(QStringLiteral("最大"), dialog))
    , m_range(new QLabel(dialog))
    , m_stopLoss(new CFloatNumberEdit(dialog))
    , m_stopLossSpin(new MySpinButtonCtrl(dialog))
    , m_takeProfit(new CFloatNumberEdit(dialog))
    , m_takeProfitSpin(new MySpinButtonCtrl(dialog))
{
    NameControl(m_picker, "combo", 1025, QStringLiteral("商品"));
    NameControl(m_lots, "edit", 1031, QStringLiteral("交易手数"));
    NameControl(m_lotSpin, "spin", 1032, QStringLiteral("交易手数"));
    NameControl(m_max, "button", 1033, {});
    NameControl(m_range, "label", 1034, {});
    NameControl(m_stopLoss, "edit", 1028, QStringLiteral("止损价"));
    NameControl(m_stopLossSpin, "spin", 1027, QStringLiteral("止损价"));
    NameControl(m_takeProfit, "edit", 1030, QStringLiteral("止盈价"));
    NameControl(m_takeProfitSpin, "spin", 1029, QStringLiteral("止盈价"));
    m_max->setAutoDefault(false);
    m_stopLossSpin->setRange(0, kPriceSpinUpper);
    m_takeProfitSpin->setRange(0, kPriceSpinUpper);

    connect(m_max, &QPushButton::clicked, this, [this] { m_lots->setUnitsText(m_maxText); });
    connect(m_picker, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            Q_EMIT productChosen(selectedProduct());
    });
}

void OpenOrderControls::addProductAndLots(QGridLayout &grid, int firstRow)
{
    grid.addWidget(Caption(QStringLiteral("商品"), m_picker, m_dialog), firstRow, 0);
    grid.addWidget(m_picker, firstRow, 1, 1, 2);
    grid.addWidget(Caption(QStringLiteral("交易手数"), m_lots, m_dialog), firstRow + 1, 0);
    grid.addLayout(FieldWithSpin(m_lots, m_lotSpin), firstRow + 1, 1);
    auto *maxRow = new QHBoxLayout;
    maxRow->addWidget(m_max);
    maxRow->addWidget(m_range, 1);
    grid.addLayout(maxRow, firstRow + 1, 2);
}

void OpenOrderControls::addStops(QGridLayout &grid, int firstRow)
{
    grid.addWidget(Caption(QStringLiteral("止损价"), m_stopLoss, m_dialog), firstRow, 0);
    grid.addLayout(FieldWithSpin(m_stopLoss, m_stopLossSpin), firstRow, 1);
    grid.addWidget(Caption(QStringLiteral("止盈价"), m_takeProfit, m_dialog), firstRow + 1, 0);
    grid.addLayout(FieldWithSpin(m_takeProfit, m_takeProfitSpin), firstRow + 1, 1);
}

void OpenOrderControls::fillPicker(const TradingData &trading, std::int32_t productId)
{
    const QSignalBlocker quiet(m_picker);
    m_picker->clear();
    for (const TypeInfo &record : trading.products()) {
        if (record.tradable != 1)
            continue;
        m_picker->addItem(QString::fromStdString(record.nameText()), record.productId);
        if (record.productId == productId)
            m_picker->setCurrentIndex(m_picker->count() - 1);
    }
    // The toolkit selects the first item added; the dialog's product alone is the selection.
    if (m_picker->findData(productId) < 0)
        m_picker->setCurrentIndex(-1);
}

std::int32_t OpenOrderControls::selectedProduct() const
{
    return m_picker->currentIndex() < 0 ? 0 : m_picker->currentData().toInt();
}

void OpenOrderControls::applyProduct(const TypeInfo &product)
{
    m_stopLoss->setDigits(product.digits);
    m_takeProfit->setDigits(product.digits);
    const LotSetup lots = MakeLotSetup(product);
    m_lotSpin->setRange(lots.lower, lots.upper);
    m_lotSpin->setStep(lots.step);
    m_lots->setDigits(lots.digits);
    m_range->setText(QString::fromStdString(lots.rangeLabel));
    m_maxText = QString::fromStdString(lots.maxText);
    m_lots->setUnitsText(QString::fromStdString(lots.minText));
}

} // namespace qs::ui
