#include "server/Account.h"

#include "core/platform/AnsiCodec.h"
#include "core/protocol/WireRecord.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>

namespace qs::server {
namespace {

// Wednesday 2024-01-03 10:00 in the service's zone.
constexpr std::int64_t kWednesday = 1704247200;
constexpr std::int64_t kDay = 86400;
constexpr int kGold = 1;    // digits 2, point value 1, margin 5 %, commission 8/10000 both sides
constexpr int kTianjin = 3; // per lot: commission 60 on opening only, margin 28000
constexpr int kRatio = 20;  // not tradable

double RoundTo(double value, int digits)
{
    const double scale = std::pow(10.0, digits);
    return std::round(value * scale) / scale;
}

struct Fixture {
    std::shared_ptr<std::atomic<std::int64_t>> seconds
        = std::make_shared<std::atomic<std::int64_t>>(kWednesday);
    NumberSource numbers;
    QuoteBoard quotes{};

    Fixture()
    {
        for (int id = 1; id <= kProductCount; ++id)
            setLast(id, ProductBasePrice(id));
        setLast(kGold, 1765.30); // buy 1765.60, sell 1765.10
    }
    std::unique_ptr<Account> account(double deposit = 1000000.0)
    {
        return std::make_unique<Account>("demo", deposit, numbers,
                                         [s = seconds] { return s->load(); });
    }
    void setLast(int id, double last)
    {
        const TypeInfo product = ProductRecord(id);
        Quote &quote = quotes[static_cast<std::size_t>(id)];
        quote.last = last;
        quote.buy = RoundTo(last + product.askSpread, product.digits);
        quote.sell = RoundTo(last - product.bidSpread, product.digits);
    }
    void tick(Account &account, int id, double last)
    {
        setLast(id, last);
        account.onTick(id, quotes);
    }
};

OpenOrderBody Order(int productId, std::int32_t kind, std::int32_t direction, float price,
                    float lots, float stopLoss = 0, float takeProfit = 0, float slippage = 0,
                    std::int32_t validity = 0)
{
    OpenOrderBody body{};
    body.productId = productId;
    body.price = price;
    body.stopLoss = stopLoss;
    body.takeProfit = takeProfit;
    body.lots = lots;
    body.kind = kind;
    body.direction = direction;
    body.validity = validity;
    body.slippage = slippage;
    return body;
}

OpenOrderBody MarketBuy(float price, float lots, float stopLoss = 0, float takeProfit = 0)
{
    return Order(kGold, order_kind::kMarket, 1, price, lots, stopLoss, takeProfit);
}

OpenOrderBody LimitOrder(std::int32_t direction, float price, float lots, std::int32_t validity = 1)
{
    return Order(kGold, order_kind::kLimit, direction, price, lots, 0, 0, 0, validity);
}

DelegateInfo CloseRequest(const HoldInfo &position, double lots, double price,
                          std::int32_t validity, double slippageOrStop = 0, double takeProfit = 0)
{
    DelegateInfo body = ZeroRecord<DelegateInfo>();
    body.productId = position.productId;
    body.side = position.side == 1 ? 2 : 1;
    body.lots = lots;
    body.orderPrice = price;
    body.stopLoss = slippageOrStop;
    body.takeProfit = takeProfit;
    std::memcpy(body.relatedPosition, position.positionNumber, sizeof body.relatedPosition);
    body.validity = validity;
    return body;
}

ChangeStopsBody Stops(const HoldInfo &position, float stopLoss, float takeProfit)
{
    ChangeStopsBody body{};
    std::memcpy(body.positionNumber, position.positionNumber, sizeof position.positionNumber);
    body.stopLoss = stopLoss;
    body.takeProfit = takeProfit;
    return body;
}

TEST(AccountTest, MarketOpenFillsAtTheSidePriceWithMarginAndCommission)
{
    Fixture f;
    auto account = f.account();
    ASSERT_EQ(account->open(MarketBuy(1765.60f, 2.0f), f.quotes, false), order_result::kDone);

    const std::vector<HoldInfo> positions = account->positions();
    ASSERT_EQ(positions.size(), 1u);
    const HoldInfo &held = positions[0];
    EXPECT_EQ(held.number().size(), 10u);
    EXPECT_EQ(held.productNameText(), "伦敦金");
    EXPECT_EQ(held.side, 1);
    EXPECT_DOUBLE_EQ(held.lotsHeld, 2.0);
    EXPECT_DOUBLE_EQ(held.openPrice, 1765.60);
    EXPECT_DOUBLE_EQ(held.margin, 17656.00);    // 1765.60 x 100 x 1 x 2 x 5 %
    EXPECT_DOUBLE_EQ(held.commission1, 282.50); // the same x 8 / 10000, to the cent
    EXPECT_EQ(held.openTimeText(), "2024-01-03 10:00:00");

    const AccountInfo info = account->info();
    EXPECT_DOUBLE_EQ(info.occupiedMargin, 17656.00);
    EXPECT_DOUBLE_EQ(info.commissionToday, 282.50);
    EXPECT_DOUBLE_EQ(info.usableFunds, 1000000.0 - 282.50 - 17656.00);

    const std::vector<DealInfo> deals = account->deals();
    ASSERT_EQ(deals.size(), 1u);
    EXPECT_EQ(deals[0].openOrClose, 1);
    EXPECT_EQ(deals[0].fillKind, 1);
    EXPECT_EQ(deals[0].byUser, 1);
    EXPECT_EQ(deals[0].positionNumberText(), held.number());

    // A sell fills at the sell price, whatever price within the slippage the member saw.
    ASSERT_EQ(account->open(Order(kGold, 1, 2, 1765.00f, 1.0f, 0, 0, 0.2f), f.quotes, false),
              order_result::kDone);
    EXPECT_DOUBLE_EQ(account->positions()[1].openPrice, 1765.10);
    EXPECT_EQ(account->positions()[1].side, 2);
}

TEST(AccountTest, OpenRefusalsCarryTheirCodes)
{
    struct Case {
        const char *what;
        OpenOrderBody body;
        std::int32_t code;
    };
    const Case cases[] = {
        {"price moved beyond the slippage", Order(kGold, 1, 1, 1764.00f, 1, 0, 0, 0.5f), 2},
        {"price moved, no slippage allowed", Order(kGold, 1, 1, 1765.50f, 1), 2},
        {"stop-loss one step too near", MarketBuy(1765.60f, 1, 1762.61f), 5},
        {"take-profit too near", MarketBuy(1765.60f, 1, 0, 1768.00f), 5},
        {"sell stop-loss below the price", Order(kGold, 1, 2, 1765.10f, 1, 1764.0f), 5},
        {"limit within the limit distance", LimitOrder(1, 1764.60f, 1), 4},
        {"ratio products do not trade", Order(kRatio, 1, 1, 52.5f, 1), 7},
        {"unknown product", Order(99, 1, 1, 1.0f, 1), 7},
        {"unknown order kind", Order(kGold, 3, 1, 1765.60f, 1), 7},
        {"no price", MarketBuy(0.0f, 1), 7},
        {"price not a number", MarketBuy(std::nanf(""), 1), 7},
        {"below the minimum lots", MarketBuy(1765.60f, 0.05f), 8},
        {"not a multiple of the lot step", MarketBuy(1765.60f, 0.15f), 8},
        {"above the maximum lots", MarketBuy(1765.60f, 51.0f), 8},
        // Each limit exactly met is accepted.
        {"stops at their distance", MarketBuy(1765.60f, 1, 1762.60f, 1768.60f), 1},
        {"limit below at its distance", LimitOrder(1, 1763.60f, 1), 1},
        {"limit above at its distance", LimitOrder(1, 1767.60f, 1), 1},
        {"price moved by the slippage", Order(kGold, 1, 1, 1765.00f, 1, 0, 0, 0.6f), 1},
        {"a multiple of the lot step", MarketBuy(1765.60f, 0.3f), 1},
    };
    for (const Case &c : cases) {
        Fixture f;
        auto account = f.account();
        EXPECT_EQ(account->open(c.body, f.quotes, false), c.code) << c.what;
        EXPECT_EQ(account->positions().empty() && account->orders(true).empty(), c.code != 1)
            << c.what;
    }
    Fixture f;
    EXPECT_EQ(f.account()->open(MarketBuy(1765.60f, 1), f.quotes, true),
              order_result::kMarketClosed);
    // 50 lots of gold need 441400 of margin.
    EXPECT_EQ(f.account(100000.0)->open(MarketBuy(1765.60f, 50), f.quotes, false),
              order_result::kNoMargin);
}

TEST(AccountTest, LimitOrdersFreezeMarginAndFillWhenATickReachesThem)
{
    Fixture f;
    auto account = f.account();
    ASSERT_EQ(account->open(LimitOrder(1, 1760.00f, 1, 2), f.quotes, false), 1);
    ASSERT_EQ(account->open(LimitOrder(2, 1770.00f, 1), f.quotes, false), 1);
    ASSERT_EQ(account->open(LimitOrder(2, 1750.00f, 1), f.quotes, false), 1);
    ASSERT_EQ(account->open(LimitOrder(1, 1780.00f, 1), f.quotes, false), 1);
    std::vector<DelegateInfo> orders = account->orders(false);
    ASSERT_EQ(orders.size(), 4u);
    EXPECT_EQ(orders[0].triggerKind, 1);
    EXPECT_EQ(orders[1].triggerKind, 2);
    EXPECT_EQ(orders[2].triggerKind, 4);
    EXPECT_EQ(orders[3].triggerKind, 3);
    EXPECT_EQ(orders[0].validity, 2);
    EXPECT_EQ(orders[1].validity, 1);
    EXPECT_EQ(orders[0].openOrClose, 1);
    EXPECT_EQ(orders[0].status, 1);
    EXPECT_DOUBLE_EQ(orders[0].orderPrice, 1760.00);

    AccountInfo info = account->info();
    EXPECT_DOUBLE_EQ(info.frozenMargin, 8800.00 + 8850.00 + 8750.00 + 8900.00);
    EXPECT_NEAR(info.frozenCommission, 140.80 + 141.60 + 140.00 + 142.40, 1e-6);
    EXPECT_DOUBLE_EQ(info.occupiedMargin, 0);

    f.tick(*account, kGold, 1760.00); // buy 1760.30: not yet
    EXPECT_TRUE(account->positions().empty());
    f.tick(*account, kGold, 1759.70); // buy 1760.00: reached exactly
    std::vector<HoldInfo> positions = account->positions();
    ASSERT_EQ(positions.size(), 1u);
    EXPECT_DOUBLE_EQ(positions[0].openPrice, 1760.00);
    orders = account->orders(true);
    EXPECT_EQ(orders[0].status, 3);
    EXPECT_EQ(account->orders(false).size(), 3u);
    const DealInfo deal = account->deals().back();
    EXPECT_EQ(deal.fillKind, 2);
    EXPECT_EQ(deal.byUser, 2);
    EXPECT_EQ(deal.orderNumberText(), orders[0].number());

    info = account->info();
    EXPECT_DOUBLE_EQ(info.occupiedMargin, 8800.00);
    EXPECT_DOUBLE_EQ(info.frozenMargin, 8850.00 + 8750.00 + 8900.00);

    f.tick(*account, kGold, 1780.00); // buy 1780.30 >= 1780, sell 1779.80 >= 1770
    EXPECT_EQ(account->positions().size(), 3u);
    EXPECT_EQ(account->orders(false).size(), 1u);
    EXPECT_DOUBLE_EQ(account->positions()[1].openPrice, 1779.80);
}

TEST(AccountTest, StopsAndTakeProfitsCloseOnTicksAtTheTicksPrice)
{
    Fixture f;
    auto account = f.account();
    ASSERT_EQ(account->open(MarketBuy(1765.60f, 1, 1760.0f, 1775.0f), f.quotes, false), 1);
    ASSERT_EQ(account->open(Order(kGold, 1, 2, 1765.10f, 1, 1770.0f), f.quotes, false), 1);
    f.tick(*account, kGold, 1768.00);
    EXPECT_EQ(account->positions().size(), 2u);

    f.tick(*account, kGold, 1769.70); // buy 1770.00 reaches the sell's stop-loss
    ASSERT_EQ(account->positions().size(), 1u);
    DealInfo closing = account->deals().back();
    EXPECT_EQ(closing.openOrClose, 2);
    EXPECT_EQ(closing.byUser, 2);
    EXPECT_EQ(closing.side, 1);
    EXPECT_DOUBLE_EQ(closing.price, 1770.00);
    EXPECT_DOUBLE_EQ(closing.profit, -490.00);

    f.tick(*account, kGold, 1775.20); // sell 1775.00 reaches the buy's take-profit
    EXPECT_TRUE(account->positions().empty());
    closing = account->deals().back();
    EXPECT_DOUBLE_EQ(closing.profit, 940.00);
    EXPECT_DOUBLE_EQ(account->info().closedProfitToday, 450.00);

    // Ticks of another product touch nothing.
    ASSERT_EQ(account->open(MarketBuy(1775.50f, 1, 1770.0f), f.quotes, false), 1);
    f.tick(*account, 2, 1.0);
    EXPECT_EQ(account->positions().size(), 1u);
}

TEST(AccountTest, FiguresStayConsistentThroughPartialCloses)
{
    Fixture f;
    auto account = f.account();
    ASSERT_EQ(account->open(MarketBuy(1765.60f, 2), f.quotes, false), 1);
    const HoldInfo position = account->positions()[0];
    f.setLast(kGold, 1770.00); // sell 1769.80
    ASSERT_EQ(account->closeAtMarket(CloseRequest(position, 0.5, 1769.80, 0), f.quotes, false),
              order_result::kDone);

    const HoldInfo rest = account->positions()[0];
    EXPECT_DOUBLE_EQ(rest.lotsHeld, 1.5);
    EXPECT_DOUBLE_EQ(rest.lotsOpened, 2.0);
    EXPECT_DOUBLE_EQ(rest.margin, 13242.00);
    EXPECT_DOUBLE_EQ(rest.commission2, 70.79);
    const DealInfo closing = account->deals().back();
    EXPECT_DOUBLE_EQ(closing.profit, 210.00);
    EXPECT_DOUBLE_EQ(closing.lots, 0.5);
    EXPECT_EQ(closing.side, 2);
    EXPECT_EQ(closing.byUser, 1);

    const AccountInfo info = account->info();
    const double balance = 1000000.0 - 282.50 + 210.00 - 70.79;
    EXPECT_NEAR(info.usableFunds + info.occupiedMargin + info.frozenMargin + info.frozenCommission,
                balance, 1e-6);
    EXPECT_DOUBLE_EQ(info.closedProfitToday, 210.00);
    EXPECT_NEAR(info.commissionToday, 282.50 + 70.79, 1e-6);

    // Per-lot charges on one side only: nothing more to pay when closing.
    auto other = f.account();
    const double tianjinBuy = f.quotes[kTianjin].buy;
    ASSERT_EQ(
        other->open(Order(kTianjin, 1, 1, static_cast<float>(tianjinBuy), 2), f.quotes, false), 1);
    const HoldInfo tianjin = other->positions()[0];
    EXPECT_DOUBLE_EQ(tianjin.margin, 56000.00);
    EXPECT_DOUBLE_EQ(tianjin.commission1, 120.00);
    ASSERT_EQ(
        other->closeAtMarket(CloseRequest(tianjin, 2, f.quotes[kTianjin].sell, 0), f.quotes, false),
        1);
    EXPECT_TRUE(other->positions().empty());
    EXPECT_DOUBLE_EQ(other->info().commissionToday, 120.00);
    EXPECT_DOUBLE_EQ(other->info().occupiedMargin, 0);
}

TEST(AccountTest, MarketCloseRefusals)
{
    Fixture f;
    auto account = f.account();
    ASSERT_EQ(account->open(MarketBuy(1765.60f, 2), f.quotes, false), 1);
    const HoldInfo position = account->positions()[0];

    DelegateInfo sameSide = CloseRequest(position, 1, 1765.10, 0);
    sameSide.side = 1;
    EXPECT_EQ(account->closeAtMarket(sameSide, f.quotes, false), order_result::kUnknown);
    DelegateInfo unknown = CloseRequest(position, 1, 1765.10, 0);
    std::strcpy(unknown.relatedPosition, "9999");
    EXPECT_EQ(account->closeAtMarket(unknown, f.quotes, false), order_result::kUnknown);
    DelegateInfo otherProduct = CloseRequest(position, 1, 1765.10, 0);
    otherProduct.productId = 2;
    EXPECT_EQ(account->closeAtMarket(otherProduct, f.quotes, false), order_result::kUnknown);
    EXPECT_EQ(account->closeAtMarket(CloseRequest(position, 2.1, 1765.10, 0), f.quotes, false),
              order_result::kUnknown);
    EXPECT_EQ(account->closeAtMarket(CloseRequest(position, 1, 1764.00, 0, 0.5), f.quotes, false),
              order_result::kPriceMoved);
    EXPECT_EQ(account->closeAtMarket(CloseRequest(position, 1, 0, 0), f.quotes, false),
              order_result::kBadPrice);
    EXPECT_EQ(account->closeAtMarket(CloseRequest(position, 1, 1765.10, 0), f.quotes, true),
              order_result::kMarketClosed);
    EXPECT_DOUBLE_EQ(account->positions()[0].lotsHeld, 2.0);
    EXPECT_EQ(account->closeAtMarket(CloseRequest(position, 2, 1764.00, 0, 1.2), f.quotes, false),
              order_result::kDone);
    EXPECT_TRUE(account->positions().empty());
}

TEST(AccountTest, ALimitCloseReplacesTheWaitingOneAndFillsOnATick)
{
    Fixture f;
    auto account = f.account();
    ASSERT_EQ(account->open(MarketBuy(1765.60f, 2), f.quotes, false), 1);
    const HoldInfo position = account->positions()[0];

    const DelegateInfo first
        = account->closeAtLimit(CloseRequest(position, 1, 1775.0, 1), f.quotes, false);
    EXPECT_EQ(first.status, 1);
    EXPECT_FALSE(first.number().empty());
    EXPECT_EQ(first.relatedPositionText(), position.number());
    EXPECT_EQ(first.openOrClose, 2);
    EXPECT_EQ(first.side, 2);
    EXPECT_EQ(first.triggerKind, 2);
    EXPECT_EQ(first.validity, 1);

    const DelegateInfo second
        = account->closeAtLimit(CloseRequest(position, 2, 1780.0, 2), f.quotes, false);
    ASSERT_EQ(second.status, 1);
    const std::vector<DelegateInfo> orders = account->orders(true);
    ASSERT_EQ(orders.size(), 2u);
    EXPECT_EQ(orders[0].status, 2);
    EXPECT_EQ(orders[1].number(), second.number());
    EXPECT_EQ(orders[1].validity, 2);
    // Closing orders freeze nothing.
    EXPECT_DOUBLE_EQ(account->info().frozenMargin, 0);

    const DelegateInfo near
        = account->closeAtLimit(CloseRequest(position, 1, 1766.0, 1), f.quotes, false);
    EXPECT_EQ(near.status, order_result::kBadPrice);
    EXPECT_TRUE(near.number().empty());
    // A closing sell's stop-loss lies above its price.
    const DelegateInfo badStop
        = account->closeAtLimit(CloseRequest(position, 1, 1775.0, 1, 1774.0), f.quotes, false);
    EXPECT_EQ(badStop.status, order_result::kStopTooNear);
    EXPECT_EQ(account->orders(false).size(), 1u);

    f.tick(*account, kGold, 1780.20); // sell 1780.00
    EXPECT_TRUE(account->positions().empty());
    EXPECT_EQ(account->orders(true).back().status, 3);
    const DealInfo closing = account->deals().back();
    EXPECT_DOUBLE_EQ(closing.profit, 2880.00);
    EXPECT_EQ(closing.fillKind, 2);
}

// Gold: buy spread 0.30, sell spread 0.20, stop distance 3. The buy position's closing sell at
// 1775.00 leaves it at 1774.80: stop-loss from 1777.80, take-profit up to 1771.80. The sell
// position's closing buy at 1755.00 leaves it at 1755.30: stop-loss up to 1752.30, take-profit
// from 1758.30. The same bounds hold when a waiting closing order is changed.
TEST(AccountTest, ClosingOrderStopsAreMeasuredFromThePriceAcrossTheSpread)
{
    Fixture f;
    auto account = f.account();
    ASSERT_EQ(account->open(MarketBuy(1765.60f, 1), f.quotes, false), 1);
    ASSERT_EQ(account->open(Order(kGold, order_kind::kMarket, 2, 1765.10f, 1), f.quotes, false), 1);
    const struct {
        std::int32_t positionSide;
        double price, stopLoss, takeProfit;
        bool fits;
    } rows[] = {
        {1, 1775.00, 1777.80, 0, true}, {1, 1775.00, 1777.79, 0, false},
        {1, 1775.00, 0, 1771.80, true}, {1, 1775.00, 0, 1771.81, false},
        {2, 1755.00, 1752.30, 0, true}, {2, 1755.00, 1752.31, 0, false},
        {2, 1755.00, 0, 1758.30, true}, {2, 1755.00, 0, 1758.29, false},
    };
    for (const auto &row : rows) {
        HoldInfo position{};
        for (const HoldInfo &held : account->positions())
            position = held.side == row.positionSide ? held : position;
        const std::int32_t expected = row.fits ? order_result::kDone : order_result::kStopTooNear;
        EXPECT_EQ(account
                      ->closeAtLimit(
                          CloseRequest(position, 1, row.price, 1, row.stopLoss, row.takeProfit),
                          f.quotes, false)
                      .status,
                  expected)
            << row.positionSide << ' ' << row.stopLoss << ' ' << row.takeProfit;
        DelegateInfo change
            = account->closeAtLimit(CloseRequest(position, 1, row.price, 1), f.quotes, false);
        ASSERT_EQ(change.status, 1);
        change.stopLoss = row.stopLoss;
        change.takeProfit = row.takeProfit;
        EXPECT_EQ(account->changeOrder(change, f.quotes, false), expected)
            << row.positionSide << ' ' << row.stopLoss << ' ' << row.takeProfit;
    }
}

TEST(AccountTest, ClosingAPositionCancelsItsWaitingLimitClose)
{
    Fixture f;
    auto account = f.account();
    ASSERT_EQ(account->open(MarketBuy(1765.60f, 2), f.quotes, false), 1);
    const HoldInfo position = account->positions()[0];
    ASSERT_EQ(account->closeAtLimit(CloseRequest(position, 2, 1775.0, 1), f.quotes, false).status,
              1);
    ASSERT_EQ(account->closeAtMarket(CloseRequest(position, 1, 1765.10, 0), f.quotes, false), 1);
    EXPECT_TRUE(account->orders(false).empty())
        << "one lot is left: the order for two cannot stand";
}

TEST(AccountTest, StopChangesAreMeasuredFromTheLivePriceOfThePositionsSide)
{
    Fixture f;
    auto account = f.account();
    ASSERT_EQ(account->open(MarketBuy(1765.60f, 1), f.quotes, false), 1);
    const HoldInfo position = account->positions()[0];

    HoldInfo changed = account->changeStops(Stops(position, 1762.60f, 1768.60f), f.quotes, false);
    EXPECT_EQ(changed.number(), position.number());
    EXPECT_DOUBLE_EQ(changed.stopLoss, 1762.60);
    EXPECT_DOUBLE_EQ(changed.takeProfit, 1768.60);
    EXPECT_DOUBLE_EQ(account->positions()[0].stopLoss, 1762.60);

    EXPECT_EQ(account->changeStops(Stops(position, 1762.61f, 0), f.quotes, false).positionNumber[0],
              0);
    EXPECT_EQ(account->changeStops(Stops(position, 0, 1768.59f), f.quotes, false).positionNumber[0],
              0);
    EXPECT_EQ(account->changeStops(Stops(position, 0, 0), f.quotes, true).positionNumber[0], 0);
    HoldInfo unknown = position;
    std::strcpy(unknown.positionNumber, "42");
    EXPECT_EQ(account->changeStops(Stops(unknown, 0, 0), f.quotes, false).positionNumber[0], 0);
    EXPECT_DOUBLE_EQ(account->positions()[0].stopLoss, 1762.60);

    changed = account->changeStops(Stops(position, 0, 0), f.quotes, false);
    EXPECT_DOUBLE_EQ(changed.stopLoss, 0);
    EXPECT_DOUBLE_EQ(changed.takeProfit, 0);
}

TEST(AccountTest, OrderChangesMovePriceLotsAndFrozenMargin)
{
    Fixture f;
    auto account = f.account();
    ASSERT_EQ(account->open(LimitOrder(1, 1760.0f, 1), f.quotes, false), 1);
    DelegateInfo body = account->orders(false)[0];
    body.lots = 2;
    body.orderPrice = 1755.0;
    body.validity = 2;
    EXPECT_EQ(account->changeOrder(body, f.quotes, false), order_result::kDone);
    const DelegateInfo changed = account->orders(false)[0];
    EXPECT_DOUBLE_EQ(changed.lots, 2.0);
    EXPECT_DOUBLE_EQ(changed.orderPrice, 1755.0);
    EXPECT_EQ(changed.validity, 2);
    EXPECT_DOUBLE_EQ(account->info().frozenMargin, 17550.00);

    body.orderPrice = 1765.0;
    EXPECT_EQ(account->changeOrder(body, f.quotes, false), order_result::kBadPrice);
    body.orderPrice = 1770.0; // above the market now: waits for buy >= price
    EXPECT_EQ(account->changeOrder(body, f.quotes, false), order_result::kDone);
    EXPECT_EQ(account->orders(false)[0].triggerKind, 3);
    body.stopLoss = 1768.0;
    EXPECT_EQ(account->changeOrder(body, f.quotes, false), order_result::kStopTooNear);
    body.stopLoss = 0;
    EXPECT_EQ(account->changeOrder(body, f.quotes, true), order_result::kMarketClosed);
    body.lots = 0.15;
    EXPECT_EQ(account->changeOrder(body, f.quotes, false), order_result::kUnknown);
    DelegateInfo unknown = body;
    std::strcpy(unknown.orderNumber, "1");
    EXPECT_EQ(account->changeOrder(unknown, f.quotes, false), order_result::kUnknown);

    auto small = f.account(20000.0);
    ASSERT_EQ(small->open(LimitOrder(1, 1760.0f, 1), f.quotes, false), 1);
    DelegateInfo bigger = small->orders(false)[0];
    bigger.lots = 4;
    EXPECT_EQ(small->changeOrder(bigger, f.quotes, false), order_result::kNoMargin);
    EXPECT_DOUBLE_EQ(small->orders(false)[0].lots, 1.0);
}

TEST(AccountTest, DeletionCancelsAWaitingOrderOnce)
{
    Fixture f;
    auto account = f.account();
    ASSERT_EQ(account->open(LimitOrder(1, 1760.0f, 1), f.quotes, false), 1);
    const std::string number = account->orders(false)[0].number();
    EXPECT_TRUE(account->deleteOrder(number));
    EXPECT_FALSE(account->deleteOrder(number));
    EXPECT_FALSE(account->deleteOrder(""));
    EXPECT_TRUE(account->orders(false).empty());
    ASSERT_EQ(account->orders(true).size(), 1u);
    EXPECT_EQ(account->orders(true)[0].status, 2);
    EXPECT_DOUBLE_EQ(account->info().frozenMargin, 0);
    EXPECT_DOUBLE_EQ(account->info().usableFunds, 1000000.0);
    // A cancelled order never fills.
    f.tick(*account, kGold, 1700.0);
    EXPECT_TRUE(account->positions().empty());
}

TEST(AccountTest, DayOrdersLapseWithTheDayAndWeekOrdersWithTheWeek)
{
    Fixture f;
    auto account = f.account();
    ASSERT_EQ(account->open(LimitOrder(1, 1760.0f, 1, 1), f.quotes, false), 1);
    ASSERT_EQ(account->open(LimitOrder(1, 1750.0f, 1, 2), f.quotes, false), 1);
    ASSERT_EQ(account->open(MarketBuy(1765.60f, 1), f.quotes, false), 1);
    EXPECT_GT(account->info().commissionToday, 0);

    *f.seconds += kDay; // Thursday
    const std::vector<DelegateInfo> thursday = account->orders(false);
    ASSERT_EQ(thursday.size(), 2u); // listing does not change anything by itself
    f.tick(*account, kGold, 1765.30);
    ASSERT_EQ(account->orders(false).size(), 1u);
    EXPECT_EQ(account->orders(false)[0].validity, 2);
    EXPECT_EQ(account->orders(true).size(), 2u); // the lapsed one, for today
    EXPECT_DOUBLE_EQ(account->info().commissionToday, 0);

    *f.seconds += 3 * kDay; // Sunday: still the same week
    f.tick(*account, kGold, 1765.30);
    EXPECT_EQ(account->orders(false).size(), 1u);
    EXPECT_TRUE(account->orders(true).size() == 1u); // Thursday's lapse is no longer listed

    *f.seconds += kDay; // Monday
    f.tick(*account, kGold, 1765.30);
    EXPECT_TRUE(account->orders(false).empty());
    EXPECT_DOUBLE_EQ(account->info().frozenMargin, 0);
}

TEST(AccountTest, SummaryHasOneRowPerProductAndSide)
{
    Fixture f;
    auto account = f.account();
    ASSERT_EQ(account->open(MarketBuy(1765.60f, 1), f.quotes, false), 1);
    f.setLast(kGold, 1769.30); // buy 1769.60
    ASSERT_EQ(account->open(MarketBuy(1769.60f, 3), f.quotes, false), 1);
    ASSERT_EQ(account->open(Order(kGold, 1, 2, 1769.10f, 1), f.quotes, false), 1);
    const std::vector<HoldInfo> rows = account->summary();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].side, 1);
    EXPECT_DOUBLE_EQ(rows[0].lotsHeld, 4.0);
    EXPECT_DOUBLE_EQ(rows[0].openPrice, (1765.60 + 3 * 1769.60) / 4);
    EXPECT_NEAR(rows[0].margin, 8828.00 + 26544.00, 1e-6);
    EXPECT_EQ(rows[1].side, 2);
    EXPECT_DOUBLE_EQ(rows[1].lotsHeld, 1.0);
    EXPECT_EQ(rows[0].positionNumber[0], 0);
}

} // namespace
} // namespace qs::server
