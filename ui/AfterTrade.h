#pragma once

#include "core/orders/OrderRefetch.h"
#include "ui/FrameContext.h"

namespace qs::ui {

// What the frame hears after a trade the member made, in the order each kind of site has
// always had: the chart's relayout (a new record's screen positions are zero until then), 1033
// to the open windows so their lists refill, and sound 190.
enum class AfterTradeOrder {
    SoundRelayout,       // an open order its dialog ended with success
    RelayoutNoticeSound, // a change the server confirmed in its dialog
    RelayoutNotice,      // a limit close added from its reply
    RelayoutSound,       // a deleted pending order
    Relayout,            // a reply that broke off: the server may have acted all the same
};

void AnnounceTrade(const FrameContext &context, const TradeChange &change, AfterTradeOrder order);

} // namespace qs::ui
