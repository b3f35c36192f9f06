#pragma once

#include "core/app/ClientEvents.h"

#include <QObject>

#include <functional>

namespace qs::ui {

// Runs work on receiver's thread, after what was posted to it before: the one way worker threads
// reach the windows. Returns at once; work is dropped with the receiver.
void PostToUiThread(QObject *receiver, std::function<void()> work);

// The UI's side of ClientEvents: each call from a worker thread is posted to the UI thread with
// a copy of its data and comes out there as a signal.
class ClientEventPoster final : public QObject, public ClientEvents {
    Q_OBJECT

public:
    explicit ClientEventPoster(QObject *parent = nullptr);

    void relayoutChart() override;
    void liveBarApplied(bool newBar) override;
    void tradingNotices(const TickChange &change) override;
    void blinkUpkeep(std::int32_t productId, int direction) override;
    void messageAdded(int soundId) override;
    void sessionEnded(SessionEnd why) override;
    void alertsChanged() override;
    void pushConnected() override;
    void signalArrived(const SignalRecord &signal) override;

Q_SIGNALS:
    void chartRelayoutRequested();
    void liveBarWasApplied(bool newBar);
    void tradingNoticesArrived(const qs::TickChange &change);
    void blinkUpkeepRequested(int productId, int direction);
    void messageWasAdded(int soundId);
    void sessionWasEnded(qs::SessionEnd why);
    void alertsWereChanged();
    void pushStateWasChanged(qs::PushState state);
    void signalWasPushed(const qs::SignalRecord &signal);

private:
    void post(std::function<void()> work);
};

} // namespace qs::ui
