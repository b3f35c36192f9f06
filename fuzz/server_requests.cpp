// Any byte stream on the request port: the service reads it as exchanges one after the other and
// must neither crash nor hang. The bytes reach it through a real local socket pair; a thread
// drains the replies. Headers get the token of a live session now and then (by their fifth
// byte), so the commands behind the session check are reached too.
#include "core/platform/Socket.h"
#include "core/protocol/Commands.h"
#include "core/protocol/LoginRecords.h"
#include "core/protocol/WireRecord.h"
#include "server/AccountBook.h"
#include "server/AlertBook.h"
#include "server/Members.h"
#include "server/ProductCatalog.h"
#include "server/ProductFlagBook.h"
#include "server/RequestService.h"
#include "server/RequestSteering.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using namespace qs;
using namespace qs::server;

// Stays below what a local socket pair buffers, so the whole input is written before the read.
constexpr std::size_t kMaxInput = 64 * 1024;
constexpr std::size_t kHeaderSize = 24;

Quote BaseQuote(int productId)
{
    const TypeInfo product = ProductRecord(productId);
    Quote quote;
    quote.last = ProductBasePrice(productId);
    quote.buy = quote.last + product.askSpread;
    quote.sell = quote.last - product.bidSpread;
    return quote;
}

struct World {
    Members members{1, "1234"};
    AccountBook accounts{BaseQuote};
    AlertBook alerts;
    ProductFlagBook flags;
    RequestSteering steering;
    std::atomic<bool> closed{false};
    RequestService service{members, accounts, alerts, flags, steering, closed, kClientVersion, {}};
    SessionToken token;

    // A logout in the input ends the session; the next input gets a new one.
    void ensureSession()
    {
        if (members.session(token))
            return;
        const Challenge challenge = members.issueChallenge();
        LoginRequest request = ZeroRecord<LoginRequest>();
        std::memcpy(request.memberName, "demo", 4);
        std::memcpy(request.password, "demo", 4);
        std::memcpy(request.code, challenge.code.data(), 4);
        request.constantOne = 1;
        request.token = challenge.token;
        if (members.login(request).reply.result == 1)
            token = challenge.token;
    }
};

World &TheWorld()
{
    static World world;
    return world;
}

// Walks the input as the service will read it and gives every header whose fifth byte is even
// the live session's token.
void GiveSessions(std::vector<std::uint8_t> &bytes, const SessionToken &token)
{
    std::size_t at = 0;
    while (at + kHeaderSize <= bytes.size()) {
        std::int32_t command = 0;
        std::memcpy(&command, bytes.data() + at, sizeof command);
        const int body = RequestService::BodySize(command);
        if (body < 0)
            return;
        if (bytes[at + 4] % 2 == 0)
            std::memcpy(bytes.data() + at + 4, token.values, sizeof token.values);
        at += kHeaderSize + static_cast<std::size_t>(body);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > kMaxInput)
        return 0;
    World &world = TheWorld();
    world.ensureSession();
    std::vector<std::uint8_t> bytes(data, data + size);
    GiveSessions(bytes, world.token);

    Socket client;
    Socket server;
    if (!Socket::makePair(client, server))
        return 0;
    if (!bytes.empty() && !client.sendAll(bytes.data(), bytes.size()))
        return 0;
    // Everything is buffered already: the first wait for more means the input has ended.
    server.setReceiveTimeout(std::chrono::milliseconds(1));

    std::thread drain([&client] {
        std::uint8_t sink[4096];
        while (client.receive(sink, sizeof sink) > 0) {
        }
    });
    world.service.serve(std::move(server));
    drain.join();
    return 0;
}
