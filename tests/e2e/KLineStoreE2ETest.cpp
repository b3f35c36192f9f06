// The K-line store against the demo server: first start, second start from the cache, and paging
// back with the Left key until the history ends.
#include "core/alerts/AlertList.h"
#include "core/alerts/MessageList.h"
#include "core/chart/KLineCache.h"
#include "server/DemoServer.h"
#include "server/HistorySlice.h"
#include "tests/e2e/DemoLogin.h"
#include "tests/support/KLineRecords.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFolder.h"
#include "ui/app/CChildView.h"

#include "core/trading/TradingData.h"

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

    std::unique_ptr<CChildView> startView()
    {
        auto view = std::make_unique<CChildView>(ServerLink(m_server.endpoint(), m_session, m_seam),
                                                 m_folder, m_trading, m_messages, m_alerts,
                                                 ui::CKMainCallbacks{});
        view->resize(900, 600);
        view->setCurrentProduct(kProduct);
        view->restartView();
        return view;
    }

    static bool waitUntilLoaded(CChildView &view)
    {
        return QTest::qWaitFor([&] { return !view.state().downloadInProgress(); }, kPatienceMs)
               && view.state().historyLoaded();
    }

    std::vector<KLineBar> newest(std::size_t count) const
    {
        return {m_history.begin(), m_history.begin() + static_cast<long>(count)};
    }

    server::DemoServer m_server;
    test::TempFolder m_temp;
    DataFolder m_folder;
    test::SeamRecorder m_seam;
    TradingData m_trading;
    MessageList m_messages;
    AlertList m_alerts;
    Session m_session;
    std::vector<KLineBar> m_history;
};

TEST_F(KLineStoreE2ETest, FirstStartCachesSecondStartJoinsTheCacheAndLeftPagesToTheEnd)
{
    const KLineCache cache(m_folder);
    {
        const auto view = startView();
        EXPECT_TRUE(view->state().download().requestFrom().isNone());
        ASSERT_TRUE(waitUntilLoaded(*view));
        EXPECT_EQ(KeysOf(view->barList().snapshot()), KeysOf(newest(server::kBarsPerReply)));
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
    EXPECT_EQ(view->state().download().requestFrom(), BarKey::of(m_history[5]));
    ASSERT_TRUE(waitUntilLoaded(*view));
    EXPECT_EQ(KeysOf(view->barList().snapshot()), KeysOf(newest(server::kBarsPerReply)));
    EXPECT_EQ(cache.load(kProduct).size(), 6 + (server::kBarsPerReply - 5) - 1);
    const int afterStart = view->state().download().downloadsStarted();

    QSignalSpy keys(view.get(), &CChildView::chartKeyPressed);
    for (int page = 0; page < 5; ++page) {
        QTest::keyClick(view.get(), Qt::Key_Left);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !view->state().downloadInProgress(); }, kPatienceMs));
    }
    EXPECT_EQ(keys.count(), 5) << "every Left reaches the chart";
    EXPECT_EQ(KeysOf(view->barList().snapshot()), KeysOf(m_history));
    EXPECT_EQ(KeysOf(cache.load(kProduct)), KeysOf(m_history));
    // 1000 + 1000 + 500 bars: two pages, then the trailer names the oldest bar and paging stops.
    EXPECT_EQ(view->state().download().downloadsStarted(), afterStart + 2);
    EXPECT_EQ(view->state().download().trailer(), BarKey::of(m_history.back()));
    EXPECT_TRUE(m_seam.messageTexts().empty());
}

TEST_F(KLineStoreE2ETest, ReinitialisingDeletesTheCacheAndLoadsFromNothing)
{
    const KLineCache cache(m_folder);
    const auto view = startView();
    ASSERT_TRUE(waitUntilLoaded(*view));
    QTest::keyClick(view.get(), Qt::Key_Down);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->state().downloadInProgress(); }, kPatienceMs));
    ASSERT_EQ(cache.load(kProduct).size(), 2 * server::kBarsPerReply);

    QSignalSpy resets(view.get(), &CChildView::chartResetRequested);
    view->reinitialize();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_TRUE(view->state().download().requestFrom().isNone());
    ASSERT_TRUE(waitUntilLoaded(*view));
    EXPECT_EQ(KeysOf(cache.load(kProduct)), KeysOf(newest(server::kBarsPerReply)));
    EXPECT_EQ(view->barList().size(), server::kBarsPerReply);
}

} // namespace
} // namespace qs
