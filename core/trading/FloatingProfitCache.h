#pragma once

#include "core/platform/Decimal.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/TypeInfo.h"
#include "core/trading/TradingData.h"

#include <cstdint>
#include <vector>

namespace qs {

// What one unit of price difference is worth to a position: 10^digits × point value × lots held.
Decimal ProfitScale(std::int32_t digits, float pointValue, double lotsHeld);

// The profit of holdings with scale k and Σ(open × k) openK at closePrice: a buy gains as the
// price rises above the open price, a sell as it falls below.
Decimal ProfitAt(bool buy, float closePrice, const Decimal &k, const Decimal &openK);

// The price a position closes at: a buy sells at the sell price, a sell buys at the buy price.
float ClosePrice(bool buy, const TypeInfo &product);

// One position's floating profit; a zeroed (unlisted) product gives 0.
Decimal PositionFloatingProfit(const HoldInfo &position, const TypeInfo &product);

// The floating profit of all positions, in exact decimal. A position's profit is
// (sell − open) × k for a buy and (open − buy) × k for a sell, with k = 10^digits × point value ×
// lots held. Grouped per product and side that is sell × Σk − Σ(open × k): the sums change only
// when a position or a product's digits or point value change, so a tick costs two
// multiplications per group instead of converting every record field again.
class FloatingProfitCache {
public:
    // Of data's positions; kTypeInfoLock is taken inside, as the innermost lock. Positions whose
    // product is not listed contribute nothing.
    Decimal total(const TradingData &data) REQUIRES(data.kHoldInfoLock)
        EXCLUDES(data.kTypeInfoLock);

private:
    // What a position contributes through; compared bit for bit, so any change is seen.
    struct PositionKey {
        std::int32_t productId;
        bool buy;
        std::uint64_t openPriceBits;
        std::uint64_t lotsHeldBits;
        friend bool operator==(const PositionKey &, const PositionKey &) = default;
    };
    // The product a group was built with, and the prices of this recalculation.
    struct ProductTerms {
        std::int32_t productId = 0;
        bool listed = false;
        std::int32_t digits = 0;
        std::uint32_t pointValueBits = 0;
        float buyPrice = 0;
        float sellPrice = 0;
    };
    struct Group {
        std::int32_t productId;
        bool buy;
        Decimal sumK;
        Decimal sumOpenK;
    };

    static PositionKey keyOf(const HoldInfo &position);
    bool positionsChanged(const std::vector<HoldInfo> &positions);
    // Reads the terms of every product the positions name; true when digits, point value or
    // presence changed since the groups were built.
    bool readProducts(const TradingData &data) EXCLUDES(data.kTypeInfoLock);
    void rebuild(const std::vector<HoldInfo> &positions);
    const ProductTerms *terms(std::int32_t productId) const;

    bool m_built = false;
    std::vector<PositionKey> m_positions;
    std::vector<ProductTerms> m_products; // one per product id the positions name
    std::vector<Group> m_groups;
};

} // namespace qs
