// Writes well-formed inputs for every fuzz target, made by the program's own code: the server's
// catalogue, accounts, alerts, market, download service and push hub, and the client's request
// bodies. Fuzzers that start from real records reach the deep paths of a decoder in seconds
// instead of first having to guess a count, a selector and a record that hangs together.
//
// Usage: fuzz_seed_writer <corpus folder>; the seeds of fuzz_<name> go to <folder>/fuzz_<name>/.
// The output depends on nothing but this program: a fixed clock and fixed random seeds.
#include "core/market/ProductNotificationFlags.h"
#include "core/orders/CloseForms.h"
#include "core/orders/DeleteOrder.h"
#include "core/orders/ModifyForms.h"
#include "core/orders/OpenOrderForms.h"
#include "core/platform/MachineIdentity.h"
#include "core/platform/Socket.h"
#include "core/protocol/AccountInfo.h"
#include "core/protocol/AlertInfo.h"
#include "core/protocol/Commands.h"
#include "core/protocol/DealInfo.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/LoginExchange.h"
#include "core/protocol/LoginRecords.h"
#include "core/protocol/OrderRecords.h"
#include "core/protocol/RequestHeader.h"
#include "core/protocol/Session.h"
#include "core/protocol/SignalRecord.h"
#include "core/protocol/TypeInfo.h"
#include "core/protocol/WireRecord.h"
#include "server/Account.h"
#include "server/AlertBook.h"
#include "server/HistoryArchive.h"
#include "server/KLineService.h"
#include "server/Market.h"
#include "server/Members.h"
#include "server/NumberSource.h"
#include "server/ProductCatalog.h"
#include "server/PushHub.h"
#include "server/RequestService.h"
#include "server/SignalMaker.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace qs;
using namespace qs::server;
using Bytes = std::vector<std::uint8_t>;

// Wednesday 2024-01-03 10:00 in the service's zone: a trading day, so every order is accepted.
constexpr std::int64_t kStart = 1704247200;
constexpr std::uint64_t kMarketSeed = 20240103;
constexpr int kBarSeconds = 7200;
// Enough bars for a few download pages while each archive stays a few KiB.
constexpr int kHistoryBars = 48;
constexpr int kGold = 1;
constexpr int kSilver = 2;
constexpr int kTianjin = 3;
constexpr double kDeposit = 1000000.0;
// The alert dialog marks its deletions so (see AlertInfo::requestMark).
constexpr std::int32_t kDialogDeletionMark = 2;

[[noreturn]] void Fail(const std::string &what)
{
    std::cerr << "fuzz_seed_writer: " << what << '\n';
    std::exit(1);
}

// A seed built from a refused request would test the refusal path only; stop instead.
void Require(bool condition, const std::string &what)
{
    if (!condition)
        Fail(what);
}

void AppendBytes(Bytes &out, const void *data, std::size_t size)
{
    const auto *bytes = static_cast<const std::uint8_t *>(data);
    out.insert(out.end(), bytes, bytes + size);
}

template<WireRecord T>
void Append(Bytes &out, const T &record)
{
    unsigned char bytes[sizeof(T)];
    EncodeRecord(record, bytes);
    AppendBytes(out, bytes, sizeof bytes);
}

template<WireRecord T>
Bytes Selected(std::uint8_t selector, const T &record)
{
    Bytes out{selector};
    Append(out, record);
    return out;
}

// A list as the request port answers it: the count, then the records.
template<WireRecord T>
Bytes CountedReply(std::uint8_t selector, const std::vector<T> &records)
{
    Bytes out{selector};
    Append(out, static_cast<std::int32_t>(records.size()));
    for (const T &record : records)
        Append(out, record);
    return out;
}

template<WireRecord T>
Bytes RecordBytes(const std::vector<T> &records)
{
    Bytes out;
    for (const T &record : records)
        Append(out, record);
    return out;
}

class SeedFolder {
public:
    SeedFolder(const std::filesystem::path &root, const std::string &target)
        : m_folder(root / target)
    {
        std::filesystem::create_directories(m_folder);
    }
    ~SeedFolder() { std::cout << m_folder.filename().string() << ": " << m_count << " seeds\n"; }
    SeedFolder(const SeedFolder &) = delete;
    SeedFolder &operator=(const SeedFolder &) = delete;

    void write(const std::string &name, const Bytes &bytes)
    {
        const std::filesystem::path path = m_folder / name;
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char *>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        Require(file.good(), "cannot write " + path.string());
        ++m_count;
    }

private:
    std::filesystem::path m_folder;
    int m_count = 0;
};

