#include "core/chart/KLineDownload.h"

#include "core/app/ClientSettings.h"
#include "core/app/ClientViewState.h"
#include "core/chart/BarList.h"
#include "core/chart/KLineCache.h"
#include "core/market/SignalList.h"
#include "core/protocol/RequestHeader.h"
#include "tests/support/HangingListener.h"
#include "tests/support/KLineRecords.h"
#include "tests/support/ScriptedPeer.h"
#include "tests/support/StoredZip.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace qs {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::Int32Bytes;
using test::Join;
using test::KeysOf;
using test::KeyText;
using test::MakeBar;
using test::MakeBars;
using test::MakeSignal;
using test::MakeStoredZip;
using test::RecordBytes;
using test::Script;
using test::ScriptedPeer;

bool WaitFor(const std::function<bool()> &condition, std::chrono::milliseconds patience = 5000ms)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// Records what downloads report. With the gate closed, a downloaded signal holds its download
// thread until the test opens the gate.
class RecordingEvents final : public DownloadEvents {
public:
    void downloadedSignal(const SignalRecord &signal) override
    {
        std::unique_lock lock(m_mutex);
        m_signals.push_back(signal.productId);
        if (!m_gateClosed)
            return;
        m_atGate = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return !m_gateClosed; });
    }
    void historyReady() override
    {
        std::lock_guard lock(m_mutex);
        ++m_ready;
    }

    void closeGate()
    {
        std::lock_guard lock(m_mutex);
        m_gateClosed = true;
    }
    bool waitAtGate()
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 5s, [this] { return m_atGate; });
    }
    void openGate()
    {
        std::lock_guard lock(m_mutex);
        m_gateClosed = false;
        m_changed.notify_all();
    }
    int ready() const
    {
        std::lock_guard lock(m_mutex);
        return m_ready;
    }
    std::vector<int> signalProducts() const
    {
        std::lock_guard lock(m_mutex);
        return m_signals;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<int> m_signals;
    int m_ready = 0;
    bool m_gateClosed = false;
    bool m_atGate = false;
};

class KLineDownloadTest : public ::testing::Test {
protected:
    KLineDownloadTest() { m_session.establish(SessionToken{{0x10, 0x20, 0x30, 0x40}}, 4, "demo"); }

    Bytes request(std::int32_t productId, const BarKey &from, const BarKey &to) const
    {
        Bytes keys(from.text, from.text + sizeof from.text);
        keys.insert(keys.end(), to.text, to.text + sizeof to.text);
        return Join({test::BytesOf(RequestHeader::make(productId, m_session)), keys});
    }
    static Bytes reply(const Bytes &archive, const BarKey &trailer)
    {
        return Join({Int32Bytes(static_cast<std::int32_t>(archive.size())), archive,
                     Bytes(trailer.text, trailer.text + sizeof trailer.text)});
    }
    static Bytes zipOf(const std::vector<KLineBar> &bars)
    {
        return MakeStoredZip({{"k", RecordBytes(bars)}});
    }

    void writeCache(std::int32_t productId, const std::vector<KLineBar> &bars)
    {
        BarList list;
        for (const KLineBar &bar : bars)
            list.appendBack(bar);
        ASSERT_TRUE(m_cache.save(productId, list));
    }
    std::string fileBytes(std::int32_t productId) const
    {
        std::string contents;
        ReadWholeFile(m_cache.file(productId), contents);
        return contents;
    }
    std::int32_t fileCount(std::int32_t productId) const
    {
        const std::string contents = fileBytes(productId);
        std::int32_t count = -1;
        if (contents.size() >= 4)
            std::memcpy(&count, contents.data(), 4);
        return count;
    }

    // Starts a download of productId and waits for every thread it started.
    std::unique_ptr<KLineDownload> run(const ServerEndpoint &endpoint, std::int32_t productId)
    {
        auto download = std::make_unique<KLineDownload>(endpoint, m_session, m_folder, m_bars,
                                                        m_signals, m_events);
        download->startFresh(productId);
        download->waitForThreads();
        return download;
    }

    test::TempFolder m_temp;
    DataFolder m_folder{m_temp.path()};
    KLineCache m_cache{m_folder};
    Session m_session;
    BarList m_bars;
    SignalList m_signals;
    RecordingEvents m_events;
};

