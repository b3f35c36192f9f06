#include "server/RequestService.h"

#include "server/SocketIo.h"

#include "core/platform/AnsiCodec.h"
#include "core/protocol/AlertInfo.h"
#include "core/protocol/Commands.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/LoginRecords.h"
#include "core/protocol/OrderRecords.h"
#include "core/protocol/RequestHeader.h"
#include "core/protocol/TypeInfo.h"
#include "core/protocol/WireRecord.h"
#include "server/AccountBook.h"
#include "server/AlertBook.h"
#include "server/Members.h"
#include "server/PictureMaker.h"
#include "server/ProductCatalog.h"
#include "server/ProductFlagBook.h"
#include "server/RequestSteering.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace qs::server {

namespace {

constexpr std::size_t kHeaderSize = sizeof(RequestHeader);
constexpr std::size_t kOrderNumberBytes = 21;

template<WireRecord T>
void Append(std::vector<std::uint8_t> &out, const T &value)
{
    const std::size_t at = out.size();
    out.resize(at + sizeof(T));
    std::memcpy(out.data() + at, &value, sizeof(T));
}

template<WireRecord T>
std::vector<std::uint8_t> ListOf(const std::vector<T> &records)
{
    std::vector<std::uint8_t> out;
    out.reserve(4 + records.size() * sizeof(T));
    Append(out, static_cast<std::int32_t>(records.size()));
    for (const T &record : records)
        Append(out, record);
    return out;
}

template<WireRecord T>
std::vector<std::uint8_t> BytesOf(const T &value)
{
    std::vector<std::uint8_t> out;
    Append(out, value);
    return out;
}

template<WireRecord T>
T BodyAs(const std::vector<std::uint8_t> &body)
{
    T value = ZeroRecord<T>();
    std::memcpy(&value, body.data(), std::min(body.size(), sizeof(T)));
    return value;
}

std::int32_t Int32At(const std::uint8_t *bytes)
{
    std::int32_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// The product list with each product's current quote, so a client has prices before its first
// tick.
std::vector<TypeInfo> QuotedProducts(const QuoteBoard &quotes)
{
    std::vector<TypeInfo> products = ProductRecords();
    for (TypeInfo &product : products) {
        const Quote &quote = quotes[static_cast<std::size_t>(product.productId)];
        product.lastPrice = static_cast<float>(quote.last);
        product.buyPrice = static_cast<float>(quote.buy);
        product.sellPrice = static_cast<float>(quote.sell);
    }
    return products;
}

} // namespace

RequestService::RequestService(Members &members, AccountBook &accounts, AlertBook &alerts,
                               ProductFlagBook &flags, RequestSteering &steering,
                               const std::atomic<bool> &marketClosed, std::int32_t clientVersion,
                               MemberHook sessionReplaced)
    : m_members(members)
    , m_accounts(accounts)
    , m_alerts(alerts)
    , m_flags(flags)
    , m_steering(steering)
    , m_marketClosed(marketClosed)
    , m_clientVersion(clientVersion)
    , m_sessionReplaced(std::move(sessionReplaced))
{}

int RequestService::BodySize(std::int32_t command)
{
    switch (command) {
    case cmd::kProducts:
    case cmd::kLogout:
    case cmd::kPicture:
    case cmd::kUpdateCheck:
    case cmd::kAlerts:
    case cmd::kPositionSummary:
    case cmd::kAccount:
    case cmd::kReadProductFlags:
        return 0;
    case cmd::kLogin:
        return body_size::kLogin;
    case cmd::kAddAlert:
    case cmd::kDeleteAlert:
        return body_size::kAlert;
    case cmd::kOpenOrder:
        return body_size::kOpenOrder;
    case cmd::kChangeStops:
        return body_size::kChangeStops;
    case cmd::kChangeOrder:
        return body_size::kChangeOrder;
    case cmd::kDeleteOrder:
        return body_size::kDeleteOrder;
    case cmd::kPositions:
        return body_size::kPositions;
    case cmd::kPendingOrders:
        return body_size::kPendingOrders;
    case cmd::kClosePosition:
        return body_size::kClosePosition;
    case cmd::kDeals:
        return body_size::kDeals;
    case cmd::kSaveProductFlags:
        return body_size::kProductFlags;
    default:
        return -1;
    }
}

void RequestService::serve(Socket socket)
{
    const int connection = m_steering.nextConnection();
    for (;;) {
        std::uint8_t header[kHeaderSize];
        if (!ReceiveAll(socket, header, sizeof header))
            break;
        const std::int32_t command = Int32At(header);
        const int bodySize = BodySize(command);
        if (bodySize < 0)
            break;
        std::vector<std::uint8_t> body(static_cast<std::size_t>(bodySize));
        if (!body.empty() && !ReceiveAll(socket, body.data(), body.size()))
            break;
        m_steering.record(connection, command, body);

        if (command == cmd::kLogout) {
            RequestHeader parsed = ZeroRecord<RequestHeader>();
            std::memcpy(&parsed, header, sizeof parsed);
            m_members.endSession(parsed.token);
            break;
        }
        const Reply reply = handle(command, header, body);
        if (!reply.answered || !send(socket, command, reply.bytes))
            break;
    }
    socket.shutdownBoth();
    socket.close();
}

bool RequestService::send(Socket &socket, std::int32_t command,
                          const std::vector<std::uint8_t> &bytes)
{
    const RequestSteering::Fault fault = m_steering.faultFor(command);
    if (fault.delay.count() > 0 && !m_steering.sleep(fault.delay))
        return false;
    if (fault.cutAfter) {
        const std::size_t cut = *fault.cutAfter == RequestSteering::kMiddle
                                    ? bytes.size() / 2
                                    : std::min(*fault.cutAfter, bytes.size());
        if (cut > 0)
            socket.sendAll(bytes.data(), cut);
        return false;
    }
    return bytes.empty() || socket.sendAll(bytes.data(), bytes.size());
}

RequestService::Reply RequestService::handle(std::int32_t command, const std::uint8_t *header,
                                             const std::vector<std::uint8_t> &body)
{
    switch (command) {
    case cmd::kPicture: {
        const Challenge challenge = m_members.issueChallenge();
        const std::uint64_t noiseSeed
            = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(challenge.token.values[0]))
               << 32)
              | static_cast<std::uint32_t>(challenge.token.values[1]);
        const VerificationPicture picture = PictureMaker::draw(challenge.code, noiseSeed);
        Reply reply;
        reply.bytes.assign(picture.bytes.begin(), picture.bytes.end());
        Append(reply.bytes, challenge.token);
        return reply;
    }
    case cmd::kLogin: {
        const LoginOutcome outcome = m_members.login(BodyAs<LoginRequest>(body));
        if (outcome.replacedOld && m_sessionReplaced)
            m_sessionReplaced(outcome.member);
        return Reply{BytesOf(outcome.reply)};
    }
    case cmd::kUpdateCheck:
        return Reply{BytesOf(m_clientVersion)};
    default:
        break;
    }

    RequestHeader parsed = ZeroRecord<RequestHeader>();
    std::memcpy(&parsed, header, sizeof parsed);
    const std::optional<SessionInfo> session = m_members.session(parsed.token);
    if (!session)
        return Reply{{}, false};
    return handleSession(command, session->member, session->level, body);
}

