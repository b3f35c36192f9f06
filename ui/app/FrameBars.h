#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <map>

class QAction;
class QLabel;
class QMainWindow;
class QToolBar;

namespace qs {
class ProductSelection;
struct ProductMenuPruning;
} // namespace qs

namespace qs::ui {

// Menu 128, the common and product toolbars and the status bar of the main frame. Every item
// and button is a QAction named "command<id>"; triggering one calls the frame's command handler.
class FrameBars final : public QObject {
    Q_OBJECT

public:
    using CommandHandler = std::function<void(int commandId)>;

    FrameBars(QMainWindow &frame, CommandHandler onCommand);

    // The client view is the central widget by now: the toolbars dock above it.
    void buildToolBars();
    void buildStatusBar();

    QAction *action(int commandId) const;
    QToolBar *commonToolBar() const { return m_commonBar; }
    QToolBar *productToolBar() const { return m_productBar; }
    QLabel *idleLabel() const { return m_idle; }

    // Hides the buttons and deletes the menu items of products the server does not offer.
    void pruneProductMenus(const ProductMenuPruning &pruning);
    // The current product's item and button carry the check mark, and only they.
    void updateProductChecks(const ProductSelection &selection);
    void setToolChecks(const std::function<bool(int commandId)> &isChecked);
    void updateClock();

private:
    void buildMenus();
    QAction *makeAction(int commandId, const QString &text);

    QMainWindow &m_frame;
    const CommandHandler m_onCommand;
    std::map<int, QAction *> m_actions;
    QToolBar *m_commonBar = nullptr;
    QToolBar *m_productBar = nullptr;
    QLabel *m_idle = nullptr;
    QLabel *m_clock = nullptr;
};

} // namespace qs::ui
