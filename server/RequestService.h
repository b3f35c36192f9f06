#pragma once

#include "core/platform/Socket.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qs::server {

class AccountBook;
class AlertBook;
class Members;
class ProductFlagBook;
class RequestSteering;

// The request port: reads exchanges one after the other from a connection and answers each in
// order, until the peer closes, sends a logout (4) or something the port does not know.
//
// Every request is the 24-byte header, then the body whose size the command fixes. Picture (5),
// login (6), update check (7) and logout (4) need no session; every other command needs the
// token of a live session in the header, or the connection is closed without an answer. The
// member level of the header is not trusted: the session's own is used.
//
// How the bodies the client leaves open are read:
//  - 11: kind 1 fills at once when the price at offset 4 lies within the slippage at offset 32
//    of the current side price (0: the same price, within half a price step); kind 2 places a
//    pending order at that price. Unknown or untradable product, kind other than 1 or 2, or no
//    price: 7. Lots out of range, not a multiple of the lot step, or beyond the maximum position:
//    8 (an "unknown error" to the client).
//  - 18: offset 176 = 0 is a market close (reply: int32 code), 1 or 2 a limit close with that
//    validity (reply: the 256-byte pending order; on refusal the request comes back with an
//    empty order number and the code at offset 220). The position is named by offset 152, the
//    allowed slippage of a market close is the double at offset 96. The direction at 72 must be
//    the closing one and the product at 24 the position's.
//  - 13: the position number is read from the 24-byte field; refusal is a zero record.
//  - 14: the order is named by offset 0; only lots, price, stops and validity change.
//  - 15: the order number is the text of the first 21 bytes (both body shapes).
//  - 16 and 19: the bodies are not read; every position and every deal (oldest first).
//  - 17: int32 1 at body offset 8 lists the waiting orders and those finished today; any other
//    value only the waiting ones.
//  - 9: condition 1 or 2, product 1-28 and a level above 0, else id 0; id -1 when an ordinary
//    member's monthly quota is used up. 10: the alert is named by its id.
//  - 41: 30 bytes of 0 or 1; anything else is refused (reply 0).
class RequestService {
public:
    using MemberHook = std::function<void(const std::string &member)>;

    // sessionReplaced: a member logged in again; his old session's push connection is to be told.
    RequestService(Members &members, AccountBook &accounts, AlertBook &alerts,
                   ProductFlagBook &flags, RequestSteering &steering,
                   const std::atomic<bool> &marketClosed, std::int32_t clientVersion,
                   MemberHook sessionReplaced);

    // Runs on the caller's thread until the connection ends, then closes it.
    void serve(Socket socket);

    // Body size of a request-port command; -1 for a command the port does not serve.
    static int BodySize(std::int32_t command);

private:
    struct Reply {
        std::vector<std::uint8_t> bytes;
        bool answered = true; // false: close without an answer
    };
    Reply handle(std::int32_t command, const std::uint8_t *header,
                 const std::vector<std::uint8_t> &body);
    Reply handleSession(std::int32_t command, const std::string &member, std::int32_t level,
                        const std::vector<std::uint8_t> &body);
    bool send(Socket &socket, std::int32_t command, const std::vector<std::uint8_t> &bytes);

    Members &m_members;
    AccountBook &m_accounts;
    AlertBook &m_alerts;
    ProductFlagBook &m_flags;
    RequestSteering &m_steering;
    const std::atomic<bool> &m_marketClosed;
    const std::int32_t m_clientVersion;
    MemberHook m_sessionReplaced;
};

} // namespace qs::server