class FixedClock {
public:
    std::function<std::int64_t()> function() const
    {
        return [seconds = m_seconds] {
            return seconds->load();
        };
    }
    void advance(std::int64_t seconds) { *m_seconds += seconds; }

private:
    std::shared_ptr<std::atomic<std::int64_t>> m_seconds
        = std::make_shared<std::atomic<std::int64_t>>(kStart);
};

double RoundTo(double value, int digits)
{
    const double scale = std::pow(10.0, digits);
    return std::round(value * scale) / scale;
}

QuoteBoard MarketQuotes(const Market &market)
{
    QuoteBoard quotes{};
    for (int id = 1; id <= kProductCount; ++id)
        quotes[static_cast<std::size_t>(id)] = market.quote(id);
    return quotes;
}

// The quotes the request fuzzer's own server starts from, so that seeded orders fill there too.
QuoteBoard BaseQuotes()
{
    QuoteBoard quotes{};
    for (int id = 1; id <= kProductCount; ++id) {
        const TypeInfo product = ProductRecord(id);
        Quote &quote = quotes[static_cast<std::size_t>(id)];
        quote.last = ProductBasePrice(id);
        quote.buy = quote.last + product.askSpread;
        quote.sell = quote.last - product.bidSpread;
    }
    return quotes;
}

// The product record as the product list carries it, with the current quote.
TypeInfo QuotedProduct(int productId, const QuoteBoard &quotes)
{
    TypeInfo product = ProductRecord(productId);
    const Quote &quote = quotes[static_cast<std::size_t>(productId)];
    product.lastPrice = static_cast<float>(quote.last);
    product.buyPrice = static_cast<float>(quote.buy);
    product.sellPrice = static_cast<float>(quote.sell);
    return product;
}

std::vector<TypeInfo> QuotedProducts(const QuoteBoard &quotes)
{
    std::vector<TypeInfo> products;
    for (const TypeInfo &record : ProductRecords())
        products.push_back(QuotedProduct(record.productId, quotes));
    return products;
}

Market::Options MarketOptions(const FixedClock &clock)
{
    Market::Options options;
    options.seed = kMarketSeed;
    options.barSeconds = kBarSeconds;
    options.historyBars = kHistoryBars;
    options.signalEverySteps = 2;
    options.clock = clock.function();
    return options;
}

// What the order dialogs send, through the client's own form rules, on one account.
class Desk {
public:
    Desk(Account &account, QuoteBoard quotes)
        : m_account(account)
        , m_quotes(quotes)
    {}

    const QuoteBoard &quotes() const { return m_quotes; }
    void setQuotes(const QuoteBoard &quotes) { m_quotes = quotes; }
    TypeInfo product(int productId) const { return QuotedProduct(productId, m_quotes); }
    Account &account() { return m_account; }

    // direction 1 buys, 2 sells; stops at twice the stop distance when asked for.
    OpenOrderBody marketOpen(int productId, std::int32_t direction, double lots, bool withStops)
    {
        const TypeInfo record = product(productId);
        const Quote &quote = m_quotes[static_cast<std::size_t>(productId)];
        const double price = direction == 1 ? quote.buy : quote.sell;
        const double away = 2.0 * record.stopDistance * (direction == 1 ? 1.0 : -1.0);
        MarketOpenFields fields;
        fields.productId = productId;
        fields.lots = lots;
        fields.slippageTicked = true;
        fields.stopLoss = withStops ? RoundTo(price - away, record.digits) : 0.0;
        fields.takeProfit = withStops ? RoundTo(price + away, record.digits) : 0.0;
        fields.buyLabel = quote.buy;
        fields.sellLabel = quote.sell;
        const OrderForm form = MarketOpenForm(record, fields, direction);
        Require(!form.refusal, "market open refused: " + form.refusal.value_or(""));
        Require(m_account.open(form.body, m_quotes, false) == order_result::kDone,
                "market open not filled");
        return form.body;
    }

