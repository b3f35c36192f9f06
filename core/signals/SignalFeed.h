#pragma once

#include "core/protocol/SignalRecord.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qs {

class ProductNotificationFlags;
class SignalList;
struct TradingData;

// What the feed asks of the chart and the main frame. Each runs on the feeding thread (the push
// thread) and must hand its work to the UI thread without waiting for it. An empty hook is
// skipped.
struct SignalFeedHooks {
    // The chart's current product, to decide whether the chart needs repainting.
    std::function<std::int32_t()> currentProduct;
    // Lay the chart out again (which gives a new signal its line) and repaint it.
    std::function<void()> relayoutChart;
    // Repaint the chart as it is laid out (background erased).
    std::function<void()> repaintChart;
    // Blink list upkeep: +1 for a new or repeated signal, -1 for a withdrawn one.
    std::function<void(std::int32_t productId, int direction)> blinkUpkeep;
    // Add a message to the message list with its looping sound.
    std::function<void(const std::string &utf8, int soundId)> addMessage;
};

// Every pushed signal record passes through here: the chart's signal list, the product's
// button, and an announcement for a new signal of a product whose notification flag is 1.
class SignalFeed {
public:
    SignalFeed(SignalList &signals, const TradingData &trading,
               const ProductNotificationFlags &flags, SignalFeedHooks hooks);

    void feed(const SignalRecord &signal);

private:
    void repaintIfCurrent(std::int32_t productId);

    SignalList &m_signals;
    const TradingData &m_trading;
    const ProductNotificationFlags &m_flags;
    const SignalFeedHooks m_hooks;
};

} // namespace qs
