#pragma once

#include "core/chart/KLineDownload.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/SignalRecord.h"
#include "core/trading/PriceTick.h"

#include <cstdint>

namespace qs {

// The push channel as the windows see it.
enum class PushState {
    Connected,    // the channel's connection is made
    Reconnecting, // the watchdog gave the channel up and opens it again
    Lost,         // the session ended; no reconnect follows
};

enum class SessionEnd {
    LinkLost,  // the server ended the session; the channel must not be reconnected
    KickedOff, // the member logged in elsewhere
};

// What the push and download threads ask of the windows. The UI implements it once, by posting
// every call to its own thread: a call returns at once and never waits for the UI thread, which
// may itself be waiting for the calling thread.
class ClientEvents : public DownloadEvents {
public:
    // Lay the chart out again and repaint it.
    virtual void relayoutChart() = 0;
    // A pushed live bar went into the bar list; newBar when it opened a new period.
    virtual void liveBarApplied(bool newBar) = 0;
    // To every registered window, in this order per window: 1032 if holdings or orders changed,
    // 1033 if the orders did, then 1031 with the tick. One delivery per tick, never merged.
    virtual void tradingNotices(const TickChange &change) = 0;
    // The blink list upkeep: +1 for a new or repeated signal, -1 for a withdrawn one.
    virtual void blinkUpkeep(std::int32_t productId, int direction) = 0;
    // A message joined the message list: the manager's button blinks, the sound loops.
    virtual void messageAdded(int soundId) = 0;
    // Also the push channel's loss, for windows that show its state.
    virtual void sessionEnded(SessionEnd why) = 0;
    // The push channel's connection is made.
    virtual void pushConnected() {}
    // A pushed signal went through the signal feed.
    virtual void signalArrived(const SignalRecord &) {}
    // A reached alert left the alert list: an open alert dialog refills.
    virtual void alertsChanged() = 0;

    // A downloaded signal blinks its product's button like a pushed one; a finished download
    // lays the chart out.
    void downloadedSignal(const SignalRecord &signal) override { blinkUpkeep(signal.productId, 1); }
    void historyReady() override { relayoutChart(); }
};

} // namespace qs
