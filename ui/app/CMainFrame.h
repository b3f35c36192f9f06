#pragma once

#include "core/alerts/AlertList.h"
#include "core/chart/ProductSelection.h"
#include "core/platform/DataFolder.h"
#include "core/protocol/PriceTick.h"
#include "core/protocol/Session.h"
#include "core/signals/SignalFeed.h"
#include "ui/app/RegisteredWindows.h"

#include <QMainWindow>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace qs {
class DesktopSeam;
struct TradingData;
} // namespace qs

namespace qs::ui {

// Menu 128, the common and product toolbars, the status bar and the client view. Every command
// of the menu, toolbars and chart popups arrives at onCommand.
class CChildView;
class FrameTimers;

class CMainFrame : public QMainWindow, private PriceTickEnvironment {
    Q_OBJECT

public:
    // Creation fetches the products and alerts, builds the client view, prunes the product
    // menus to the server's list and chooses the current product.
    CMainFrame(const ServerEndpoint &endpoint, const Session &session, DataFolder folder,
               DesktopSeam &seam, TradingData &trading, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // Once the frame is shown: the account on one connection, then the view restart (chart
    // history, download, push channel).
    void startTrading();

    static QString titleText();

    void onCommand(int commandId);
    QAction *action(int commandId) const;
    QToolBar *commonToolBar() const { return m_commonBar; }
    QToolBar *productToolBar() const { return m_productBar; }
    CChildView *clientView() const { return m_view; }
    std::int32_t currentProduct() const { return m_selection.current(); }
    AlertList &alerts() { return m_alerts; }
    RegisteredWindows &registeredWindows() { return m_registered; }
    // Timers 1, 3 and 11 with the message list and the blink list.
    FrameTimers &frameTimers() { return *m_timers; }
    // Numbers of the records the chart's popup menu was opened on (empty: none).
    const std::string &selectedPosition() const { return m_selectedPosition; }
    const std::string &selectedOrder() const { return m_selectedOrder; }

    // Closes the frame without the exit prompt and without the logout notice.
    void closeForRestart();
    // What "重新登录" runs: the application's restart, which closes this frame first.
    void setRestartHandler(std::function<void()> handler) { m_restart = std::move(handler); }

protected:
    void closeEvent(QCloseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    // Push thread.
    bool mainWindowExists() override;
    void relayoutChart() override;
    void notifyWindows(bool holdChanged, bool delegateChanged, const KLineBar &tick) override;
    void checkAlerts(const KLineBar &tick) override;

    void createClientView();
    void createSignalFeed();
    void openMessageManager();
    void deleteSelectedOrder();
    // Posted to the UI thread; safe from any thread.
    void postChartRelayout();
    void pruneProductMenus();
    void selectProduct(std::int32_t productId);
    void updateProductChecks();
    void updateToolChecks();
    void buildMenus();
    void buildToolBars();
    void buildStatusBar();
    QAction *makeAction(int commandId, const QString &text);
    bool confirmExit();
    void updateClock();
    void openPage(const std::string &url);

    ServerEndpoint m_endpoint;
    const Session &m_session;
    DataFolder m_folder;
    DesktopSeam &m_seam;
    TradingData &m_trading;
    AlertList m_alerts;
    ProductSelection m_selection;
    RegisteredWindows m_registered;
    std::atomic<bool> m_alive{true};
    std::unique_ptr<PriceTick> m_priceTick;
    std::unique_ptr<SignalFeed> m_feed;
    FrameTimers *m_timers = nullptr;
    std::string m_selectedPosition;
    std::string m_selectedOrder;
    std::map<int, QAction *> m_actions;
    QToolBar *m_commonBar = nullptr;
    QToolBar *m_productBar = nullptr;
    CChildView *m_view = nullptr;
    QLabel *m_clock = nullptr;
    std::function<void()> m_restart;
    bool m_closingForRestart = false;
};

} // namespace qs::ui
