#pragma once

#include "core/protocol/KLineBar.h"
#include "core/protocol/WireRecord.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace qs::test {

// A 48-byte bar record, zero-filled, with the fields a test names: BarBuilder().product(1)
// .prices(open, high, low, close).digits(2).time("03140800"). It converts to KLineBar where one
// is expected (keep `auto` away from it).
class BarBuilder {
public:
    BarBuilder &product(std::int32_t id)
    {
        m_bar.productId = id;
        return *this;
    }
    BarBuilder &prices(std::int32_t open, std::int32_t high, std::int32_t low, std::int32_t close)
    {
        m_bar.open = open;
        m_bar.high = high;
        m_bar.low = low;
        m_bar.close = close;
        return *this;
    }
    BarBuilder &reference(std::int32_t close)
    {
        m_bar.reference = close;
        return *this;
    }
    BarBuilder &digits(std::int32_t digits)
    {
        m_bar.digits = digits;
        return *this;
    }
    BarBuilder &carried(std::int32_t value)
    {
        m_bar.carried32 = value;
        return *this;
    }
    BarBuilder &key(std::int32_t keyNumber)
    {
        m_bar.keyNumber = keyNumber;
        return *this;
    }
    // "MMDDhhmm" for a completed bar, "hh:mm:ss" for a live one; the rest of the field stays 0.
    BarBuilder &time(std::string_view text)
    {
        std::memset(m_bar.timeText, 0, sizeof m_bar.timeText);
        std::memcpy(m_bar.timeText, text.data(), std::min(text.size(), sizeof m_bar.timeText - 1));
        return *this;
    }
    // Bar number `index` as an eight-digit completed time, so that bars sort by it.
    BarBuilder &numbered(int index)
    {
        char text[sizeof m_bar.timeText];
        std::snprintf(text, sizeof text, "%08d", index);
        return time(text);
    }

    operator KLineBar() const { return m_bar; }

private:
    KLineBar m_bar = ZeroRecord<KLineBar>();
};

} // namespace qs::test
