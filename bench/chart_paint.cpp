// The chart on a 1920 x 1080 panel: a full paint (everything but the cross, into the off-screen
// image, then the one block copy to the window) with 100 visible bars and with the most bars
// that fit (1.5-px slots), and a layout over a bar list of 100,000 bars. Goals: at most 4 ms
// and 12 ms per paint, 1 ms per layout. Each paint also draws two signals, two positions with
// their stops and a pending order. The Cold variant paints with a new painter, so the
// background and watermark are drawn too instead of coming from their cache.
#include "core/chart/BarList.h"
#include "core/chart/ChartViewport.h"
#include "core/market/SignalList.h"
#include "core/protocol/WireRecord.h"
#include "core/trading/TradingData.h"
#include "ui/chart/ChartPainter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

qs::TypeInfo Product()
{
    qs::TypeInfo product = qs::ZeroRecord<qs::TypeInfo>();
    product.productId = 1;
    product.digits = 2;
    product.tradable = 1;
    product.singleInstrument = 1;
    qs::WriteAnsiField(product.name, "伦敦金(T+0)");
    return product;
}

struct Chart {
    qs::BarList bars;
    qs::SignalList signals;
    qs::TradingData trading;
    qs::ChartViewport viewport{bars, signals, trading, Product()};

    explicit Chart(int count)
    {
        for (int i = 0; i < count; ++i) {
            qs::KLineBar bar = qs::ZeroRecord<qs::KLineBar>();
            bar.productId = 1;
            bar.digits = 2;
            bar.keyNumber = 2024;
            const int base = 200000 + static_cast<int>(3000 * std::sin(i / 15.0)) + i * 37 % 500;
            bar.open = base;
            bar.close = base + (i * 7919) % 1200 - 600;
            bar.high = std::max(bar.open, bar.close) + 300;
            bar.low = std::min(bar.open, bar.close) - 250;
            bar.reference = bar.open;
            if (i == 0)
                std::snprintf(bar.timeText, sizeof bar.timeText, "10:15:00");
            else
                std::snprintf(bar.timeText, sizeof bar.timeText, "%08d", 10000000 + i);
            bars.appendBack(bar);
        }
        trading.replaceProducts({Product()});
        for (std::int32_t price : {199000, 203500}) {
            qs::SignalRecord signal = qs::ZeroRecord<qs::SignalRecord>();
            signal.productId = 1;
            signal.kind = price < 200000 ? 11 : 21;
            signal.price = price;
            signal.stopLoss = price - 1000;
            signal.capital = 550;
            signal.lots1 = 150;
            signal.published = 1718444700;
            signal.marker = qs::kSignalMarker;
            signals.add(signal);
        }
        std::vector<qs::HoldInfo> positions;
        for (double open : {2010.5, 1995.0}) {
            qs::HoldInfo position = qs::ZeroRecord<qs::HoldInfo>();
            position.productId = 1;
            position.side = 1;
            position.lotsHeld = 1.5;
            position.openPrice = open;
            position.stopLoss = open - 20;
            position.takeProfit = open + 30;
            positions.push_back(position);
        }
        trading.replacePositions(positions);
        qs::DelegateInfo order = qs::ZeroRecord<qs::DelegateInfo>();
        order.productId = 1;
        order.side = 2;
        order.lots = 2;
        order.orderPrice = 2025;
        order.stopLoss = 2035;
        order.status = 1;
        trading.replacePendingOrders({order});
        viewport.resize(kWidth, kHeight);
        viewport.layOut();
    }

    // Slots of 1.5 px: the most bars the plot holds.
    void narrowest()
    {
        qs::ViewportState state = viewport.state();
        state.zoom = 0.0f;
        viewport.setState(state);
        viewport.layOut();
    }
};

void Paint(benchmark::State &state, Chart &chart, bool cold)
{
    QImage canvas(kWidth, kHeight, QImage::Format_RGB32);
    QImage window(kWidth, kHeight, QImage::Format_RGB32);
    auto painter
        = std::make_unique<qs::ui::ChartPainter>(chart.viewport, chart.signals, chart.trading);
    for (auto _ : state) {
        if (cold)
            painter = std::make_unique<qs::ui::ChartPainter>(chart.viewport, chart.signals,
                                                             chart.trading);
        {
            QPainter target(&canvas);
            benchmark::DoNotOptimize(painter->paint(target, canvas.size()));
        }
        QPainter copy(&window);
        copy.drawImage(0, 0, canvas);
    }
    state.counters["visible"] = static_cast<double>(chart.viewport.geometry().size());
}

void BM_Paint100Visible(benchmark::State &state)
{
    Chart chart(1000);
    Paint(state, chart, false);
}
BENCHMARK(BM_Paint100Visible)->Unit(benchmark::kMillisecond);

void BM_Paint100VisibleCold(benchmark::State &state)
{
    Chart chart(1000);
    Paint(state, chart, true);
}
BENCHMARK(BM_Paint100VisibleCold)->Unit(benchmark::kMillisecond);

void BM_PaintMaxVisible(benchmark::State &state)
{
    Chart chart(5000);
    chart.narrowest();
    Paint(state, chart, false);
}
BENCHMARK(BM_PaintMaxVisible)->Unit(benchmark::kMillisecond);

void BM_PaintMaxVisibleCold(benchmark::State &state)
{
    Chart chart(5000);
    chart.narrowest();
    Paint(state, chart, true);
}
BENCHMARK(BM_PaintMaxVisibleCold)->Unit(benchmark::kMillisecond);

// range(0): 0 newest bars, 1 the most bars, 2 scrolled back to the oldest bars, 3 scrolled to
// the middle of the list (the longest walk to the first visible bar).
void BM_Layout100k(benchmark::State &state)
{
    Chart chart(100000);
    if (state.range(0) >= 1)
        chart.narrowest();
    if (state.range(0) >= 2) {
        qs::ViewportState back = chart.viewport.state();
        back.scrollOffset = state.range(0) == 2 ? 100000 : 50000;
        chart.viewport.setState(back);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(chart.viewport.layOut());
    state.counters["visible"] = static_cast<double>(chart.viewport.geometry().size());
    state.counters["offset"] = chart.viewport.state().scrollOffset;
}
BENCHMARK(BM_Layout100k)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Quillstar"));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