TEST_F(KLineDownloadTest, FirstStartAsksFromZeroAndCachesTheProductsBarsAndSignals)
{
    // A file short of its count is no cache at all (KLineCache's test): as if there were none.
    const std::vector<KLineBar> served = MakeBars(5, 60, 3);
    Bytes records = RecordBytes({served[0]});
    test::AppendRecordBytes(records, MakeSignal(5, 1800));
    test::AppendRecordBytes(records, MakeBar(6, 2024, "02020800")); // another product: dropped
    test::AppendRecordBytes(records, served[1]);
    test::AppendRecordBytes(records, MakeSignal(9, 900)); // any product's signal is kept
    test::AppendRecordBytes(records, served[2]);
    const BarKey trailer = KeyText("202401290800");
    ScriptedPeer peer(Script()
                          .expect(request(5, BarKey::none(), BarKey::none()))
                          .send(reply(MakeStoredZip({{"k", records}}), trailer)));

    KLineDownload download(peer.endpoint(), m_session, m_folder, m_bars, m_signals, m_events);
    download.startFresh(5);
    EXPECT_TRUE(download.inProgress());
    EXPECT_EQ(download.cacheListSize(), 0u);
    download.waitForThreads();

    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
    EXPECT_EQ(KeysOf(m_bars.snapshot()), KeysOf(served));
    EXPECT_EQ(m_signals.size(), 2u);
    EXPECT_EQ(m_events.signalProducts(), (std::vector<int>{5, 9}));
    EXPECT_EQ(m_events.ready(), 1);
    EXPECT_TRUE(download.historyLoaded());
    EXPECT_FALSE(download.inProgress());
    EXPECT_EQ(download.trailer(), trailer);
    EXPECT_EQ(KeysOf(m_cache.load(5)), KeysOf(served));
}

TEST_F(KLineDownloadTest, SecondStartAsksFromTheNewestCachedBarAndKeepsTheOverlapOnce)
{
    const std::vector<KLineBar> all = MakeBars(2, 80, 7);
    const std::vector<KLineBar> cached(all.begin() + 2, all.end());       // 5 bars
    const std::vector<KLineBar> downloaded(all.begin(), all.begin() + 3); // ends on cached[0]
    writeCache(2, cached);
    ScriptedPeer peer(Script()
                          .expect(request(2, BarKey::of(cached[0]), BarKey::none()))
                          .send(reply(zipOf(downloaded), KeyText("202401010800"))));

    KLineDownload download(peer.endpoint(), m_session, m_folder, m_bars, m_signals, m_events);
    download.startFresh(2);
    EXPECT_EQ(download.requestFrom(), BarKey::of(cached[0]));
    EXPECT_TRUE(download.requestTo().isNone());
    download.waitForThreads();

    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
    EXPECT_EQ(KeysOf(m_bars.snapshot()), KeysOf(all));
    EXPECT_EQ(download.cacheListSize(), 0u);
    EXPECT_EQ(fileCount(2), static_cast<std::int32_t>(downloaded.size() + cached.size() - 1));
    EXPECT_EQ(KeysOf(m_cache.load(2)), KeysOf(all));
}

TEST_F(KLineDownloadTest, WithoutTheOverlapTheCacheFileStaysAsItWas)
{
    const std::vector<KLineBar> all = MakeBars(2, 80, 6);
    const std::vector<KLineBar> cached(all.begin() + 3, all.end());
    writeCache(2, cached);
    const std::string before = fileBytes(2);
    ScriptedPeer peer(Script().expectAny(50).send(reply(zipOf({all[0], all[1]}), KeyText("x"))));

    const auto download = run(peer.endpoint(), 2);
    EXPECT_EQ(KeysOf(m_bars.snapshot()), KeysOf({all[0], all[1]}));
    EXPECT_EQ(download->cacheListSize(), cached.size());
    EXPECT_EQ(fileBytes(2), before);
    EXPECT_TRUE(download->historyLoaded());
}

TEST_F(KLineDownloadTest, AnEmptyReplyTakesTheTrailerAndEndsTheDownload)
{
    writeCache(3, MakeBars(3, 20, 2));
    const std::string before = fileBytes(3);
    const BarKey trailer = KeyText("202402020800");
    ScriptedPeer peer(
        Script().expectAny(50).send(Join({Int32Bytes(0), Bytes(trailer.text, trailer.text + 13)})));

    const auto download = run(peer.endpoint(), 3);
    EXPECT_EQ(download->trailer(), trailer);
    EXPECT_FALSE(download->inProgress()) << "paging must not stay blocked";
    EXPECT_FALSE(download->historyLoaded());
    EXPECT_EQ(m_bars.size(), 0u);
    EXPECT_EQ(fileBytes(3), before);
}