RequestService::Reply RequestService::handleSession(std::int32_t command, const std::string &member,
                                                    std::int32_t level,
                                                    const std::vector<std::uint8_t> &body)
{
    const bool closed = m_marketClosed.load();
    switch (command) {
    case cmd::kProducts: {
        std::vector<TypeInfo> products = QuotedProducts(m_accounts.currentQuotes());
        std::erase_if(products, [this](const TypeInfo &product) {
            return !m_steering.offers(product.productId);
        });
        return Reply{ListOf(products)};
    }
    case cmd::kAlerts:
        return Reply{ListOf(m_alerts.list(member))};
    case cmd::kAddAlert:
        return Reply{BytesOf(m_alerts.add(member, level, BodyAs<AlertInfo>(body)))};
    case cmd::kDeleteAlert: {
        if (const std::optional<std::int32_t> forced = m_steering.takeForcedResult(command))
            return Reply{{static_cast<std::uint8_t>(*forced)}};
        const bool removed = m_alerts.remove(member, BodyAs<AlertInfo>(body).alertId);
        return Reply{{static_cast<std::uint8_t>(removed ? 1 : 0)}};
    }
    case cmd::kOpenOrder: {
        if (const std::optional<std::int32_t> forced = m_steering.takeForcedResult(command))
            return Reply{BytesOf(*forced)};
        const QuoteBoard quotes = m_accounts.currentQuotes();
        return Reply{
            BytesOf(m_accounts.of(member).open(BodyAs<OpenOrderBody>(body), quotes, closed))};
    }
    case cmd::kChangeStops: {
        const QuoteBoard quotes = m_accounts.currentQuotes();
        return Reply{BytesOf(
            m_accounts.of(member).changeStops(BodyAs<ChangeStopsBody>(body), quotes, closed))};
    }
    case cmd::kChangeOrder: {
        if (const std::optional<std::int32_t> forced = m_steering.takeForcedResult(command))
            return Reply{BytesOf(*forced)};
        const QuoteBoard quotes = m_accounts.currentQuotes();
        return Reply{
            BytesOf(m_accounts.of(member).changeOrder(BodyAs<DelegateInfo>(body), quotes, closed))};
    }
    case cmd::kDeleteOrder: {
        const std::string number = ReadAnsiField(reinterpret_cast<const char *>(body.data()),
                                                 std::min(body.size(), kOrderNumberBytes));
        const std::int32_t deleted = m_accounts.of(member).deleteOrder(number) ? 1 : 0;
        return Reply{BytesOf(deleted)};
    }
    case cmd::kPositions:
        return Reply{ListOf(m_accounts.of(member).positions())};
    case cmd::kPendingOrders: {
        const bool withFinished = body.size() >= 12 && Int32At(body.data() + 8) == 1;
        return Reply{ListOf(m_accounts.of(member).orders(withFinished))};
    }
    case cmd::kClosePosition: {
        const DelegateInfo request = BodyAs<DelegateInfo>(body);
        if (const std::optional<std::int32_t> forced = m_steering.takeForcedResult(command)) {
            if (IsMarketClose(request))
                return Reply{BytesOf(*forced)};
            // A limit close answers with the request, no order number and the outcome.
            DelegateInfo reply = request;
            std::memset(reply.orderNumber, 0, sizeof reply.orderNumber);
            reply.status = *forced;
            return Reply{BytesOf(reply)};
        }
        const QuoteBoard quotes = m_accounts.currentQuotes();
        Account &account = m_accounts.of(member);
        if (IsMarketClose(request))
            return Reply{BytesOf(account.closeAtMarket(request, quotes, closed))};
        return Reply{BytesOf(account.closeAtLimit(request, quotes, closed))};
    }
    case cmd::kDeals:
        return Reply{ListOf(m_accounts.of(member).deals())};
    case cmd::kPositionSummary:
        return Reply{ListOf(m_accounts.of(member).summary())};
    case cmd::kAccount:
        return Reply{BytesOf(m_accounts.of(member).info())};
    case cmd::kSaveProductFlags: {
        if (const std::optional<std::int32_t> forced = m_steering.takeForcedResult(command))
            return Reply{{static_cast<std::uint8_t>(*forced)}};
        ProductFlags flags{};
        std::copy_n(body.begin(), std::min(body.size(), flags.size()), flags.begin());
        return Reply{{static_cast<std::uint8_t>(m_flags.save(member, flags) ? 1 : 0)}};
    }
    case cmd::kReadProductFlags: {
        const ProductFlags flags = m_flags.read(member);
        return Reply{std::vector<std::uint8_t>(flags.begin(), flags.end())};
    }
    default:
        return Reply{{}, false};
    }
}

} // namespace qs::server
