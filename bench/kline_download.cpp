// Download, unzip, merge and save of 30,000 bars from the in-process demo server, and where the
// time goes. "SecondStart": the cache holds only the oldest bar, so one reply brings all 30,000
// bars and the merge joins them to it; cold:1 changes the product's signals before every run, so
// the server packs its reply anew (deflating only its newest item), cold:0 finds it packed.
// "PageThrough": a first start and 29 pages of 1000 bars, each page saving the whole list again.
#include "core/chart/BarList.h"
#include "core/chart/KLineCache.h"
#include "core/chart/KLineDownload.h"
#include "core/market/SignalList.h"
#include "server/DemoServer.h"
#include "tests/support/TempFolder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kBars = 30000;
constexpr int kProduct = 1;

class QuietEvents final : public qs::DownloadEvents {
public:
    void downloadedSignal(const qs::SignalRecord &) override {}
    void historyReady() override {}
};

qs::server::DemoServer &Server()
{
    static std::unique_ptr<qs::server::DemoServer> server = [] {
        qs::server::DemoOptions options;
        options.requestPort = 0;
        options.pushPort = 0;
        options.klinePort = 0;
        options.historyBars = kBars;
        options.tickPeriod = std::chrono::hours(1);
        auto started = std::make_unique<qs::server::DemoServer>(options);
        if (!started->start()) {
            std::fprintf(stderr, "the demo server did not start\n");
            std::abort();
        }
        return started;
    }();
    return *server;
}

struct Totals {
    std::chrono::nanoseconds socket{0};
    std::chrono::nanoseconds waiting{0};
    std::chrono::nanoseconds unpack{0};
    std::chrono::nanoseconds merge{0};
    std::chrono::nanoseconds save{0};

    void add(const qs::DownloadTimings &timings)
    {
        socket += timings.socket;
        waiting += timings.waiting;
        unpack += timings.unpack;
        merge += timings.merge;
        save += timings.save;
    }
};

void Report(benchmark::State &state, const Totals &totals, std::chrono::nanoseconds wall)
{
    const auto ms = [](std::chrono::nanoseconds value) {
        return value.count() / 1e6;
    };
    state.counters["socket_ms"] = ms(totals.socket);
    // Of the socket time: until the reply's length arrived, which includes the server's packing.
    state.counters["waiting_ms"] = ms(totals.waiting);
    state.counters["unpack_ms"] = ms(totals.unpack);
    state.counters["merge_ms"] = ms(totals.merge);
    state.counters["save_ms"] = ms(totals.save);
    state.counters["client_ms"] = ms(totals.unpack + totals.merge + totals.save);
    state.counters["socket_share"]
        = static_cast<double>(totals.socket.count()) / static_cast<double>(wall.count());
}

// Publishes or withdraws one signal of the product: what a running market does between two
// starts, and enough to outdate the server's packed reply.
void ChangeSignals(qs::server::Market &market, const qs::KLineBar &newest)
{
    static bool standing = false;
    qs::SignalRecord signal{};
    signal.price = newest.close;
    signal.stopLoss = newest.low;
    signal.productId = kProduct;
    signal.action = standing ? 4 : 0;
    signal.kind = 11;
    signal.lots1 = 100;
    standing = !standing;
    market.publishSignal(signal);
}

struct SecondStartRun {
    bool whole = false;
    std::chrono::nanoseconds wall{0};
    qs::DownloadTimings timings;
};

SecondStartRun RunSecondStart(qs::server::DemoServer &server,
                              const std::vector<qs::KLineBar> &history)
{
    const qs::Session session;
    QuietEvents events;
    qs::test::TempFolder temp;
    const qs::DataFolder folder(temp.path());
    {
        qs::BarList oldest;
        oldest.appendBack(history.back());
        qs::KLineCache(folder).save(kProduct, oldest);
    }
    qs::BarList bars;
    qs::SignalList signals;
    qs::KLineDownload download(server.endpoint(), session, folder, bars, signals, events);

    SecondStartRun run;
    const auto start = std::chrono::steady_clock::now();
    download.startFresh(kProduct);
    download.waitForThreads();
    run.wall = std::chrono::steady_clock::now() - start;
    run.timings = download.lastTimings();
    run.whole = bars.size() == static_cast<std::size_t>(kBars)
                && qs::KLineCache(folder).load(kProduct).size() == static_cast<std::size_t>(kBars);
    return run;
}

void SecondStart(benchmark::State &state)
{
    const bool cold = state.range(0) != 0;
    qs::server::DemoServer &server = Server();
    const std::vector<qs::KLineBar> history = server.market().completedBars(kProduct);
    // Packs the reply the warm runs are sent, and the older items a cold run finds kept.
    RunSecondStart(server, history);
    for (auto _ : state) {
        if (cold)
            ChangeSignals(server.market(), history.front());
        const SecondStartRun run = RunSecondStart(server, history);
        state.SetIterationTime(std::chrono::duration<double>(run.wall).count());
        if (!run.whole) {
            state.SkipWithError("the download did not bring the whole history");
            return;
        }
        Totals totals;
        totals.add(run.timings);
        Report(state, totals, run.wall);
        state.counters["archive_kib"] = static_cast<double>(run.timings.archiveBytes) / 1024;
    }
}

void PageThrough(benchmark::State &state)
{
    qs::server::DemoServer &server = Server();
    const qs::Session session;
    QuietEvents events;
    for (auto _ : state) {
        qs::test::TempFolder temp;
        const qs::DataFolder folder(temp.path());
        qs::BarList bars;
        qs::SignalList signals;
        qs::KLineDownload download(server.endpoint(), session, folder, bars, signals, events);

        Totals totals;
        const auto start = std::chrono::steady_clock::now();
        download.startFresh(kProduct);
        download.waitForThreads();
        totals.add(download.lastTimings());
        int pages = 0;
        while (download.pageBack()) {
            download.waitForThreads();
            totals.add(download.lastTimings());
            ++pages;
        }
        const auto wall = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(std::chrono::duration<double>(wall).count());

        if (bars.size() != static_cast<std::size_t>(kBars)) {
            state.SkipWithError("paging did not reach the end of the history");
            return;
        }
        Report(state, totals, wall);
        state.counters["pages"] = pages;
    }
}

} // namespace

BENCHMARK(SecondStart)
    ->ArgName("cold")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);
BENCHMARK(PageThrough)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
