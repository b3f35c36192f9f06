#include "core/app/PushDispatch.h"

#include "core/alerts/AlertCheck.h"
#include "core/alerts/MessageList.h"
#include "core/app/ClientEvents.h"
#include "core/app/ClientViewState.h"
#include "core/platform/SoundIds.h"

namespace qs {

PushDispatch::PushDispatch(TradingData &trading, const ServerLink &link, ClientViewState &view,
                           SignalList &signals, MessageList &messages, AlertList &alerts,
                           ClientEvents &events)
    : m_trading(trading)
    , m_link(link)
    , m_view(view)
    , m_messages(messages)
    , m_alerts(alerts)
    , m_events(events)
    , m_priceTick(trading, link, *this)
    , m_feed(signals, trading, view.flags(), feedHooks())
{}

SignalFeedHooks PushDispatch::feedHooks()
{
    SignalFeedHooks hooks;
    hooks.currentProduct = [this] {
        return m_view.currentProduct();
    };
    hooks.relayoutChart = [this] {
        m_events.relayoutChart();
    };
    // A withdrawn line goes with a full repaint of the chart, which its relayout gives.
    hooks.repaintChart = [this] {
        m_events.relayoutChart();
    };
    hooks.blinkUpkeep = [this](std::int32_t productId, int direction) {
        m_events.blinkUpkeep(productId, direction);
    };
    hooks.addMessage = [this](const std::string &utf8, int soundId) {
        addMessage(utf8, soundId);
    };
    return hooks;
}

void PushDispatch::onBarRecord(const KLineBar &bar)
{
    // The account follows the price before the chart shows it.
    m_priceTick.handle(bar);
    const PushedBarChange change = m_view.applyPushedBar(bar);
    if (change == PushedBarChange::LiveOverwritten || change == PushedBarChange::LiveInserted)
        m_events.liveBarApplied(change == PushedBarChange::LiveInserted);
}

void PushDispatch::onSignalRecord(const SignalRecord &signal)
{
    m_feed.feed(signal);
}

void PushDispatch::onMessage(const std::string &utf8)
{
    addMessage(utf8, sound::kMessage);
}

void PushDispatch::addMessage(const std::string &utf8, int soundId)
{
    m_messages.add(utf8);
    m_events.messageAdded(soundId);
}

void PushDispatch::onHeartbeat()
{
    m_view.noteHeartbeat();
}

void PushDispatch::onSessionClosed()
{
    m_events.sessionEnded(SessionEnd::LinkLost);
}

void PushDispatch::onKickedOff()
{
    m_events.sessionEnded(SessionEnd::KickedOff);
}

bool PushDispatch::mainWindowExists()
{
    return m_attached;
}

void PushDispatch::relayoutChart()
{
    m_events.relayoutChart();
}

void PushDispatch::notifyWindows(bool holdChanged, bool delegateChanged, const KLineBar &tick)
{
    m_events.tradingNotices(holdChanged, delegateChanged, tick);
}

void PushDispatch::checkAlerts(const KLineBar &tick)
{
    AlertCheckHooks hooks;
    hooks.announce = [this](const std::string &announcement) {
        addMessage(announcement, sound::kAlert);
    };
    hooks.alertsChanged = [this] {
        m_events.alertsChanged();
    };
    CheckAlerts(m_alerts, tick, m_trading, m_link, hooks);
}

} // namespace qs