    // A limit at twice the limit distance on the side where it waits: below for a buy.
    OpenOrderBody limitOpen(int productId, std::int32_t direction, double lots, int validityIndex)
    {
        const TypeInfo record = product(productId);
        const Quote &quote = m_quotes[static_cast<std::size_t>(productId)];
        const double side = direction == 1 ? quote.buy : quote.sell;
        LimitOpenFields fields;
        fields.productId = productId;
        fields.lots = lots;
        fields.limitPrice = RoundTo(
            side + 2.0 * record.limitDistance * (direction == 1 ? -1.0 : 1.0), record.digits);
        fields.validityIndex = validityIndex;
        const OrderForm form = LimitOpenForm(record, fields, direction);
        Require(!form.refusal, "limit open refused: " + form.refusal.value_or(""));
        Require(m_account.open(form.body, m_quotes, false) == order_result::kDone,
                "limit open not placed");
        return form.body;
    }

    ChangeStopsBody changeStops(const HoldInfo &position)
    {
        const TypeInfo record = product(position.productId);
        const StopLimits bounds = PositionStopLimits(position, record);
        const double beyond = record.stopDistance * (position.isBuy() ? 1.0 : -1.0);
        const double stopLoss = RoundTo(bounds.stopLoss - beyond, record.digits);
        const double takeProfit = RoundTo(bounds.takeProfit + beyond, record.digits);
        Require(!CheckChangedStops(position.isBuy(), stopLoss, takeProfit, bounds),
                "stops refused");
        const ChangeStopsBody body = ChangeStopsRequest(position, stopLoss, takeProfit);
        Require(m_account.changeStops(body, m_quotes, false).positionNumber[0] != 0,
                "stops not changed");
        return body;
    }

    DelegateInfo marketClose(const HoldInfo &position, double lots)
    {
        MarketCloseFields fields;
        fields.lots = lots;
        fields.closingPrice = ClosingPrice(position, product(position.productId));
        const DelegateInfo body = MarketCloseBody(position, fields);
        Require(m_account.closeAtMarket(body, m_quotes, false) == order_result::kDone,
                "market close refused");
        return body;
    }

    // Takes the profit at twice the limit distance beyond the closing price.
    DelegateInfo limitClose(const HoldInfo &position, double lots)
    {
        const TypeInfo record = product(position.productId);
        LimitCloseFields fields;
        fields.lots = lots;
        fields.price = RoundTo(ClosingPrice(position, record)
                                   + 2.0 * record.limitDistance * (position.isBuy() ? 1.0 : -1.0),
                               record.digits);
        fields.validityIndex = 1;
        const DelegateInfo body = LimitCloseBody(position, fields);
        Require(m_account.closeAtLimit(body, m_quotes, false).orderNumber[0] != 0,
                "limit close refused");
        return body;
    }

    // Moves the order a further limit distance away from the market.
    DelegateInfo changeOrder(const DelegateInfo &order)
    {
        const TypeInfo record = product(order.productId);
        OrderChangeFields fields;
        fields.lots = order.lots;
        fields.price = RoundTo(order.orderPrice + record.limitDistance * (order.isBuy() ? -1 : 1),
                               record.digits);
        fields.validityIndex = 0;
        fields.priceBounds = OrderPriceLimits(order, record);
        fields.stopBounds = OrderStopLimits(order, record, fields.price);
        const OrderChangeForm form = ChangeOrderForm(order, record, fields);
        Require(!form.refusal, "order change refused: " + form.refusal.value_or(""));
        Require(m_account.changeOrder(form.body, m_quotes, false) == order_result::kDone,
                "order not changed");
        return form.body;
    }

    DeleteOrderBody deleteOrder(const DelegateInfo &order)
    {
        Require(m_account.deleteOrder(order.number()), "order not deleted");
        return ChartDeleteBody(order);
    }

private:
    Account &m_account;
    QuoteBoard m_quotes;
};

HoldInfo PositionOf(const Account &account, int productId)
{
    for (const HoldInfo &position : account.positions()) {
        if (position.productId == productId)
            return position;
    }
    Fail("no position of product " + std::to_string(productId));
}

DelegateInfo WaitingOrderOf(const Account &account, int productId)
{
    for (const DelegateInfo &order : account.orders(false)) {
        if (order.productId == productId)
            return order;
    }
    Fail("no waiting order of product " + std::to_string(productId));
}

