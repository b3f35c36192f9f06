#pragma once

#include "ui/CommandRouter.h"
#include "ui/FrameContext.h"
#include "ui/TradingNotices.h"
#include "ui/app/CChildView.h"
#include "ui/orders/OrderCommands.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QToolBar;

namespace qs {
class ClientSession;
} // namespace qs

namespace qs::ui {

class CKMain;
class ClientEventPoster;
class FrameBars;
class FrameTimers;

// The main window: the client view, the menu and bars, the frame timers and the feature
// routers. Every command of the menu, toolbars and chart popups arrives at onCommand.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // Creation fetches the products and alerts, builds the client view, prunes the product
    // menus to the server's list and chooses the current product. events is what session was
    // created with.
    CMainFrame(ClientSession &session, ClientEventPoster &events, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // Once the frame is shown: the account on one connection, then the view restart (chart
    // history, download, push channel).
    void startTrading();

    static QString titleText();

    void onCommand(int commandId);
    QAction *action(int commandId) const;
    QToolBar *commonToolBar() const;
    QToolBar *productToolBar() const;
    CChildView *clientView() const { return m_view; }
    ClientSession &session() const { return m_session; }
    std::int32_t currentProduct() const;
    // The one route of the trading notices 1031-1033.
    TradingNotices &notices() { return m_notices; }
    FrameTimers &frameTimers() { return *m_timers; }
    const ChartSelection &chartSelection() const { return m_chartSelection; }

    // Restart, in this order: the message blink stops, the push channel and the download are
    // given up, the frame closes without the exit prompt and without the logout notice.
    void closeForRestart();
    // What "重新登录" and a lost session run: the application's restart, which closes this
    // frame first.
    void setRestartHandler(std::function<void()> handler) { m_restart = std::move(handler); }

protected:
    void closeEvent(QCloseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    FrameContext context();
    void createClientView(ClientEventPoster &events);
    void restartView(CChildView::Cache cache = CChildView::Cache::Keep);
    void createTimers(ClientEventPoster &events);
    void createRouters();
    bool runFrameCommand(int commandId);
    void selectProduct(std::int32_t productId);
    void updateToolChecks();
    void restart();
    bool confirmExit();

    ClientSession &m_session;
    TradingNotices m_notices;
    ChartSelection m_chartSelection;
    FrameBars *m_bars = nullptr;
    FrameTimers *m_timers = nullptr;
    CChildView *m_view = nullptr;
    CKMain *m_chart = nullptr;
    std::vector<std::unique_ptr<CommandRouter>> m_routers;
    std::function<void()> m_restart;
    bool m_closingForRestart = false;
};

} // namespace qs::ui
