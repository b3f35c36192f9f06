#include "ui/alerts/CPriceAlter.h"

#include "core/alerts/AlertExchanges.h"
#include "core/alerts/AlertList.h"
#include "core/alerts/AlertTexts.h"
#include "core/platform/DesktopSeam.h"
#include "core/trading/TradingData.h"
#include "ui/TradingNotices.h"
#include "ui/widgets/CSortListCtrl.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include <string>

namespace qs::ui {

namespace {
constexpr int kAbove = 1; // ">="
constexpr int kBelow = 2; // "<="
} // namespace

CPriceAlter::CPriceAlter(const FrameContext &context, AlertList &alerts, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_alerts(alerts)
    , m_product(new QComboBox(this))
    , m_condition(new QComboBox(this))
    , m_price(new QLineEdit(this))
    , m_list(new CSortListCtrl(this))
{
    setObjectName(QStringLiteral("CPriceAlter"));
    setWindowTitle(QStringLiteral("价格预警设置"));
    m_product->setObjectName(QStringLiteral("combo1066"));
    m_product->setAccessibleName(QStringLiteral("产品"));
    m_condition->setObjectName(QStringLiteral("combo1064"));
    m_condition->setAccessibleName(QStringLiteral("条件"));
    m_price->setObjectName(QStringLiteral("edit1042"));
    m_price->setAccessibleName(QStringLiteral("价格"));
    m_list->setObjectName(QStringLiteral("list1050"));
    m_list->setAccessibleName(QStringLiteral("已有预警信息"));
    m_list->setColumns({ReportColumn{"已有预警信息", SortKind::Text}});
    // The alert list has no sort header.
    m_list->horizontalHeader()->setSectionsClickable(false);
    auto *save = new QPushButton(QStringLiteral("保存"), this);
    save->setObjectName(QStringLiteral("button1067"));
    save->setAutoDefault(false);

    for (const TypeInfo &product : m_context.trading.products())
        m_product->addItem(QString::fromStdString(product.nameText()), product.productId);
    m_condition->addItem(QStringLiteral(">="), kAbove);
    m_condition->addItem(QStringLiteral("<="), kBelow);
    // The toolkit selects the first item added; an untouched dialog must ask for both choices.
    m_product->setCurrentIndex(-1);
    m_condition->setCurrentIndex(-1);

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("产品"), this));
    row->addWidget(m_product);
    row->addWidget(m_condition);
    row->addWidget(new QLabel(QStringLiteral("价格"), this));
    row->addWidget(m_price);
    row->addWidget(new QLabel(QStringLiteral("时进行提醒"), this));
    row->addWidget(save);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_list, 1);
    resize(620, 360);

    connect(save, &QPushButton::clicked, this, &CPriceAlter::add);
    connect(m_list, &CSortListCtrl::rowMenuRequested, this,
            [this](const QPoint &at, int) { showMenu(at); });
    connect(&m_context.notices, &TradingNotices::alertsChanged, this, &CPriceAlter::fill);
    fill();
}

void CPriceAlter::fill()
{
    std::vector<ReportRow> rows;
    std::vector<std::string> keys;
    for (const AlertInfo &alert : m_alerts.snapshot()) {
        rows.push_back({AlertRowText(alert, m_context.trading.product(alert.productId))});
        keys.push_back(std::to_string(alert.alertId));
    }
    m_list->setRows(std::move(rows), std::move(keys));
}

void CPriceAlter::add()
{
    const std::int32_t productId
        = m_product->currentIndex() < 0 ? 0 : m_product->currentData().toInt();
    const std::int32_t condition
        = m_condition->currentIndex() < 0 ? 0 : m_condition->currentData().toInt();
    const double price = m_price->text().trimmed().toDouble();
    if (const auto refusal = CheckNewAlert(productId, condition, price)) {
        m_context.link.seam().messageBox(*refusal, MessageIcon::None, MessageButtons::Ok);
        return;
    }
    if (AddAlert(m_context.link, m_alerts, productId, condition, price) == AddAlertResult::Added)
        fill();
}

void CPriceAlter::showMenu(const QPoint &at)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("alertsPopup"));
    QAction *remove = menu.addAction(QStringLiteral("删除"));
    if (menu.exec(at) == remove)
        deleteSelected();
}

void CPriceAlter::deleteSelected()
{
    const int row = m_list->selectedRow();
    if (row < 0)
        return;
    const std::int32_t alertId = std::stoi(m_list->key(row));
    if (DeleteAlertFromDialog(m_context.link, m_alerts, alertId))
        fill();
}

} // namespace qs::ui
