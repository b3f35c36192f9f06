// The report's positions page with 1,000 positions spread over 10 products: a fill, and a tick
// of one product rewriting its 100 rows. Goals: at most 30 ms per fill, at most 1 ms per tick.
#include "bench/QuietSeam.h"
#include "core/platform/AnsiCodec.h"
#include "core/protocol/WireRecord.h"
#include "core/trading/TradingData.h"
#include "ui/TradingNotices.h"
#include "ui/report/CSPage1.h"
#include "ui/widgets/CSortListCtrl.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using qs::bench::QuietSeam;

constexpr int kProducts = 10;
constexpr int kPositions = 1000;

struct Desk {
    QuietSeam seam;
    qs::Session session;
    qs::TradingData trading;
    qs::ui::TradingNotices notices;
    std::unique_ptr<qs::ui::CSPage1> page;

    Desk()
    {
        std::vector<qs::TypeInfo> products;
        for (int id = 1; id <= kProducts; ++id) {
            qs::TypeInfo product = qs::ZeroRecord<qs::TypeInfo>();
            product.productId = id;
            product.digits = 2;
            product.pointValue = 0.1f;
            product.buyPrice = 1765.5f;
            product.sellPrice = 1765.0f;
            qs::WriteAnsiField(product.name, "品种" + std::to_string(id));
            products.push_back(product);
        }
        trading.replaceProducts(products);
        std::vector<qs::HoldInfo> positions;
        for (int i = 0; i < kPositions; ++i) {
            qs::HoldInfo position = qs::ZeroRecord<qs::HoldInfo>();
            char number[21];
            std::snprintf(number, sizeof number, "P%08d", i);
            qs::WriteAnsiField(position.positionNumber, number);
            position.productId = 1 + i % kProducts;
            position.side = 1 + i % 2;
            position.lotsOpened = position.lotsHeld = 1 + i % 5;
            position.openPrice = 1700 + i % 100;
            position.status = 1;
            positions.push_back(position);
        }
        trading.replacePositions(positions);
        const qs::ui::FrameContext context{
            qs::ServerLink(qs::ServerEndpoint{}, session, seam), trading, nullptr, notices, {}};
        page = std::make_unique<qs::ui::CSPage1>(context, qs::ui::OrderWindows{}, [] {});
    }
};

void BM_PositionsFill(benchmark::State &state)
{
    Desk desk;
    for (auto _ : state)
        desk.page->fill();
    state.counters["rows"] = desk.page->list()->rowCount();
}
BENCHMARK(BM_PositionsFill)->Unit(benchmark::kMillisecond);

void BM_PositionsTick(benchmark::State &state)
{
    Desk desk;
    qs::KLineBar tick = qs::ZeroRecord<qs::KLineBar>();
    tick.productId = 3;
    for (auto _ : state)
        desk.notices.deliver(false, false, tick);
}
BENCHMARK(BM_PositionsTick)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