TEST_F(KLineDownloadTest, EveryFailureEndsTheDownloadWithItsFlagCleared)
{
    const Bytes archive = zipOf(MakeBars(1, 30, 4));
    const struct {
        const char *why;
        Script script;
    } cases[] = {
        {"closed before the length", Script().expectAny(50).closeNow()},
        {"negative length", Script().expectAny(50).send(Int32Bytes(-48)).stall(20s)},
        {"length over 64 MiB", Script().expectAny(50).send(Int32Bytes((64 << 20) + 1)).stall(20s)},
        {"archive cut short",
         Script().expectAny(50).sendThenClose(Join(
             {Int32Bytes(static_cast<std::int32_t>(archive.size())),
              Bytes(archive.begin(), archive.begin() + static_cast<long>(archive.size() / 2))}))},
    };
    for (const auto &c : cases) {
        ScriptedPeer peer(c.script);
        BarList bars;
        KLineDownload download(peer.endpoint(), m_session, m_folder, bars, m_signals, m_events);
        download.startFresh(1);
        // The length is judged before anything waits for the archive.
        EXPECT_TRUE(WaitFor([&] { return !download.inProgress(); })) << c.why;
        EXPECT_FALSE(download.historyLoaded()) << c.why;
        EXPECT_EQ(bars.size(), 0u) << c.why;
    }

    Listener gone = Listener::listen(Ipv4Address::loopback(), 0);
    ServerEndpoint refused;
    refused.klinePort = gone.port();
    gone.close();
    EXPECT_FALSE(run(refused, 1)->inProgress()) << "connection refused";
    EXPECT_EQ(m_events.ready(), 0);
    EXPECT_FALSE(std::filesystem::exists(m_cache.file(1)));
}

