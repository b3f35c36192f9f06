#pragma once

#include "core/protocol/Commands.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace qs {

class ServerLink;

// The client view's 30 product notification flags: byte i belongs to product id i + 1, 1 means
// announce the product's signals and let its button blink. Read by the push thread and the
// blink timer, written on the UI thread.
class ProductNotificationFlags {
public:
    using Bytes = std::array<std::uint8_t, kProductFlagCount>;
    // The products a member can choose to follow: ids 1-28.
    static constexpr std::size_t kFollowable = 28;

    ProductNotificationFlags() { setAll(1); }

    void setAll(std::uint8_t value);
    void assign(const Bytes &bytes);
    Bytes bytes() const;
    // 0 for an id outside 1..30.
    std::uint8_t flag(int productId) const;
    void setFlag(int productId, std::uint8_t value);

    // Command 42 at view creation. The flags start all 1; a reply that breaks off sets them all
    // to 1 again; a header that cannot be sent leaves them as they are. A connection that cannot
    // be made has shown "无法连接服务器，操作已取消".
    void readFromServer(const ServerLink &link);
    // Command 41 with the 28 choices (1 followed, 0 not) and two bytes 1. A reply byte above 0
    // (read as signed) means saved, and the flags take the 30 bytes; otherwise they stay as they
    // were and nothing is shown beyond the message of a connection that cannot be made.
    bool saveToServer(const ServerLink &link,
                      const std::array<std::uint8_t, kFollowable> &followed);

private:
    std::array<std::atomic<std::uint8_t>, kProductFlagCount> m_flags;
};

} // namespace qs
