#pragma once

#include "core/chart/BarList.h"
#include "core/chart/KLineCache.h"
#include "core/chart/KLineDownload.h"
#include "core/market/ProductNotificationFlags.h"
#include "core/platform/DataFolder.h"
#include "core/protocol/Session.h"

#include <atomic>
#include <cstdint>

namespace qs {

class DesktopSeam;
class SignalList;

// The client view without its window: current product, notification flags, heartbeat flag and
// the K-line download state, with the view's restart and watchdog rules. The bar list and the
// signal list belong to the chart and are lent to it.
class ClientViewState {
public:
    ClientViewState(const ServerEndpoint &endpoint, const Session &session, DataFolder folder,
                    BarList &bars, SignalList &signals, DownloadEvents &events);

    // Creation: the flags all 1, the settings file, command 42, and the settings' last product
    // when it lies in 1..99.
    void create(DesktopSeam &seam);

    std::int32_t currentProduct() const { return m_product.load(); }
    void setCurrentProduct(std::int32_t productId) { m_product = productId; }
    // The product switch: the id, then the settings file's last product; the caller restarts.
    void changeProduct(std::int32_t productId);

    // The core part of the view restart: abandon the running download first (so nothing stale
    // lands in the emptied lists), clear history-loaded, empty the bars and signals, load the
    // cache and start a download.
    void restart();
    // "重新初始化": the running download is abandoned, the product's cache file deleted, then
    // the restart.
    void reinitialize();
    // Left and Down: a page of older bars, only while no download runs.
    bool pageBack() { return m_download.pageBack(); }

    // Push thread.
    void noteHeartbeat() { m_heartbeat = true; }
    PushedBarChange applyPushedBar(const KLineBar &bar);

    // Watchdog tick: true when no heartbeat came since the last tick (the caller reconnects and
    // restarts). The flag is cleared either way.
    bool watchdogTick() { return !m_heartbeat.exchange(false); }

    bool historyLoaded() const { return m_download.historyLoaded(); }
    bool downloadInProgress() const { return m_download.inProgress(); }

    ProductNotificationFlags &flags() { return m_flags; }
    const ProductNotificationFlags &flags() const { return m_flags; }
    KLineDownload &download() { return m_download; }
    const KLineCache &cache() const { return m_cache; }
    BarList &bars() { return m_bars; }
    SignalList &signals() { return m_signals; }

    // Abandons the download and waits for every download thread.
    void shutdown();

private:
    const ServerEndpoint m_endpoint;
    const Session &m_session;
    const DataFolder m_folder;
    const KLineCache m_cache;
    BarList &m_bars;
    SignalList &m_signals;
    ProductNotificationFlags m_flags;
    std::atomic<std::int32_t> m_product{1};
    std::atomic<bool> m_heartbeat{false};
    KLineDownload m_download;
};

} // namespace qs
