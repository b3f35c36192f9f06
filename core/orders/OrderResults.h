#pragma once

#include "core/protocol/TypeInfo.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace qs {

enum class OrderDialog {
    MarketOpen,
    LimitOpen,
    MarketClose,
    LimitClose,
    ModifyPosition,
    ModifyOrder
};

// What a reply's result code tells the member: empty for success (1), "未知错误" for any code the
// dialog's column does not name. The limit close and the position change get a record, not a
// code, so every code but 1 is unknown to them.
std::string ResultText(OrderDialog dialog, std::int32_t code, const TypeInfo &product);

// Shown when the header or the body could not be sent.
const char *SendFailureText(OrderDialog dialog);

// The little-endian result code from the bytes that arrived; missing bytes read as zero.
std::int32_t AssembleResultCode(const std::uint8_t *bytes, std::size_t received);

} // namespace qs
