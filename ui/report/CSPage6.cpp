#include "ui/report/CSPage6.h"

#include "core/report/ReportPages.h"
#include "core/trading/TradingData.h"
#include "ui/report/ReportGrid.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace qs::ui {

CSPage6::CSPage6(const FrameContext &context, std::function<void()> refreshAccountBar,
                 QWidget *parent)
    : ReportPage(context, std::move(refreshAccountBar), parent)
    , m_picker(new QComboBox(this))
    , m_grid(new ReportGrid(8, 4, this))
{
    setObjectName(QStringLiteral("CSPage6"));
    m_picker->setObjectName(QStringLiteral("combo1025"));
    m_picker->setAccessibleName(QStringLiteral("商品"));
    m_grid->setObjectName(QStringLiteral("grid1056"));
    m_grid->setAccessibleName(QStringLiteral("商品信息"));
    auto *caption = new QLabel(QStringLiteral("商品"), this);
    caption->setBuddy(m_picker);
    auto *top = new QHBoxLayout;
    top->addWidget(caption);
    top->addWidget(m_picker);
    top->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);

    for (const TypeInfo &product : m_context.trading.products())
        if (product.tradable == 1)
            m_picker->addItem(QString::fromStdString(product.nameText()), product.productId);
    // The grid shows what the combo box selects, so a name never labels another's figures.
    showSelected();
    connect(m_picker, &QComboBox::currentIndexChanged, this, &CSPage6::showSelected);
}

void CSPage6::showSelected()
{
    if (m_picker->currentIndex() < 0)
        return;
    const int productId = m_picker->currentData().toInt();
    TypeInfo product{};
    if (productId <= 0 || !m_context.trading.copyProduct(productId, product))
        return;
    m_grid->setCells(ProductCells(product));
}

} // namespace qs::ui