// The view going (a product switch, exit) never waits for a server that does not answer.
TEST_F(KLineDownloadTest, GoingAwayEndsAHangingConnectOrAStalledReplyAtOnce)
{
    const test::HangingListener hanging;
    ScriptedPeer stalled(Script().expectAny(50).stall(30s));
    ServerEndpoint silent;
    silent.klinePort = hanging.port();
    for (const ServerEndpoint &endpoint : {silent, stalled.endpoint()}) {
        auto download = std::make_unique<KLineDownload>(endpoint, m_session, m_folder, m_bars,
                                                        m_signals, m_events);
        download->startFresh(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_TRUE(download->inProgress());
        const auto leaving = std::chrono::steady_clock::now();
        download.reset();
        EXPECT_LT(std::chrono::steady_clock::now() - leaving, std::chrono::seconds(3))
            << endpoint.klinePort;
    }
}

TEST_F(KLineDownloadTest, AnItemThatFailsToUnpackKeepsWhatCameBeforeAndTheDownloadFinishes)
{
    const std::vector<KLineBar> served = MakeBars(4, 40, 3);
    const Bytes archive = MakeStoredZip(
        {{"1", RecordBytes({served[0], served[1]})}, {"2", RecordBytes({served[2]}), true}});
    ScriptedPeer peer(Script().expectAny(50).send(reply(archive, KeyText("t"))));
    EXPECT_TRUE(run(peer.endpoint(), 4)->historyLoaded());
    EXPECT_EQ(KeysOf(m_bars.snapshot()), KeysOf({served[0], served[1]}));
    EXPECT_EQ(fileCount(4), 2);
}

TEST_F(KLineDownloadTest, PagingAsksFromTheTrailerToTheOldestBarUntilTheyMeet)
{
    const std::vector<KLineBar> all = MakeBars(1, 90, 6);
    const std::vector<KLineBar> first(all.begin(), all.begin() + 3);
    const std::vector<KLineBar> page(all.begin() + 3, all.end());
    ScriptedPeer peer({Script()
                           .expect(request(1, BarKey::none(), BarKey::none()))
                           .send(reply(zipOf(first), BarKey::of(all[3]))),
                       // The last page names its own oldest bar: the keys then meet.
                       Script()
                           .expect(request(1, BarKey::of(all[3]), BarKey::of(all[2])))
                           .send(reply(zipOf(page), BarKey::of(all[5])))});

    KLineDownload download(peer.endpoint(), m_session, m_folder, m_bars, m_signals, m_events);
    download.startFresh(1);
    download.waitForThreads();
    ASSERT_TRUE(download.pageBack());
    EXPECT_FALSE(download.pageBack()) << "a page is running";
    download.waitForThreads();
    EXPECT_EQ(KeysOf(m_bars.snapshot()), KeysOf(all));
    EXPECT_EQ(KeysOf(m_cache.load(1)), KeysOf(all)) << "the whole list is saved after a page";
    EXPECT_EQ(m_events.ready(), 2);

    EXPECT_EQ(download.trailer(), m_bars.oldestKey());
    EXPECT_FALSE(download.pageBack());
    EXPECT_EQ(download.downloadsStarted(), 2);
    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
    EXPECT_EQ(peer.connectionsAccepted(), 2u);
}

TEST_F(KLineDownloadTest, NoPageWhileTheFirstDownloadRuns)
{
    ScriptedPeer peer(Script().expectAny(50).stall(20s));
    KLineDownload download(peer.endpoint(), m_session, m_folder, m_bars, m_signals, m_events);
    m_bars.appendBack(MakeBar(1, 2024, "01010800"));
    download.startFresh(1);
    EXPECT_FALSE(download.pageBack());
    EXPECT_EQ(download.downloadsStarted(), 1);
    // Going away wakes the thread blocked on the stalled reply and waits for it.
}

// A restart while a download is between two records: the old thread must leave the new lists
// and the cache files alone.
class StaleDownloadTest : public KLineDownloadTest {
protected:
    Bytes gatedRecords(std::int32_t productId, const std::vector<KLineBar> &bars)
    {
        Bytes records = RecordBytes({bars[0]});
        test::AppendRecordBytes(records, MakeSignal(static_cast<std::int8_t>(productId), 1800));
        for (std::size_t i = 1; i < bars.size(); ++i)
            test::AppendRecordBytes(records, bars[i]);
        return records;
    }
};

TEST_F(StaleDownloadTest, ASocketReplacedMidDownloadAppendsMergesAndSavesNothing)
{
    const std::vector<KLineBar> old = MakeBars(1, 50, 4);
    const std::vector<KLineBar> cached(old.begin() + 2, old.end());
    writeCache(1, cached);
    const std::vector<KLineBar> fresh = MakeBars(1, 90, 2);
    ScriptedPeer peer(
        {Script().expectAny(50).send(reply(
             MakeStoredZip({{"k", gatedRecords(1, {old[0], old[1], old[2]})}}), KeyText("old"))),
         Script().expectAny(50).send(Int32Bytes(0)).stall(20s)});
    ClientViewState state(peer.endpoint(), m_session, m_folder, m_bars, m_signals, m_events);
    state.setCurrentProduct(1);

    m_events.closeGate();
    state.restart();
    ASSERT_TRUE(m_events.waitAtGate());
    state.restart(); // the second download waits for its trailer
    m_events.openGate();
    // The old thread has gone through the rest of its records once only the new one runs.
    ASSERT_TRUE(WaitFor([&] { return state.download().activeThreads() == 1; }));

    EXPECT_EQ(m_bars.size(), 0u) << "nothing of the old download lands after the restart";
    EXPECT_EQ(m_signals.size(), 0u);
    EXPECT_EQ(m_events.ready(), 0);
    EXPECT_FALSE(state.historyLoaded());
    EXPECT_TRUE(state.downloadInProgress()) << "the flag belongs to the running download";
    EXPECT_EQ(state.download().cacheListSize(), cached.size());
    EXPECT_EQ(KeysOf(m_cache.load(1)), KeysOf(cached));
    EXPECT_TRUE(state.download().trailer().isNone());
    state.shutdown();
}

TEST_F(StaleDownloadTest, AProductSwitchedMidDownloadGetsNothingOfTheOldProduct)
{
    const std::vector<KLineBar> one = MakeBars(1, 50, 3);
    const std::vector<KLineBar> two = MakeBars(2, 70, 3); // two[1], two[2] are cached
    writeCache(2, {two[1], two[2]});
    writeCache(1, {one[2]});
    const std::string fileOne = fileBytes(1);
    ScriptedPeer peer({Script().expectAny(50).send(
                           reply(MakeStoredZip({{"k", gatedRecords(1, one)}}), KeyText("one"))),
                       Script()
                           .expect(request(2, BarKey::of(two[1]), BarKey::none()))
                           .send(reply(zipOf({two[0], two[1]}), KeyText("two")))});
    ClientViewState state(peer.endpoint(), m_session, m_folder, m_bars, m_signals, m_events);
    state.setCurrentProduct(1);

    m_events.closeGate();
    state.restart();
    ASSERT_TRUE(m_events.waitAtGate());
    state.changeProduct(2);
    state.restart();
    m_events.openGate();
    state.download().waitForThreads();

    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
    EXPECT_EQ(KeysOf(m_bars.snapshot()), KeysOf(two));
    EXPECT_EQ(KeysOf(m_cache.load(2)), KeysOf(two));
    EXPECT_EQ(fileBytes(1), fileOne);
    EXPECT_EQ(m_events.ready(), 1);
    EXPECT_EQ(state.download().trailer(), KeyText("two"));
    EXPECT_EQ(ClientSettings::read(m_folder).lastProduct(), 2);
}

} // namespace
} // namespace qs
