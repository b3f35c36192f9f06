#include "server/KLineService.h"

#include "core/protocol/RequestHeader.h"
#include "core/protocol/SignalRecord.h"
#include "core/protocol/WireRecord.h"
#include "server/HistoryArchive.h"
#include "server/HistorySlice.h"
#include "server/Market.h"
#include "server/ProductCatalog.h"
#include "server/SocketIo.h"

#include <chrono>
#include <cstring>

namespace qs::server {

namespace {

// A client that connects and says nothing must not hold a thread for long.
constexpr Milliseconds kRequestTimeout{10000};

void AppendRecord(std::vector<std::uint8_t> &out, const void *record)
{
    const auto *bytes = static_cast<const std::uint8_t *>(record);
    out.insert(out.end(), bytes, bytes + kRecordSize);
}

} // namespace

KLineService::KLineService(Market &market)
    : m_market(market)
{}

KLineService::Reply KLineService::answer(int productId, const BarKey &from, const BarKey &to) const
{
    const std::vector<KLineBar> bars = m_market.completedBars(productId);
    const HistorySlice slice = HistorySlice::select(bars, from, to);
    Reply reply;
    reply.trailer = slice.trailer;
    if (slice.count == 0)
        return reply;

    // A fresh download ("to" = "0") follows a view restart, which emptied the client's signal
    // list: the standing signals ride along behind the newest bar. Pages of older bars carry none.
    std::vector<SignalRecord> signals;
    if (to.isNone())
        signals = m_market.activeSignals(productId);
    std::vector<std::uint8_t> records;
    records.reserve((slice.count + signals.size()) * kRecordSize);
    for (std::size_t index = 0; index < slice.count; ++index) {
        AppendRecord(records, &bars[slice.first + index]);
        if (index == 0) {
            for (const SignalRecord &signal : signals)
                AppendRecord(records, &signal);
        }
    }
    reply.archive = PackHistoryArchive(records);
    if (reply.archive.empty())
        reply.trailer = to; // nothing could be packed: an empty reply that stops paging
    return reply;
}

void KLineService::serve(Socket socket)
{
    socket.setReceiveTimeout(kRequestTimeout);
    RequestHeader header{};
    BarKey keys[2];
    static_assert(sizeof keys == 26);
    if (!ReceiveAll(socket, &header, sizeof header) || header.command < 1
        || header.command > kProductCount || !ReceiveAll(socket, keys, sizeof keys)) {
        socket.close();
        return;
    }
    const Reply reply = answer(header.command, keys[0], keys[1]);
    const auto length = static_cast<std::int32_t>(reply.archive.size());
    const bool sent
        = socket.sendAll(&length, sizeof length)
          && (reply.archive.empty() || socket.sendAll(reply.archive.data(), reply.archive.size()))
          && socket.sendAll(reply.trailer.text, sizeof reply.trailer.text);
    if (sent)
        socket.shutdownBoth();
    socket.close();
}

} // namespace qs::server
