#include "ui/TradingNotices.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

namespace qs::ui {

namespace {

void SendNotices(QWidget *target, bool holdChanged, bool delegateChanged, const KLineBar &tick)
{
    // A handler may close its own window: each step checks that it is still there.
    const QPointer<QWidget> window(target);
    if (holdChanged || delegateChanged) {
        HoldChangedEvent hold;
        QCoreApplication::sendEvent(window, &hold);
    }
    if (delegateChanged && !window.isNull()) {
        DelegateChangedEvent orders;
        QCoreApplication::sendEvent(window, &orders);
    }
    if (!window.isNull()) {
        PriceTickEvent priceTick(tick);
        QCoreApplication::sendEvent(window, &priceTick);
    }
}

} // namespace

TradingNotices::TradingNotices(QObject *parent)
    : QObject(parent)
{}

void TradingNotices::add(QWidget *window)
{
    if (const auto found = m_connections.find(window); found != m_connections.end()) {
        disconnect(found->second.ticks);
        disconnect(found->second.orders);
        m_connections.erase(found);
    } else {
        connect(window, &QObject::destroyed, this,
                [this](QObject *gone) { m_connections.erase(gone); });
    }
    // Slots run in the order they were connected: reconnecting moves the window to the end.
    Route &route = m_connections[window];
    route.ticks = connect(this, &TradingNotices::delivered, window,
                          [window](bool holdChanged, bool delegateChanged, const KLineBar &tick) {
                              SendNotices(window, holdChanged, delegateChanged, tick);
                          });
    route.orders = connect(this, &TradingNotices::ordersChanged, window, [window] {
        DelegateChangedEvent orders;
        QCoreApplication::sendEvent(window, &orders);
    });
}

void TradingNotices::notifyOrdersChanged()
{
    Q_EMIT ordersChanged();
}

void TradingNotices::deliver(bool holdChanged, bool delegateChanged, const KLineBar &tick)
{
    Q_EMIT delivered(holdChanged, delegateChanged, tick);
}

} // namespace qs::ui
