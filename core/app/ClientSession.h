#pragma once

#include "core/alerts/AlertList.h"
#include "core/alerts/MessageList.h"
#include "core/app/ClientViewState.h"
#include "core/app/ProductSelection.h"
#include "core/app/PushDispatch.h"
#include "core/chart/BarList.h"
#include "core/market/SignalList.h"
#include "core/platform/DataFolder.h"
#include "core/protocol/PushChannel.h"
#include "core/protocol/ServerLink.h"
#include "core/trading/TradingData.h"

#include <cstdint>

namespace qs {

class ClientEvents;

// Everything a logged-in client holds, without a window: the trading collections, the alert and
// message lists, the product selection and flags, the chart's bars and signals with their
// download, and the push channel with its dispatch. Created after the login, before the main
// window; windows hold a reference and observe it. What it asks of windows leaves through the
// link's seam and through events, which must outlive it.
class ClientSession {
public:
    ClientSession(const ServerLink &link, DataFolder folder, ClientEvents &events);
    ~ClientSession();
    ClientSession(const ClientSession &) = delete;
    ClientSession &operator=(const ClientSession &) = delete;

    // Start-up, in this order, each on the UI thread: products then alerts (commands 1, 8); the
    // view state with the flags (42); the initial product; once the window shows, the account
    // (20, 16, 21, 17 on one connection), then the view restart with the push channel.
    void fetchProductsAndAlerts();
    void createView();
    std::int32_t chooseInitialProduct();
    void fetchAccount();

    // The product switch: the id and the settings file; the caller then restarts the view.
    void changeProduct(std::int32_t productId) { m_view.changeProduct(productId); }
    // "重新初始化" before the restart: the download is abandoned and the product's cache goes.
    void dropProductCache();
    // The data half of a view restart: emptied lists, the cache, a new download.
    void restartData() { m_view.restart(); }
    void openPushChannel();
    void closePushChannel() { m_push.close(); }
    // Before a restart or a lost session: the channel and the download are given up; nothing
    // waits for their threads here.
    void endChannels();
    // Ticks still being read do nothing more, the channel and the download end, and every worker
    // thread is joined. The one place that waits; the destructor runs it too.
    void shutdown();

    std::int32_t currentProduct() const { return m_view.currentProduct(); }

    const ServerLink &link() const { return m_link; }
    const DataFolder &folder() const { return m_folder; }
    TradingData &trading() { return m_trading; }
    AlertList &alerts() { return m_alerts; }
    MessageList &messages() { return m_messages; }
    ProductSelection &selection() { return m_selection; }
    ProductNotificationFlags &flags() { return m_view.flags(); }
    BarList &bars() { return m_bars; }
    SignalList &signals() { return m_signals; }
    ClientViewState &view() { return m_view; }
    const ClientViewState &view() const { return m_view; }
    bool pushChannelOpen() const { return m_push.isOpen(); }
    int pushConnectionsMade() const { return m_push.connectionsMade(); }

private:
    const ServerLink m_link;
    const DataFolder m_folder;
    TradingData m_trading;
    AlertList m_alerts;
    MessageList m_messages;
    ProductSelection m_selection;
    BarList m_bars;
    SignalList m_signals;
    ClientViewState m_view;
    // Declared after what it feeds and before the channel, whose threads it serves.
    PushDispatch m_dispatch;
    PushChannel m_push;
    bool m_shutDown = false;
};

} // namespace qs
