// The price-alert check at the end of a tick with 100 alerts, none of them reached: the cost
// every tick pays. Goal: at most 2 µs per tick.
#include "bench/QuietSeam.h"
#include "core/alerts/AlertCheck.h"
#include "core/alerts/AlertList.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/ServerLink.h"
#include "core/protocol/Session.h"
#include "core/protocol/WireRecord.h"
#include "core/trading/TradingData.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_AlertCheckNoneReached(benchmark::State &state)
{
    qs::bench::QuietSeam seam;
    qs::Session session;
    qs::TradingData trading;
    qs::AlertList alerts;
    std::vector<qs::AlertInfo> records;
    for (int i = 0; i < 100; ++i) {
        qs::AlertInfo alert = qs::ZeroRecord<qs::AlertInfo>();
        alert.alertId = i + 1;
        alert.productId = 1 + i % 10;
        alert.condition = 1 + i % 2;
        // Above the price for ">=", below it for "<=": never reached.
        alert.level = alert.condition == 1 ? 2000.0 : 1000.0;
        records.push_back(alert);
    }
    alerts.replace(records);
    const qs::ServerLink link(qs::ServerEndpoint{}, session, seam);
    qs::KLineBar tick = qs::ZeroRecord<qs::KLineBar>();
    tick.productId = 3;
    tick.close = 176530;
    tick.digits = 2;
    const qs::AlertCheckHooks hooks{[](const std::string &) {},
                                    [] {
                                    }};
    for (auto _ : state)
        qs::CheckAlerts(alerts, tick, trading, link, hooks);
}
BENCHMARK(BM_AlertCheckNoneReached)->Unit(benchmark::kNanosecond);

} // namespace

BENCHMARK_MAIN();
