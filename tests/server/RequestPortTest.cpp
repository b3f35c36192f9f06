#include "RawClient.h"

#include "core/platform/AnsiCodec.h"
#include "server/DemoServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace qs::server {
namespace {

using test::Bytes;
using test::DoubleAt;
using test::Int32At;
using test::PutDouble;
using test::PutFloat;
using test::PutInt32;
using test::PutText;
using test::RawClient;
using test::TextAt;

constexpr const char *kCode = "4711";
constexpr int kGold = 1;

// Offsets of the records, as the wire has them.
constexpr std::size_t kHoldSize = 264;
constexpr std::size_t kDelegateSize = 256;
constexpr std::size_t kDealSize = 224;
constexpr std::size_t kTypeSize = 288;
constexpr std::size_t kAlertSize = 40;

class RequestPortTest : public ::testing::Test {
protected:
    static DemoOptions Options()
    {
        DemoOptions options;
        options.requestPort = 0;
        options.pushPort = 0;
        options.klinePort = 0;
        options.fixedCode = kCode;
        options.seed = 5;
        options.historyBars = 20;
        options.tickPeriod = std::chrono::hours(1); // prices move only when a test moves them
        options.heartbeatPeriod = std::chrono::hours(1);
        return options;
    }

    void SetUp() override
    {
        m_server = std::make_unique<DemoServer>(Options());
        ASSERT_TRUE(m_server->start());
        m_port = m_server->ports().request;
        m_server->setPrice(kGold, 1765.30); // buy 1765.60, sell 1765.10
    }
    void TearDown() override { m_server->stop(); }

    SessionToken logIn(const std::string &name = "demo", const std::string &password = "demo")
    {
        const test::LoginResult result = test::LogIn(m_port, name, password, kCode);
        EXPECT_TRUE(result.result == 1 || result.result == 4) << name << ": " << result.result;
        return result.token;
    }

    // One exchange on a connection of its own.
    std::optional<std::int32_t> askInt32(const SessionToken &token, std::int32_t command,
                                         const Bytes &body)
    {
        RawClient client(m_port);
        if (!client.request(command, token, body))
            return std::nullopt;
        return client.receiveInt32();
    }
    std::optional<std::vector<Bytes>> askList(const SessionToken &token, std::int32_t command,
                                              const Bytes &body, std::size_t recordSize)
    {
        RawClient client(m_port);
        if (!client.request(command, token, body))
            return std::nullopt;
        return client.receiveList(recordSize);
    }
    std::vector<Bytes> positions(const SessionToken &token)
    {
        return askList(token, 16, Bytes(44, 0), kHoldSize).value_or(std::vector<Bytes>{});
    }
    std::vector<Bytes> orders(const SessionToken &token, bool withFinished = true)
    {
        Bytes body(56, 0);
        PutInt32(body, 8, withFinished ? 1 : 0);
        return askList(token, 17, body, kDelegateSize).value_or(std::vector<Bytes>{});
    }
    std::vector<Bytes> deals(const SessionToken &token)
    {
        return askList(token, 19, Bytes(52, 0), kDealSize).value_or(std::vector<Bytes>{});
    }
    Bytes account(const SessionToken &token)
    {
        RawClient client(m_port);
        client.request(21, token);
        return client.receive(160).value_or(Bytes{});
    }

