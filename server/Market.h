#pragma once

#include "core/protocol/KLineBar.h"
#include "core/protocol/SignalRecord.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace qs::server {

// Quote of one product in real units: buy = last + ask spread, sell = last - bid spread.
struct Quote {
    double last = 0;
    double buy = 0;
    double sell = 0;
};

// Simulated prices and bars of every product. Thread-safe; listeners are called on the thread
// that moved the price, without the market's lock held. Calls that change the market wait while
// listeners run, so a listener must never wait for another thread that changes the market.
class Market {
public:
    struct Options {
        std::uint64_t seed = 1;
        int barSeconds = 7200;  // length of one bar period
        int historyBars = 3000; // completed bars generated per product before "now"
        // A signal is published or withdrawn about once per this many steps; 0 = never.
        int signalEverySteps = 30;
        // Seconds since 1970 UTC; empty = the system clock. Tests pass a clock of their own.
        std::function<std::int64_t()> clock;
    };
    using TickListener = std::function<void(const KLineBar &liveBar)>;
    using BarListener = std::function<void(const KLineBar &completedBar)>;
    using SignalListener = std::function<void(const SignalRecord &signal)>;

    explicit Market(Options options);
    ~Market();
    Market(const Market &) = delete;
    Market &operator=(const Market &) = delete;

    Quote quote(int productId) const;
    // Moves a product's price (steering); its live bar follows and tick listeners are told.
    void setPrice(int productId, double price);
    // One simulation step: every product's price moves a little and a tick is published for
    // each; a bar period that ended is completed (bar listeners first) and a new live bar opens.
    void step();

    // Completed bars, newest first (the live bar is not among them).
    std::vector<KLineBar> completedBars(int productId) const;

    // Moves whenever what a download of the product carries changes: a bar completes, or one of
    // its signals is published, withdrawn or pushed out. Whatever was made of the product's bars
    // and signals at one generation holds until the next.
    std::uint64_t historyGeneration(int productId) const;
    struct History {
        std::vector<KLineBar> bars;        // completed, newest first
        std::vector<SignalRecord> signals; // standing, oldest first
        std::uint64_t generation = 0;
    };
    // Bars and signals taken together, so that they belong to the one generation given.
    History history(int productId) const;

    KLineBar liveBar(int productId) const;

    // Publishes a signal (replacing one with the same key) or, for action 4 or 5, withdraws it;
    // signal listeners are told either way.
    void publishSignal(const SignalRecord &signal);
    // Signals published and not withdrawn, oldest first.
    std::vector<SignalRecord> activeSignals(int productId) const;

    // Listeners are called one event at a time, in the order the events happened.
    int addTickListener(TickListener listener);
    int addBarListener(BarListener listener);
    int addSignalListener(SignalListener listener);
    // Once it returns, the listener is not running and will not be called again.
    void removeListener(int id);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qs::server
