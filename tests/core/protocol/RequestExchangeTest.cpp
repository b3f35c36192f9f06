#include "core/protocol/RequestExchange.h"

#include "core/platform/DataFolder.h"
#include "core/platform/SupportLog.h"
#include "core/protocol/Commands.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TradingTestRecords.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

namespace qs {
namespace {

using test::Bytes;
using test::Header;
using test::Int32Bytes;
using test::Join;
using test::Script;
using test::ScriptedPeer;
using test::SeamRecorder;

// Login and update check: the command, then zeros, the level (0 before a session) included.
Bytes PreSessionHeader(std::int32_t command)
{
    return Join({Int32Bytes(command), test::Zeros(20)});
}

TEST(RequestExchange, RequestsOnOneConnectionCarryTheHeaderOfTheirKind)
{
    const Bytes body = {1, 2, 3, 4, 5, 6};
    ScriptedPeer peer(Script()
                          .expect(Join({Header(cmd::kDeleteOrder), body}))
                          .send(Int32Bytes(1))
                          .expect(Header(cmd::kAccount))
                          .send(Int32Bytes(-9))
                          .expect(PreSessionHeader(cmd::kUpdateCheck)));
    const Session session = test::TestSession(); // level 4: the pre-session header ignores it
    SeamRecorder seam;
    {
        RequestExchange exchange(ServerLink(peer.endpoint(), session, seam));
        std::int32_t reply = 0;
        const std::array<std::uint8_t, 6> sent = {1, 2, 3, 4, 5, 6};
        EXPECT_EQ(exchange.request(cmd::kDeleteOrder, sent, reply), ExchangeStep::Done);
        EXPECT_EQ(reply, 1);
        EXPECT_EQ(exchange.send(cmd::kAccount), ExchangeStep::Done);
        EXPECT_EQ(exchange.receive(reply), ExchangeStep::Done);
        EXPECT_EQ(reply, -9);
        EXPECT_EQ(exchange.sendPreSession(cmd::kUpdateCheck), ExchangeStep::Done);
    }
    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
    EXPECT_EQ(peer.connectionsAccepted(), 1u);
    EXPECT_TRUE(seam.messages().empty());
}

TEST(RequestExchange, AShortReplyKeepsWhatArrivedAndFailsOnlyAnExactRead)
{
    const struct {
        ReplyRead read;
        ExchangeStep step;
    } cases[] = {{ReplyRead::Exact, ExchangeStep::Reply}, {ReplyRead::UpTo, ExchangeStep::Done}};
    for (const auto &c : cases) {
        ScriptedPeer peer(Script().expect(Header(cmd::kAccount)).sendThenClose({7, 0}));
        const Session session = test::TestSession();
        SeamRecorder seam;
        RequestExchange exchange(ServerLink(peer.endpoint(), session, seam));
        std::array<std::uint8_t, 4> reply = {0xEE, 0xEE, 0xEE, 0xEE};
        ASSERT_EQ(exchange.send(cmd::kAccount), ExchangeStep::Done);
        EXPECT_EQ(exchange.receive(reply, c.read), c.step);
        EXPECT_EQ(reply, (std::array<std::uint8_t, 4>{7, 0, 0xEE, 0xEE}));
    }
}

// Each failed step leaves one support-log line naming the command, the step and the reason.
TEST(RequestExchange, AFailedExchangeLeavesOneLogLine)
{
    test::TempFolder temp;
    SupportLog::open(temp.path());
    const Session session = test::TestSession();
    SeamRecorder seam;
    ServerEndpoint refused;
    {
        ScriptedPeer gone(Script{});
        refused = gone.endpoint();
    }
    ScriptedPeer cut(Script().expect(Header(cmd::kAccount)).sendThenClose(Bytes(3, 0)));
    const struct {
        ServerEndpoint endpoint;
        const char *line;
    } rows[] = {
        {refused, " exchange-failed step=connect error=Connection refused\n"},
        {cut.endpoint(), " exchange-failed command=21 step=reply error=closed by the peer\n"},
    };
    for (const auto &row : rows) {
        std::array<std::uint8_t, 160> reply{};
        RequestExchange exchange(ServerLink(row.endpoint, session, seam));
        exchange.send(cmd::kAccount);
        exchange.receive(reply.data(), reply.size());
        exchange.finish();
        std::string log;
        ReadWholeFile(temp.path() / "quillstar.log", log);
        EXPECT_NE(log.find(row.line), std::string::npos) << log;
    }
    SupportLog::close();
}

} // namespace
} // namespace qs
