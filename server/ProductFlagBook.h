#pragma once

#include "core/protocol/Commands.h"

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace qs::server {

using ProductFlags = std::array<std::uint8_t, kProductFlagCount>;

// Which products announce signals, per member: one byte per product id 1-30, all 1 until the
// member saves a choice. Thread-safe.
class ProductFlagBook {
public:
    ProductFlags read(const std::string &member) const;
    // False, and nothing stored, unless every byte is 0 or 1.
    bool save(const std::string &member, const ProductFlags &flags);

private:
    mutable std::mutex m_mutex;
    std::map<std::string, ProductFlags> m_flags;
};

} // namespace qs::server