// An account that has opened, closed, placed, changed, cancelled and filled: every record kind
// with its fields in use.
void Trade(Market &market, Desk &desk)
{
    desk.marketOpen(kGold, 1, 2.0, false);
    desk.marketOpen(kSilver, 2, 1.0, true);
    desk.limitOpen(kGold, 1, 0.5, 0);
    desk.limitOpen(kTianjin, 2, 1.0, 1);
    desk.changeStops(PositionOf(desk.account(), kGold));
    desk.marketClose(PositionOf(desk.account(), kSilver), 0.5);
    desk.limitClose(PositionOf(desk.account(), kGold), 1.0);
    desk.changeOrder(WaitingOrderOf(desk.account(), kTianjin));
    desk.deleteOrder(WaitingOrderOf(desk.account(), kTianjin));

    // The market comes down to the waiting gold buy, which fills.
    const DelegateInfo waiting = WaitingOrderOf(desk.account(), kGold);
    Require(waiting.openOrClose == 1 && waiting.isBuy(), "the first waiting gold order is no buy");
    const TypeInfo gold = desk.product(kGold);
    market.setPrice(kGold, RoundTo(waiting.orderPrice - gold.askSpread - 0.05, gold.digits));
    desk.setQuotes(MarketQuotes(market));
    const std::size_t dealsBefore = desk.account().deals().size();
    desk.account().onTick(kGold, desk.quotes());
    Require(desk.account().deals().size() > dealsBefore, "the gold buy did not fill");
}

void WriteTradingSeeds(const std::filesystem::path &root, Market &market)
{
    FixedClock clock;
    NumberSource numbers;
    Account account("demo", kDeposit, numbers, clock.function());
    Desk desk(account, MarketQuotes(market));
    Trade(market, desk);
    const AccountSnapshot snapshot = account.snapshot();
    const std::vector<HoldInfo> summary = account.summary();

    AlertBook alerts(clock.function());
    const std::string member = "demo";
    const auto addAlert = [&](int productId, std::int32_t condition, double level) {
        AlertInfo request = ZeroRecord<AlertInfo>();
        request.level = level;
        request.condition = condition;
        request.productId = productId;
        const AlertInfo stored = alerts.add(member, 8, request);
        Require(stored.alertId > 0, "alert refused");
        return stored;
    };
    const QuoteBoard &quotes = desk.quotes();
    const AlertInfo goldAlert = addAlert(kGold, 1, RoundTo(quotes[kGold].last + 10.0, 2));
    addAlert(kSilver, 2, RoundTo(quotes[kSilver].last - 0.5, 3));
    const AlertInfo dropped = addAlert(kFirstTwoLegProduct, 1, 50.0);
    Require(alerts.remove(member, dropped.alertId), "alert not removed");
    const std::vector<AlertInfo> alertList = alerts.list(member);
    const std::vector<TypeInfo> products = QuotedProducts(quotes);

    Members members(kMarketSeed, "1234");
    const Challenge challenge = members.issueChallenge();
    const LoginRequest login = BuildLoginRequest(
        "demo", "demo", challenge.code, challenge.token,
        AdapterAddressTextFrom(std::array<std::uint8_t, 6>{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}),
        ProcessorIdTextFrom(CpuidLeaves{{0x0D, 0x756E6547, 0x6C65746E, 0x49656E69},
                                        {0x000906EA, 0x00100800, 0x7FFAFBBF, 0xBFEBFBFF},
                                        {0, 0, 0, 0}}));
    const LoginReply success = members.login(login).reply;
    Require(success.result == login_result::kSuccess, "login refused");
    LoginRequest wrongCode = login;
    wrongCode.token = members.issueChallenge().token;
    std::memcpy(wrongCode.code, "0000", 4);
    const LoginReply refused = members.login(wrongCode).reply;

    {
        SeedFolder folder(root, "fuzz_trading_records");
        folder.write("product-gold", Selected(0, products[kGold - 1]));
        folder.write("product-tianjin", Selected(0, products[kTianjin - 1]));
        folder.write("product-ratio", Selected(0, products[kFirstTwoLegProduct - 1]));
        folder.write("product-last", Selected(0, products.back()));
        folder.write("position-buy", Selected(1, PositionOf(account, kGold)));
        folder.write("position-sell", Selected(1, PositionOf(account, kSilver)));
        folder.write("position-summary", Selected(1, summary.front()));
        for (const DelegateInfo &order : snapshot.orders)
            folder.write("order-" + std::to_string(order.status) + "-" + order.number(),
                         Selected(2, order));
        for (const DealInfo &deal : snapshot.deals)
            folder.write("deal-" + deal.number(), Selected(3, deal));
        folder.write("account", Selected(4, snapshot.info));
        folder.write("alert", Selected(5, goldAlert));
        folder.write("login-reply-success", Selected(6, success));
        folder.write("login-reply-refused", Selected(6, refused));
        folder.write("login-request", Selected(7, login));
    }
    {
        SeedFolder folder(root, "fuzz_counted_list");
        folder.write("products", CountedReply(0, products));
        folder.write("products-one", CountedReply(0, std::vector<TypeInfo>{products.front()}));
        folder.write("alerts", CountedReply(1, alertList));
        folder.write("alerts-none", CountedReply(1, std::vector<AlertInfo>{}));
        folder.write("positions", CountedReply(2, snapshot.positions));
        folder.write("positions-none", CountedReply(2, std::vector<HoldInfo>{}));
        folder.write("orders", CountedReply(3, snapshot.orders));
        folder.write("orders-waiting", CountedReply(3, account.orders(false)));
        folder.write("deals", CountedReply(4, snapshot.deals));
        folder.write("summary", CountedReply(5, summary));
        folder.write("summary-none", CountedReply(5, std::vector<HoldInfo>{}));
    }
}

