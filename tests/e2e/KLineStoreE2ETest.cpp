// The K-line store against the demo server: first start, second start from the cache, and paging
// back with the Left key until the history ends.
#include "core/app/ClientSession.h"
#include "core/chart/KLineCache.h"
#include "server/DemoServer.h"
#include "server/HistorySlice.h"
#include "tests/support/DemoLogin.h"
#include "tests/support/KLineRecords.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFolder.h"
#include "ui/app/CChildView.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace qs {
namespace {

using test::KeysOf;
using ui::CChildView;

constexpr int kHistoryBars = 2500;
constexpr int kProduct = 1;
constexpr int kPatienceMs = 20000;

class KLineStoreE2ETest : public ::testing::Test {
protected:
    KLineStoreE2ETest()
        : m_server(options())
        , m_folder(m_temp.path())
    {}

    static server::DemoOptions options()
    {
        server::DemoOptions options = test::QuietDemoOptions();
        options.historyBars = kHistoryBars;
        return options;
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_server.start());
        ASSERT_TRUE(test::LogInToDemo(m_server.endpoint(), m_seam, m_session));
        m_history = m_server.market().completedBars(kProduct);
        ASSERT_EQ(m_history.size(), static_cast<std::size_t>(kHistoryBars));
    }

    // A program's start: a fresh client state and its view.
    std::unique_ptr<CChildView> startView()
    {
        m_clients.push_back(std::make_unique<ClientSession>(
            ServerLink(m_server.endpoint(), m_session, m_seam), m_folder, m_events));
        auto view = std::make_unique<CChildView>(client(), m_events, ui::CKMainCallbacks{});
        view->resize(900, 600);
        client().view().setCurrentProduct(kProduct);
        view->restartView();
        return view;
    }
    ClientSession &client() { return *m_clients.back(); }

    bool waitUntilLoaded()
    {
        return QTest::qWaitFor([&] { return !client().view().downloadInProgress(); }, kPatienceMs)
               && client().view().historyLoaded();
    }

    std::vector<KLineBar> newest(std::size_t count) const
    {
        return {m_history.begin(), m_history.begin() + static_cast<long>(count)};
    }

    server::DemoServer m_server;
    test::TempFolder m_temp;
    DataFolder m_folder;
    test::SeamRecorder m_seam;
    Session m_session;
    ui::ClientEventPoster m_events;
    std::vector<std::unique_ptr<ClientSession>> m_clients;
    std::vector<KLineBar> m_history;
};

TEST_F(KLineStoreE2ETest, FirstStartCachesSecondStartJoinsTheCacheAndLeftPagesToTheEnd)
{
    const KLineCache cache(m_folder);
    {
        const auto view = startView();
        EXPECT_TRUE(client().view().download().requestFrom().isNone());
        ASSERT_TRUE(waitUntilLoaded());
        EXPECT_EQ(KeysOf(client().bars().snapshot()), KeysOf(newest(server::kBarsPerReply)));
        EXPECT_EQ(KeysOf(cache.load(kProduct)), KeysOf(newest(server::kBarsPerReply)));
    }

    // Drop the newest five bars from the file: the next start asks from the newest bar left and
    // gets the gap plus that bar again.
    const std::vector<KLineBar> cachedAll = cache.load(kProduct);
    {
        BarList shorter;
        for (std::size_t i = 5; i < cachedAll.size(); ++i)
            shorter.appendBack(cachedAll[i]);
        ASSERT_TRUE(cache.save(kProduct, shorter));
    }
    const auto view = startView();
    EXPECT_EQ(client().view().download().requestFrom(), BarKey::of(m_history[5]));
    ASSERT_TRUE(waitUntilLoaded());
    EXPECT_EQ(KeysOf(client().bars().snapshot()), KeysOf(newest(server::kBarsPerReply)));
    EXPECT_EQ(cache.load(kProduct).size(), 6 + (server::kBarsPerReply - 5) - 1);
    const int afterStart = client().view().download().downloadsStarted();

    QSignalSpy keys(view.get(), &CChildView::chartKeyPressed);
    for (int page = 0; page < 5; ++page) {
        QTest::keyClick(view.get(), Qt::Key_Left);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !client().view().downloadInProgress(); }, kPatienceMs));
    }
    EXPECT_EQ(keys.count(), 5) << "every Left reaches the chart";
    EXPECT_EQ(KeysOf(client().bars().snapshot()), KeysOf(m_history));
    EXPECT_EQ(KeysOf(cache.load(kProduct)), KeysOf(m_history));
    // 1000 + 1000 + 500 bars: two pages, then the trailer names the oldest bar and paging stops.
    EXPECT_EQ(client().view().download().downloadsStarted(), afterStart + 2);
    EXPECT_EQ(client().view().download().trailer(), BarKey::of(m_history.back()));
    EXPECT_TRUE(m_seam.messageTexts().empty());
}

TEST_F(KLineStoreE2ETest, ReinitialisingDeletesTheCacheAndLoadsFromNothing)
{
    const KLineCache cache(m_folder);
    const auto view = startView();
    ASSERT_TRUE(waitUntilLoaded());
    QTest::keyClick(view.get(), Qt::Key_Down);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !client().view().downloadInProgress(); }, kPatienceMs));
    ASSERT_EQ(cache.load(kProduct).size(), 2 * server::kBarsPerReply);

    QSignalSpy resets(view.get(), &CChildView::chartResetRequested);
    view->restartView(CChildView::Cache::Drop);
    EXPECT_EQ(resets.count(), 1);
    EXPECT_TRUE(client().view().download().requestFrom().isNone());
    ASSERT_TRUE(waitUntilLoaded());
    EXPECT_EQ(KeysOf(cache.load(kProduct)), KeysOf(newest(server::kBarsPerReply)));
    EXPECT_EQ(client().bars().size(), server::kBarsPerReply);
}

} // namespace
} // namespace qs
