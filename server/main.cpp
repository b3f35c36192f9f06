#include "server/DemoOptions.h"
#include "server/DemoServer.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

volatile std::sig_atomic_t gStopRequested = 0;

extern "C" void RequestStop(int)
{
    gStopRequested = 1;
}

} // namespace

int main(int argc, char **argv)
{
    using qs::server::ParsedOptions;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParsedOptions parsed = qs::server::ParseDemoOptions(arguments);
    if (parsed.outcome == ParsedOptions::Outcome::Help) {
        std::fputs(qs::server::DemoOptionsHelp().c_str(), stdout);
        return 0;
    }
    if (parsed.outcome == ParsedOptions::Outcome::Error) {
        std::fprintf(stderr, "quillstar-server: %s\n\n%s", parsed.error.c_str(),
                     qs::server::DemoOptionsHelp().c_str());
        return 2;
    }

    qs::server::DemoServer server(parsed.options);
    if (!server.start()) {
        std::fprintf(stderr, "quillstar-server: cannot listen on %s (ports %u, %u, %u)\n",
                     parsed.options.host.toString().c_str(), parsed.options.requestPort,
                     parsed.options.pushPort, parsed.options.klinePort);
        return 1;
    }
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);

    const qs::server::DemoServer::Ports ports = server.ports();
    std::printf("quillstar-server on %s: request port %u, push port %u, K-line port %u\n",
                parsed.options.host.toString().c_str(), ports.request, ports.push, ports.kline);
    std::fflush(stdout);

    while (gStopRequested == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    server.stop();
    return 0;
}
