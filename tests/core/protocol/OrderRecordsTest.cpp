#include "core/protocol/OrderRecords.h"

#include "core/protocol/WireRecord.h"
#include "tests/support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace qs {
namespace {

using test::Bytes;
using test::BytesOf;

template<class V>
void Put(Bytes &bytes, std::size_t at, V value)
{
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

TEST(OrderRecords, ClosePositionBodyCarriesTheSharedFieldsAndZerosElsewhere)
{
    const struct {
        std::int32_t positionSide;
        std::int32_t validity;
        std::int32_t closingSide;
        bool market;
    } cases[] = {
        {1, kMarketCloseValidity, 2, true},
        {2, order_validity::kTradingDay, 1, false},
        {0, order_validity::kWeek, 2, false}, // anything but a sell closes with a sell
    };
    for (const auto &c : cases) {
        HoldInfo position = ZeroRecord<HoldInfo>();
        std::memset(&position, 0x5A, sizeof position); // what must not travel
        std::memcpy(position.positionNumber, "P42", 4);
        position.productId = 9;
        position.side = c.positionSide;

        Bytes expected(256, 0);
        Put(expected, 24, std::int32_t{9});
        Put(expected, 72, c.closingSide);
        Put(expected, 80, 1.5);
        Put(expected, 88, 1765.25);
        std::memcpy(expected.data() + 152, "P42", 3);
        Put(expected, 176, c.validity);

        const DelegateInfo body = ClosePositionBody(position, 1.5, 1765.25, c.validity);
        EXPECT_EQ(BytesOf(body), expected) << c.positionSide;
        EXPECT_EQ(IsMarketClose(body), c.market);
    }

    // A number that fills its field still ends with a terminator.
    HoldInfo full = ZeroRecord<HoldInfo>();
    std::memset(full.positionNumber, '7', sizeof full.positionNumber);
    const DelegateInfo body = ClosePositionBody(full, 1, 1, order_validity::kWeek);
    EXPECT_EQ(body.relatedPositionText(), std::string(20, '7'));
    EXPECT_EQ(body.relatedPosition[20], 0);
}

} // namespace
} // namespace qs
