#pragma once

#include "core/platform/Socket.h"
#include "core/protocol/KLineBar.h"
#include "server/PackedHistory.h"
#include "server/PackedItems.h"

#include <memory>

namespace qs::server {

class Market;

// The K-line download port: one request per connection, answered with a zip archive of bar
// records (newest first, with the product's standing signals mixed in) and a trailer key.
// Replies are packed once per product history generation and sent from PackedHistory after;
// packing one anew deflates only the items of bars and signals that PackedItems does not hold.
class KLineService {
public:
    explicit KLineService(Market &market, PackedHistory::Limits limits = {});

    // Runs one download exchange on the caller's thread and closes the connection.
    void serve(Socket socket);

    using Reply = PackedReply;
    std::shared_ptr<const Reply> answer(int productId, const BarKey &from, const BarKey &to);

private:
    Market &m_market;
    PackedHistory m_packed;
    PackedItems m_items;
};

} // namespace qs::server
