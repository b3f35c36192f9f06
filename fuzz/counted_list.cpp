// A list reply from untrusted bytes: the first byte picks the command, the rest is what the
// server sends after the request. The bytes go through a real local socket pair into the reader.
#include "core/platform/Socket.h"
#include "core/protocol/AlertInfo.h"
#include "core/protocol/Commands.h"
#include "core/protocol/Connection.h"
#include "core/protocol/CountedList.h"
#include "core/protocol/DealInfo.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/TypeInfo.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// Stays below what a local socket pair buffers, so the whole reply is written before the read.
constexpr std::size_t kMaxReply = 64 * 1024;

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

template<class T>
void Run(std::int32_t command, const std::uint8_t *reply, std::size_t size)
{
    qs::Socket server, client;
    if (!qs::Socket::makePair(server, client))
        return;
    if (!server.sendAll(reply, size))
        return;
    server.close();
    qs::Connection connection(std::move(client));
    const qs::CountedList<T> list = qs::ReadCountedList<T>(connection, command);

    unsigned char countBytes[4] = {0, 0, 0, 0};
    std::memcpy(countBytes, reply, std::min<std::size_t>(size, 4));
    std::int32_t signedCount = 0;
    std::uint32_t unsignedCount = 0;
    std::memcpy(&signedCount, countBytes, 4);
    std::memcpy(&unsignedCount, countBytes, 4);

    const qs::CountRule rule = qs::CountRuleFor(command);
    switch (rule) {
    case qs::CountRule::Strict:
        Require(list.ok == (size >= 4));
        break;
    case qs::CountRule::Summary:
        Require(list.ok == (size >= 4 || unsignedCount != 0));
        break;
    case qs::CountRule::Lenient:
        Require(list.ok);
        break;
    }
    if (!list.ok) {
        Require(!list.replaces && list.records.empty());
        return;
    }
    const std::int64_t count
        = rule == qs::CountRule::Summary ? std::int64_t{unsignedCount} : std::int64_t{signedCount};
    Require(list.replaces == (rule != qs::CountRule::Lenient || count > 0));
    const std::size_t complete = size >= 4 ? (size - 4) / sizeof(T) : 0;
    const std::size_t expected
        = count <= 0 ? 0 : std::min<std::size_t>(complete, static_cast<std::size_t>(count));
    Require(list.records.size() == expected);
    for (std::size_t i = 0; i < list.records.size(); ++i)
        Require(std::memcmp(&list.records[i], reply + 4 + i * sizeof(T), sizeof(T)) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1 || size - 1 > kMaxReply)
        return 0;
    const std::uint8_t *reply = data + 1;
    const std::size_t replySize = size - 1;
    switch (data[0] % 6) {
    case 0:
        Run<qs::TypeInfo>(qs::cmd::kProducts, reply, replySize);
        break;
    case 1:
        Run<qs::AlertInfo>(qs::cmd::kAlerts, reply, replySize);
        break;
    case 2:
        Run<qs::HoldInfo>(qs::cmd::kPositions, reply, replySize);
        break;
    case 3:
        Run<qs::DelegateInfo>(qs::cmd::kPendingOrders, reply, replySize);
        break;
    case 4:
        Run<qs::DealInfo>(qs::cmd::kDeals, reply, replySize);
        break;
    default:
        Run<qs::HoldInfo>(qs::cmd::kPositionSummary, reply, replySize);
        break;
    }
    return 0;
}
