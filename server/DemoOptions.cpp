#include "server/DemoOptions.h"

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <set>

namespace qs::server {

namespace {

// Whole decimal number within [low, high]; no sign, no trailing text.
bool ParseNumber(const std::string &text, std::uint64_t low, std::uint64_t high, std::uint64_t &out)
{
    if (text.empty() || text.size() > 20)
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    errno = 0;
    char *end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || end == nullptr || *end != '\0' || value < low || value > high)
        return false;
    out = value;
    return true;
}

bool IsFourDigits(const std::string &text)
{
    if (text.size() != 4)
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

ParsedOptions ParseDemoOptions(const std::vector<std::string> &arguments)
{
    ParsedOptions parsed;
    DemoOptions &options = parsed.options;
    auto fail = [&parsed](std::string why) {
        parsed.outcome = ParsedOptions::Outcome::Error;
        parsed.error = std::move(why);
        return parsed;
    };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &name = arguments[i];
        if (name == "--help" || name == "-h") {
            parsed.outcome = ParsedOptions::Outcome::Help;
            return parsed;
        }
        if (name == "--closed") {
            options.closed = true;
            continue;
        }
        if (name == "--seed-trades") {
            options.seedTrades = true;
            continue;
        }
        static const std::set<std::string> kTakesValue{
            "--host",    "--request-port",   "--push-port",      "--kline-port",
            "--code",    "--client-version", "--seed",           "--bar-seconds",
            "--tick-ms", "--heartbeat-ms",   "--signal-seconds", "--message-seconds"};
        if (kTakesValue.count(name) == 0)
            return fail("unknown option " + name);
        if (i + 1 >= arguments.size())
            return fail(name + " needs a value");
        const std::string &value = arguments[++i];
        std::uint64_t number = 0;
        if (name == "--host") {
            if (!ResolveIpv4(value, options.host))
                return fail("cannot resolve host " + value);
        } else if (name == "--request-port" || name == "--push-port" || name == "--kline-port") {
            if (!ParseNumber(value, 0, 65535, number))
                return fail(name + " takes a port number 0-65535");
            const auto port = static_cast<std::uint16_t>(number);
            if (name == "--request-port")
                options.requestPort = port;
            else if (name == "--push-port")
                options.pushPort = port;
            else
                options.klinePort = port;
        } else if (name == "--code") {
            if (!IsFourDigits(value))
                return fail("--code takes four digits");
            options.fixedCode = value;
        } else if (name == "--client-version") {
            if (!ParseNumber(value, 0, std::numeric_limits<std::int32_t>::max(), number))
                return fail("--client-version takes a whole number");
            options.clientVersion = static_cast<std::int32_t>(number);
        } else if (name == "--seed") {
            if (!ParseNumber(value, 0, std::numeric_limits<std::uint64_t>::max(), number))
                return fail("--seed takes a whole number");
            options.seed = number;
        } else if (name == "--bar-seconds") {
            if (!ParseNumber(value, 1, 7 * 24 * 3600, number))
                return fail("--bar-seconds takes 1-604800");
            options.barSeconds = static_cast<int>(number);
        } else if (name == "--tick-ms") {
            if (!ParseNumber(value, 1, 24 * 3600 * 1000, number))
                return fail("--tick-ms takes 1-86400000");
            options.tickPeriod = std::chrono::milliseconds(number);
        } else if (name == "--heartbeat-ms") {
            if (!ParseNumber(value, 1, 24 * 3600 * 1000, number))
                return fail("--heartbeat-ms takes 1-86400000");
            options.heartbeatPeriod = std::chrono::milliseconds(number);
        } else if (name == "--signal-seconds" || name == "--message-seconds") {
            if (!ParseNumber(value, 1, 24 * 3600, number))
                return fail(name + " takes 1-86400");
            (name == "--signal-seconds" ? options.signalSeconds : options.messageSeconds)
                = static_cast<int>(number);
        }
    }
    return parsed;
}

std::string DemoOptionsHelp()
{
    return "Usage: quillstar-server [options]\n"
           "A simulated dealer server for the Quillstar client.\n"
           "\n"
           "  --host ADDRESS         address to listen on (default 127.0.0.1)\n"
           "  --request-port N       request port (default 2292; 0 picks a free port)\n"
           "  --push-port N          push port (default 2272; 0 picks a free port)\n"
           "  --kline-port N         K-line download port (default 2262; 0 picks a free port)\n"
           "  --code NNNN            draw this verification code in every picture\n"
           "  --client-version N     version announced to the update check (default 11090616)\n"
           "  --seed N               seed of prices, signals, codes and tokens (default 1)\n"
           "  --bar-seconds N        length of one bar (default 7200)\n"
           "  --tick-ms N            time between two price moves (default 1000)\n"
           "  --heartbeat-ms N       time between two push heartbeats (default 10000)\n"
           "  --signal-seconds N     about N seconds between two signals (default: 30 ticks)\n"
           "  --message-seconds N    push a server message every N seconds (default: none)\n"
           "  --seed-trades          demo starts with one open position and one waiting order\n"
           "  --closed               the market is closed: every order is refused\n"
           "  --help                 show this text\n";
}

} // namespace qs::server
