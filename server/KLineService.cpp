#include "server/KLineService.h"

#include "core/protocol/RequestHeader.h"
#include "core/protocol/SignalRecord.h"
#include "core/protocol/WireRecord.h"
#include "server/HistorySlice.h"
#include "server/Market.h"
#include "server/ProductCatalog.h"
#include "server/SocketIo.h"

#include <chrono>
#include <cstring>
#include <span>

namespace qs::server {

namespace {

// A client that connects and says nothing must not hold a thread for long.
constexpr Milliseconds kRequestTimeout{10000};

} // namespace

KLineService::KLineService(Market &market, PackedHistory::Limits limits)
    : m_market(market)
    , m_packed(limits)
{}

std::shared_ptr<const KLineService::Reply> KLineService::answer(int productId, const BarKey &from,
                                                                const BarKey &to)
{
    // A page depends on "to" alone: clients paging the same history share its pages whatever
    // trailer they send as "from".
    const PackedHistory::Key key{productId, to.isNone() ? from : BarKey::none(), to};
    if (auto kept = m_packed.find(key, m_market.historyGeneration(productId)))
        return kept;

    const Market::History history = m_market.history(productId);
    const HistorySlice slice = HistorySlice::select(history.bars, from, to);
    auto reply = std::make_shared<Reply>();
    reply->trailer = slice.trailer;
    if (slice.count > 0) {
        // A fresh download ("to" = "0") follows a view restart, which emptied the client's signal
        // list: the standing signals ride along behind the newest bar. Pages of older bars carry
        // none.
        const std::span<const SignalRecord> signals(history.signals.data(),
                                                    to.isNone() ? history.signals.size() : 0);
        reply->archive = m_items.pack(productId, history.bars, slice.first, slice.count, signals);
        if (reply->archive.empty()) {
            reply->trailer = to; // nothing could be packed: an empty reply that stops paging
            return reply;
        }
    }
    m_packed.keep(key, history.generation, reply);
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
    const std::shared_ptr<const Reply> reply = answer(header.command, keys[0], keys[1]);
    const auto length = static_cast<std::int32_t>(reply->archive.size());
    const bool sent = socket.sendAll(&length, sizeof length)
                      && (reply->archive.empty()
                          || socket.sendAll(reply->archive.data(), reply->archive.size()))
                      && socket.sendAll(reply->trailer.text, sizeof reply->trailer.text);
    if (sent)
        socket.shutdownBoth();
    socket.close();
}

} // namespace qs::server
