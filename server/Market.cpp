#include "server/Market.h"

#include "core/protocol/WireRecord.h"
#include "server/ProductCatalog.h"
#include "server/ServiceTime.h"
#include "server/SignalMaker.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <string>

namespace qs::server {

namespace {

constexpr int kStepsPerHistoryBar = 12;
// Relative size of one random step, and how strongly a price is drawn back to where it started,
// so that years of history neither vanish nor explode.
constexpr double kStepVolatility = 0.0012;
constexpr double kPullToBase = 0.002;
constexpr double kLowestShareOfBase = 0.2;
constexpr int kMaxDigits = 8;
// Completed bars kept beyond the generated history before the oldest go.
constexpr std::size_t kHistoryHeadroom = 10000;
constexpr std::size_t kHistoryTrimChunk = 1000;
// A clock that jumps far ahead (a suspended machine) is not caught up bar by bar beyond this.
constexpr int kMaxCatchUpBars = 1000;
constexpr int kOpeningSignals = 6;
constexpr std::size_t kMaxSignals = 256;

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor)
{
    const std::int64_t quotient = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

std::int32_t ToUnits(double units)
{
    const double clamped = std::clamp(std::round(units), 1.0, static_cast<double>(INT_MAX / 2));
    return static_cast<std::int32_t>(clamped);
}

void SetTimeText(KLineBar &bar, const std::string &text)
{
    std::memset(bar.timeText, 0, sizeof bar.timeText);
    std::memcpy(bar.timeText, text.data(), std::min(text.size(), sizeof bar.timeText - 1));
}

struct Product {
    int id = 0;
    std::int32_t digits = 0;
    double scale = 1;
    double base = 1;  // starting price in units
    double units = 1; // where the walk stands, in units
    double askSpread = 0;
    double bidSpread = 0;
    std::mt19937_64 random;
    std::vector<KLineBar> history; // oldest first
    KLineBar live{};
    std::uint64_t generation = 0;

    double unit() { return static_cast<double>(random() >> 11) * 0x1.0p-53; }

    void walk()
    {
        // Uniform noise with the step's standard deviation; drawn from the raw engine output so
        // every standard library gives the same prices for a seed.
        const double noise = (2.0 * unit() - 1.0) * std::sqrt(3.0) * kStepVolatility * units;
        units += (base - units) * kPullToBase + noise;
        units = std::max({units, base * kLowestShareOfBase, 1.0});
    }

    void moveLive(std::int32_t price)
    {
        live.close = price;
        live.high = std::max(live.high, price);
        live.low = std::min(live.low, price);
    }
};

} // namespace

struct Market::Impl {
    explicit Impl(Options opts)
        : options(std::move(opts))
        , signalMaker(options.seed, options.signalEverySteps)
    {}

    std::int64_t now() const { return options.clock ? options.clock() : SystemSeconds(); }

    // Bars are labelled in whole minutes: a compressed period still gets a label of its own, and
    // with the default period the label is the period's real start.
    std::int64_t labelOf(std::int64_t periodIndex) const
    {
        return firstLabel + (periodIndex - firstPeriod) * labelStep;
    }

    KLineBar openBar(const Product &product, std::int32_t price, std::int64_t periodIndex,
                     std::int64_t at) const
    {
        auto bar = ZeroRecord<KLineBar>();
        bar.productId = product.id;
        bar.open = bar.close = bar.high = bar.low = price;
        bar.reference = price;
        bar.digits = product.digits;
        bar.keyNumber = ServiceTime::at(labelOf(periodIndex)).year;
        SetTimeText(bar, ServiceTime::at(at).clockText());
        return bar;
    }

