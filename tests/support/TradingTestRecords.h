#pragma once

// Records and request bytes shared by the trading, figures and price-tick tests.

#include "core/platform/AnsiCodec.h"
#include "core/platform/Socket.h"
#include "core/protocol/AccountInfo.h"
#include "core/protocol/Connection.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/Session.h"
#include "core/protocol/TypeInfo.h"
#include "core/protocol/WireRecord.h"
#include "tests/support/BarBuilder.h"
#include "tests/support/ScriptedPeer.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace qs::test {

inline TypeInfo Product(std::int32_t id, std::int32_t digits, float pointValue, float askSpread = 0,
                        float bidSpread = 0)
{
    TypeInfo product = ZeroRecord<TypeInfo>();
    product.productId = id;
    product.digits = digits;
    product.pointValue = pointValue;
    product.askSpread = askSpread;
    product.bidSpread = bidSpread;
    WriteAnsiField(product.name, "品种" + std::to_string(id));
    return product;
}

inline HoldInfo Position(std::int32_t productId, std::int32_t side, double lots, double openPrice,
                         double stopLoss = 0, double takeProfit = 0, std::int32_t status = 1)
{
    HoldInfo position = ZeroRecord<HoldInfo>();
    position.productId = productId;
    position.side = side;
    position.lotsOpened = lots;
    position.lotsHeld = lots;
    position.openPrice = openPrice;
    position.stopLoss = stopLoss;
    position.takeProfit = takeProfit;
    position.status = status;
    return position;
}

inline DelegateInfo Order(std::int32_t productId, std::int32_t side, std::int32_t kind,
                          double price, std::int32_t status = 1)
{
    DelegateInfo order = ZeroRecord<DelegateInfo>();
    order.productId = productId;
    order.side = side;
    order.triggerKind = kind;
    order.orderPrice = price;
    order.lots = 1;
    order.status = status;
    return order;
}

inline AccountInfo Account(double usableFunds, double occupiedMargin, double frozenMargin = 0,
                           double frozenCommission = 0)
{
    AccountInfo account = ZeroRecord<AccountInfo>();
    account.usableFunds = usableFunds;
    account.occupiedMargin = occupiedMargin;
    account.frozenMargin = frozenMargin;
    account.frozenCommission = frozenCommission;
    return account;
}

inline KLineBar Tick(std::int32_t productId, std::int32_t close, std::int32_t digits)
{
    return BarBuilder()
        .product(productId)
        .prices(close, close, close, close)
        .digits(digits)
        .key(2024)
        .time("10:15:00");
}

inline Session TestSession()
{
    Session session;
    session.establish(SessionToken{{0x11223344, 5, 6, 7}}, 4, "alice");
    return session;
}

// The 24-byte request header of TestSession, written from its offsets: command, four token
// values, member level.
inline Bytes Header(std::int32_t command)
{
    return Join({Int32Bytes(command), Int32Bytes(0x11223344), Int32Bytes(5), Int32Bytes(6),
                 Int32Bytes(7), Int32Bytes(4)});
}

inline Bytes Zeros(std::size_t n)
{
    return Bytes(n, 0);
}

// The request of each trading query, header and body.
inline Bytes PositionsRequest()
{
    return Join({Header(16), Zeros(44)});
}

inline Bytes PendingOrdersRequest()
{
    Bytes body = Zeros(56);
    body[8] = 1;
    return Join({Header(17), body});
}

// A list reply: the count, then the records.
template<WireRecord T>
Bytes ListReply(std::initializer_list<T> records)
{
    Bytes reply = Int32Bytes(static_cast<std::int32_t>(records.size()));
    for (const T &record : records) {
        const Bytes bytes = BytesOf(record);
        reply.insert(reply.end(), bytes.begin(), bytes.end());
    }
    return reply;
}

// An endpoint where nothing listens.
inline ServerEndpoint Nowhere()
{
    Listener listener = Listener::listen(Ipv4Address::loopback(), 0);
    ServerEndpoint endpoint;
    endpoint.requestPort = endpoint.pushPort = endpoint.klinePort = listener.port();
    listener.close();
    return endpoint;
}

// A refresh of the holdings as the server answers it: summary, positions, account.
inline Script &ExpectHoldingsRefresh(Script &script, const AccountInfo &account)
{
    return script.expect(Header(20))
        .send(Int32Bytes(0))
        .expect(PositionsRequest())
        .send(Int32Bytes(0))
        .expect(Header(21))
        .send(BytesOf(account));
}

} // namespace qs::test
