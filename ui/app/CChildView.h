#pragma once

#include "core/app/ClientViewState.h"
#include "core/app/PushDispatch.h"
#include "core/chart/BarList.h"
#include "core/market/SignalList.h"
#include "core/platform/DataFolder.h"
#include "core/protocol/PushChannel.h"
#include "core/protocol/ServerLink.h"
#include "ui/app/ClientEventPoster.h"
#include "ui/chart/CKMain.h"
#include "ui/chart/CLeftTips.h"

#include <QTimer>
#include <QWidget>

#include <chrono>
#include <string>

namespace qs {
class AlertList;
class MessageList;
} // namespace qs

namespace qs::ui {

// The client view: the chart panel and the left price panel, the push channel with its
// heartbeat watchdog, the K-line download state and the product notification flags. Worker
// threads reach it only through the posted client events; destroying it shuts the sockets down
// and joins every worker.
class CChildView final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kChartChildId = 3;
    static constexpr int kLeftChildId = 2;
    static constexpr int kLeftStripWidth = 85;
    static constexpr std::chrono::milliseconds kWatchdogPeriod{30000};

    static constexpr const char *kLinkLostText = "网络连接已经断开并且无法自动重连，请重新登录";
    static constexpr const char *kKickedOffText = "检测到同一账户已在其它地方登录，您被迫下线";

    // Creation: flags, settings, command 42, product, the two panels and the watchdog.
    // Pushed messages go into messages; the chart's popup commands and selections to chart.
    CChildView(const ServerLink &link, DataFolder folder, TradingData &trading,
               MessageList &messages, AlertList &alerts, CKMainCallbacks chart,
               QWidget *parent = nullptr);
    ~CChildView() override;

    std::int32_t currentProduct() const { return m_state.currentProduct(); }
    // The frame's initial choice, without a restart.
    void setCurrentProduct(std::int32_t productId) { m_state.setCurrentProduct(productId); }
    // Product switch: the id, the settings file, then the view restart.
    void changeProduct(std::int32_t productId);
    // Empties the chart, loads the cache, starts a download, connects the push channel and lays
    // the panels out again.
    void restartView();
    // "重新初始化": the product's cache file goes, then the view restart.
    void reinitialize();

    void openPushChannel();
    void closePushChannel();
    // Before a restart: the watchdog stops, the push channel and the download are given up.
    // Nothing waits for their threads here.
    void endChannels();
    bool pushChannelOpen() const { return m_push.isOpen(); }
    int pushConnectionsMade() const { return m_push.connectionsMade(); }

    // The watchdog's period (30 s); tests shorten it.
    void setWatchdogInterval(std::chrono::milliseconds period);
    bool watchdogActive() const { return m_watchdog.isActive(); }

    ClientViewState &state() { return m_state; }
    BarList &barList() { return m_bars; }
    SignalList &signalList() { return m_signals; }
    ProductNotificationFlags &productFlags() { return m_state.flags(); }
    CKMain *chartPanel() const { return m_chart; }
    // What the push and download threads asked for, as signals on the UI thread.
    ClientEventPoster &events() { return m_events; }
    CLeftTips *leftPanel() const { return m_left; }

Q_SIGNALS:
    // For the chart panel, all on the UI thread.
    void chartResetRequested(int productId);
    void chartRelayoutRequested();
    // A pushed live bar went into the bar list; the chart judges relayout or small repaint.
    void liveBarApplied(bool newBar);
    // Escape, Left, Up, Right and Down, taken before normal dispatch.
    void chartKeyPressed(int key);
    // The session ended and its message was shown: the program is to start again.
    void restartRequested();
    // The watchdog gave the push channel up and opens it again.
    void pushReconnecting();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void finishRestart();
    void layoutPanels(QSize size);
    void onWatchdog();
    bool takeKey(int key);
    void endSession(SessionEnd why);

    const ServerLink m_link;
    ClientEventPoster m_events;
    BarList m_bars;
    SignalList m_signals;
    ClientViewState m_state;
    // Declared after what it feeds and before the channel, whose threads it serves.
    PushDispatch m_dispatch;
    PushChannel m_push;
    QTimer m_watchdog;
    CKMain *m_chart = nullptr;
    CLeftTips *m_left = nullptr;
    bool m_sessionEnding = false;
};

} // namespace qs::ui