    std::unique_ptr<DemoServer> m_server;
    std::uint16_t m_port = 0;
};

template<class Condition>
bool WaitFor(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

Bytes OpenBody(int productId, float price, float lots, std::int32_t kind, std::int32_t direction,
               float stopLoss = 0, float takeProfit = 0, std::int32_t validity = 0,
               float slippage = 0)
{
    Bytes body(36, 0);
    PutInt32(body, 0, productId);
    PutFloat(body, 4, price);
    PutFloat(body, 8, stopLoss);
    PutFloat(body, 12, takeProfit);
    PutFloat(body, 16, lots);
    PutInt32(body, 20, kind);
    PutInt32(body, 24, direction);
    PutInt32(body, 28, validity);
    PutFloat(body, 32, slippage);
    return body;
}

// Command 18 for a buy position: the closing direction is 2.
Bytes CloseBody(const Bytes &position, double lots, double price, std::int32_t validity,
                double slippage = 0)
{
    Bytes body(256, 0);
    PutInt32(body, 24, Int32At(position, 24));
    PutInt32(body, 72, Int32At(position, 72) == 2 ? 1 : 2);
    PutDouble(body, 80, lots);
    PutDouble(body, 88, price);
    PutDouble(body, 96, slippage);
    PutText(body, 152, TextAt(position, 0, 21));
    PutInt32(body, 176, validity);
    return body;
}

// Every result of the member table is MembersTest's; here that result and level reach the wire.
TEST_F(RequestPortTest, LoginAnswersCarryResultAndLevel)
{
    struct Case {
        const char *name;
        const char *password;
        const char *code;
        std::int32_t result;
        std::int32_t level;
    };
    const Case cases[] = {
        {"demo", "demo", "0000", -2, 0},
        {"demo", "wrong", kCode, 0, 0},
        {"demo", "demo", kCode, 1, 8},
        {"gold", "gold", kCode, 4, 4},
    };
    for (const Case &c : cases) {
        const test::LoginResult result = test::LogIn(m_port, c.name, c.password, c.code);
        EXPECT_EQ(result.result, c.result) << c.name;
        EXPECT_EQ(result.level, c.level) << c.name;
    }
    EXPECT_EQ(m_server->requestCount(6), 4);
    EXPECT_EQ(m_server->lastRequestBody(6).size(), 156u);
}

TEST_F(RequestPortTest, PicturesCarryFreshTokensAndATokenServesOneLogin)
{
    RawClient client(m_port);
    const auto first = test::FetchPicture(client);
    const auto second = test::FetchPicture(client); // a second exchange on the same connection
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->token, second->token);
    EXPECT_NE(first->token, SessionToken{});
    EXPECT_EQ(first->picture.size(), 3920u);

    auto login = [this](const SessionToken &token, const char *code) {
        RawClient c(m_port);
        Bytes header(24, 0);
        PutInt32(header, 0, 6);
        c.send(header);
        c.send(test::LoginBody("demo", "demo", code, token));
        const auto reply = c.receive(20);
        return reply ? Int32At(*reply, 4) : 99;
    };
    EXPECT_EQ(login(first->token, "1234"), -2);
    EXPECT_EQ(login(first->token, kCode), -2); // spent by the wrong guess
    EXPECT_EQ(login(second->token, kCode), 1);
}

TEST_F(RequestPortTest, UpdateCheckAnswersTheConfiguredVersion)
{
    RawClient client(m_port);
    Bytes header(24, 0);
    PutInt32(header, 0, 7);
    ASSERT_TRUE(client.send(header));
    EXPECT_EQ(client.receiveInt32(), 11090616);
}

TEST_F(RequestPortTest, ProductsComeWithCataloguePricesAndLegs)
{
    const SessionToken token = logIn();
    const auto products = askList(token, 1, {}, kTypeSize);
    ASSERT_TRUE(products);
    ASSERT_EQ(products->size(), 28u);
    const Bytes &gold = (*products)[0];
    EXPECT_EQ(Int32At(gold, 0), 1);
    EXPECT_EQ(AnsiToUtf8(TextAt(gold, 40, 40)), "伦敦金");
    EXPECT_EQ(Int32At(gold, 24), 2);
    EXPECT_EQ(Int32At(gold, 192), 1);
    EXPECT_EQ(Int32At(gold, 200), 1);
    float buy = 0;
    std::memcpy(&buy, gold.data() + 16, 4);
    EXPECT_FLOAT_EQ(buy, 1765.60f);
    for (std::size_t i = 0; i < products->size(); ++i)
        EXPECT_EQ(Int32At((*products)[i], 0), static_cast<std::int32_t>(i + 1));

    const Bytes &ratio = (*products)[19];
    EXPECT_EQ(AnsiToUtf8(TextAt(ratio, 40, 40)), "黄金/白银(伦敦)");
    EXPECT_EQ(Int32At(ratio, 200), 0);
    EXPECT_EQ(AnsiToUtf8(TextAt(ratio, 204, 40)), "黄金");
    EXPECT_EQ(AnsiToUtf8(TextAt(ratio, 244, 40)), "白银");
}

TEST_F(RequestPortTest, RequestsWithoutASessionAreClosedUnanswered)
{
    RawClient client(m_port);
    ASSERT_TRUE(client.request(21, SessionToken{}));
    EXPECT_TRUE(client.closedByServer());

    RawClient unknown(m_port);
    ASSERT_TRUE(unknown.sendHeader(3, logIn()));
    EXPECT_TRUE(unknown.closedByServer());
}

TEST_F(RequestPortTest, AMarketOrderIsFilledAndShowsInPositionsSummaryAndAccount)
{
    const SessionToken token = logIn();
    RawClient client(m_port);
    ASSERT_TRUE(client.request(11, token, OpenBody(kGold, 1765.60f, 2, 1, 1)));
    EXPECT_EQ(client.receiveInt32(), 1);

    // The start-up sequence on the same connection: summary, positions, account, orders.
    ASSERT_TRUE(client.request(20, token));
    const auto summary = client.receiveList(kHoldSize);
    ASSERT_TRUE(client.request(16, token, Bytes(44, 0)));
    const auto held = client.receiveList(kHoldSize);
    ASSERT_TRUE(client.request(21, token));
    const auto info = client.receive(160);
    Bytes ordersBody(56, 0);
    PutInt32(ordersBody, 8, 1);
    ASSERT_TRUE(client.request(17, token, ordersBody));
    const auto pending = client.receiveList(kDelegateSize);

    ASSERT_TRUE(summary && held && info && pending);
    ASSERT_EQ(held->size(), 1u);
    const Bytes &position = (*held)[0];
    EXPECT_EQ(Int32At(position, 24), kGold);
    EXPECT_EQ(Int32At(position, 72), 1);
    EXPECT_DOUBLE_EQ(DoubleAt(position, 88), 2.0);
    EXPECT_DOUBLE_EQ(DoubleAt(position, 96), 1765.60);
    EXPECT_DOUBLE_EQ(DoubleAt(position, 136), 17656.00);
    EXPECT_EQ(Int32At(position, 232), 1);
    ASSERT_EQ(summary->size(), 1u);
    EXPECT_DOUBLE_EQ(DoubleAt((*summary)[0], 88), 2.0);
    EXPECT_TRUE(pending->empty());

    EXPECT_EQ(TextAt(*info, 21, 27), "demo");
    EXPECT_DOUBLE_EQ(DoubleAt(*info, 56), 1000000.0);
    EXPECT_DOUBLE_EQ(DoubleAt(*info, 64), 1000000.0 - 282.50 - 17656.00);
    EXPECT_DOUBLE_EQ(DoubleAt(*info, 80), 282.50);
    EXPECT_DOUBLE_EQ(DoubleAt(*info, 88), 17656.00);

    const std::vector<Bytes> history = deals(token);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(Int32At(history[0], 172), 1);
    EXPECT_DOUBLE_EQ(DoubleAt(history[0], 88), 1765.60);
    EXPECT_EQ(TextAt(history[0], 149, 21), TextAt(position, 0, 21));

    // Another member sees nothing of it.
    EXPECT_TRUE(positions(logIn("free", "free")).empty());
}

// Every refusal is AccountTest's; here that the codes reach the client.
TEST_F(RequestPortTest, OrderRefusalsReachTheClientAsCodes)
{
    const SessionToken token = logIn();
    EXPECT_EQ(askInt32(token, 11, OpenBody(kGold, 1765.60f, 1, 1, 1, 1764.00f)), 5);
    EXPECT_EQ(askInt32(logIn("free", "free"), 11, OpenBody(kGold, 1765.60f, 50, 1, 1)), 3);
    EXPECT_TRUE(positions(token).empty());
}

TEST_F(RequestPortTest, ALimitOrderWaitsUntilThePriceReachesIt)
{
    const SessionToken token = logIn();
    ASSERT_EQ(askInt32(token, 11, OpenBody(kGold, 1760.00f, 1, 2, 1, 0, 0, 2)), 1);
    std::vector<Bytes> pending = orders(token);
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(Int32At(pending[0], 220), 1);
    EXPECT_EQ(Int32At(pending[0], 144), 1);
    EXPECT_EQ(Int32At(pending[0], 176), 2);
    EXPECT_DOUBLE_EQ(DoubleAt(account(token), 96), 8800.00);
    EXPECT_TRUE(positions(token).empty());

    m_server->setPrice(kGold, 1759.50); // buy 1759.80
    pending = orders(token);
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(Int32At(pending[0], 220), 3);
    EXPECT_TRUE(orders(token, false).empty());
    const std::vector<Bytes> held = positions(token);
    ASSERT_EQ(held.size(), 1u);
    EXPECT_DOUBLE_EQ(DoubleAt(held[0], 96), 1759.80);
    const Bytes info = account(token);
    EXPECT_DOUBLE_EQ(DoubleAt(info, 96), 0);
    EXPECT_DOUBLE_EQ(DoubleAt(info, 88), 8799.00);
    const std::vector<Bytes> history = deals(token);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(Int32At(history[0], 176), 2); // limit fill
    EXPECT_EQ(Int32At(history[0], 180), 2); // by the system
}

TEST_F(RequestPortTest, AStopLossIsHitByThePrice)
{
    const SessionToken token = logIn();
    ASSERT_EQ(askInt32(token, 11, OpenBody(kGold, 1765.60f, 1, 1, 1, 1760.00f)), 1);
    m_server->setPrice(kGold, 1762.00);
    EXPECT_EQ(positions(token).size(), 1u);
    m_server->setPrice(kGold, 1760.10); // sell 1759.90
    EXPECT_TRUE(positions(token).empty());
    const std::vector<Bytes> history = deals(token);
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(Int32At(history[1], 172), 2);
    EXPECT_DOUBLE_EQ(DoubleAt(history[1], 88), 1759.90);
    EXPECT_DOUBLE_EQ(DoubleAt(history[1], 96), -570.00);
    EXPECT_DOUBLE_EQ(DoubleAt(account(token), 72), -570.00);
}

TEST_F(RequestPortTest, ClosesAtMarketAndAtALimitPrice)
{
    const SessionToken token = logIn();
    ASSERT_EQ(askInt32(token, 11, OpenBody(kGold, 1765.60f, 2, 1, 1)), 1);
    Bytes position = positions(token).at(0);

    EXPECT_EQ(askInt32(token, 18, CloseBody(position, 0.5, 1765.10, 0)), 1);
    position = positions(token).at(0);
    EXPECT_DOUBLE_EQ(DoubleAt(position, 88), 1.5);
    EXPECT_EQ(askInt32(token, 18, CloseBody(position, 0.5, 1763.00, 0, 1.0)), 2);

    RawClient limit(m_port);
    ASSERT_TRUE(limit.request(18, token, CloseBody(position, 1.5, 1775.0, 2)));
    const auto order = limit.receive(256);
    ASSERT_TRUE(order);
    EXPECT_EQ(Int32At(*order, 220), 1);
    EXPECT_FALSE(TextAt(*order, 0, 21).empty());
    EXPECT_EQ(TextAt(*order, 152, 21), TextAt(position, 0, 21));
    EXPECT_EQ(Int32At(*order, 148), 2);

    RawClient tooNear(m_port);
    ASSERT_TRUE(tooNear.request(18, token, CloseBody(position, 1.5, 1765.50, 1)));
    const auto refused = tooNear.receive(256);
    ASSERT_TRUE(refused);
    EXPECT_EQ(Int32At(*refused, 220), 4);
    EXPECT_EQ((*refused)[0], 0);

    m_server->setPrice(kGold, 1775.20); // sell 1775.00
    EXPECT_TRUE(positions(token).empty());
    EXPECT_EQ(deals(token).size(), 3u);
}

TEST_F(RequestPortTest, StopAndOrderChangesAndBothShapesOfDeletion)
{
    const SessionToken token = logIn();
    ASSERT_EQ(askInt32(token, 11, OpenBody(kGold, 1765.60f, 1, 1, 1)), 1);
    const Bytes position = positions(token).at(0);

    Bytes stops(32, 0);
    PutText(stops, 0, TextAt(position, 0, 21));
    PutFloat(stops, 24, 1762.60f);
    PutFloat(stops, 28, 1770.00f);
    RawClient change(m_port);
    ASSERT_TRUE(change.request(13, token, stops));
    const auto changed = change.receive(264);
    ASSERT_TRUE(changed);
    EXPECT_EQ(TextAt(*changed, 0, 21), TextAt(position, 0, 21));
    EXPECT_DOUBLE_EQ(DoubleAt(*changed, 112), 1762.60);
    EXPECT_DOUBLE_EQ(DoubleAt(*changed, 120), 1770.00);
    PutFloat(stops, 24, 1764.00f);
    RawClient refuse(m_port);
    ASSERT_TRUE(refuse.request(13, token, stops));
    const auto refused = refuse.receive(264);
    ASSERT_TRUE(refused);
    EXPECT_EQ(*refused, Bytes(264, 0));

    ASSERT_EQ(askInt32(token, 11, OpenBody(kGold, 1760.00f, 1, 2, 1, 0, 0, 1)), 1);
    ASSERT_EQ(askInt32(token, 11, OpenBody(kGold, 1750.00f, 1, 2, 1, 0, 0, 1)), 1);
    std::vector<Bytes> pending = orders(token, false);
    ASSERT_EQ(pending.size(), 2u);
    Bytes modified = pending[0];
    PutDouble(modified, 88, 1755.00);
    PutInt32(modified, 176, 2);
    EXPECT_EQ(askInt32(token, 14, modified), 1);
    pending = orders(token, false);
    EXPECT_DOUBLE_EQ(DoubleAt(pending[0], 88), 1755.00);
    EXPECT_EQ(Int32At(pending[0], 176), 2);

    // Orders page: the number alone in a zero-filled buffer.
    Bytes byNumber(30, 0);
    PutText(byNumber, 0, TextAt(pending[0], 0, 21));
    EXPECT_EQ(askInt32(token, 15, byNumber), 1);
    EXPECT_EQ(askInt32(token, 15, byNumber), 0);
    // Chart popup: the first 30 bytes of the record.
    const Bytes head(pending[1].begin(), pending[1].begin() + 30);
    EXPECT_EQ(askInt32(token, 15, head), 1);
    EXPECT_TRUE(orders(token, false).empty());
    EXPECT_EQ(m_server->lastRequestBody(15), head);
}

TEST_F(RequestPortTest, AlertsHaveAMonthlyQuotaForOrdinaryMembers)
{
    const SessionToken token = logIn("free", "free");
    std::vector<std::int32_t> ids;
    for (int i = 0; i < 3; ++i) {
        Bytes alert(kAlertSize, 0);
        PutDouble(alert, 16, 1800.0 + i);
        PutInt32(alert, 24, 1);
        PutInt32(alert, 28, kGold);
        RawClient client(m_port);
        ASSERT_TRUE(client.request(9, token, alert));
        const auto stored = client.receive(kAlertSize);
        ASSERT_TRUE(stored);
        EXPECT_GT(Int32At(*stored, 0), 0);
        EXPECT_DOUBLE_EQ(DoubleAt(*stored, 16), 1800.0 + i);
        ids.push_back(Int32At(*stored, 0));
    }
    Bytes more(kAlertSize, 0);
    PutDouble(more, 16, 1700.0);
    PutInt32(more, 24, 2);
    PutInt32(more, 28, kGold);
    EXPECT_EQ(askInt32(token, 9, more), -1);

    const auto list = askList(token, 8, {}, kAlertSize);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->size(), 3u);

