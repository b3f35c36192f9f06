#pragma once

#include "core/protocol/KLineBar.h"

#include <QEvent>

namespace qs::ui {

// The notifications a price tick sends to registered windows, as Qt events with the message
// numbers of the protocol's window messages.
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

} // namespace qs::ui
