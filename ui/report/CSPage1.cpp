#include "ui/report/CSPage1.h"

#include "core/report/ReportPages.h"
#include "core/trading/TradingData.h"
#include "ui/widgets/CSortListCtrl.h"

#include <QMenu>

#include <string>
#include <unordered_map>

namespace qs::ui {

CSPage1::CSPage1(const FrameContext &context, OrderWindows orderWindows,
                 std::function<void()> refreshAccountBar, QWidget *parent)
    : ReportPage(context, std::move(refreshAccountBar), parent)
    , m_orderWindows(std::move(orderWindows))
    , m_list(addList(PositionColumns(), QStringLiteral("持仓明细")))
{
    setObjectName(QStringLiteral("CSPage1"));
    connect(m_list, &CSortListCtrl::rowMenuRequested, this,
            [this](const QPoint &at, int) { showMenu(at); });
    listenToNotices();
    fill();
}

void CSPage1::fill()
{
    std::vector<ReportRow> rows;
    std::vector<std::string> keys;
    for (const HoldInfo &position : m_context.trading.positions()) {
        rows.push_back(PositionRow(position, m_context.trading.product(position.productId)));
        keys.push_back(position.number());
    }
    m_list->setRows(std::move(rows), std::move(keys));
}

void CSPage1::holdingsChanged()
{
    fill();
}

void CSPage1::ticked(const KLineBar &tick)
{
    TypeInfo product{};
    if (!m_context.trading.copyProduct(tick.productId, product))
        return;
    const std::vector<HoldInfo> positions = m_context.trading.positions();
    std::unordered_map<std::string, const HoldInfo *> ticked;
    for (const HoldInfo &position : positions)
        if (position.productId == tick.productId)
            ticked.emplace(position.number(), &position);
    if (ticked.empty())
        return;
    ReportRow cells(PositionColumns().size());
    for (int row = 0; row < m_list->rowCount(); ++row) {
        const auto found = ticked.find(m_list->key(row));
        if (found == ticked.end())
            continue;
        PositionTick(cells, *found->second, product);
        for (int column : {6, 11})
            m_list->setCell(row, column, cells[static_cast<std::size_t>(column)]);
    }
}

void CSPage1::showMenu(const QPoint &at)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("positionsPopup"));
    menu.addAction(QStringLiteral("修改"))->setData(kModify);
    menu.addAction(QStringLiteral("市价平仓"))->setData(kMarketClose);
    menu.addAction(QStringLiteral("指价平仓"))->setData(kLimitClose);
    if (const QAction *chosen = menu.exec(at))
        runCommand(chosen->data().toInt());
}

std::optional<HoldInfo> CSPage1::selectedPosition()
{
    const int row = m_list->selectedRow();
    if (row < 0 || m_list->key(row).empty())
        return std::nullopt;
    if (std::optional<HoldInfo> position = m_context.trading.position(m_list->key(row)))
        return position;
    // Gone since the fill: show what is there now rather than open a dialog on nothing.
    fill();
    return std::nullopt;
}

void CSPage1::runCommand(int command)
{
    const std::optional<HoldInfo> position = selectedPosition();
    if (!position)
        return;
    switch (command) {
    case kModify: {
        if (m_orderWindows.modifyStops(*position, this))
            fill();
        break;
    }
    case kMarketClose: {
        if (m_orderWindows.closeAtMarket(*position, this)) {
            fill();
            m_refreshAccountBar();
        }
        break;
    }
    case kLimitClose: {
        // Its success places an order and refills nothing here.
        m_orderWindows.closeAtLimit(*position, this);
        break;
    }
    default:
        break;
    }
}

} // namespace qs::ui