// Request-port bytes as the client sends them: the header, then the body the command fixes.
class RequestStream {
public:
    RequestStream()
    {
        // A zero token: the request fuzzer gives headers with an even fifth byte its live one.
        m_session.establish(SessionToken{}, 8, "demo");
    }

    void send(std::int32_t command) { header(command, 0); }
    template<WireRecord Body>
    void send(std::int32_t command, const Body &body)
    {
        header(command, sizeof body);
        Append(m_bytes, body);
    }
    template<WireRecord Body>
    void sendPreSession(std::int32_t command, const Body &body)
    {
        Require(RequestService::BodySize(command) == static_cast<int>(sizeof body),
                "body size of command " + std::to_string(command));
        Append(m_bytes, PreSessionHeader::make(command, 0));
        Append(m_bytes, body);
    }
    void sendPreSession(std::int32_t command)
    {
        Require(RequestService::BodySize(command) == 0,
                "body of command " + std::to_string(command));
        Append(m_bytes, PreSessionHeader::make(command, 0));
    }

    // The queries the client sends with bodies the server does not read.
    void queryPositions()
    {
        send(cmd::kPositions, std::array<std::uint8_t, body_size::kPositions>{});
    }
    void queryDeals() { send(cmd::kDeals, std::array<std::uint8_t, body_size::kDeals>{}); }
    void queryOrders()
    {
        std::array<std::uint8_t, body_size::kPendingOrders> body{};
        const std::int32_t waitingOnly = 1;
        std::memcpy(body.data() + 8, &waitingOnly, sizeof waitingOnly);
        send(cmd::kPendingOrders, body);
    }

    const Bytes &bytes() const { return m_bytes; }

private:
    void header(std::int32_t command, std::size_t bodySize)
    {
        Require(RequestService::BodySize(command) == static_cast<int>(bodySize),
                "body size of command " + std::to_string(command));
        Append(m_bytes, RequestHeader::make(command, m_session));
    }

    Session m_session;
    Bytes m_bytes;
};

// Each stream runs on an account of its own, as the first input of the request fuzzer's server
// would, so that the numbers it names are those that server hands out.
struct StreamDesk {
    FixedClock clock;
    NumberSource numbers;
    Account account{"demo", kDeposit, numbers, clock.function()};
    Desk desk{account, BaseQuotes()};
    RequestStream stream;
};

