#include "ui/TradingNotices.h"

#include <QPointer>
#include <QWidget>

namespace qs::ui {

namespace {

void Hand(QWidget *target, NoticeReceiver *receiver, const WindowNotices &notices)
{
    // A handler may close its own window: each step checks that it is still there.
    const QPointer<QWidget> window(target);
    if (notices.holdings)
        receiver->holdingsChanged();
    if (notices.orders && !window.isNull())
        receiver->ordersChanged();
    if (notices.tick && !window.isNull())
        receiver->ticked(*notices.tick);
}

} // namespace

TradingNotices::TradingNotices(QObject *parent)
    : QObject(parent)
{}

void TradingNotices::add(QWidget *window, NoticeReceiver *receiver)
{
    if (const auto found = m_connections.find(window); found != m_connections.end()) {
        disconnect(found->second);
        m_connections.erase(found);
    } else {
        connect(window, &QObject::destroyed, this,
                [this](QObject *gone) { m_connections.erase(gone); });
    }
    // Slots run in the order they were connected: reconnecting moves the window to the end.
    m_connections[window] = connect(
        this, &TradingNotices::changed, window,
        [window, receiver](const WindowNotices &notices) { Hand(window, receiver, notices); });
}

void TradingNotices::send(const WindowNotices &notices)
{
    Q_EMIT changed(notices);
    if (notices.holdings)
        Q_EMIT holdingsChanged();
    if (notices.orders)
        Q_EMIT ordersChanged();
    if (notices.tick)
        Q_EMIT ticked(*notices.tick);
}

void TradingNotices::tickChanged(const TickChange &change)
{
    WindowNotices notices;
    // A filled order opens a position: 1032 goes with every 1033 of a tick.
    notices.holdings = change.holdings || change.orders;
    notices.orders = change.orders;
    notices.tick = change.tick;
    send(notices);
    if (change.refreshed)
        Q_EMIT accountChanged();
    for (const ServerDeal &position : change.closedByServer)
        Q_EMIT positionClosedByServer(position);
    for (const ServerDeal &order : change.filledByServer)
        Q_EMIT orderFilledByServer(order);
}

void TradingNotices::deliver(bool holdChanged, bool delegateChanged, const KLineBar &tick)
{
    TickChange change;
    change.holdings = holdChanged;
    change.orders = delegateChanged;
    change.tick = tick;
    tickChanged(change);
}

void TradingNotices::notifyOrdersChanged()
{
    Q_EMIT changed(WindowNotices{false, true, std::nullopt});
}

void TradingNotices::tradeDone(const TradeChange &change)
{
    if (change.holdings)
        Q_EMIT holdingsChanged();
    if (change.orders)
        Q_EMIT ordersChanged();
    if (change.account)
        Q_EMIT accountChanged();
}

} // namespace qs::ui
