#pragma once

#include "core/protocol/AccountInfo.h"
#include "core/protocol/DealInfo.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/OrderRecords.h"
#include "core/protocol/TypeInfo.h"
#include "server/Market.h"
#include "server/NumberSource.h"
#include "server/ProductCatalog.h"

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace qs::server {

// Quotes of every product by id (index 0 unused).
using QuoteBoard = std::array<Quote, kProductCount + 1>;

struct AccountSnapshot {
    AccountInfo info{};
    std::vector<HoldInfo> positions;
    std::vector<DelegateInfo> orders; // waiting ones and those finished today
    std::vector<DealInfo> deals;      // oldest first
};

// One member's simulated account. Thread-safe; every call is one step under the account's lock.
//
// Money: balance = deposits + closed profit - commissions; usable funds = balance - occupied
// margin - frozen margin - frozen commission, so equity = balance + floating profit. A notional
// value is price x 10^digits x point value x lots; proportional commission is notional x value /
// 10000, proportional margin notional x value / 100. Commission is charged when a position opens
// and, unless the product charges a single side, again when it closes. Waiting opening orders
// freeze their margin and commission. Prices are rounded to the product's digits, money to cents.
// Deferral fees are not simulated.
//
// Fills: market orders at the current side price (buy price for a buy, sell price for a sell);
// pending orders, stop-losses and take-profits, when a tick reaches them, at the side price of
// that tick. A pending order's trigger kind follows from its price and the market when placed:
// a buy below the buy price waits for buy <= price (1), above for buy >= price (3); a sell above
// the sell price waits for sell >= price (2), below for sell <= price (4). Day orders lapse when
// the service's day changes, week orders when its week (Monday to Sunday) does.
class Account {
public:
    using Clock = std::function<std::int64_t()>; // seconds since 1970 UTC

    Account(std::string member, double deposit, NumberSource &numbers, Clock clock);

    // Command 11. Result code.
    std::int32_t open(const OpenOrderBody &body, const QuoteBoard &quotes, bool marketClosed);
    // Command 18 asking for a market close: result code.
    std::int32_t closeAtMarket(const DelegateInfo &body, const QuoteBoard &quotes,
                               bool marketClosed);
    // Command 18 asking for a limit close: the new order, or the request with an empty number
    // and the refusal in the status field.
    DelegateInfo closeAtLimit(const DelegateInfo &body, const QuoteBoard &quotes,
                              bool marketClosed);
    // Command 13: the changed position, or a zero record.
    HoldInfo changeStops(const ChangeStopsBody &body, const QuoteBoard &quotes, bool marketClosed);
    // Command 14. Result code.
    std::int32_t changeOrder(const DelegateInfo &body, const QuoteBoard &quotes, bool marketClosed);
    // Command 15: cancels a waiting order.
    bool deleteOrder(const std::string &orderNumber);

    // Back to the deposit alone: no positions, orders or deals, nothing closed or charged today.
    void reset();

    // A price tick: fills what it reaches. quotes holds the latest quote of every product.
    void onTick(int productId, const QuoteBoard &quotes);

    std::vector<HoldInfo> positions() const;
    std::vector<HoldInfo> summary() const; // one row per product and side
    std::vector<DelegateInfo> orders(bool withFinishedToday) const;
    std::vector<DealInfo> deals() const;
    AccountInfo info() const;
    AccountSnapshot snapshot() const;

    static constexpr std::size_t kMaxDeals = 1000;
    static constexpr std::size_t kMaxFinishedOrders = 200;

private:
    struct Order {
        DelegateInfo record;
        double frozenMargin = 0;
        double frozenCommission = 0;
        std::int64_t placedDay = 0;
        std::int64_t finishedDay = 0;
    };
    struct Fill {
        double price;
        std::int32_t fillKind; // 1 market, 2 limit
        std::int32_t byUser;   // 1 the member, 2 the system
        std::string orderNumber;
    };

    std::int64_t now() const;
    std::int64_t today() const;
    void rollDay() const;
    void expireOrders();
    double usableFunds() const;
    double floatingProfit(const QuoteBoard &quotes) const;
    double heldLots(int productId) const;
    HoldInfo *findPosition(const std::string &number);
    Order *findWaitingOrder(const std::string &number);

    void openPosition(const TypeInfo &product, std::int32_t side, double lots, double stopLoss,
                      double takeProfit, const Fill &fill);
    // A waiting pending order placed now; its trigger kind follows from the market side price.
    struct PendingTerms {
        std::int32_t side;
        double lots;
        double price;
        double stopLoss;
        double takeProfit;
        double sidePrice;
        std::int32_t openOrClose;
        std::int32_t validity; // as the client sent it
    };
    Order newPendingOrder(const std::string &orderNumber, const TypeInfo &product,
                          const PendingTerms &terms) const;
    // Closes lots of the position at index; the position goes when nothing is left.
    void closeLots(std::size_t index, double lots, const Fill &fill);
    void cancelClosingOrders(const std::string &positionNumber, double lotsLeft);
    void finish(Order &order, std::int32_t status);
    void fillOrder(Order &order, const TypeInfo &product, const Quote &quote,
                   const QuoteBoard &quotes);
    void recordDeal(const DealInfo &deal);

    const std::string m_member;
    const double m_deposit;
    NumberSource &m_numbers;
    const Clock m_clock;

    mutable std::mutex m_mutex;
    double m_balance;
    mutable double m_closedProfitToday = 0;
    mutable double m_commissionToday = 0;
    mutable std::int64_t m_day = 0;
    std::vector<HoldInfo> m_positions;
    std::vector<Order> m_orders;
    std::vector<DealInfo> m_deals;
};

} // namespace qs::server
