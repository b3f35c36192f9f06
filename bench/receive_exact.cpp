// ReceiveExact over loopback for a 1 MiB reply: through the connection's read-ahead buffer
// (whole, and record by record as the list readers read) against one receive call per byte.
#include "core/platform/Socket.h"
#include "core/protocol/Connection.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t kReplySize = 1 << 20;
constexpr std::size_t kPositionRecord = 264;

// Answers every one-byte request on its single connection with the 1 MiB reply.
class ReplyServer {
public:
    ReplyServer()
        : m_listener(qs::Listener::listen(qs::Ipv4Address::loopback(), 0))
        , m_reply(kReplySize)
    {
        for (std::size_t i = 0; i < m_reply.size(); ++i)
            m_reply[i] = static_cast<char>(i * 7);
        m_thread = std::thread([this] { serve(); });
    }
    ~ReplyServer() { m_thread.join(); }
    ReplyServer(const ReplyServer &) = delete;
    ReplyServer &operator=(const ReplyServer &) = delete;

    qs::Connection connect()
    {
        return qs::Connection(qs::Socket::connect(qs::Ipv4Address::loopback(), m_listener.port()));
    }

private:
    void serve()
    {
        qs::Socket socket = m_listener.accept(qs::Milliseconds(10000));
        char request = 0;
        while (socket.receive(&request, 1) == 1 && socket.sendAll(m_reply.data(), m_reply.size())) {
        }
    }

    qs::Listener m_listener;
    std::vector<char> m_reply;
    std::thread m_thread;
};

bool Ask(qs::Connection &connection)
{
    const char request = 'r';
    return connection.sendAll(&request, 1);
}

void Buffered(benchmark::State &state)
{
    const auto piece = static_cast<std::size_t>(state.range(0));
    ReplyServer server;
    qs::Connection connection = server.connect();
    std::vector<char> reply(kReplySize);
    for (auto _ : state) {
        if (!Ask(connection)) {
            state.SkipWithError("request not sent");
            break;
        }
        for (std::size_t have = 0; have < kReplySize; have += piece) {
            const std::size_t n = std::min(piece, kReplySize - have);
            if (qs::ReceiveExact(connection, reply.data() + have, n) != static_cast<long>(n)) {
                state.SkipWithError("short reply");
                return;
            }
        }
        benchmark::DoNotOptimize(reply.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kReplySize));
}

void ByteWise(benchmark::State &state)
{
    ReplyServer server;
    qs::Connection connection = server.connect();
    std::vector<char> reply(kReplySize);
    for (auto _ : state) {
        if (!Ask(connection)) {
            state.SkipWithError("request not sent");
            break;
        }
        if (qs::ReceiveExactByteWise(connection.socket(), reply.data(), kReplySize)
            != static_cast<long>(kReplySize)) {
            state.SkipWithError("short reply");
            return;
        }
        benchmark::DoNotOptimize(reply.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kReplySize));
}

BENCHMARK(Buffered)
    ->Name("ReceiveExact/buffered/whole")
    ->Arg(kReplySize)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(Buffered)
    ->Name("ReceiveExact/buffered/per_record")
    ->Arg(kPositionRecord)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(ByteWise)
    ->Name("ReceiveExact/one_byte_per_receive")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Prints as usual and keeps each run's time, so the ratio comes out of the same run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }

    void printRatios() const
    {
        const auto byteWise = m_times.find("ReceiveExact/one_byte_per_receive");
        if (byteWise == m_times.end())
            return;
        for (const char *name :
             {"ReceiveExact/buffered/whole", "ReceiveExact/buffered/per_record"}) {
            const auto buffered = m_times.find(name);
            if (buffered != m_times.end() && buffered->second > 0)
                std::printf("%s is %.0fx faster than one byte per receive\n", name,
                            byteWise->second / buffered->second);
        }
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
