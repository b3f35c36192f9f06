#pragma once

#include "core/protocol/KLineBar.h"
#include "core/protocol/SignalRecord.h"
#include "ui/chart/CKMain.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qs::ui {

// What the client view hands on to the main frame. The first three run on the push thread and
// must not wait for the UI thread (post instead); the others run on the UI thread. An empty hook
// is skipped.
struct ClientViewHooks {
    // Every bar record of the push channel, before the chart applies it.
    std::function<void(const KLineBar &)> priceTick;
    // Every signal record of the push channel. Without a feed the view only keeps the chart's
    // signal list (withdraw or add) and asks for a relayout.
    std::function<void(const SignalRecord &)> signalFeed;
    // A server message (may be empty).
    std::function<void(const std::string &utf8)> message;
    // A signal arrived in a download: the blink list upkeep for its product, direction +1.
    std::function<void(std::int32_t productId, int direction)> blinkUpkeep;
    // After the session-ending message: restart the program.
    std::function<void()> restartProgram;
    // The chart panel's popup commands, selections and tool-mode changes.
    CKMainCallbacks chart;
};

} // namespace qs::ui
