#include "server/Account.h"

#include "core/platform/AnsiCodec.h"
#include "core/protocol/WireRecord.h"
#include "server/ServiceTime.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace qs::server {

namespace {

constexpr std::int32_t kBuy = 1;
constexpr std::int32_t kSell = 2;
constexpr std::int32_t kWaiting = 1;
constexpr std::int32_t kCancelled = 2;
constexpr std::int32_t kFilled = 3;
constexpr std::int32_t kOpens = 1;
constexpr std::int32_t kCloses = 2;
constexpr std::int32_t kDayOrder = order_validity::kTradingDay;
constexpr std::int32_t kWeekOrder = order_validity::kWeek;
constexpr std::int32_t kMarketFill = 1;
constexpr std::int32_t kLimitFill = 2;
constexpr std::int32_t kByUser = 1;
constexpr std::int32_t kBySystem = 2;
constexpr std::int64_t kSecondsPerDay = 86400;

double Scale(int digits)
{
    return std::pow(10.0, std::clamp(digits, 0, 9));
}

double RoundPrice(double value, int digits)
{
    const double scale = Scale(digits);
    return std::round(value * scale) / scale;
}

double RoundMoney(double value)
{
    return std::round(value * 100.0) / 100.0;
}

// Prices arrive as 32-bit floats; two prices closer than this are the same price.
double Tolerance(int digits)
{
    return 0.001 / Scale(digits);
}

double Notional(const TypeInfo &product, double price, double lots)
{
    return price * Scale(product.digits) * product.pointValue * lots;
}

double MarginOf(const TypeInfo &product, double price, double lots)
{
    if (product.marginMethod == 1)
        return RoundMoney(Notional(product, price, lots) * product.marginValue / 100.0);
    return RoundMoney(product.marginValue * lots);
}

double CommissionOf(const TypeInfo &product, double price, double lots)
{
    if (product.commissionMethod == 1)
        return RoundMoney(Notional(product, price, lots) * product.commissionValue / 10000.0);
    return RoundMoney(product.commissionValue * lots);
}

double ProfitOf(const TypeInfo &product, std::int32_t side, double openPrice, double closePrice,
                double lots)
{
    const double diff = side == kBuy ? closePrice - openPrice : openPrice - closePrice;
    return RoundMoney(diff * Scale(product.digits) * product.pointValue * lots);
}

double LotUnit(const TypeInfo &product)
{
    const double smallest = 1.0 / Scale(product.lotDecimals);
    return product.lotStep > 0 ? product.lotStep * smallest : smallest;
}

bool IsMultiple(double value, double unit)
{
    const double units = value / unit;
    return std::fabs(units - std::round(units)) <= 1e-4;
}

double Normalise(double lots, const TypeInfo &product)
{
    return std::round(lots * Scale(product.lotDecimals)) / Scale(product.lotDecimals);
}

bool LotsForOpen(const TypeInfo &product, double lots, double &normalised)
{
    if (!std::isfinite(lots) || lots <= 0 || lots < product.minLots - 1e-6
        || lots > product.maxLots + 1e-6 || !IsMultiple(lots, LotUnit(product)))
        return false;
    normalised = Normalise(lots, product);
    return normalised > 0;
}

bool LotsForClose(const TypeInfo &product, double lots, double held, double &normalised)
{
    if (!std::isfinite(lots) || lots <= 0 || lots > held + 1e-6
        || !IsMultiple(lots, 1.0 / Scale(product.lotDecimals)))
        return false;
    normalised = std::min(Normalise(lots, product), held);
    return normalised > 0;
}

double SidePrice(const Quote &quote, std::int32_t side, int digits)
{
    return RoundPrice(side == kBuy ? quote.buy : quote.sell, digits);
}

std::int32_t OtherSide(std::int32_t side)
{
    return side == kBuy ? kSell : kBuy;
}

std::int32_t TriggerKind(std::int32_t side, double price, double sidePrice)
{
    if (side == kBuy)
        return price <= sidePrice ? 1 : 3;
    return price >= sidePrice ? 2 : 4;
}

bool Reached(std::int32_t kind, const Quote &quote, double price, int digits)
{
    const double tolerance = Tolerance(digits);
    const double buy = RoundPrice(quote.buy, digits);
    const double sell = RoundPrice(quote.sell, digits);
    switch (kind) {
    case 1:
        return buy <= price + tolerance;
    case 2:
        return sell >= price - tolerance;
    case 3:
        return buy >= price - tolerance;
    case 4:
        return sell <= price + tolerance;
    default:
        return false;
    }
}

// Stops of an order or position of the given side entered at entry; 0 means none.
bool StopsFit(std::int32_t side, double entry, double stopLoss, double takeProfit, double distance,
              int digits)
{
    const double tolerance = Tolerance(digits);
    if (side == kBuy) {
        if (stopLoss > 0 && entry - stopLoss < distance - tolerance)
            return false;
        if (takeProfit > 0 && takeProfit - entry < distance - tolerance)
            return false;
    } else {
        if (stopLoss > 0 && stopLoss - entry < distance - tolerance)
            return false;
        if (takeProfit > 0 && entry - takeProfit < distance - tolerance)
            return false;
    }
    return true;
}

// Where a closing order at its limit price leaves the position, as the limit-close window shows
// its stop bounds: a closing sell at the price less the sell spread, a closing buy at the price
// plus the buy spread.
double ClosingEntry(std::int32_t side, double price, const TypeInfo &product)
{
    const double spread = side == kBuy ? product.askSpread : -product.bidSpread;
    return RoundPrice(price + spread, product.digits);
}

// A typed stop: not a number is refused, 0 or less means none.
bool ReadStop(double typed, int digits, double &stop)
{
    if (!std::isfinite(typed))
        return false;
    stop = typed > 0 ? RoundPrice(typed, digits) : 0.0;
    return true;
}

bool IsTradable(int productId)
{
    return productId >= 1 && productId <= kProductCount && ProductRecord(productId).tradable == 1;
}

std::int64_t DayOf(std::int64_t utcSeconds)
{
    const std::int64_t local = utcSeconds + kServiceUtcOffsetSeconds;
    return local >= 0 ? local / kSecondsPerDay : -((-local + kSecondsPerDay - 1) / kSecondsPerDay);
}

// Day 0 (1970-01-01) was a Thursday: weeks start on Mondays.
std::int64_t WeekOf(std::int64_t day)
{
    const std::int64_t shifted = day + 3;
    return shifted >= 0 ? shifted / 7 : -((-shifted + 6) / 7);
}

std::string TimeText(std::int64_t utcSeconds)
{
    const ServiceTime t = ServiceTime::at(utcSeconds);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

template<std::size_t N>
void CopyText(char (&field)[N], const std::string &ascii)
{
    std::memset(field, 0, N);
    std::memcpy(field, ascii.data(), std::min(ascii.size(), N - 1));
}

// The catalogue's GBK name, byte for byte.
template<std::size_t N>
void CopyProductName(char (&field)[N], const TypeInfo &product)
{
    static_assert(N >= sizeof product.name);
    std::memset(field, 0, N);
    std::memcpy(field, product.name, sizeof product.name - 1);
}

} // namespace

Account::Account(std::string member, double deposit, NumberSource &numbers, Clock clock)
    : m_member(std::move(member))
    , m_deposit(deposit)
    , m_numbers(numbers)
    , m_clock(std::move(clock))
    , m_balance(deposit)
{
    m_day = today();
}

void Account::reset()
{
    std::lock_guard lock(m_mutex);
    m_balance = m_deposit;
    m_closedProfitToday = 0;
    m_commissionToday = 0;
    m_day = today();
    m_positions.clear();
    m_orders.clear();
    m_deals.clear();
}

std::int64_t Account::now() const
{
    return m_clock ? m_clock() : SystemSeconds();
}

std::int64_t Account::today() const
{
    return DayOf(now());
}

void Account::rollDay() const
{
    const std::int64_t day = today();
    if (day == m_day)
        return;
    m_day = day;
    m_closedProfitToday = 0;
    m_commissionToday = 0;
}

void Account::expireOrders()
{
    const std::int64_t day = today();
    for (Order &order : m_orders) {
        if (order.record.status != kWaiting)
            continue;
        const bool lapsed = order.record.validity == kWeekOrder
                                ? WeekOf(order.placedDay) != WeekOf(day)
                                : order.placedDay != day;
        if (lapsed)
            finish(order, kCancelled);
    }
    // Finished orders are listed for the day they finished on, and a bounded number of them.
    std::erase_if(m_orders, [day](const Order &order) {
        return order.record.status != kWaiting && order.finishedDay != day;
    });
    std::size_t finished = static_cast<std::size_t>(
        std::count_if(m_orders.begin(), m_orders.end(),
                      [](const Order &order) { return order.record.status != kWaiting; }));
    for (auto it = m_orders.begin(); finished > kMaxFinishedOrders && it != m_orders.end();) {
        if (it->record.status != kWaiting) {
            it = m_orders.erase(it);
            --finished;
        } else {
            ++it;
        }
    }
}

double Account::usableFunds() const
{
    double taken = 0;
    for (const HoldInfo &position : m_positions)
        taken += position.margin;
    for (const Order &order : m_orders) {
        if (order.record.status == kWaiting)
            taken += order.frozenMargin + order.frozenCommission;
    }
    return RoundMoney(m_balance - taken);
}

double Account::floatingProfit(const QuoteBoard &quotes) const
{
    double total = 0;
    for (const HoldInfo &position : m_positions) {
        if (position.productId < 1 || position.productId > kProductCount)
            continue;
        const TypeInfo product = ProductRecord(position.productId);
        const Quote &quote = quotes[static_cast<std::size_t>(position.productId)];
        const double closePrice = SidePrice(quote, OtherSide(position.side), product.digits);
        total
            += ProfitOf(product, position.side, position.openPrice, closePrice, position.lotsHeld);
    }
    return total;
}

double Account::heldLots(int productId) const
{
    double lots = 0;
    for (const HoldInfo &position : m_positions) {
        if (position.productId == productId)
            lots += position.lotsHeld;
    }
    return lots;
}

HoldInfo *Account::findPosition(const std::string &number)
{
    if (number.empty())
        return nullptr;
    for (HoldInfo &position : m_positions) {
        if (position.status == 1 && position.number() == number)
            return &position;
    }
    return nullptr;
}

Account::Order *Account::findWaitingOrder(const std::string &number)
{
    if (number.empty())
        return nullptr;
    for (Order &order : m_orders) {
        if (order.record.status == kWaiting && order.record.number() == number)
            return &order;
    }
    return nullptr;
}

void Account::recordDeal(const DealInfo &deal)
{
    m_deals.push_back(deal);
    if (m_deals.size() > kMaxDeals)
        m_deals.erase(m_deals.begin(),
                      m_deals.begin() + static_cast<std::ptrdiff_t>(m_deals.size() - kMaxDeals));
}

void Account::openPosition(const TypeInfo &product, std::int32_t side, double lots, double stopLoss,
                           double takeProfit, const Fill &fill)
{
    const double commission = CommissionOf(product, fill.price, lots);
    HoldInfo position = ZeroRecord<HoldInfo>();
    const std::string number = m_numbers.nextPosition();
    const std::string time = TimeText(now());
    CopyText(position.positionNumber, number);
    position.productId = product.productId;
    CopyProductName(position.productName, product);
    position.side = side;
    position.lotsOpened = lots;
    position.lotsHeld = lots;
    position.openPrice = fill.price;
    position.stopLoss = stopLoss;
    position.takeProfit = takeProfit;
    position.margin = MarginOf(product, fill.price, lots);
    CopyText(position.openTime, time);
    position.commission1 = commission;
    position.status = 1;
    m_positions.push_back(position);

    rollDay();
    m_balance = RoundMoney(m_balance - commission);
    m_commissionToday = RoundMoney(m_commissionToday + commission);

    DealInfo deal = ZeroRecord<DealInfo>();
    CopyText(deal.dealNumber, m_numbers.nextDeal());
    std::memcpy(deal.carried21 + 3, &product.productId, sizeof product.productId); // offset 24
    CopyProductName(deal.productName, product);
    deal.side = side;
    deal.lots = lots;
    deal.price = fill.price;
    CopyText(deal.orderNumber, fill.orderNumber);
    CopyText(deal.positionNumber, number);
    deal.openOrClose = kOpens;
    deal.fillKind = fill.fillKind;
    deal.byUser = fill.byUser;
    CopyText(deal.dealTime, time);
    recordDeal(deal);
}

void Account::closeLots(std::size_t index, double lots, const Fill &fill)
{
    HoldInfo &position = m_positions[index];
    const TypeInfo product = ProductRecord(position.productId);
    const bool whole = lots >= position.lotsHeld - 1e-9;
    const double profit = ProfitOf(product, position.side, position.openPrice, fill.price, lots);
    const double commission
        = product.commissionCharging == 1 ? 0.0 : CommissionOf(product, fill.price, lots);

    rollDay();
    m_balance = RoundMoney(m_balance + profit - commission);
    m_closedProfitToday = RoundMoney(m_closedProfitToday + profit);
    m_commissionToday = RoundMoney(m_commissionToday + commission);

    DealInfo deal = ZeroRecord<DealInfo>();
    CopyText(deal.dealNumber, m_numbers.nextDeal());
    std::memcpy(deal.carried21 + 3, &position.productId, sizeof position.productId);
    CopyProductName(deal.productName, product);
    deal.side = OtherSide(position.side);
    deal.lots = whole ? position.lotsHeld : lots;
    deal.price = fill.price;
    deal.profit = profit;
    CopyText(deal.orderNumber, fill.orderNumber);
    std::memcpy(deal.positionNumber, position.positionNumber, sizeof deal.positionNumber);
    deal.openOrClose = kCloses;
    deal.fillKind = fill.fillKind;
    deal.byUser = fill.byUser;
    CopyText(deal.dealTime, TimeText(now()));
    recordDeal(deal);

    const std::string number = position.number();
    if (whole) {
        m_positions.erase(m_positions.begin() + static_cast<std::ptrdiff_t>(index));
        cancelClosingOrders(number, 0);
        return;
    }
    const double released = RoundMoney(position.margin * lots / position.lotsHeld);
    position.margin = RoundMoney(position.margin - released);
    position.lotsHeld = Normalise(position.lotsHeld - lots, product);
    position.commission2 = RoundMoney(position.commission2 + commission);
    cancelClosingOrders(number, position.lotsHeld);
}

void Account::cancelClosingOrders(const std::string &positionNumber, double lotsLeft)
{
    for (Order &order : m_orders) {
        if (order.record.status == kWaiting && order.record.openOrClose != kOpens
            && order.record.relatedPositionText() == positionNumber
            && order.record.lots > lotsLeft + 1e-9)
            finish(order, kCancelled);
    }
}

void Account::finish(Order &order, std::int32_t status)
{
    order.record.status = status;
    order.frozenMargin = 0;
    order.frozenCommission = 0;
    order.finishedDay = today();
}

std::int32_t Account::open(const OpenOrderBody &body, const QuoteBoard &quotes, bool marketClosed)
{
    namespace r = order_result;
    if (!IsTradable(body.productId))
        return r::kInvalidPrice;
    if (marketClosed)
        return r::kMarketClosed;
    if (body.kind != order_kind::kMarket && body.kind != order_kind::kLimit)
        return r::kInvalidPrice;
    const TypeInfo product = ProductRecord(body.productId);
    const int digits = product.digits;

    std::lock_guard lock(m_mutex);
    expireOrders();
    double lots = 0;
    if (!LotsForOpen(product, body.lots, lots))
        return r::kRefused;
    const std::int32_t side = body.direction == kBuy ? kBuy : kSell;
    const double sidePrice
        = SidePrice(quotes[static_cast<std::size_t>(body.productId)], side, digits);
    if (sidePrice <= 0 || !std::isfinite(body.price) || body.price <= 0)
        return r::kInvalidPrice;
    const double typed = RoundPrice(body.price, digits);

    double entry = sidePrice;
    if (body.kind == order_kind::kMarket) {
        const double slippage = std::isfinite(body.slippage) ? std::max(0.0f, body.slippage) : 0.0;
        if (std::fabs(typed - sidePrice) > slippage + Tolerance(digits))
            return r::kPriceMoved;
    } else {
        if (std::fabs(typed - sidePrice) < product.limitDistance - Tolerance(digits))
            return r::kLimitTooNear;
        entry = typed;
    }

    double stopLoss = 0;
    double takeProfit = 0;
    if (!ReadStop(body.stopLoss, digits, stopLoss)
        || !ReadStop(body.takeProfit, digits, takeProfit))
        return r::kStopTooNear;
    if (!StopsFit(side, entry, stopLoss, takeProfit, product.stopDistance, digits))
        return r::kStopTooNear;

    double pendingLots = 0;
    for (const Order &order : m_orders) {
        if (order.record.status == kWaiting && order.record.openOrClose == kOpens
            && order.record.productId == body.productId)
            pendingLots += order.record.lots;
    }
    if (heldLots(body.productId) + pendingLots + lots > product.maxPosition + 1e-6)
        return r::kRefused;

    const double margin = MarginOf(product, entry, lots);
    const double commission = CommissionOf(product, entry, lots);
    if (margin + commission > usableFunds() + floatingProfit(quotes) + 1e-9)
        return r::kNoMargin;

    const std::string orderNumber = m_numbers.nextOrder();
    if (body.kind == order_kind::kMarket) {
        openPosition(product, side, lots, stopLoss, takeProfit,
                     Fill{entry, kMarketFill, kByUser, orderNumber});
        return r::kDone;
    }

    Order order = newPendingOrder(
        orderNumber, product,
        {side, lots, entry, stopLoss, takeProfit, sidePrice, kOpens, body.validity});
    order.frozenMargin = margin;
    order.frozenCommission = commission;
    m_orders.push_back(order);
    return r::kDone;
}

Account::Order Account::newPendingOrder(const std::string &orderNumber, const TypeInfo &product,
                                        const PendingTerms &terms) const
{
    Order order;
    DelegateInfo &record = order.record;
    record = ZeroRecord<DelegateInfo>();
    CopyText(record.orderNumber, orderNumber);
    record.productId = product.productId;
    CopyProductName(record.productName, product);
    record.side = terms.side;
    record.lots = terms.lots;
    record.orderPrice = terms.price;
    record.stopLoss = terms.stopLoss;
    record.takeProfit = terms.takeProfit;
    record.triggerKind = TriggerKind(terms.side, terms.price, terms.sidePrice);
    record.openOrClose = terms.openOrClose;
    record.validity = terms.validity == kWeekOrder ? kWeekOrder : kDayOrder;
    CopyText(record.orderTime, TimeText(now()));
    record.status = kWaiting;
    order.placedDay = today();
    return order;
}

std::int32_t Account::closeAtMarket(const DelegateInfo &body, const QuoteBoard &quotes,
                                    bool marketClosed)
{
    namespace r = order_result;
    std::lock_guard lock(m_mutex);
    expireOrders();
    HoldInfo *position = findPosition(body.relatedPositionText());
    if (position == nullptr || position->productId != body.productId)
        return r::kUnknown;
    if (marketClosed)
        return r::kMarketClosed;
    if (body.side != OtherSide(position->side))
        return r::kUnknown;
    const TypeInfo product = ProductRecord(position->productId);
    const int digits = product.digits;
    double lots = 0;
    if (!LotsForClose(product, body.lots, position->lotsHeld, lots))
        return r::kUnknown;
    const double closePrice = SidePrice(quotes[static_cast<std::size_t>(position->productId)],
                                        OtherSide(position->side), digits);
    if (closePrice <= 0 || !std::isfinite(body.orderPrice) || body.orderPrice <= 0)
        return r::kBadPrice;
    // The closing request carries its allowed slippage where an order keeps its stop-loss.
    const double slippage = std::isfinite(body.stopLoss) ? std::max(0.0, body.stopLoss) : 0.0;
    if (std::fabs(RoundPrice(body.orderPrice, digits) - closePrice) > slippage + Tolerance(digits))
        return r::kPriceMoved;

    const auto index = static_cast<std::size_t>(position - m_positions.data());
    closeLots(index, lots, Fill{closePrice, kMarketFill, kByUser, m_numbers.nextOrder()});
    return r::kDone;
}

DelegateInfo Account::closeAtLimit(const DelegateInfo &body, const QuoteBoard &quotes,
                                   bool marketClosed)
{
    namespace r = order_result;
    DelegateInfo refusal = body;
    std::memset(refusal.orderNumber, 0, sizeof refusal.orderNumber);
    auto refuse = [&refusal](std::int32_t code) {
        refusal.status = code;
        return refusal;
    };

    std::lock_guard lock(m_mutex);
    expireOrders();
    HoldInfo *position = findPosition(body.relatedPositionText());
    if (position == nullptr || position->productId != body.productId)
        return refuse(r::kUnknown);
    if (marketClosed)
        return refuse(r::kMarketClosed);
    const std::int32_t side = OtherSide(position->side);
    if (body.side != side)
        return refuse(r::kUnknown);
    const TypeInfo product = ProductRecord(position->productId);
    const int digits = product.digits;
    double lots = 0;
    if (!LotsForClose(product, body.lots, position->lotsHeld, lots))
        return refuse(r::kUnknown);
    const double sidePrice
        = SidePrice(quotes[static_cast<std::size_t>(position->productId)], side, digits);
    if (sidePrice <= 0 || !std::isfinite(body.orderPrice) || body.orderPrice <= 0)
        return refuse(r::kBadPrice);
    const double price = RoundPrice(body.orderPrice, digits);
    if (std::fabs(price - sidePrice) < product.limitDistance - Tolerance(digits))
        return refuse(r::kBadPrice);
    double stopLoss = 0;
    double takeProfit = 0;
    if (!ReadStop(body.stopLoss, digits, stopLoss) || !ReadStop(body.takeProfit, digits, takeProfit)
        || !StopsFit(side, ClosingEntry(side, price, product), stopLoss, takeProfit,
                     product.stopDistance, digits))
        return refuse(r::kStopTooNear);

    const std::string positionNumber = position->number();
    // A new limit close replaces the waiting one of the same position, as the client expects.
    cancelClosingOrders(positionNumber, -1.0);

    Order order = newPendingOrder(
        m_numbers.nextOrder(), product,
        {side, lots, price, stopLoss, takeProfit, sidePrice, kCloses, body.validity});
    CopyText(order.record.relatedPosition, positionNumber);
    m_orders.push_back(order);
    return order.record;
}

HoldInfo Account::changeStops(const ChangeStopsBody &body, const QuoteBoard &quotes,
                              bool marketClosed)
{
    const HoldInfo refusal = ZeroRecord<HoldInfo>();
    if (marketClosed)
        return refusal;
    std::lock_guard lock(m_mutex);
    HoldInfo *position = findPosition(ReadAnsiField(body.positionNumber));
    if (position == nullptr)
        return refusal;
    const TypeInfo product = ProductRecord(position->productId);
    const int digits = product.digits;
    double stopLoss = 0;
    double takeProfit = 0;
    if (!ReadStop(body.stopLoss, digits, stopLoss)
        || !ReadStop(body.takeProfit, digits, takeProfit))
        return refusal;
    // Measured, as the client shows it, from the live price of the position's own side.
    const double live
        = SidePrice(quotes[static_cast<std::size_t>(position->productId)], position->side, digits);
    if (live <= 0
        || !StopsFit(position->side, live, stopLoss, takeProfit, product.stopDistance, digits))
        return refusal;
    position->stopLoss = stopLoss;
    position->takeProfit = takeProfit;
    return *position;
}

std::int32_t Account::changeOrder(const DelegateInfo &body, const QuoteBoard &quotes,
                                  bool marketClosed)
{
    namespace r = order_result;
    std::lock_guard lock(m_mutex);
    expireOrders();
    Order *order = findWaitingOrder(body.number());
    if (order == nullptr || order->record.productId != body.productId)
        return r::kUnknown;
    if (marketClosed)
        return r::kMarketClosed;
    const TypeInfo product = ProductRecord(order->record.productId);
    const int digits = product.digits;
    const std::int32_t side = order->record.side;
    const bool opens = order->record.openOrClose == kOpens;

    double lots = 0;
    if (opens) {
        if (!LotsForOpen(product, body.lots, lots))
            return r::kUnknown;
    } else {
        const HoldInfo *position = findPosition(order->record.relatedPositionText());
        if (position == nullptr || !LotsForClose(product, body.lots, position->lotsHeld, lots))
            return r::kUnknown;
    }
    const double sidePrice
        = SidePrice(quotes[static_cast<std::size_t>(order->record.productId)], side, digits);
    if (sidePrice <= 0 || !std::isfinite(body.orderPrice) || body.orderPrice <= 0)
        return r::kBadPrice;
    const double price = RoundPrice(body.orderPrice, digits);
    if (std::fabs(price - sidePrice) < product.limitDistance - Tolerance(digits))
        return r::kBadPrice;
    const double entry = opens ? price : ClosingEntry(side, price, product);
    double stopLoss = 0;
    double takeProfit = 0;
    if (!ReadStop(body.stopLoss, digits, stopLoss) || !ReadStop(body.takeProfit, digits, takeProfit)
        || !StopsFit(side, entry, stopLoss, takeProfit, product.stopDistance, digits))
        return r::kStopTooNear;

    double margin = 0;
    double commission = 0;
    if (opens) {
        margin = MarginOf(product, price, lots);
        commission = CommissionOf(product, price, lots);
        const double free = usableFunds() + order->frozenMargin + order->frozenCommission
                            + floatingProfit(quotes);
        if (margin + commission > free + 1e-9)
            return r::kNoMargin;
    }

    DelegateInfo &record = order->record;
    record.lots = lots;
    record.orderPrice = price;
    record.stopLoss = stopLoss;
    record.takeProfit = takeProfit;
    record.validity = body.validity == kWeekOrder ? kWeekOrder : kDayOrder;
    record.triggerKind = TriggerKind(side, price, sidePrice);
    order->frozenMargin = margin;
    order->frozenCommission = commission;
    return r::kDone;
}

bool Account::deleteOrder(const std::string &orderNumber)
{
    std::lock_guard lock(m_mutex);
    expireOrders();
    Order *order = findWaitingOrder(orderNumber);
    if (order == nullptr)
        return false;
    finish(*order, kCancelled);
    return true;
}

void Account::fillOrder(Order &order, const TypeInfo &product, const Quote &quote,
                        const QuoteBoard &quotes)
{
    const DelegateInfo record = order.record;
    const double price = SidePrice(quote, record.side, product.digits);
    const Fill fill{price, kLimitFill, kBySystem, record.number()};
    if (record.openOrClose == kOpens) {
        finish(order, kFilled); // releases what the order froze before the margin is taken
        const double needed
            = MarginOf(product, price, record.lots) + CommissionOf(product, price, record.lots);
        if (needed > usableFunds() + floatingProfit(quotes) + 1e-9) {
            order.record.status = kCancelled;
            return;
        }
        openPosition(product, record.side, record.lots, record.stopLoss, record.takeProfit, fill);
        return;
    }
    HoldInfo *position = findPosition(record.relatedPositionText());
    if (position == nullptr) {
        finish(order, kCancelled);
        return;
    }
    finish(order, kFilled);
    const double lots = std::min(record.lots, position->lotsHeld);
    closeLots(static_cast<std::size_t>(position - m_positions.data()), lots, fill);
}

void Account::onTick(int productId, const QuoteBoard &quotes)
{
    if (productId < 1 || productId > kProductCount)
        return;
    const TypeInfo product = ProductRecord(productId);
    const Quote &quote = quotes[static_cast<std::size_t>(productId)];
    const int digits = product.digits;
    if (quote.buy <= 0 || quote.sell <= 0)
        return;

    std::lock_guard lock(m_mutex);
    expireOrders();
    // Fills may append orders' deals and cancel others; walk by number, never by iterator.
    std::vector<std::string> reached;
    for (const Order &order : m_orders) {
        if (order.record.status == kWaiting && order.record.productId == productId
            && Reached(order.record.triggerKind, quote, order.record.orderPrice, digits))
            reached.push_back(order.record.number());
    }
    for (const std::string &number : reached) {
        if (Order *order = findWaitingOrder(number))
            fillOrder(*order, product, quote, quotes);
    }

    std::vector<std::string> stopped;
    const double tolerance = Tolerance(digits);
    for (const HoldInfo &position : m_positions) {
        if (position.status != 1 || position.productId != productId)
            continue;
        const double closePrice = SidePrice(quote, OtherSide(position.side), digits);
        const bool buy = position.side == kBuy;
        const bool profitTaken = position.takeProfit > 0
                                 && (buy ? closePrice >= position.takeProfit - tolerance
                                         : closePrice <= position.takeProfit + tolerance);
        const bool stoppedOut = position.stopLoss > 0
                                && (buy ? closePrice <= position.stopLoss + tolerance
                                        : closePrice >= position.stopLoss - tolerance);
        if (profitTaken || stoppedOut)
            stopped.push_back(position.number());
    }
    for (const std::string &number : stopped) {
        HoldInfo *position = findPosition(number);
        if (position == nullptr)
            continue;
        const double closePrice = SidePrice(quote, OtherSide(position->side), digits);
        closeLots(static_cast<std::size_t>(position - m_positions.data()), position->lotsHeld,
                  Fill{closePrice, kLimitFill, kBySystem, m_numbers.nextOrder()});
    }
}

std::vector<HoldInfo> Account::positions() const
{
    std::lock_guard lock(m_mutex);
    return m_positions;
}

std::vector<HoldInfo> Account::summary() const
{
    std::lock_guard lock(m_mutex);
    std::vector<HoldInfo> rows;
    for (const HoldInfo &position : m_positions) {
        auto row = std::find_if(rows.begin(), rows.end(), [&position](const HoldInfo &r) {
            return r.productId == position.productId && r.side == position.side;
        });
        if (row == rows.end()) {
            HoldInfo fresh = ZeroRecord<HoldInfo>();
            fresh.productId = position.productId;
            std::memcpy(fresh.productName, position.productName, sizeof fresh.productName);
            fresh.side = position.side;
            fresh.status = 1;
            rows.push_back(fresh);
            row = rows.end() - 1;
        }
        // The open price is the lot-weighted average.
        const double lots = row->lotsHeld + position.lotsHeld;
        if (lots > 0)
            row->openPrice
                = (row->openPrice * row->lotsHeld + position.openPrice * position.lotsHeld) / lots;
        row->lotsOpened += position.lotsOpened;
        row->lotsHeld = lots;
        row->margin = RoundMoney(row->margin + position.margin);
        row->deferralFee = RoundMoney(row->deferralFee + position.deferralFee);
        row->commission1 = RoundMoney(row->commission1 + position.commission1);
        row->commission2 = RoundMoney(row->commission2 + position.commission2);
    }
    return rows;
}

std::vector<DelegateInfo> Account::orders(bool withFinishedToday) const
{
    std::lock_guard lock(m_mutex);
    const std::int64_t day = today();
    std::vector<DelegateInfo> list;
    for (const Order &order : m_orders) {
        if (order.record.status == kWaiting || (withFinishedToday && order.finishedDay == day))
            list.push_back(order.record);
    }
    return list;
}

std::vector<DealInfo> Account::deals() const
{
    std::lock_guard lock(m_mutex);
    return m_deals;
}

AccountInfo Account::info() const
{
    std::lock_guard lock(m_mutex);
    rollDay();
    AccountInfo info = ZeroRecord<AccountInfo>();
    WriteAnsiField(info.accountName, m_member);
    info.capitalBase = 0;
    info.depositsTotal = m_deposit;
    info.usableFunds = usableFunds();
    info.closedProfitToday = m_closedProfitToday;
    info.commissionToday = m_commissionToday;
    for (const HoldInfo &position : m_positions)
        info.occupiedMargin += position.margin;
    for (const Order &order : m_orders) {
        if (order.record.status == kWaiting) {
            info.frozenMargin += order.frozenMargin;
            info.frozenCommission += order.frozenCommission;
        }
    }
    info.occupiedMargin = RoundMoney(info.occupiedMargin);
    info.frozenMargin = RoundMoney(info.frozenMargin);
    info.frozenCommission = RoundMoney(info.frozenCommission);
    return info;
}

AccountSnapshot Account::snapshot() const
{
    AccountSnapshot snapshot;
    snapshot.info = info();
    snapshot.positions = positions();
    snapshot.orders = orders(true);
    snapshot.deals = deals();
    return snapshot;
}

} // namespace qs::server
