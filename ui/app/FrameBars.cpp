#include "ui/app/FrameBars.h"

#include "core/app/ProductSelection.h"
#include "core/market/ProductCatalog.h"
#include "ui/CommandIds.h"
#include "ui/app/ToolbarImages.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTime>
#include <QToolBar>

namespace qs::ui {

FrameBars::FrameBars(QMainWindow &frame, CommandHandler onCommand)
    : QObject(&frame)
    , m_frame(frame)
    , m_onCommand(std::move(onCommand))
{
    buildMenus();
}

QAction *FrameBars::makeAction(int commandId, const QString &text)
{
    auto *action = new QAction(text, &m_frame);
    action->setObjectName(QStringLiteral("command%1").arg(commandId));
    connect(action, &QAction::triggered, this, [this, commandId] { m_onCommand(commandId); });
    m_actions[commandId] = action;
    return action;
}

QAction *FrameBars::action(int commandId) const
{
    const auto found = m_actions.find(commandId);
    return found == m_actions.end() ? nullptr : found->second;
}

void FrameBars::buildMenus()
{
    QMenuBar *bar = m_frame.menuBar();
    QMenu *system = bar->addMenu(QStringLiteral("系统"));
    system->setObjectName(QStringLiteral("menuSystem"));
    system->addAction(makeAction(command::kDeposit, QStringLiteral("入金")));
    system->addAction(makeAction(command::kAwards, QStringLiteral("获奖公告")));
    system->addSeparator();
    system->addAction(makeAction(command::kReinitialise, QStringLiteral("重新初始化")));
    system->addAction(makeAction(command::kProductSettings, QStringLiteral("产品设置")));
    system->addAction(makeAction(command::kPriceAlerts, QStringLiteral("到价提醒")));
    system->addSeparator();
    system->addAction(makeAction(command::kRelogin, QStringLiteral("重新登录")));
    system->addAction(makeAction(command::kExit, QStringLiteral("退出(&X)")));

    QMenu *products = bar->addMenu(QStringLiteral("产品(&K)"));
    products->setObjectName(QStringLiteral("menuProducts"));
    QMenu *ratios = bar->addMenu(QStringLiteral("套利"));
    ratios->setObjectName(QStringLiteral("menuRatios"));
    for (const CatalogueEntry &entry : kCatalogue) {
        QAction *item = makeAction(
            ProductCommandId(entry.productId),
            QString::fromUtf8(entry.caption.data(), static_cast<int>(entry.caption.size())));
        item->setCheckable(true);
        item->setStatusTip(item->text());
        item->setToolTip(item->text());
        (entry.productId < kFirstRatioProduct ? products : ratios)->addAction(item);
    }

    QMenu *tools = bar->addMenu(QStringLiteral("工具"));
    tools->setObjectName(QStringLiteral("menuTools"));
    tools->addAction(makeAction(command::kShowCommonBar, QStringLiteral("常用")));
    tools->addAction(makeAction(command::kShowProductBar, QStringLiteral("工具箱")));
    tools->addSeparator();
    tools->addAction(makeAction(command::kMousePlain, QStringLiteral("默认(无)")));
    tools->addAction(makeAction(command::kMouseCross, QStringLiteral("十字光标")));
    tools->addAction(makeAction(command::kMouseDrag, QStringLiteral("移动K线")));
    for (int id : {command::kShowCommonBar, command::kShowProductBar, command::kMousePlain,
                   command::kMouseCross, command::kMouseDrag})
        m_actions[id]->setCheckable(true);

    QMenu *help = bar->addMenu(QStringLiteral("帮助"));
    help->setObjectName(QStringLiteral("menuHelp"));
    help->addAction(makeAction(command::kSignalHelp, QStringLiteral("操盘信号说明")));
    help->addAction(makeAction(command::kOpenLogFolder, QStringLiteral("打开日志文件夹")));
    help->addAction(makeAction(command::kAbout, QStringLiteral("关于 Quillstar(&A)...")));
}

void FrameBars::buildToolBars()
{
    const QSize imageSize(kToolbarImageSize, kToolbarImageSize);
    m_commonBar = m_frame.addToolBar(QStringLiteral("常用"));
    m_commonBar->setObjectName(QStringLiteral("toolbar195"));
    m_commonBar->setIconSize(imageSize);
    m_commonBar->setMovable(true);
    m_commonBar->addAction(makeAction(command::kMessageManager, QStringLiteral("消息管理")));
    m_actions[command::kMessageManager]->setStatusTip(QStringLiteral("打开消息管理器"));
    m_commonBar->addSeparator();
    for (int id : {command::kMousePlain, command::kMouseCross, command::kMouseDrag})
        m_commonBar->addAction(m_actions[id]);
    m_commonBar->addAction(makeAction(command::kWebSite, QStringLiteral("网站首页")));
    m_commonBar->addAction(makeAction(command::kBlog, QStringLiteral("博客")));
    m_commonBar->addAction(m_actions[command::kExit]);
    for (int id : {command::kMessageManager, command::kMousePlain, command::kMouseCross,
                   command::kMouseDrag, command::kWebSite, command::kBlog, command::kExit}) {
        m_actions[id]->setIcon(CommonButtonImage(id));
        // The images are the buttons'; the menu items stay plain text.
        m_actions[id]->setIconVisibleInMenu(false);
    }

    // 28 buttons need a row of their own.
    m_frame.addToolBarBreak();
    m_productBar = m_frame.addToolBar(QStringLiteral("工具箱"));
    m_productBar->setObjectName(QStringLiteral("toolbar135"));
    m_productBar->setIconSize(imageSize);
    for (const CatalogueEntry &entry : kCatalogue) {
        QAction *item = m_actions[ProductCommandId(entry.productId)];
        item->setIcon(ProductButtonImage(entry.productId, item->text()));
        // The tiles and the blink's blank image belong on the buttons only.
        item->setIconVisibleInMenu(false);
        m_productBar->addAction(item);
    }

    m_actions[command::kShowCommonBar]->setChecked(true);
    m_actions[command::kShowProductBar]->setChecked(true);
    connect(m_commonBar, &QToolBar::visibilityChanged, m_actions[command::kShowCommonBar],
            &QAction::setChecked);
    connect(m_productBar, &QToolBar::visibilityChanged, m_actions[command::kShowProductBar],
            &QAction::setChecked);
}

void FrameBars::buildStatusBar()
{
    QStatusBar *bar = m_frame.statusBar();
    // A normal widget, not a temporary message: a status tip hides it only while it shows.
    m_idle = new QLabel(QStringLiteral("就绪"), bar);
    m_idle->setObjectName(QStringLiteral("paneIdle"));
    bar->addWidget(m_idle, 1);
    for (const char *indicator : {"CAP", "NUM", "SCRL"}) {
        auto *pane = new QLabel(QString::fromLatin1(indicator), bar);
        pane->setEnabled(false);
        bar->addPermanentWidget(pane);
    }
    m_clock = new QLabel(QStringLiteral("00:00:00"), bar);
    m_clock->setObjectName(QStringLiteral("pane101"));
    bar->addPermanentWidget(m_clock);
}

void FrameBars::pruneProductMenus(const ProductMenuPruning &pruning)
{
    QMenuBar *bar = m_frame.menuBar();
    QMenu *products = bar->findChild<QMenu *>(QStringLiteral("menuProducts"));
    QMenu *ratios = bar->findChild<QMenu *>(QStringLiteral("menuRatios"));
    for (int commandId : pruning.removedCommands) {
        QAction *item = m_actions.at(commandId);
        // The toolbar button is hidden; the menu item goes.
        item->setVisible(false);
        products->removeAction(item);
        ratios->removeAction(item);
    }
    if (pruning.deleteRatioMenu)
        bar->removeAction(ratios->menuAction());
    if (pruning.deleteProductMenu)
        bar->removeAction(products->menuAction());
}

void FrameBars::updateProductChecks(const ProductSelection &selection)
{
    for (const CatalogueEntry &entry : kCatalogue) {
        const int commandId = ProductCommandId(entry.productId);
        m_actions.at(commandId)->setChecked(selection.isChecked(commandId));
    }
}

void FrameBars::setToolChecks(const std::function<bool(int commandId)> &isChecked)
{
    for (int id : {command::kMousePlain, command::kMouseCross, command::kMouseDrag})
        m_actions.at(id)->setChecked(isChecked(id));
}

void FrameBars::updateClock()
{
    m_clock->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

} // namespace qs::ui