void WriteRequestSeeds(const std::filesystem::path &root)
{
    SeedFolder folder(root, "fuzz_server_requests");
    {
        RequestStream stream;
        stream.sendPreSession(cmd::kUpdateCheck);
        stream.sendPreSession(cmd::kPicture);
        SessionToken pictureToken;
        pictureToken.values[0] = 0x5EED;
        stream.sendPreSession(cmd::kLogin,
                              BuildLoginRequest("demo", "demo", "1234", pictureToken,
                                                AdapterAddressTextFrom(std::array<std::uint8_t, 6>{
                                                    0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}),
                                                ProcessorIdTextFrom(std::nullopt)));
        folder.write("login", stream.bytes());
    }
    {
        RequestStream stream;
        stream.send(cmd::kProducts);
        stream.send(cmd::kReadProductFlags);
        stream.send(cmd::kAlerts);
        stream.send(cmd::kPositionSummary);
        stream.queryPositions();
        stream.send(cmd::kAccount);
        stream.queryOrders();
        folder.write("main-frame-start", stream.bytes());
    }
    {
        StreamDesk s;
        s.stream.send(cmd::kOpenOrder, s.desk.marketOpen(kGold, 1, 1.0, false));
        s.stream.queryPositions();
        s.stream.send(cmd::kAccount);
        folder.write("open-market", s.stream.bytes());
    }
    {
        StreamDesk s;
        s.stream.send(cmd::kOpenOrder, s.desk.marketOpen(kSilver, 2, 0.5, true));
        s.stream.send(cmd::kPositionSummary);
        folder.write("open-market-sell-with-stops", s.stream.bytes());
    }
    {
        StreamDesk s;
        s.stream.send(cmd::kOpenOrder, s.desk.limitOpen(kGold, 1, 1.0, 0));
        s.stream.queryOrders();
        folder.write("open-limit", s.stream.bytes());
    }
    {
        StreamDesk s;
        s.stream.send(cmd::kOpenOrder, s.desk.marketOpen(kGold, 1, 1.0, false));
        s.stream.send(cmd::kClosePosition, s.desk.marketClose(PositionOf(s.account, kGold), 1.0));
        s.stream.queryDeals();
        folder.write("close-market", s.stream.bytes());
    }
    {
        StreamDesk s;
        s.stream.send(cmd::kOpenOrder, s.desk.marketOpen(kTianjin, 1, 2.0, false));
        s.stream.send(cmd::kClosePosition, s.desk.limitClose(PositionOf(s.account, kTianjin), 1.0));
        s.stream.queryOrders();
        folder.write("close-limit", s.stream.bytes());
    }
    {
        StreamDesk s;
        s.stream.send(cmd::kOpenOrder, s.desk.marketOpen(kGold, 1, 1.0, false));
        s.stream.send(cmd::kChangeStops, s.desk.changeStops(PositionOf(s.account, kGold)));
        s.stream.queryPositions();
        folder.write("change-stops", s.stream.bytes());
    }
    {
        StreamDesk s;
        s.stream.send(cmd::kOpenOrder, s.desk.limitOpen(kSilver, 2, 1.0, 1));
        s.stream.send(cmd::kChangeOrder, s.desk.changeOrder(WaitingOrderOf(s.account, kSilver)));
        s.stream.send(cmd::kDeleteOrder, s.desk.deleteOrder(WaitingOrderOf(s.account, kSilver)));
        s.stream.queryOrders();
        folder.write("change-delete-order", s.stream.bytes());
    }
    {
        StreamDesk s;
        s.stream.send(cmd::kOpenOrder, s.desk.limitOpen(kGold, 2, 1.0, 0));
        const DelegateInfo order = WaitingOrderOf(s.account, kGold);
        Require(s.account.deleteOrder(order.number()), "order not deleted");
        s.stream.send(cmd::kDeleteOrder, NumberDeleteBody(order.number()));
        folder.write("delete-order-by-number", s.stream.bytes());
    }
    {
        RequestStream stream;
        AlertInfo alert = ZeroRecord<AlertInfo>();
        alert.level = RoundTo(ProductBasePrice(kGold) + 10.0, 2);
        alert.condition = 1;
        alert.productId = kGold;
        stream.send(cmd::kAddAlert, alert);
        stream.send(cmd::kAlerts);
        AlertInfo deletion = ZeroRecord<AlertInfo>();
        deletion.alertId = 1;
        deletion.requestMark = kDialogDeletionMark;
        stream.send(cmd::kDeleteAlert, deletion);
        folder.write("alerts", stream.bytes());
    }
    {
        ProductNotificationFlags flags;
        flags.setFlag(kSilver, 0);
        flags.setFlag(kFirstTwoLegProduct, 0);
        RequestStream stream;
        stream.send(cmd::kSaveProductFlags, flags.bytes());
        stream.send(cmd::kReadProductFlags);
        folder.write("product-flags", stream.bytes());
    }
    {
        RequestStream stream;
        stream.send(cmd::kAccount);
        stream.send(cmd::kLogout);
        folder.write("logout", stream.bytes());
    }
}

BarKey KeyOf(const std::vector<KLineBar> &newestFirst, std::size_t index)
{
    Require(index < newestFirst.size(), "too few bars");
    return BarKey::of(newestFirst[index]);
}

// A product with standing signals, so a fresh download carries some.
int ProductWithSignals(const Market &market)
{
    for (int id = 1; id <= kProductCount; ++id) {
        if (!market.activeSignals(id).empty())
            return id;
    }
    Fail("no standing signals");
}