    Bytes deletion(kAlertSize, 0);
    PutInt32(deletion, 0, ids[1]);
    PutInt32(deletion, 32, 2);
    auto deleteOnce = [&] {
        RawClient client(m_port);
        client.request(10, token, deletion);
        const auto reply = client.receive(1);
        return reply ? (*reply)[0] : 0xEE;
    };
    EXPECT_EQ(deleteOnce(), 1);
    EXPECT_EQ(deleteOnce(), 0);
    EXPECT_EQ(m_server->alerts("free").size(), 2u);
    // Members of a higher level have no quota.
    EXPECT_GT(askInt32(logIn(), 9, more).value_or(0), 0);
}

TEST_F(RequestPortTest, ProductFlagsRoundTripPerMember)
{
    const SessionToken token = logIn();
    RawClient client(m_port);
    ASSERT_TRUE(client.request(42, token));
    EXPECT_EQ(client.receive(30), Bytes(30, 1));

    Bytes flags(30, 1);
    for (std::size_t i = 0; i < 28; i += 3)
        flags[i] = 0;
    ASSERT_TRUE(client.request(41, token, flags));
    EXPECT_EQ(client.receive(1), Bytes{1});
    ASSERT_TRUE(client.request(42, token));
    EXPECT_EQ(client.receive(30), flags);

    Bytes bad = flags;
    bad[5] = 2;
    ASSERT_TRUE(client.request(41, token, bad));
    EXPECT_EQ(client.receive(1), Bytes{0});
    ASSERT_TRUE(client.request(42, token));
    EXPECT_EQ(client.receive(30), flags);

    RawClient other(m_port);
    ASSERT_TRUE(other.request(42, logIn("free", "free")));
    EXPECT_EQ(other.receive(30), Bytes(30, 1));
}

