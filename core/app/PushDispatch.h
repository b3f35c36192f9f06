#pragma once

#include "core/protocol/PushEventSink.h"
#include "core/protocol/ServerLink.h"
#include "core/signals/SignalFeed.h"
#include "core/trading/PriceTick.h"

#include <atomic>

namespace qs {

class AlertList;
class ClientEvents;
class ClientViewState;
class MessageList;
class SignalList;
struct TradingData;

// Where every pushed event goes, and in which order: a bar record first through the price tick
// (prices and triggers, figures, the low-risk check, the refresh with its sound and relayout, the
// figures again after a refresh, the windows' notices, the alert check), then into the chart's
// bar list; a signal record through the signal feed only; a
// server message into the message list. Runs on the push thread; what windows must do leaves
// through ClientEvents.
class PushDispatch final : public PushEventSink {
public:
    PushDispatch(TradingData &trading, const ServerLink &link, ClientViewState &view,
                 SignalList &signals, MessageList &messages, AlertList &alerts,
                 ClientEvents &events);

    // The main window is going: ticks still being read do nothing more.
    void detach() { m_attached = false; }

    void onConnected() override;
    void onBarRecord(const KLineBar &bar) override;
    void onSignalRecord(const SignalRecord &signal) override;
    void onMessage(const std::string &utf8) override;
    void onHeartbeat() override;
    void onSessionClosed() override;
    void onKickedOff() override;

private:
    void tick(const KLineBar &bar);
    void checkAlerts(const KLineBar &tick);

    SignalFeedHooks feedHooks();
    void addMessage(const std::string &utf8, int soundId);

    TradingData &m_trading;
    const ServerLink m_link;
    ClientViewState &m_view;
    MessageList &m_messages;
    AlertList &m_alerts;
    ClientEvents &m_events;
    std::atomic<bool> m_attached{true};
    PriceTick m_priceTick;
    SignalFeed m_feed;
};

} // namespace qs
