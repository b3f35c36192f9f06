#include "RawClient.h"

#include "server/DemoServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace qs::server {
namespace {

DemoOptions QuietOptions(std::uint64_t seed)
{
    DemoOptions options;
    options.requestPort = 0;
    options.pushPort = 0;
    options.klinePort = 0;
    options.seed = seed;
    options.historyBars = 20;
    options.tickPeriod = std::chrono::hours(1);
    options.heartbeatPeriod = std::chrono::hours(1);
    return options;
}

std::optional<test::PictureReply> Picture(const DemoServer &server)
{
    test::RawClient client(server.ports().request);
    return test::FetchPicture(client);
}

// Command 11: one lot of product 1 bought at the market.
test::Bytes MarketBuy(const Quote &quote)
{
    test::Bytes body(36, 0);
    test::PutInt32(body, 0, 1);
    test::PutFloat(body, 4, static_cast<float>(quote.buy));
    test::PutFloat(body, 16, 1.0f);
    test::PutInt32(body, 20, 1);
    test::PutInt32(body, 24, 1);
    test::PutFloat(body, 32, 1.0f);
    return body;
}

TEST(DemoServerTest, TheSameSeedGivesTheSameTokensPicturesAndPrices)
{
    DemoServer a(QuietOptions(11));
    DemoServer b(QuietOptions(11));
    DemoServer c(QuietOptions(12));
    ASSERT_TRUE(a.start() && b.start() && c.start());
    const auto fromA = Picture(a);
    const auto fromB = Picture(b);
    const auto fromC = Picture(c);
    ASSERT_TRUE(fromA && fromB && fromC);
    EXPECT_EQ(fromA->token, fromB->token);
    EXPECT_EQ(fromA->picture, fromB->picture);
    EXPECT_NE(fromA->token, fromC->token);
    EXPECT_DOUBLE_EQ(a.quote(1).last, b.quote(1).last);
}

TEST(DemoServerTest, APortInUseFailsTheStartAndLeavesNothingRunning)
{
    DemoServer first(QuietOptions(1));
    ASSERT_TRUE(first.start());
    DemoOptions clash = QuietOptions(2);
    clash.pushPort = first.ports().push;
    DemoServer second(clash);
    EXPECT_FALSE(second.start());
    second.stop();
    EXPECT_TRUE(Picture(first).has_value());
}

TEST(DemoServerTest, TheTickerMovesPricesOnItsOwn)
{
    DemoOptions options = QuietOptions(3);
    options.tickPeriod = std::chrono::milliseconds(5);
    DemoServer server(options);
    ASSERT_TRUE(server.start());
    const double before = server.quote(1).last;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (server.quote(1).last == before && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_NE(server.quote(1).last, before);
    server.stop();
    server.stop(); // a second stop is harmless
}

TEST(DemoServerTest, AClosedMarketRefusesOrdersUntilItOpens)
{
    DemoOptions options = QuietOptions(4);
    options.closed = true;
    options.fixedCode = "1234";
    DemoServer server(options);
    ASSERT_TRUE(server.start());
    const test::LoginResult login = test::LogIn(server.ports().request, "demo", "demo", "1234");
    ASSERT_EQ(login.result, 1);
    const test::Bytes body = MarketBuy(server.quote(1));
    auto order = [&] {
        test::RawClient client(server.ports().request);
        client.request(11, login.token, body);
        return client.receiveInt32();
    };
    EXPECT_EQ(order(), 6);
    server.setMarketClosed(false);
    EXPECT_EQ(order(), 1);
    EXPECT_EQ(server.account("demo").positions.size(), 1u);
    EXPECT_EQ(server.lastRequestBody(11), body);
}

TEST(DemoServerTest, AResetAccountIsTheOneTheServerStartedWith)
{
    DemoOptions options = QuietOptions(5);
    options.fixedCode = "1234";
    options.seedTrades = true;
    DemoServer server(options);
    ASSERT_TRUE(server.start());
    const AccountSnapshot seeded = server.account("demo");
    ASSERT_EQ(seeded.positions.size(), 1u);
    ASSERT_EQ(seeded.orders.size(), 1u);
    EXPECT_EQ(seeded.orders.front().status, 1); // waiting
    const AccountSnapshot plain = server.account("free");

    for (const char *member : {"demo", "free"}) {
        const test::LoginResult login = test::LogIn(server.ports().request, member, member, "1234");
        ASSERT_EQ(login.result, 1) << member;
        test::RawClient client(server.ports().request);
        client.request(11, login.token, MarketBuy(server.quote(1)));
        ASSERT_EQ(client.receiveInt32(), 1) << member;
        server.resetAccount(member);
    }

    const AccountSnapshot demo = server.account("demo");
    EXPECT_EQ(demo.positions.size(), 1u);
    EXPECT_EQ(demo.orders.size(), 1u);
    EXPECT_EQ(demo.deals.size(), seeded.deals.size());
    EXPECT_DOUBLE_EQ(demo.info.usableFunds, seeded.info.usableFunds);
    const AccountSnapshot other = server.account("free");
    EXPECT_TRUE(other.positions.empty() && other.orders.empty() && other.deals.empty());
    EXPECT_DOUBLE_EQ(other.info.usableFunds, plain.info.usableFunds);
}

} // namespace
} // namespace qs::server