TEST_F(RequestPortTest, ExchangesFollowEachOtherUntilTheLogout)
{
    const SessionToken token = logIn();
    RawClient client(m_port);
    ASSERT_TRUE(client.request(1, token));
    ASSERT_TRUE(client.request(8, token)); // sent before the first reply is read
    EXPECT_EQ(client.receiveList(kTypeSize)->size(), 28u);
    EXPECT_TRUE(client.receiveList(kAlertSize)->empty());
    ASSERT_TRUE(client.request(4, token));
    EXPECT_TRUE(client.closedByServer());

    // The logout ended the session.
    RawClient after(m_port);
    ASSERT_TRUE(after.request(21, token));
    EXPECT_TRUE(after.closedByServer());
}

TEST_F(RequestPortTest, ASecondLoginKicksThePushConnectionOfTheFirst)
{
    const SessionToken first = logIn();
    RawClient push(m_server->ports().push);
    ASSERT_TRUE(push.sendHeader(0, first, 8));
    ASSERT_TRUE(WaitFor([this] { return m_server->pushSubscribers() == 1; }));
    // A tick shows the subscription is live.
    m_server->setPrice(kGold, 1766.00);
    EXPECT_EQ(push.receiveInt32(), 1);
    ASSERT_TRUE(push.receive(48));

    const SessionToken second = logIn();
    EXPECT_EQ(push.receiveInt32(), 5);
    RawClient old(m_port);
    ASSERT_TRUE(old.request(21, first));
    EXPECT_TRUE(old.closedByServer());
    EXPECT_EQ(account(second).size(), 160u);
}

