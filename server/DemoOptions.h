#pragma once

#include "core/platform/Socket.h"
#include "core/protocol/Commands.h"
#include "core/protocol/LoginRecords.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace qs::server {

// How a demo server is set up. Port 0 picks an ephemeral port.
struct DemoOptions {
    Ipv4Address host = Ipv4Address::loopback();
    std::uint16_t requestPort = kRequestPort;
    std::uint16_t pushPort = kPushPort;
    std::uint16_t klinePort = kKLinePort;
    std::string fixedCode; // four digits drawn in every picture; empty: a random code each time
    std::int32_t clientVersion = kClientVersion;
    std::uint64_t seed = 1;
    int barSeconds = 7200;
    int historyBars = 3000; // completed bars per product before the server starts
    std::chrono::milliseconds tickPeriod{1000};
    std::chrono::milliseconds heartbeatPeriod{10000};
    bool closed = false; // the market refuses trading
    // About this many seconds between two signal events; 0: about one every 30 ticks.
    int signalSeconds = 0;
    int messageSeconds = 0;  // a server message to every push client this often; 0: none
    bool seedTrades = false; // demo starts with an open position and a waiting limit order
};

struct ParsedOptions {
    enum class Outcome { Run, Help, Error };
    Outcome outcome = Outcome::Run;
    DemoOptions options;
    std::string error; // what was wrong, for Outcome::Error
};

// Reads the command line of quillstar-server (arguments without the program name).
ParsedOptions ParseDemoOptions(const std::vector<std::string> &arguments);
std::string DemoOptionsHelp();

} // namespace qs::server
