#pragma once

#include "core/protocol/KLineBar.h"

#include <QEvent>
#include <QObject>

#include <map>

class QWidget;

namespace qs::ui {

// The notices a price tick sends to registered windows, as Qt events with the message numbers
// of the protocol's window messages.
inline constexpr int kPriceTickMessage = 1031;       // UM_PRICE_TICK
inline constexpr int kHoldChangedMessage = 1032;     // UM_HOLD_CHANGED
inline constexpr int kDelegateChangedMessage = 1033; // UM_DELEGATE_CHANGED

constexpr QEvent::Type NoticeType(int message)
{
    return static_cast<QEvent::Type>(QEvent::User + message);
}

class PriceTickEvent : public QEvent {
public:
    explicit PriceTickEvent(const KLineBar &tick)
        : QEvent(NoticeType(kPriceTickMessage))
        , m_tick(tick)
    {}
    const KLineBar &tick() const { return m_tick; }

private:
    KLineBar m_tick;
};

class HoldChangedEvent : public QEvent {
public:
    HoldChangedEvent()
        : QEvent(NoticeType(kHoldChangedMessage))
    {}
};

class DelegateChangedEvent : public QEvent {
public:
    DelegateChangedEvent()
        : QEvent(NoticeType(kDelegateChangedMessage))
    {}
};

// The one route of the trading notices (1031-1033) to windows. UI thread only. A registered
// window hears, per delivery and in this order, 1032 if either flag is set, 1033 if the orders
// changed, then 1031 with the tick; a destroyed window drops out by itself.
class TradingNotices final : public QObject {
    Q_OBJECT

public:
    explicit TradingNotices(QObject *parent = nullptr);

    // A window is listed once; registering again moves it to the end.
    void add(QWidget *window);
    std::size_t count() const { return m_connections.size(); }

    void deliver(bool holdChanged, bool delegateChanged, const qs::KLineBar &tick);
    // An order dialog changed the pending orders itself: 1033 alone, no tick.
    void notifyOrdersChanged();
    // A reached alert left the alert list (1035): the open alert dialog refills.
    void notifyAlertsChanged() { Q_EMIT alertsChanged(); }

Q_SIGNALS:
    // Windows may also listen to this directly; registered ones hear it as events.
    void delivered(bool holdChanged, bool delegateChanged, const qs::KLineBar &tick);
    void ordersChanged();
    void alertsChanged();

private:
    struct Route {
        QMetaObject::Connection ticks;
        QMetaObject::Connection orders;
    };
    std::map<QObject *, Route> m_connections;
};

} // namespace qs::ui
