// One market open through the request port of an in-process demo server on loopback, then its
// re-fetch (position summary, positions and account on a new connection; the two lists pause
// 1 ms after each record). Every iteration starts from the same account: the server resets it
// outside the timing, so rounds never drain its funds. Goal: the order exchange itself at most 2
// ms. The median of each part: --benchmark_repetitions=20 --benchmark_report_aggregates_only=true.
#include "bench/QuietSeam.h"
#include "core/orders/OrderRefetch.h"
#include "core/protocol/Commands.h"
#include "core/protocol/LoginExchange.h"
#include "core/protocol/OrderRecords.h"
#include "core/protocol/RequestExchange.h"
#include "core/trading/TradingData.h"
#include "server/DemoServer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using qs::bench::QuietSeam;

constexpr std::int32_t kProduct = 1;

struct Desk {
    qs::server::DemoServer server{options()};
    QuietSeam seam;
    qs::Session session;
    qs::TradingData trading;

    static qs::server::DemoOptions options()
    {
        qs::server::DemoOptions options;
        options.requestPort = options.pushPort = options.klinePort = 0;
        options.fixedCode = "1234";
        options.tickPeriod = std::chrono::hours(1);
        return options;
    }

    Desk()
    {
        if (!server.start())
            std::abort();
        const qs::ServerLink pre(server.endpoint(), session, seam);
        qs::VerificationPicture picture;
        qs::SessionToken token;
        qs::LoginReply reply{};
        if (qs::FetchVerificationPicture(pre, picture, token) != qs::PictureFetch::Done
            || qs::SendLogin(pre,
                             qs::BuildLoginRequest("demo", "demo", "1234", token, "001122334455",
                                                   "BFEBFBFF000906EA"),
                             reply)
                   != qs::LoginSend::Replied)
            std::abort();
        session.establish(token, reply.memberLevel, "demo");
    }

    qs::ServerLink link() { return qs::ServerLink(server.endpoint(), session, seam); }

    // What the market open dialog sends, and its result code.
    std::int32_t openOrder()
    {
        qs::OpenOrderBody body{};
        body.productId = kProduct;
        body.price = static_cast<float>(server.quote(kProduct).buy);
        body.lots = 1;
        body.kind = qs::order_kind::kMarket;
        body.direction = 1;
        body.slippage = 5;
        std::int32_t code = 0;
        qs::RequestExchange exchange(link());
        exchange.request(qs::cmd::kOpenOrder, body, code, qs::ReplyRead::UpTo);
        return code;
    }

    // A refused order would time the refusal instead: the run stops with the server's reason.
    bool openOrRefuse(benchmark::State &state)
    {
        const std::int32_t code = openOrder();
        if (code == qs::order_result::kDone)
            return true;
        state.SkipWithError(("market order refused, result code " + std::to_string(code)).c_str());
        return false;
    }
};

void BM_MarketOpenExchange(benchmark::State &state)
{
    Desk desk;
    for (auto _ : state) {
        if (!desk.openOrRefuse(state))
            return;
        state.PauseTiming();
        desk.server.resetAccount("demo");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MarketOpenExchange)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_RefetchAfterMarketOpen(benchmark::State &state)
{
    Desk desk;
    for (auto _ : state) {
        state.PauseTiming();
        desk.server.resetAccount("demo");
        if (!desk.openOrRefuse(state))
            return;
        state.ResumeTiming();
        qs::RefetchAfterTrade(desk.link(), desk.trading, qs::Refetch::Holdings);
    }
}
BENCHMARK(BM_RefetchAfterMarketOpen)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
