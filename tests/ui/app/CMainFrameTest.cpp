#include "ui/app/CMainFrame.h"

#include "core/BuildConfig.h"
#include "core/protocol/RequestHeader.h"
#include "tests/support/ScriptedPeer.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFolder.h"
#include "ui/app/CommandIds.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <gtest/gtest.h>

namespace qs::ui {
namespace {

using test::Script;
using test::ScriptedPeer;
using test::SeamRecorder;

Session DemoSession()
{
    Session session;
    session.establish(SessionToken{{11, 22, 33, 44}}, 8, "demo");
    return session;
}

// A listening port that nobody is expected to call.
struct QuietServer {
    Listener listener = Listener::listen(Ipv4Address::loopback(), 0);
    ServerEndpoint endpoint() const
    {
        ServerEndpoint e;
        e.requestPort = e.pushPort = e.klinePort = listener.port();
        return e;
    }
    bool wasCalled() { return listener.accept(Milliseconds(0)).isOpen(); }
};

std::vector<int> ToolbarCommands(const QToolBar *bar)
{
    std::vector<int> ids;
    for (const QAction *action : bar->actions())
        ids.push_back(action->isSeparator()
                          ? 0
                          : action->objectName().mid(QStringLiteral("command").size()).toInt());
    return ids;
}

TEST(CMainFrame, TitleMenusAndToolbarsAreComplete)
{
    test::TempFolder temp;
    SeamRecorder seam;
    const Session session = DemoSession();
    CMainFrame frame(ServerEndpoint{}, session, DataFolder(temp.path()), seam);

    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Quillstar——提高操盘成功率 让投资更有道理"));
    QStringList popups;
    for (const QAction *popup : frame.menuBar()->actions())
        popups << popup->text();
    EXPECT_EQ(popups, (QStringList{QStringLiteral("系统"), QStringLiteral("产品(&K)"),
                                   QStringLiteral("套利"), QStringLiteral("工具"),
                                   QStringLiteral("帮助")}));
    for (int id : {32877, 32901, 32803, 32816, 32903, 32832, 32785, 32867, 32869, 32871, 32873,
                   32875, 32795, 57664, 32784, 32787, 32788})
        EXPECT_NE(frame.action(id), nullptr) << id;
    EXPECT_EQ(frame.action(30001)->text(), QStringLiteral("伦敦金(T+0)"));
    EXPECT_EQ(frame.action(30028)->text(), QStringLiteral("白银/加元"));

    EXPECT_EQ(ToolbarCommands(frame.commonToolBar()),
              (std::vector<int>{32784, 0, 32871, 32873, 32875, 32787, 32788, 32785}));
    const std::vector<int> products = ToolbarCommands(frame.productToolBar());
    ASSERT_EQ(products.size(), 28u);
    for (int i = 0; i < 28; ++i)
        EXPECT_EQ(products[static_cast<std::size_t>(i)], 30001 + i);
    EXPECT_EQ(frame.productToolBar()->iconSize(), QSize(32, 32));
}

TEST(CMainFrame, ExitCancelSendsNothing)
{
    QuietServer peer;
    test::TempFolder temp;
    SeamRecorder seam;
    seam.answerWith(MessageResult::Cancel);
    const Session session = DemoSession();
    CMainFrame frame(peer.endpoint(), session, DataFolder(temp.path()), seam);
    frame.show();

    frame.onCommand(command::kExit);
    EXPECT_TRUE(frame.isVisible());
    EXPECT_FALSE(frame.close()); // the close box asks the same question
    EXPECT_TRUE(frame.isVisible());

    const auto messages = seam.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "确认退出Quillstar？");
    EXPECT_EQ(messages[0].caption, "确认退出");
    EXPECT_EQ(messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_FALSE(peer.wasCalled());
}

TEST(CMainFrame, ExitOkSendsTheLogoutNoticeAndCloses)
{
    const Session session = DemoSession();
    for (bool fromMenu : {true, false}) {
        ScriptedPeer peer(Script().expect(test::BytesOf(RequestHeader::make(4, session))));
        test::TempFolder temp;
        SeamRecorder seam;
        seam.answerWith(MessageResult::Ok);
        CMainFrame frame(peer.endpoint(), session, DataFolder(temp.path()), seam);
        frame.show();
        if (fromMenu)
            frame.onCommand(command::kExit);
        else
            frame.close();
        EXPECT_FALSE(frame.isVisible());
        EXPECT_TRUE(peer.mismatches().empty());
        EXPECT_EQ(peer.connectionsAccepted(), 1u);
    }
}

TEST(CMainFrame, RestartClosesWithoutPromptOrLogout)
{
    QuietServer peer;
    test::TempFolder temp;
    SeamRecorder seam;
    const Session session = DemoSession();
    CMainFrame frame(peer.endpoint(), session, DataFolder(temp.path()), seam);
    int restarts = 0;
    frame.setRestartHandler([&] {
        ++restarts;
        frame.closeForRestart();
    });
    frame.show();
    frame.onCommand(command::kRelogin);
    EXPECT_EQ(restarts, 1);
    EXPECT_FALSE(frame.isVisible());
    EXPECT_TRUE(seam.messages().empty());
    EXPECT_FALSE(peer.wasCalled());
}

TEST(CMainFrame, WebCommandsOpenTheirPagesAndToolbarsComeBack)
{
    test::TempFolder temp;
    SeamRecorder seam;
    const Session session = DemoSession();
    CMainFrame frame(ServerEndpoint{}, session, DataFolder(temp.path()), seam);
    frame.show();
    for (int id : {32877, 32901, 32795, 32787, 32788})
        frame.onCommand(id);
    const std::string site = build::kWebSite;
    EXPECT_EQ(seam.webPages(), (std::vector<std::string>{
                                   site + "uc/BuyCart.jsp?val1=3", site + "articlelist/HJ_MLDSGG",
                                   site + "article/HJ_JSPCJWT", site, build::kBlogUrl}));

    frame.productToolBar()->hide();
    EXPECT_FALSE(frame.action(command::kShowProductBar)->isChecked());
    frame.onCommand(command::kShowProductBar);
    EXPECT_TRUE(frame.productToolBar()->isVisible());
    EXPECT_TRUE(frame.action(command::kShowProductBar)->isChecked());
    // Showing is all it does: a second press does not hide the bar.
    frame.onCommand(command::kShowProductBar);
    EXPECT_TRUE(frame.productToolBar()->isVisible());
}

} // namespace
} // namespace qs::ui
