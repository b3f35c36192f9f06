#include "core/signals/SignalFeed.h"

#include "core/market/ProductNotificationFlags.h"
#include "core/market/SignalList.h"
#include "core/platform/SoundIds.h"
#include "core/signals/Announcement.h"
#include "core/trading/TradingData.h"

namespace qs {

SignalFeed::SignalFeed(SignalList &signals, const TradingData &trading,
                       const ProductNotificationFlags &flags, SignalFeedHooks hooks)
    : m_signals(signals)
    , m_trading(trading)
    , m_flags(flags)
    , m_hooks(std::move(hooks))
{}

void SignalFeed::feed(const SignalRecord &signal)
{
    const std::int32_t productId = signal.productId;
    if (signal.isWithdrawal()) {
        m_signals.withdraw(signal);
        repaintIfCurrent(productId);
        if (m_hooks.blinkUpkeep)
            m_hooks.blinkUpkeep(productId, -1);
        return;
    }

    const bool repeated = m_signals.add(signal);
    if (m_hooks.relayoutChart)
        m_hooks.relayoutChart();
    repaintIfCurrent(productId);
    if (m_hooks.blinkUpkeep)
        m_hooks.blinkUpkeep(productId, 1);
    // An id outside 1..30 has no flag byte and reads as 0: listed and drawn, never announced.
    if (repeated || m_flags.flag(productId) != 1)
        return;
    const std::string text = AnnouncementText(signal, m_trading.product(productId));
    if (m_hooks.addMessage)
        m_hooks.addMessage(text, sound::kMessage);
}

void SignalFeed::repaintIfCurrent(std::int32_t productId)
{
    if (m_hooks.currentProduct && m_hooks.repaintChart && m_hooks.currentProduct() == productId)
        m_hooks.repaintChart();
}

} // namespace qs
