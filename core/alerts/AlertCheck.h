#pragma once

#include <functional>
#include <string>

namespace qs {

class AlertList;
class ServerLink;
struct KLineBar;
struct TradingData;

struct AlertCheckHooks {
    // Into the message list with the alert sound.
    std::function<void(const std::string &announcement)> announce;
    // An alert left the list: an open alert dialog refills.
    std::function<void()> alertsChanged;
};

// The last step of a price tick, on the push thread. The price is the tick's close over
// 10^digits in double; condition 1 is reached at or above the level, 2 at or below it. Each
// reached alert of the ticked product, in list order, is announced, then deleted on the server
// with its record as stored and, once deleted, dropped from the list; a refused deletion keeps it
// for the next tick. The list's lock is never held across an exchange.
void CheckAlerts(AlertList &alerts, const KLineBar &tick, const TradingData &trading,
                 const ServerLink &link, const AlertCheckHooks &hooks);

} // namespace qs
