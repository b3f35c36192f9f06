#include "ui/orders/OrderCommands.h"

#include "core/orders/DeleteOrder.h"
#include "core/platform/DesktopSeam.h"
#include "core/platform/SoundIds.h"
#include "core/protocol/TradingData.h"
#include "ui/CommandIds.h"
#include "ui/orders/COpenOrder.h"
#include "ui/orders/COpenOrderZj.h"

#include <algorithm>
#include <vector>

namespace qs::ui {

OrderCommands::OrderCommands(FrameContext context)
    : m_context(std::move(context))
{}

bool OrderCommands::route(int commandId)
{
    switch (commandId) {
    case command::kMarketOpen:
        openOrder<COpenOrder>(Refetch::Holdings);
        return true;
    case command::kLimitOpen:
        openOrder<COpenOrderZj>(Refetch::OrdersAndAccount);
        return true;
    case command::kDeleteOrder:
        deleteSelectedOrder();
        return true;
    default:
        return false;
    }
}

template<typename Dialog>
void OrderCommands::openOrder(Refetch after)
{
    Dialog dialog(m_context, m_context.currentProduct(), m_context.window);
    if (dialog.exec() == Dialog::kSucceeded)
        afterOrder(after);
}

void OrderCommands::afterOrder(Refetch what)
{
    RefetchAfterOrder(m_context.link, m_context.trading, what);
    m_context.link.seam().playSound(sound::kTradeDone, false);
    if (m_context.relayoutChart)
        m_context.relayoutChart();
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
