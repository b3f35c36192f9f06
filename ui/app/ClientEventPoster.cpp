#include "ui/app/ClientEventPoster.h"

namespace qs::ui {

ClientEventPoster::ClientEventPoster(QObject *parent)
    : QObject(parent)
{}

void PostToUiThread(QObject *receiver, std::function<void()> work)
{
    QMetaObject::invokeMethod(receiver, std::move(work), Qt::QueuedConnection);
}

void ClientEventPoster::post(std::function<void()> work)
{
    PostToUiThread(this, std::move(work));
}

void ClientEventPoster::relayoutChart()
{
    post([this] { Q_EMIT chartRelayoutRequested(); });
}

void ClientEventPoster::liveBarApplied(bool newBar)
{
    post([this, newBar] { Q_EMIT liveBarWasApplied(newBar); });
}

void ClientEventPoster::tradingNotices(const TickChange &change)
{
    post([this, change] { Q_EMIT tradingNoticesArrived(change); });
}

void ClientEventPoster::blinkUpkeep(std::int32_t productId, int direction)
{
    post([this, productId, direction] { Q_EMIT blinkUpkeepRequested(productId, direction); });
}

void ClientEventPoster::messageAdded(int soundId)
{
    post([this, soundId] { Q_EMIT messageWasAdded(soundId); });
}

void ClientEventPoster::sessionEnded(SessionEnd why)
{
    post([this, why] {
        Q_EMIT pushStateWasChanged(PushState::Lost);
        Q_EMIT sessionWasEnded(why);
    });
}

void ClientEventPoster::pushConnected()
{
    post([this] { Q_EMIT pushStateWasChanged(PushState::Connected); });
}

void ClientEventPoster::signalArrived(const SignalRecord &signal)
{
    post([this, signal] { Q_EMIT signalWasPushed(signal); });
}

void ClientEventPoster::alertsChanged()
{
    post([this] { Q_EMIT alertsWereChanged(); });
}

} // namespace qs::ui
