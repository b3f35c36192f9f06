#include "ui/orders/OrderCommands.h"

#include "core/orders/DeleteOrder.h"
#include "core/protocol/TradingData.h"
#include "ui/CommandIds.h"

#include <algorithm>
#include <vector>

namespace qs::ui {

OrderCommands::OrderCommands(FrameContext context)
    : m_context(std::move(context))
{}

bool OrderCommands::route(int commandId)
{
    switch (commandId) {
    case command::kDeleteOrder:
        deleteSelectedOrder();
        return true;
    default:
        return false;
    }
}

void OrderCommands::deleteSelectedOrder()
{
    // The chart names the order; the record is looked up again now.
    const std::string &number = m_context.selection.order;
    if (number.empty())
        return;
    const std::vector<DelegateInfo> orders = m_context.trading.pendingOrders();
    const auto selected
        = std::find_if(orders.begin(), orders.end(),
                       [&number](const DelegateInfo &o) { return o.number() == number; });
    if (selected == orders.end())
        return;
    DeleteOrder(*selected, m_context.link, m_context.trading, m_context.relayoutChart);
}

} // namespace qs::ui
