#pragma once

#include "core/protocol/ServerLink.h"

#include <functional>

class QWidget;

namespace qs {
struct TradingData;
}

namespace qs::ui {

class TradingNotices;

// What a feature's commands may use of the main frame.
struct FrameContext {
    ServerLink link;
    TradingData &trading;
    QWidget *window; // owner of the feature's dialogs
    TradingNotices &notices;
    std::function<void()> relayoutChart; // UI thread
};

} // namespace qs::ui
