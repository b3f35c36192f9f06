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
        disconnect(found->second);
        m_connections.erase(found);
    } else {
        connect(window, &QObject::destroyed, this,
                [this](QObject *gone) { m_connections.erase(gone); });
    }
    // Slots run in the order they were connected: reconnecting moves the window to the end.
    m_connections[window]
        = connect(this, &TradingNotices::delivered, window,
                  [window](bool holdChanged, bool delegateChanged, const KLineBar &tick) {
                      SendNotices(window, holdChanged, delegateChanged, tick);
                  });
}

void TradingNotices::deliver(bool holdChanged, bool delegateChanged, const KLineBar &tick)
{
    Q_EMIT delivered(holdChanged, delegateChanged, tick);
}

} // namespace qs::ui
