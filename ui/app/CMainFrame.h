#pragma once

#include "core/platform/DataFolder.h"
#include "core/protocol/Session.h"

#include <QMainWindow>

#include <functional>
#include <map>

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace qs {
class DesktopSeam;
}

namespace qs::ui {

// Menu 128, the common and product toolbars, the status bar and the client view. Every command
// of the menu, toolbars and chart popups arrives at onCommand.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    CMainFrame(const ServerEndpoint &endpoint, const Session &session, DataFolder folder,
               DesktopSeam &seam, QWidget *parent = nullptr);

    static QString titleText();

    void onCommand(int commandId);
    QAction *action(int commandId) const;
    QToolBar *commonToolBar() const { return m_commonBar; }
    QToolBar *productToolBar() const { return m_productBar; }
    QWidget *clientView() const { return m_view; }

    // Closes the frame without the exit prompt and without the logout notice.
    void closeForRestart();
    // What "重新登录" runs: the application's restart, which closes this frame first.
    void setRestartHandler(std::function<void()> handler) { m_restart = std::move(handler); }

protected:
    void closeEvent(QCloseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
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
    std::map<int, QAction *> m_actions;
    QToolBar *m_commonBar = nullptr;
    QToolBar *m_productBar = nullptr;
    QWidget *m_view = nullptr;
    QLabel *m_clock = nullptr;
    std::function<void()> m_restart;
    bool m_closingForRestart = false;
};

} // namespace qs::ui