    KLineBar completeLive(Product &product, std::int64_t at)
    {
        KLineBar done = product.live;
        const ServiceTime label = ServiceTime::at(labelOf(period));
        done.keyNumber = label.year;
        SetTimeText(done, label.barText());
        product.history.push_back(done);
        ++product.generation;
        const std::size_t limit = static_cast<std::size_t>(options.historyBars) + kHistoryHeadroom;
        if (product.history.size() > limit + kHistoryTrimChunk)
            product.history.erase(product.history.begin(),
                                  product.history.end() - static_cast<std::ptrdiff_t>(limit));
        product.live = openBar(product, done.close, period + 1, at);
        return done;
    }

    void generateHistory(Product &product)
    {
        std::int32_t previousClose = ToUnits(product.units);
        product.history.reserve(static_cast<std::size_t>(options.historyBars));
        for (int index = 0; index < options.historyBars; ++index) {
            const std::int64_t periodIndex = firstPeriod - options.historyBars + index;
            auto bar = ZeroRecord<KLineBar>();
            bar.productId = product.id;
            bar.open = bar.high = bar.low = previousClose;
            for (int move = 0; move < kStepsPerHistoryBar; ++move) {
                product.walk();
                const std::int32_t price = ToUnits(product.units);
                bar.high = std::max(bar.high, price);
                bar.low = std::min(bar.low, price);
            }
            bar.close = ToUnits(product.units);
            bar.reference = previousClose;
            bar.digits = product.digits;
            const ServiceTime label = ServiceTime::at(labelOf(periodIndex));
            bar.keyNumber = label.year;
            SetTimeText(bar, label.barText());
            product.history.push_back(bar);
            previousClose = bar.close;
        }
        product.live = openBar(product, previousClose, firstPeriod, startTime);
    }

    Product *find(int productId)
    {
        if (productId < 1 || productId > static_cast<int>(products.size()))
            return nullptr;
        return &products[static_cast<std::size_t>(productId - 1)];
    }
    const Product *find(int productId) const { return const_cast<Impl *>(this)->find(productId); }

    void touch(int productId)
    {
        if (Product *product = find(productId))
            ++product->generation;
    }

    void applySignal(SignalRecord signal)
    {
        signal.marker = kSignalMarker;
        touch(signal.productId);
        std::erase_if(signals, [&](const SignalRecord &held) { return held.sameKey(signal); });
        if (signal.isWithdrawal())
            return;
        signals.push_back(signal);
        if (signals.size() > kMaxSignals) {
            touch(signals.front().productId);
            signals.erase(signals.begin());
        }
    }

    std::vector<SignalRecord> signalsOf(int productId) const
    {
        std::vector<SignalRecord> found;
        for (const SignalRecord &signal : signals) {
            if (signal.productId == productId)
                found.push_back(signal);
        }
        return found;
    }

    template<class Listener, class Record>
    void notify(std::map<int, Listener> &listeners, const Record &record)
    {
        // A listener may add or remove listeners (the lock is recursive); walk a snapshot of the
        // ids and skip any that went away meanwhile.
        std::vector<int> ids;
        ids.reserve(listeners.size());
        for (const auto &entry : listeners)
            ids.push_back(entry.first);
        for (int id : ids) {
            const auto found = listeners.find(id);
            if (found == listeners.end())
                continue;
            const Listener listener = found->second;
            listener(record);
        }
    }

    Options options;
    std::int64_t barSeconds = 7200;
    std::int64_t labelStep = 7200;
    std::int64_t startTime = 0;
    std::int64_t firstPeriod = 0; // period of the live bar at construction
    std::int64_t firstLabel = 0;

    // Guards everything the readers see.
    mutable std::mutex stateMutex;
    std::int64_t period = 0; // period of the live bars
    std::int64_t periodEnd = 0;
    std::vector<Product> products;
    SignalMaker signalMaker;
    std::vector<SignalRecord> signals;

