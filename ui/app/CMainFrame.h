#pragma once

#include "core/alerts/AlertList.h"
#include "core/alerts/MessageList.h"
#include "core/app/ProductSelection.h"
#include "core/platform/DataFolder.h"
#include "core/protocol/ServerLink.h"
#include "ui/CommandRouter.h"
#include "ui/FrameContext.h"
#include "ui/TradingNotices.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QToolBar;

namespace qs {
struct TradingData;
} // namespace qs

namespace qs::ui {

class CChildView;
class FrameBars;
class FrameTimers;

// The main window: the client view, the menu and bars, the frame timers and the feature
// routers. Every command of the menu, toolbars and chart popups arrives at onCommand.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // Creation fetches the products and alerts, builds the client view, prunes the product
    // menus to the server's list and chooses the current product.
    CMainFrame(const ServerLink &link, DataFolder folder, TradingData &trading,
               QWidget *parent = nullptr);
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
    std::int32_t currentProduct() const { return m_selection.current(); }
    AlertList &alerts() { return m_alerts; }
    MessageList &messages() { return m_messages; }
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
    void createClientView();
    void createTimers();
    void createRouters();
    bool runFrameCommand(int commandId);
    void selectProduct(std::int32_t productId);
    void updateToolChecks();
    void restart();
    bool confirmExit();

    const ServerLink m_link;
    DataFolder m_folder;
    TradingData &m_trading;
    AlertList m_alerts;
    MessageList m_messages;
    ProductSelection m_selection;
    TradingNotices m_notices;
    ChartSelection m_chartSelection;
    FrameBars *m_bars = nullptr;
    FrameTimers *m_timers = nullptr;
    CChildView *m_view = nullptr;
    std::vector<std::unique_ptr<CommandRouter>> m_routers;
    std::function<void()> m_restart;
    bool m_closingForRestart = false;
};

} // namespace qs::ui
