#include "server/DemoOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qs::server {
namespace {

using Outcome = ParsedOptions::Outcome;

TEST(DemoOptionsTest, NoOptionsServeTheRealPortsOnLoopback)
{
    const ParsedOptions parsed = ParseDemoOptions({});
    ASSERT_EQ(parsed.outcome, Outcome::Run);
    EXPECT_EQ(parsed.options.host, Ipv4Address::loopback());
    EXPECT_EQ(parsed.options.requestPort, 2292);
    EXPECT_EQ(parsed.options.pushPort, 2272);
    EXPECT_EQ(parsed.options.klinePort, 2262);
    EXPECT_EQ(parsed.options.clientVersion, 11090616);
    EXPECT_TRUE(parsed.options.fixedCode.empty());
    EXPECT_FALSE(parsed.options.closed);
    EXPECT_EQ(parsed.options.tickPeriod.count(), 1000);
    EXPECT_EQ(parsed.options.barSeconds, 7200);
    EXPECT_EQ(parsed.options.signalSeconds, 0);
    EXPECT_EQ(parsed.options.messageSeconds, 0);
    EXPECT_FALSE(parsed.options.seedTrades);
}

TEST(DemoOptionsTest, EveryOptionIsRead)
{
    const ParsedOptions parsed = ParseDemoOptions(
        {"--host",         "0.0.0.0", "--request-port",   "0",    "--push-port",       "12272",
         "--kline-port",   "0",       "--code",           "0042", "--client-version",  "11090617",
         "--seed",         "99",      "--bar-seconds",    "60",   "--tick-ms",         "250",
         "--heartbeat-ms", "500",     "--signal-seconds", "4",    "--message-seconds", "3",
         "--seed-trades",  "--closed"});
    ASSERT_EQ(parsed.outcome, Outcome::Run) << parsed.error;
    EXPECT_EQ(parsed.options.host.value, 0u);
    EXPECT_EQ(parsed.options.requestPort, 0);
    EXPECT_EQ(parsed.options.pushPort, 12272);
    EXPECT_EQ(parsed.options.fixedCode, "0042");
    EXPECT_EQ(parsed.options.clientVersion, 11090617);
    EXPECT_EQ(parsed.options.seed, 99u);
    EXPECT_EQ(parsed.options.barSeconds, 60);
    EXPECT_EQ(parsed.options.tickPeriod.count(), 250);
    EXPECT_EQ(parsed.options.heartbeatPeriod.count(), 500);
    EXPECT_EQ(parsed.options.signalSeconds, 4);
    EXPECT_EQ(parsed.options.messageSeconds, 3);
    EXPECT_TRUE(parsed.options.seedTrades);
    EXPECT_TRUE(parsed.options.closed);
}

TEST(DemoOptionsTest, BadValuesAreRefusedWithAReason)
{
    const std::vector<std::vector<std::string>> bad{
        {"--code", "123"},
        {"--code", "12a4"},
        {"--request-port", "65536"},
        {"--push-port", "-1"},
        {"--tick-ms", "0"},
        {"--bar-seconds", "x"},
        {"--seed"},
        {"--frobnicate"},
        {"--client-version", "4294967296"},
        {"--message-seconds", "0"},
        {"--signal-seconds", "86401"},
    };
    for (const auto &arguments : bad) {
        const ParsedOptions parsed = ParseDemoOptions(arguments);
        EXPECT_EQ(parsed.outcome, Outcome::Error) << arguments.front();
        EXPECT_FALSE(parsed.error.empty());
    }
    EXPECT_NE(ParseDemoOptions({"--frobnicate"}).error.find("unknown option"), std::string::npos);
}

TEST(DemoOptionsTest, HelpWinsAndNamesEveryOption)
{
    EXPECT_EQ(ParseDemoOptions({"--seed", "3", "--help"}).outcome, Outcome::Help);
    const std::string help = DemoOptionsHelp();
    for (const char *option :
         {"--host", "--request-port", "--push-port", "--kline-port", "--code", "--client-version",
          "--seed", "--bar-seconds", "--tick-ms", "--signal-seconds", "--message-seconds",
          "--seed-trades", "--closed", "--help"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

} // namespace
} // namespace qs::server
