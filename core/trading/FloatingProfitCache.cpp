#include "core/trading/FloatingProfitCache.h"

#include "core/platform/PriceFormat.h"

#include <algorithm>
#include <bit>
#include <map>
#include <utility>

namespace qs {

namespace {

constexpr auto kIdBelow = [](const auto &product, std::int32_t id) {
    return product.productId < id;
};

} // namespace

Decimal ProfitScale(std::int32_t digits, float pointValue, double lotsHeld)
{
    return DecimalFromFloat(PowerOfTen(digits)) * DecimalFromFloat(pointValue)
           * DecimalFromDouble(lotsHeld);
}

Decimal ProfitAt(bool buy, float closePrice, const Decimal &k, const Decimal &openK)
{
    const Decimal closeK = DecimalFromFloat(closePrice) * k;
    return buy ? closeK - openK : openK - closeK;
}

float ClosePrice(bool buy, const TypeInfo &product)
{
    return buy ? product.sellPrice : product.buyPrice;
}

Decimal PositionFloatingProfit(const HoldInfo &position, const TypeInfo &product)
{
    const Decimal k = ProfitScale(product.digits, product.pointValue, position.lotsHeld);
    return ProfitAt(position.isBuy(), ClosePrice(position.isBuy(), product), k,
                    DecimalFromDouble(position.openPrice) * k);
}

FloatingProfitCache::PositionKey FloatingProfitCache::keyOf(const HoldInfo &position)
{
    return {position.productId, position.isBuy(), std::bit_cast<std::uint64_t>(position.openPrice),
            std::bit_cast<std::uint64_t>(position.lotsHeld)};
}

Decimal FloatingProfitCache::total(const TradingData &data)
{
    const std::vector<HoldInfo> &positions = data.kHoldInfoList;
    bool stale = positionsChanged(positions);
    stale = readProducts(data) || stale;
    if (stale || !m_built)
        rebuild(positions);

    Decimal sum = 0;
    for (const Group &group : m_groups) {
        const ProductTerms *product = terms(group.productId);
        if (product == nullptr)
            continue;
        sum += ProfitAt(group.buy, group.buy ? product->sellPrice : product->buyPrice, group.sumK,
                        group.sumOpenK);
    }
    return sum;
}

bool FloatingProfitCache::positionsChanged(const std::vector<HoldInfo> &positions)
{
    bool changed = positions.size() != m_positions.size();
    for (std::size_t i = 0; !changed && i < positions.size(); ++i)
        changed = !(m_positions[i] == keyOf(positions[i]));
    if (!changed)
        return false;

    m_positions.clear();
    std::vector<std::int32_t> ids;
    for (const HoldInfo &position : positions) {
        m_positions.push_back(keyOf(position));
        ids.push_back(position.productId);
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    m_products.clear();
    for (std::int32_t id : ids) {
        ProductTerms product;
        product.productId = id;
        m_products.push_back(product);
    }
    return true;
}

bool FloatingProfitCache::readProducts(const TradingData &data)
{
    std::vector<ProductTerms> before = m_products;
    for (ProductTerms &product : m_products)
        product.listed = false;
    {
        MutexLock lock(data.kTypeInfoLock);
        for (const TypeInfo &record : data.kTypeInfoList) {
            const auto at = std::lower_bound(m_products.begin(), m_products.end(), record.productId,
                                             kIdBelow);
            // The first record with an id is the one a lookup finds.
            if (at == m_products.end() || at->productId != record.productId || at->listed)
                continue;
            at->listed = true;
            at->digits = record.digits;
            at->pointValueBits = std::bit_cast<std::uint32_t>(record.pointValue);
            at->buyPrice = record.buyPrice;
            at->sellPrice = record.sellPrice;
        }
    }
    for (std::size_t i = 0; i < m_products.size(); ++i) {
        const ProductTerms &now = m_products[i];
        const ProductTerms &was = before[i];
        if (now.listed != was.listed || now.digits != was.digits
            || now.pointValueBits != was.pointValueBits)
            return true;
    }
    return false;
}

void FloatingProfitCache::rebuild(const std::vector<HoldInfo> &positions)
{
    std::map<std::pair<std::int32_t, bool>, Group> groups;
    for (const HoldInfo &position : positions) {
        const ProductTerms *product = terms(position.productId);
        if (product == nullptr || !product->listed)
            continue;
        const Decimal k = ProfitScale(
            product->digits, std::bit_cast<float>(product->pointValueBits), position.lotsHeld);
        const auto key = std::make_pair(position.productId, position.isBuy());
        auto [at, inserted] = groups.try_emplace(key, Group{key.first, key.second, 0, 0});
        at->second.sumK += k;
        at->second.sumOpenK += DecimalFromDouble(position.openPrice) * k;
    }
    m_groups.clear();
    for (auto &entry : groups)
        m_groups.push_back(std::move(entry.second));
    m_built = true;
}

const FloatingProfitCache::ProductTerms *FloatingProfitCache::terms(std::int32_t productId) const
{
    const auto at = std::lower_bound(m_products.begin(), m_products.end(), productId, kIdBelow);
    return at != m_products.end() && at->productId == productId ? &*at : nullptr;
}

} // namespace qs
