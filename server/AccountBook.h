#pragma once

#include "core/protocol/KLineBar.h"
#include "server/Account.h"
#include "server/NumberSource.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace qs::server {

// The simulated accounts of all members, made when a member first uses one, and the tick
// handling that lets the market's prices reach their pending orders and stops. Thread-safe.
class AccountBook {
public:
    using QuoteSource = std::function<Quote(int productId)>;

    // quotes: the market's current quote of a product. Asked at construction and before an order
    // request takes its account's lock; never from the tick handling, which runs inside the
    // market's listener call.
    explicit AccountBook(QuoteSource quotes, Account::Clock clock = {});

    // The member's account; its deposit comes from the member table.
    Account &of(const std::string &member);
    // Every product's current quote.
    QuoteBoard currentQuotes() const;
    // A tick of a live bar: the product's quote as the tick gives it, then every account.
    void onTick(const KLineBar &liveBar);

    // Quote as a tick carries it: last = close / 10^digits, then the product's spreads.
    static Quote QuoteOfTick(const KLineBar &liveBar);

private:
    QuoteSource m_quotes;
    Account::Clock m_clock;
    NumberSource m_numbers;

    mutable std::mutex m_mutex;
    std::map<std::string, std::unique_ptr<Account>> m_accounts;
    QuoteBoard m_tickQuotes{}; // the latest tick of every product, first the market's quotes
};

} // namespace qs::server
