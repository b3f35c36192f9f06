#include "ui/orders/OrderCommands.h"

#include "core/orders/DeleteOrder.h"
#include "core/platform/DesktopSeam.h"
#include "core/trading/TradingData.h"
#include "ui/AfterTrade.h"
#include "ui/CommandIds.h"
#include "ui/orders/CModifyDelegate.h"
#include "ui/orders/COpenOrder.h"
#include "ui/orders/COpenOrderZj.h"
#include "ui/orders/COrderModify.h"
#include "ui/orders/COrderSJClose.h"

namespace qs::ui {

OrderCommands::OrderCommands(FrameContext context, const ChartSelection &selection,
                             std::function<std::int32_t()> chartProduct)
    : m_context(std::move(context))
    , m_selection(selection)
    , m_chartProduct(std::move(chartProduct))
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
    case command::kModifyPosition:
        changePosition<COrderModify>();
        return true;
    case command::kMarketClose:
        changePosition<COrderSJClose>();
        return true;
    case command::kModifyOrder:
        changeOrder();
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
    Dialog dialog(m_context, m_chartProduct(), m_context.window);
    if (dialog.exec() == Dialog::kSucceeded)
        afterOrder(after);
}

void OrderCommands::afterOrder(Refetch what)
{
    AnnounceTrade(m_context, RefetchAfterTrade(m_context.link, m_context.trading, what),
                  AfterTradeOrder::SoundRelayout);
}

std::optional<HoldInfo> OrderCommands::selectedPosition() const
{
    const std::string &number = m_selection.position;
    if (number.empty())
        return std::nullopt;
    return m_context.trading.position(number);
}

std::optional<DelegateInfo> OrderCommands::selectedOrder() const
{
    const std::string &number = m_selection.order;
    if (number.empty())
        return std::nullopt;
    return m_context.trading.pendingOrder(number);
}

template<typename Dialog>
void OrderCommands::changePosition()
{
    const std::optional<HoldInfo> position = selectedPosition();
    if (!position)
        return;
    // The dialog lays the chart out and refetches what it changed itself.
    Dialog dialog(m_context, *position, m_context.window);
    dialog.exec();
}

void OrderCommands::changeOrder()
{
    const std::optional<DelegateInfo> order = selectedOrder();
    if (!order)
        return;
    if (order->status != 1) {
        m_context.link.seam().messageBox("无法修改已经完成的订单", MessageIcon::None,
                                         MessageButtons::Ok);
        return;
    }
    CModifyDelegate dialog(m_context, *order, m_context.window);
    dialog.exec();
}

void OrderCommands::deleteSelectedOrder()
{
    // The chart names the order; the record is looked up again now.
    const std::optional<DelegateInfo> order = selectedOrder();
    if (order)
        DeleteOrder(*order, m_context.link, m_context.trading, [this](const TradeChange &change) {
            AnnounceTrade(m_context, change, AfterTradeOrder::RelayoutSound);
        });
}

} // namespace qs::ui
