#include "ui/app/CChildView.h"

#include "core/app/ClientSession.h"

#include "tests/support/KLineRecords.h"
#include "tests/support/ScriptedPeer.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFolder.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace qs::ui {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::Int32Bytes;
using test::Join;
using test::Script;
using test::ScriptedPeer;

std::uint16_t ClosedPort()
{
    Listener gone = Listener::listen(Ipv4Address::loopback(), 0);
    return gone.port(); // closed as it goes
}

class CChildViewTest : public ::testing::Test {
protected:
    CChildViewTest() { m_session.establish(SessionToken{{5, 6, 7, 8}}, 2, "demo"); }

    // Only the K-line port answers, through the peer.
    ServerEndpoint endpoint(const ScriptedPeer &peer) const
    {
        ServerEndpoint endpoint;
        endpoint.requestPort = ClosedPort();
        endpoint.pushPort = ClosedPort();
        endpoint.klinePort = peer.port();
        return endpoint;
    }

    test::TempFolder m_temp;
    test::SeamRecorder m_seam;
    Session m_session;
    ClientEventPoster m_events;
};

TEST_F(CChildViewTest, CreationWithoutServerKeepsEveryFlagOnAndPlacesTheTwoPanels)
{
    ScriptedPeer peer(std::vector<Script>{});
    ClientSession session(ServerLink(endpoint(peer), m_session, m_seam), DataFolder(m_temp.path()),
                          m_events);
    CChildView view(session, m_events, {});
    EXPECT_EQ(m_seam.messageTexts(), (std::vector<std::string>{"无法连接服务器，操作已取消"}));
    for (int id = 1; id <= 30; ++id)
        EXPECT_EQ(session.flags().flag(id), 1);
    EXPECT_TRUE(view.watchdogActive());

    QWidget *chart = view.findChild<QWidget *>(QStringLiteral("CKMain"));
    QWidget *left = view.findChild<QWidget *>(QStringLiteral("CLeftTips"));
    ASSERT_NE(chart, nullptr);
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(chart->property("childId").toInt(), 3);
    EXPECT_EQ(left->property("childId").toInt(), 2);

    view.show();
    view.resize(900, 600);
    EXPECT_EQ(left->geometry(), QRect(0, 0, 85, 600));
    EXPECT_EQ(chart->geometry(), QRect(85, 0, 815, 600));
    // A side of 400 pixels or less keeps the previous placement.
    for (const QSize size : {QSize(400, 700), QSize(1000, 400), QSize(300, 300)}) {
        view.resize(size);
        EXPECT_EQ(chart->geometry(), QRect(85, 0, 815, 600))
            << size.width() << "x" << size.height();
    }
    view.resize(401, 401);
    EXPECT_EQ(left->geometry(), QRect(0, 0, 85, 401));
    EXPECT_EQ(chart->geometry(), QRect(85, 0, 316, 401));
}

TEST_F(CChildViewTest, ArrowKeysGoToTheChartAndLeftOrDownPageOnlyWhileNoDownloadRuns)
{
    ScriptedPeer peer({Script().expectAny(50).stall(200ms),
                       Script().expectAny(50).send(Join({Int32Bytes(0), Bytes(13, 0)}))});
    ClientSession session(ServerLink(endpoint(peer), m_session, m_seam), DataFolder(m_temp.path()),
                          m_events);
    CChildView view(session, m_events, {});
    view.resize(900, 600);
    QSignalSpy keys(&view, &CChildView::chartKeyPressed);
    view.restartView();
    ASSERT_TRUE(session.view().downloadInProgress());

    QTest::keyClick(view.chartPanel(), Qt::Key_Left);
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(session.view().download().downloadsStarted(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !session.view().downloadInProgress(); }, 10000));

    // With a bar to page from, Down starts a page; the chart still gets the key.
    session.bars().appendBack(test::MakeBar(1, 2024, "01010800"));
    QTest::keyClick(view.leftPanel(), Qt::Key_Down);
    EXPECT_EQ(session.view().download().downloadsStarted(), 2);

    for (const int key : {Qt::Key_Escape, Qt::Key_Up, Qt::Key_Right})
        QTest::keyClick(view.chartPanel(), static_cast<Qt::Key>(key));
    QTest::keyClick(view.chartPanel(), Qt::Key_A);
    ASSERT_EQ(keys.count(), 6);
    const int expected[]
        = {Qt::Key_Left, Qt::Key_Down, Qt::Key_Down, Qt::Key_Escape, Qt::Key_Up, Qt::Key_Right};
    for (int i = 0; i < keys.count(); ++i)
        EXPECT_EQ(keys.at(i).at(0).toInt(), expected[i]) << i;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !session.view().downloadInProgress(); }, 10000));
    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
}

} // namespace
} // namespace qs::ui