    // Held by every change from its computation to the last listener call, so that listeners see
    // events one at a time and in order; recursive so that a listener may steer the market.
    std::recursive_mutex notifyMutex;
    int nextListenerId = 1;
    std::map<int, TickListener> tickListeners;
    std::map<int, BarListener> barListeners;
    std::map<int, SignalListener> signalListeners;
};

Market::Market(Options options)
    : m_impl(std::make_unique<Impl>(std::move(options)))
{
    Impl &d = *m_impl;
    d.options.historyBars = std::max(0, d.options.historyBars);
    d.barSeconds = std::max(1, d.options.barSeconds);
    d.labelStep = std::max<std::int64_t>(60, (d.barSeconds + 59) / 60 * 60);
    d.startTime = d.now();
    d.firstPeriod = FloorDiv(d.startTime, d.barSeconds);
    d.firstLabel = FloorDiv(d.startTime, d.labelStep) * d.labelStep;
    d.period = d.firstPeriod;
    d.periodEnd = (d.firstPeriod + 1) * d.barSeconds;

    d.products.resize(kProductCount);
    for (int id = 1; id <= kProductCount; ++id) {
        Product &product = d.products[static_cast<std::size_t>(id - 1)];
        product.id = id;
        product.digits = std::clamp(ProductDigits(id), 0, kMaxDigits);
        product.scale = std::pow(10.0, product.digits);
        product.base = std::max(1.0, std::round(ProductBasePrice(id) * product.scale));
        product.units = product.base;
        const TypeInfo record = ProductRecord(id);
        product.askSpread = record.askSpread;
        product.bidSpread = record.bidSpread;
        std::seed_seq sequence{static_cast<std::uint32_t>(d.options.seed),
                               static_cast<std::uint32_t>(d.options.seed >> 32),
                               static_cast<std::uint32_t>(id)};
        product.random.seed(sequence);
        d.generateHistory(product);
    }

    // A few signals stand already, so the first download has some to show.
    if (d.options.signalEverySteps > 0) {
        for (int index = 0; index < kOpeningSignals; ++index) {
            const Product &product
                = d.products[static_cast<std::size_t>(d.signalMaker.pickProduct() - 1)];
            SignalRecord signal = d.signalMaker.make(product.live, d.startTime);
            signal.published
                = static_cast<std::int32_t>(d.startTime - (kOpeningSignals - index) * d.barSeconds);
            d.applySignal(signal);
        }
    }
}

Market::~Market() = default;

Quote Market::quote(int productId) const
{
    std::lock_guard lock(m_impl->stateMutex);
    const Product *product = m_impl->find(productId);
    if (!product)
        return {};
    Quote quote;
    quote.last = product->live.close / product->scale;
    // Spreads are floats: round the sides back onto the product's price grid.
    quote.buy = std::round((quote.last + product->askSpread) * product->scale) / product->scale;
    quote.sell = std::round((quote.last - product->bidSpread) * product->scale) / product->scale;
    return quote;
}

void Market::setPrice(int productId, double price)
{
    Impl &d = *m_impl;
    std::lock_guard notifying(d.notifyMutex);
    KLineBar tick;
    {
        std::lock_guard lock(d.stateMutex);
        Product *product = d.find(productId);
        if (!product || !std::isfinite(price))
            return;
        const std::int32_t units = ToUnits(price * product->scale);
        product->units = units;
        product->moveLive(units);
        SetTimeText(product->live, ServiceTime::at(d.now()).clockText());
        tick = product->live;
    }
    d.notify(d.tickListeners, tick);
}

void Market::step()
{
    Impl &d = *m_impl;
    std::lock_guard notifying(d.notifyMutex);
    std::vector<KLineBar> completed;
    std::vector<KLineBar> ticks;
    std::vector<SignalRecord> signalEvents;
    {
        std::lock_guard lock(d.stateMutex);
        const std::int64_t now = d.now();
        for (int caughtUp = 0; now >= d.periodEnd; ++caughtUp) {
            if (caughtUp == kMaxCatchUpBars) {
                // Skip the rest of the gap: the live bars simply carry on in today's period.
                d.period = FloorDiv(now, d.barSeconds);
                d.periodEnd = (d.period + 1) * d.barSeconds;
                break;
            }
            for (Product &product : d.products)
                completed.push_back(d.completeLive(product, now));
            ++d.period;
            d.periodEnd += d.barSeconds;
        }

        const std::string clock = ServiceTime::at(now).clockText();
        for (Product &product : d.products) {
            product.walk();
            product.moveLive(ToUnits(product.units));
            SetTimeText(product.live, clock);
            ticks.push_back(product.live);
        }

        const SignalMaker::Decision decision = d.signalMaker.decide(d.signals.size());
        if (decision.kind == SignalMaker::Decision::Kind::Publish) {
            const Product *product = d.find(decision.productId);
            signalEvents.push_back(d.signalMaker.make(product->live, now));
        } else if (decision.kind == SignalMaker::Decision::Kind::Withdraw) {
            signalEvents.push_back(d.signalMaker.withdrawalOf(d.signals[decision.index]));
        }
        for (const SignalRecord &signal : signalEvents)
            d.applySignal(signal);
    }
    for (const KLineBar &bar : completed)
        d.notify(d.barListeners, bar);
    for (const KLineBar &bar : ticks)
        d.notify(d.tickListeners, bar);
    for (SignalRecord signal : signalEvents) {
        signal.marker = kSignalMarker;
        d.notify(d.signalListeners, signal);
    }
}

std::vector<KLineBar> Market::completedBars(int productId) const
{
    std::lock_guard lock(m_impl->stateMutex);
    const Product *product = m_impl->find(productId);
    if (!product)
        return {};
    return {product->history.rbegin(), product->history.rend()};
}

std::uint64_t Market::historyGeneration(int productId) const
{
    std::lock_guard lock(m_impl->stateMutex);
    const Product *product = m_impl->find(productId);
    return product ? product->generation : 0;
}

Market::History Market::history(int productId) const
{
    std::lock_guard lock(m_impl->stateMutex);
    const Product *product = m_impl->find(productId);
    if (!product)
        return {};
    return {{product->history.rbegin(), product->history.rend()},
            m_impl->signalsOf(productId),
            product->generation};
}

KLineBar Market::liveBar(int productId) const
{
    std::lock_guard lock(m_impl->stateMutex);
    const Product *product = m_impl->find(productId);
    if (!product) {
        auto empty = ZeroRecord<KLineBar>();
        empty.productId = productId;
        return empty;
    }
    return product->live;
}

void Market::publishSignal(const SignalRecord &signal)
{
    Impl &d = *m_impl;
    std::lock_guard notifying(d.notifyMutex);
    SignalRecord published = signal;
    published.marker = kSignalMarker;
    {
        std::lock_guard lock(d.stateMutex);
        d.applySignal(published);
    }
    d.notify(d.signalListeners, published);
}

std::vector<SignalRecord> Market::activeSignals(int productId) const
{
    std::lock_guard lock(m_impl->stateMutex);
    return m_impl->signalsOf(productId);
}

int Market::addTickListener(TickListener listener)
{
    std::lock_guard notifying(m_impl->notifyMutex);
    const int id = m_impl->nextListenerId++;
    m_impl->tickListeners.emplace(id, std::move(listener));
    return id;
}

int Market::addBarListener(BarListener listener)
{
    std::lock_guard notifying(m_impl->notifyMutex);
    const int id = m_impl->nextListenerId++;
    m_impl->barListeners.emplace(id, std::move(listener));
    return id;
}

int Market::addSignalListener(SignalListener listener)
{
    std::lock_guard notifying(m_impl->notifyMutex);
    const int id = m_impl->nextListenerId++;
    m_impl->signalListeners.emplace(id, std::move(listener));
    return id;
}

void Market::removeListener(int id)
{
    std::lock_guard notifying(m_impl->notifyMutex);
    m_impl->tickListeners.erase(id);
    m_impl->barListeners.erase(id);
    m_impl->signalListeners.erase(id);
}

} // namespace qs::server