void WriteRecordSeeds(const std::filesystem::path &root, Market &market)
{
    const int signalled = ProductWithSignals(market);
    const std::vector<KLineBar> gold = market.completedBars(kGold);
    const std::vector<KLineBar> ratio = market.completedBars(kFirstTwoLegProduct);
    const std::vector<SignalRecord> signals = market.activeSignals(signalled);
    SignalMaker maker(kMarketSeed, 1);
    const SignalRecord withdrawal = maker.withdrawalOf(signals.front());
    const SignalRecord published = maker.make(market.liveBar(kTianjin), kStart);

    const auto newest = [](const std::vector<KLineBar> &bars, std::size_t count) {
        return std::vector<KLineBar>(bars.begin(),
                                     bars.begin() + static_cast<std::ptrdiff_t>(count));
    };
    KLineService service(market);
    const KLineService::Reply fresh = *service.answer(signalled, BarKey::none(), BarKey::none());
    Require(!fresh.archive.empty(), "empty download");

    {
        SeedFolder folder(root, "fuzz_stream_records");
        folder.write("bars-gold", RecordBytes(newest(gold, 6)));
        folder.write("bars-ratio", RecordBytes(newest(ratio, 4)));
        folder.write("bar-live", RecordBytes(std::vector<KLineBar>{market.liveBar(kSilver)}));
        folder.write("signals", RecordBytes(signals));
        folder.write("signal-published", RecordBytes(std::vector<SignalRecord>{published}));
        folder.write("signal-withdrawal", RecordBytes(std::vector<SignalRecord>{withdrawal}));
        // A download's order: the newest bar, the standing signals, the older bars.
        const std::vector<KLineBar> bars = market.completedBars(signalled);
        Bytes mixed = RecordBytes(newest(bars, 1));
        Bytes rest = RecordBytes(std::vector<KLineBar>(bars.begin() + 1, bars.begin() + 4));
        Bytes signalBytes = RecordBytes(signals);
        mixed.insert(mixed.end(), signalBytes.begin(), signalBytes.end());
        mixed.insert(mixed.end(), rest.begin(), rest.end());
        folder.write("download-records", mixed);
        const BarKey key = KeyOf(gold, 0);
        folder.write("key-of-bar", Bytes(key.text, key.text + sizeof key.text));
        folder.write("key-trailer",
                     Bytes(fresh.trailer.text, fresh.trailer.text + sizeof fresh.trailer.text));
    }
    {
        SeedFolder folder(root, "fuzz_kline_archive");
        const auto archiveSeed = [](const KLineService::Reply &reply) {
            Require(!reply.archive.empty(), "empty download");
            const Bytes archive = reply.archive;
            Bytes out{0};
            out.insert(out.end(), archive.begin(), archive.end());
            return out;
        };
        folder.write("archive-fresh", archiveSeed(fresh));
        folder.write("archive-from-key",
                     archiveSeed(*service.answer(kGold, KeyOf(gold, 5), BarKey::none())));
        folder.write("archive-page",
                     archiveSeed(*service.answer(kGold, BarKey::none(), KeyOf(gold, 40))));
        folder.write("archive-ratio", archiveSeed(*service.answer(
                                          kFirstTwoLegProduct, KeyOf(ratio, 3), BarKey::none())));
        // The archive of many small items that a long reply becomes.
        Bytes items{0};
        const Bytes itemRecords = RecordBytes(newest(gold, 12));
        const Bytes packed = PackHistoryArchive(itemRecords, 4);
        items.insert(items.end(), packed.begin(), packed.end());
        folder.write("archive-items", items);

        // Records that the fuzzer packs itself: selector, records per item - 1, damages.
        const auto recordSeed = [](std::uint8_t perItemLess1, std::uint8_t damages,
                                   const Bytes &records, const Bytes &tail) {
            Bytes out{1, perItemLess1, damages};
            out.insert(out.end(), records.begin(), records.end());
            out.insert(out.end(), tail.begin(), tail.end());
            return out;
        };
        const Bytes download = RecordBytes(newest(market.completedBars(signalled), 8));
        Bytes withSignals = download;
        const Bytes signalBytes = RecordBytes(signals);
        withSignals.insert(withSignals.begin() + kRecordSize, signalBytes.begin(),
                           signalBytes.end());
        folder.write("records-one-item", recordSeed(7, 0, withSignals, {}));
        folder.write("records-per-two", recordSeed(1, 0, RecordBytes(newest(ratio, 6)), {}));
        folder.write("records-damaged-once", recordSeed(2, 1, download, {0x00, 0x40, 0x10}));
        folder.write(
            "records-damaged-thrice",
            recordSeed(0, 3, download, {0x00, 0x10, 0x01, 0x01, 0x00, 0x80, 0x00, 0x70, 0xFF}));
    }
}

