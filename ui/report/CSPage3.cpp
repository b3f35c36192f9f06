#include "ui/report/CSPage3.h"

#include "core/orders/DeleteOrder.h"
#include "core/platform/DesktopSeam.h"
#include "core/report/ReportPages.h"
#include "core/trading/TradingData.h"
#include "ui/AfterTrade.h"
#include "ui/widgets/CSortListCtrl.h"

#include <QMenu>

#include <optional>
#include <string>
#include <unordered_map>

namespace qs::ui {

namespace {
constexpr int kCurrentPriceColumn = 5;
}

CSPage3::CSPage3(const FrameContext &context, OrderWindows orderWindows,
                 std::function<void()> refreshAccountBar, QWidget *parent)
    : ReportPage(context, std::move(refreshAccountBar), parent)
    , m_orderWindows(std::move(orderWindows))
    , m_list(addList(OrderColumns(), QStringLiteral("委托查询")))
{
    setObjectName(QStringLiteral("CSPage3"));
    connect(m_list, &CSortListCtrl::rowMenuRequested, this, &CSPage3::showMenu);
    listenToNotices();
    fill();
}

void CSPage3::fill()
{
    std::vector<ReportRow> rows;
    std::vector<std::string> keys;
    for (const DelegateInfo &order : m_context.trading.pendingOrders()) {
        rows.push_back(OrderRow(order, m_context.trading.product(order.productId)));
        keys.push_back(order.number());
    }
    m_list->setRows(std::move(rows), std::move(keys));
}

void CSPage3::ticked(const KLineBar &tick)
{
    TypeInfo product{};
    if (!m_context.trading.copyProduct(tick.productId, product))
        return;
    const std::vector<DelegateInfo> orders = m_context.trading.pendingOrders();
    std::unordered_map<std::string, const DelegateInfo *> ticked;
    for (const DelegateInfo &order : orders)
        if (order.productId == tick.productId)
            ticked.emplace(order.number(), &order);
    if (ticked.empty())
        return;
    ReportRow cells(OrderColumns().size());
    for (int row = 0; row < m_list->rowCount(); ++row) {
        const auto found = ticked.find(m_list->key(row));
        if (found == ticked.end())
            continue;
        OrderTick(cells, *found->second, product);
        m_list->setCell(row, kCurrentPriceColumn,
                        cells[static_cast<std::size_t>(kCurrentPriceColumn)]);
    }
}

void CSPage3::showMenu(const QPoint &at, int row)
{
    // Empty space below the last row offers nothing.
    if (row < 0)
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("ordersPopup"));
    menu.addAction(QStringLiteral("修改"))->setData(kModify);
    menu.addAction(QStringLiteral("删除"))->setData(kDelete);
    if (const QAction *chosen = menu.exec(at))
        runCommand(chosen->data().toInt());
}

void CSPage3::runCommand(int command)
{
    if (command == kModify)
        modifySelected();
    else if (command == kDelete)
        deleteSelected();
}

void CSPage3::modifySelected()
{
    const int row = m_list->selectedRow();
    if (row < 0 || m_list->key(row).empty())
        return;
    const std::optional<DelegateInfo> order = m_context.trading.pendingOrder(m_list->key(row));
    if (!order) {
        // Gone since the fill: show what is there now rather than open a dialog on nothing.
        fill();
        return;
    }
    if (order->status != 1) {
        m_context.link.seam().messageBox("无法修改已经完成的订单", MessageIcon::None,
                                         MessageButtons::Ok);
        return;
    }
    if (m_orderWindows.changeOrder(*order, this)) {
        fill();
        m_refreshAccountBar();
    }
}

void CSPage3::deleteSelected()
{
    const int row = m_list->selectedRow();
    if (row < 0 || m_list->key(row).empty())
        return;
    const std::string number = m_list->key(row);
    const std::optional<DelegateInfo> known = m_context.trading.pendingOrder(number);
    const DeleteOrderResult result
        = DeleteOrder(known ? &*known : nullptr, number, NumberDeleteBody(number), m_context.link,
                      m_context.trading, [this](const TradeChange &change) {
                          AnnounceTrade(m_context, change, AfterTradeOrder::RelayoutSound);
                      });
    if (result == DeleteOrderResult::Deleted) {
        fill();
        m_refreshAccountBar();
    }
}

} // namespace qs::ui