TEST_F(RequestPortTest, RepliesCanBeMadeLateOrCutShort)
{
    const SessionToken token = logIn();
    ASSERT_EQ(askInt32(token, 11, OpenBody(kGold, 1765.60f, 1, 1, 1)), 1);
    ASSERT_EQ(askInt32(token, 11, OpenBody(kGold, 1765.60f, 1, 1, 1)), 1);

    m_server->closeInReply(16, 4 + kHoldSize + 100);
    RawClient cut(m_port);
    ASSERT_TRUE(cut.request(16, token, Bytes(44, 0)));
    EXPECT_EQ(cut.receiveInt32(), 2);
    EXPECT_TRUE(cut.receive(kHoldSize));
    EXPECT_FALSE(cut.receive(kHoldSize));

    m_server->closeInReply(21);
    RawClient half(m_port);
    ASSERT_TRUE(half.request(21, token));
    EXPECT_TRUE(half.receive(80));
    EXPECT_TRUE(half.closedByServer());

    m_server->clearReplyFaults();
    m_server->answerLate(21, std::chrono::milliseconds(300));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(account(token).size(), 160u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    m_server->clearReplyFaults();
    EXPECT_EQ(positions(token).size(), 2u);
}

TEST_F(RequestPortTest, StopEndsConnectionsThatAreIdleOrWaiting)
{
    const SessionToken token = logIn();
    RawClient idle(m_port);
    ASSERT_TRUE(idle.request(21, token));
    ASSERT_TRUE(idle.receive(160));
    m_server->answerLate(42, std::chrono::hours(1));
    RawClient waiting(m_port);
    ASSERT_TRUE(waiting.request(42, token));
    // Only a connection the server has taken is answered; one still in the backlog is refused.
    ASSERT_TRUE(WaitFor([this] { return m_server->requestCount(42) == 1; }));
    m_server->stop();
    EXPECT_TRUE(idle.closedByServer());
    EXPECT_TRUE(waiting.closedByServer());
}

} // namespace
} // namespace qs::server
