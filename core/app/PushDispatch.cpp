#include "core/app/PushDispatch.h"

#include "core/alerts/AlertCheck.h"
#include "core/alerts/MessageList.h"
#include "core/app/ClientEvents.h"
#include "core/app/ClientViewState.h"
#include "core/platform/DesktopSeam.h"
#include "core/platform/SoundIds.h"
#include "core/trading/RecalcAccountFigures.h"

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
    , m_priceTick(trading, link)
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
    if (m_attached)
        tick(bar);
    const PushedBarChange change = m_view.applyPushedBar(bar);
    if (change == PushedBarChange::LiveOverwritten || change == PushedBarChange::LiveInserted)
        m_events.liveBarApplied(change == PushedBarChange::LiveInserted);
}

void PushDispatch::onConnected()
{
    m_events.pushConnected();
}

void PushDispatch::onSignalRecord(const SignalRecord &signal)
{
    m_feed.feed(signal);
    m_events.signalArrived(signal);
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

void PushDispatch::tick(const KLineBar &bar)
{
    TickChange change = m_priceTick.applyPrices(bar);
    RecalcAccountFigures(m_trading);
    if (m_priceTick.lowRisk())
        change.holdings = true;
    if (change.needsRefresh()) {
        m_priceTick.refresh(change);
        m_link.seam().playSound(sound::kRefresh, false);
        m_events.relayoutChart();
        // Without a refresh the lists are as the first figures saw them.
        if (change.refreshed)
            RecalcAccountFigures(m_trading);
    }
    m_events.tradingNotices(change);
    checkAlerts(bar);
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
