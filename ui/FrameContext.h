#pragma once

#include "core/protocol/ServerLink.h"

#include <cstdint>
#include <functional>
#include <string>

class QWidget;

namespace qs {
struct TradingData;
}

namespace qs::ui {

class TradingNotices;

// The records the chart's popup menu was last opened on, by number (empty: none). The frame
// keeps them; a command looks the record up again, since it may be gone by then.
struct ChartSelection {
    std::string position;
    std::string order;
};

// What a feature's commands may use of the main frame.
struct FrameContext {
    ServerLink link;
    TradingData &trading;
    QWidget *window; // owner of the feature's dialogs
    TradingNotices &notices;
    const ChartSelection &selection;
    std::function<void()> relayoutChart;          // UI thread
    std::function<std::int32_t()> currentProduct; // the chart's
};

} // namespace qs::ui
