#pragma once

#include "core/platform/Socket.h"
#include "core/protocol/KLineBar.h"

#include <cstdint>
#include <vector>

namespace qs::server {

class Market;

// The K-line download port: one request per connection, answered with a zip archive of bar
// records (newest first, with the product's standing signals mixed in) and a trailer key.
class KLineService {
public:
    explicit KLineService(Market &market);

    // Runs one download exchange on the caller's thread and closes the connection.
    void serve(Socket socket);

    struct Reply {
        std::vector<std::uint8_t> archive; // empty: length 0 goes out
        BarKey trailer;
    };
    Reply answer(int productId, const BarKey &from, const BarKey &to) const;

private:
    Market &m_market;
};

} // namespace qs::server
