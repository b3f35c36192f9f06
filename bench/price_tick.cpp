// One price tick on the push thread as it runs when nothing triggers (prices and triggers, the
// figures, the low-risk check), with 200 positions and 100 pending orders of the ticked product.
// Goal: at most 100 µs per tick. The Cold variant changes one position before every tick, so the
// decimal sums are rebuilt as after a refresh.
#include "bench/QuietSeam.h"
#include "core/platform/AnsiCodec.h"
#include "core/protocol/Session.h"
#include "core/protocol/WireRecord.h"
#include "core/trading/PriceTick.h"
#include "core/trading/RecalcAccountFigures.h"
#include "core/trading/TradingData.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using qs::bench::QuietSeam;

constexpr std::int32_t kProduct = 1;

void Fill(qs::TradingData &data)
{
    std::vector<qs::TypeInfo> products;
    for (std::int32_t id = 1; id <= 28; ++id) {
        qs::TypeInfo product = qs::ZeroRecord<qs::TypeInfo>();
        product.productId = id;
        product.digits = 2;
        product.pointValue = 0.1f;
        product.askSpread = 0.5f;
        product.bidSpread = 0.5f;
        qs::WriteAnsiField(product.name, "品种");
        products.push_back(product);
    }
    data.replaceProducts(products);

    // Stops and take-profits far from the 1000–1001 the ticks move in.
    std::vector<qs::HoldInfo> positions;
    for (int i = 0; i < 200; ++i) {
        qs::HoldInfo position = qs::ZeroRecord<qs::HoldInfo>();
        position.productId = kProduct;
        position.side = i % 2 == 0 ? 1 : 2;
        position.lotsHeld = position.lotsOpened = 0.1 * (1 + i % 7);
        position.openPrice = 990.25 + 0.13 * i;
        position.stopLoss = position.side == 1 ? 500 : 1500;
        position.takeProfit = position.side == 1 ? 1500 : 500;
        position.status = 1;
        positions.push_back(position);
    }
    data.replacePositions(positions);

    std::vector<qs::DelegateInfo> orders;
    for (int i = 0; i < 100; ++i) {
        qs::DelegateInfo order = qs::ZeroRecord<qs::DelegateInfo>();
        order.productId = kProduct;
        order.side = i % 2 == 0 ? 1 : 2;
        order.triggerKind = order.side == 1 ? 1 : 2; // buy below, sell above the market
        order.orderPrice = order.side == 1 ? 900.0 + i : 1100.0 + i;
        order.lots = 1;
        order.status = 1;
        orders.push_back(order);
    }
    data.replacePendingOrders(orders);

    qs::AccountInfo account = qs::ZeroRecord<qs::AccountInfo>();
    account.usableFunds = 250000.37;
    account.occupiedMargin = 20000.5;
    account.frozenMargin = 120.25;
    account.frozenCommission = 8.5;
    account.depositsTotal = 200000;
    account.capitalBase = 10000;
    data.replaceAccount(account);
}

qs::KLineBar Tick(std::int32_t close)
{
    qs::KLineBar bar{};
    bar.productId = kProduct;
    bar.close = close;
    bar.digits = 2;
    return bar;
}

void Run(benchmark::State &state, bool cold)
{
    qs::TradingData data;
    Fill(data);
    QuietSeam seam;
    const qs::ServerEndpoint endpoint;
    const qs::Session session;
    qs::PriceTick handler(data, qs::ServerLink(endpoint, session, seam));
    std::int32_t close = 100000;
    for (auto _ : state) {
        if (cold) {
            qs::MutexLock lock(data.kHoldInfoLock);
            data.kHoldInfoList[0].openPrice += 0.01;
        }
        close = close == 100100 ? 100000 : close + 1;
        qs::TickChange outcome = handler.applyPrices(Tick(close));
        qs::RecalcAccountFigures(data);
        outcome.holdings = outcome.holdings || handler.lowRisk();
        if (outcome.needsRefresh()) {
            state.SkipWithError("a trigger fired");
            break;
        }
        benchmark::DoNotOptimize(outcome);
    }
}

void BM_PriceTick(benchmark::State &state)
{
    Run(state, false);
}

void BM_PriceTickCold(benchmark::State &state)
{
    Run(state, true);
}

} // namespace

BENCHMARK(BM_PriceTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PriceTickCold)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