// The push connection of one subscriber, as the server's push hub writes it while events
// are made: at most keep bytes, or everything up to the end of the connection.
Bytes CapturePush(Market &market, std::chrono::milliseconds heartbeatPeriod,
                  const std::function<void(PushHub &)> &events, std::size_t keep = 0)
{
    PushHub hub(
        market,
        [](const SessionToken &, std::string &member) {
            member = "demo";
            return true;
        },
        heartbeatPeriod);
    Socket client;
    Socket server;
    Require(Socket::makePair(client, server), "no socket pair");
    std::thread serving(
        [&hub, socket = std::move(server)]() mutable { hub.serve(std::move(socket)); });

    Session session;
    session.establish(SessionToken{{1, 2, 3, 4}}, 8, "demo");
    const RequestHeader subscription = RequestHeader::make(cmd::kOpenPush, session);
    Require(client.sendAll(&subscription, sizeof subscription), "subscription not sent");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (hub.subscriberCount() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Require(hub.subscriberCount() == 1, "no subscription");

    // Made on a thread of their own, so a full socket never blocks the events behind it.
    std::thread making([&hub, &events] { events(hub); });
    client.setReceiveTimeout(std::chrono::milliseconds(10000));
    Bytes stream;
    std::uint8_t buffer[4096];
    while (keep == 0 || stream.size() < keep) {
        const long received = client.receive(buffer, sizeof buffer);
        if (received <= 0)
            break;
        AppendBytes(stream, buffer, static_cast<std::size_t>(received));
    }
    making.join();
    if (keep != 0) {
        Require(stream.size() >= keep, "push stream ended early");
        stream.resize(keep);
    }
    hub.dropConnections();
    serving.join();
    return stream;
}

void WritePushSeeds(const std::filesystem::path &root)
{
    FixedClock clock;
    Market market(MarketOptions(clock));
    const auto never = std::chrono::hours(1);
    SignalMaker maker(kMarketSeed, 1);
    SeedFolder folder(root, "fuzz_push_stream");

    folder.write("ticks-kicked", CapturePush(market, never, [&](PushHub &hub) {
                     market.step();
                     hub.kickMember("demo");
                 }));
    folder.write("bars-completed-shutdown", CapturePush(market, never, [&](PushHub &hub) {
                     clock.advance(kBarSeconds);
                     market.step();
                     hub.shutdown();
                 }));
    folder.write("signal-published-withdrawn", CapturePush(market, never, [&](PushHub &hub) {
                     const SignalRecord signal = maker.make(market.liveBar(kGold), kStart);
                     hub.publishSignal(signal);
                     hub.publishSignal(maker.withdrawalOf(signal));
                     hub.kickMember("demo");
                 }));
    folder.write("messages", CapturePush(market, never, [&](PushHub &hub) {
                     hub.sendMessage("Server maintenance at 22:00");
                     hub.sendMessage(ProductRecord(kGold).nameText() + "突破"
                                     + std::to_string(ProductBasePrice(kGold)));
                     hub.sendMessage("");
                     hub.shutdown();
                 }));
    folder.write("price-steered", CapturePush(market, never, [&](PushHub &hub) {
                     market.setPrice(kSilver, ProductBasePrice(kSilver) + 0.25);
                     market.setPrice(kGold, ProductBasePrice(kGold) - 3.5);
                     hub.kickMember("demo");
                 }));
    folder.write("mixed", CapturePush(market, never, [&](PushHub &hub) {
                     market.step();
                     hub.sendMessage(ProductRecord(kTianjin).nameText());
                     hub.publishSignal(maker.make(market.liveBar(kTianjin), kStart));
                     market.step();
                     hub.kickMember("demo");
                 }));
    // Two plain heartbeats, then one with its filler; how many follow depends on timing.
    const std::size_t beats = 4 + 4 + 4 + 4 + push::kFillerSize;
    folder.write("heartbeats", CapturePush(
                                   market, std::chrono::milliseconds(1), [](PushHub &) {}, beats));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: fuzz_seed_writer <corpus folder>\n";
        return 2;
    }
    const std::filesystem::path root = argv[1];
    FixedClock clock;
    Market market(MarketOptions(clock));
    WriteTradingSeeds(root, market);
    WriteRequestSeeds(root);
    WriteRecordSeeds(root, market);
    WritePushSeeds(root);
    return 0;
}
