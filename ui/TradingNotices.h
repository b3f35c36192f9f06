#pragma once

#include "core/app/ClientEvents.h"
#include "core/orders/OrderRefetch.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/SignalRecord.h"
#include "core/trading/PriceTick.h"

#include <QObject>

#include <map>
#include <optional>

class QWidget;

namespace qs::ui {

// The window messages of the trading notices, by which windows and tests name them.
inline constexpr int kPriceTickMessage = 1031;       // UM_PRICE_TICK
inline constexpr int kHoldChangedMessage = 1032;     // UM_HOLD_CHANGED
inline constexpr int kDelegateChangedMessage = 1033; // UM_DELEGATE_CHANGED

// One delivery to the registered windows.
struct WindowNotices {
    bool holdings = false;        // 1032
    bool orders = false;          // 1033
    std::optional<KLineBar> tick; // 1031
};

// What a registered window hears, one call per notice; each does nothing unless overridden.
class NoticeReceiver {
public:
    virtual void holdingsChanged() {}
    virtual void ordersChanged() {}
    virtual void ticked(const KLineBar &) {}

protected:
    ~NoticeReceiver() = default;
};

// The one route of trading events to windows and the chart. UI thread only. A registered window
// hears, per delivery and in this order, 1032 if holdings or orders changed, 1033 if the orders
// did, then 1031 with the tick; windows hear it window by window in registration order, and a
// destroyed window drops out by itself. The typed signals follow each delivery for whoever
// connects to them.
class TradingNotices final : public QObject {
    Q_OBJECT

public:
    explicit TradingNotices(QObject *parent = nullptr);

    // A window is listed once; registering again moves it to the end.
    void add(QWidget *window, NoticeReceiver *receiver);
    std::size_t count() const { return m_connections.size(); }

    // A tick as the push thread handled it.
    void tickChanged(const qs::TickChange &change);
    void deliver(bool holdChanged, bool delegateChanged, const qs::KLineBar &tick);
    // An order dialog changed the pending orders itself: 1033 alone, no tick.
    void notifyOrdersChanged();
    // What the member's own trade fetched again, for the typed signals only.
    void tradeDone(const qs::TradeChange &change);
    // A reached alert left the alert list (1035): the open alert dialog refills.
    void notifyAlertsChanged() { Q_EMIT alertsChanged(); }
    void notifySignal(const qs::SignalRecord &signal) { Q_EMIT signalArrived(signal); }
    void notifyMessage() { Q_EMIT messageArrived(); }
    void notifyPushState(qs::PushState state) { Q_EMIT pushStateChanged(state); }

Q_SIGNALS:
    // To the registered windows; one emission per delivery.
    void changed(const qs::ui::WindowNotices &notices);

    void ticked(const qs::KLineBar &tick);
    void holdingsChanged();
    void ordersChanged();
    void accountChanged();
    void alertsChanged();
    void signalArrived(const qs::SignalRecord &signal);
    void messageArrived();
    void pushStateChanged(qs::PushState state);
    void positionClosedByServer(const qs::ServerDeal &position);
    void orderFilledByServer(const qs::ServerDeal &order);

private:
    void send(const WindowNotices &notices);

    std::map<QObject *, QMetaObject::Connection> m_connections;
};

} // namespace qs::ui
