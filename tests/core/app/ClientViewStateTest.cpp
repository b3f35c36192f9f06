#include "core/app/ClientViewState.h"

#include "core/app/ClientSettings.h"
#include "core/market/SignalList.h"
#include "core/protocol/RequestHeader.h"
#include "tests/support/KLineRecords.h"
#include "tests/support/ScriptedPeer.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/StoredZip.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace qs {
namespace {

using test::Bytes;
using test::Int32Bytes;
using test::Join;
using test::Script;
using test::ScriptedPeer;

class QuietEvents final : public DownloadEvents {
public:
    void downloadedSignal(const SignalRecord &) override {}
    void historyReady() override {}
};

class ClientViewStateTest : public ::testing::Test {
protected:
    ClientViewStateTest() { m_session.establish(SessionToken{{1, 2, 3, 4}}, 8, "demo"); }

    Bytes flagsRequest() const { return test::BytesOf(RequestHeader::make(42, m_session)); }
    void writeLastProduct(std::int32_t productId)
    {
        ClientSettings settings;
        settings.setLastProduct(productId);
        settings.setMemberName("alice");
        ASSERT_TRUE(settings.write(m_folder));
    }

    test::TempFolder m_temp;
    DataFolder m_folder{m_temp.path()};
    Session m_session;
    BarList m_bars;
    SignalList m_signals;
    QuietEvents m_events;
    test::SeamRecorder m_seam;
};

TEST_F(ClientViewStateTest, CreationReadsTheFlagsWithCommand42AndTakesTheLastProduct)
{
    Bytes flags(30, 1);
    flags[0] = 0;
    flags[6] = 0;
    flags[29] = 7;
    ScriptedPeer peer(Script().expect(flagsRequest()).send(flags));
    writeLastProduct(7);
    ClientViewState state(peer.endpoint(), m_session, m_folder, m_bars, m_signals, m_events);
    state.create(m_seam);
    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
    const auto read = state.flags().bytes();
    EXPECT_EQ(Bytes(read.begin(), read.end()), flags);
    EXPECT_EQ(state.flags().flag(1), 0);
    EXPECT_EQ(state.flags().flag(2), 1);
    EXPECT_EQ(state.flags().flag(31), 0);
    EXPECT_EQ(state.currentProduct(), 7);
    EXPECT_TRUE(m_seam.messageTexts().empty());
}

TEST_F(ClientViewStateTest, AShortFlagsReplyOrNoServerLeavesEveryFlagOn)
{
    ScriptedPeer peer(Script().expect(flagsRequest()).sendThenClose(Bytes(12, 0)));
    writeLastProduct(150); // outside 1..99: ignored
    ClientViewState state(peer.endpoint(), m_session, m_folder, m_bars, m_signals, m_events);
    state.flags().setAll(0);
    state.create(m_seam);
    for (int id = 1; id <= 30; ++id)
        EXPECT_EQ(state.flags().flag(id), 1) << id;
    EXPECT_EQ(state.currentProduct(), 1);

    Listener gone = Listener::listen(Ipv4Address::loopback(), 0);
    ServerEndpoint refused;
    refused.requestPort = gone.port();
    gone.close();
    ClientViewState offline(refused, m_session, m_folder, m_bars, m_signals, m_events);
    offline.flags().setAll(0);
    offline.create(m_seam);
    EXPECT_EQ(offline.flags().flag(17), 1);
    EXPECT_EQ(m_seam.messageTexts(), (std::vector<std::string>{"无法连接服务器，操作已取消"}));
}

TEST_F(ClientViewStateTest, TheWatchdogFiresOnlyAfterATickWithoutHeartbeat)
{
    ClientViewState state(ServerEndpoint{}, m_session, m_folder, m_bars, m_signals, m_events);
    EXPECT_TRUE(state.watchdogTick()) << "no heartbeat yet";
    state.noteHeartbeat();
    EXPECT_FALSE(state.watchdogTick());
    EXPECT_TRUE(state.watchdogTick()) << "the tick cleared the flag";
    state.noteHeartbeat();
    state.noteHeartbeat();
    EXPECT_FALSE(state.watchdogTick());
}

TEST_F(ClientViewStateTest, ProductChangeKeepsTheOtherSettingsAndReinitialisingStartsFromNothing)
{
    writeLastProduct(3);
    const std::vector<KLineBar> cached = test::MakeBars(9, 30, 2);
    {
        BarList list;
        for (const KLineBar &bar : cached)
            list.appendBack(bar);
        ASSERT_TRUE(KLineCache(m_folder).save(9, list));
    }
    // The request after "重新初始化" asks for everything: "from" "0".
    Bytes request = test::BytesOf(RequestHeader::make(9, m_session));
    request.resize(request.size() + 26, 0);
    request[24] = '0';
    request[37] = '0';
    ScriptedPeer peer(Script().expect(request).send(Join({Int32Bytes(0), Bytes(13, 0)})));
    ClientViewState state(peer.endpoint(), m_session, m_folder, m_bars, m_signals, m_events);
    state.changeProduct(9);
    EXPECT_EQ(state.currentProduct(), 9);
    const ClientSettings settings = ClientSettings::read(m_folder);
    EXPECT_EQ(settings.lastProduct(), 9);
    EXPECT_EQ(settings.memberName(), "alice");

    m_bars.appendBack(cached[0]);
    m_signals.add(test::MakeSignal(9, 100));
    state.reinitialize();
    EXPECT_FALSE(std::filesystem::exists(KLineCache(m_folder).file(9)));
    EXPECT_EQ(m_bars.size(), 0u);
    EXPECT_EQ(m_signals.size(), 0u);
    state.download().waitForThreads();
    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
}

TEST_F(ClientViewStateTest, PushedBarsApplyToTheCurrentProductOnly)
{
    ClientViewState state(ServerEndpoint{}, m_session, m_folder, m_bars, m_signals, m_events);
    state.setCurrentProduct(4);
    EXPECT_EQ(state.applyPushedBar(test::MakeBar(5, 2024, "01020800")), PushedBarChange::Ignored);
    EXPECT_EQ(state.applyPushedBar(test::MakeBar(4, 2024, "01020800")),
              PushedBarChange::CompletedInserted);
    EXPECT_EQ(state.applyPushedBar(test::MakeBar(4, 2024, "10:00:00")), PushedBarChange::Ignored)
        << "no live bar before the history is loaded";
}

} // namespace
} // namespace qs
