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
class ClientSession;
} // namespace qs

namespace qs::ui {

// The client view: the chart panel and the left price panel over the session's bars and signals,
// and the push channel's heartbeat watchdog. Worker threads reach it only through the posted
// client events.
class CChildView final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kChartChildId = 3;
    static constexpr int kLeftChildId = 2;
    static constexpr int kLeftStripWidth = 85;
    static constexpr std::chrono::milliseconds kWatchdogPeriod{30000};

    static constexpr const char *kLinkLostText = "网络连接已经断开并且无法自动重连，请重新登录";
    static constexpr const char *kKickedOffText = "检测到同一账户已在其它地方登录，您被迫下线";

    // Creation: the session's view state (flags, settings, command 42), the two panels and the
    // watchdog. The chart's popup commands and selections go to chart; the session's events
    // come from events, which the session was created with.
    CChildView(ClientSession &session, ClientEventPoster &events, CKMainCallbacks chart,
               QWidget *parent = nullptr);
    ~CChildView() override;

    // Empties the chart, loads the cache, starts a download, connects the push channel and lays
    // the panels out again. "重新初始化" drops the product's cache file first.
    enum class Cache { Keep, Drop };
    void restartView(Cache cache = Cache::Keep);
    // Before a restart: the watchdog stops, the push channel and the download are given up.
    // Nothing waits for their threads here.
    void endChannels();

    // The watchdog's period (30 s); tests shorten it.
    void setWatchdogInterval(std::chrono::milliseconds period);
    bool watchdogActive() const { return m_watchdog.isActive(); }

    CKMain *chartPanel() const { return m_chart; }
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
    void layoutPanels(QSize size);
    void onWatchdog();
    bool takeKey(int key);
    void endSession(SessionEnd why);

    ClientSession &m_session;
    QTimer m_watchdog;
    CKMain *m_chart = nullptr;
    CLeftTips *m_left = nullptr;
    bool m_sessionEnding = false;
};

} // namespace qs::ui
