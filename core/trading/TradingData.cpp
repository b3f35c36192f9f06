#include "core/trading/TradingData.h"

#include "core/platform/AnsiCodec.h"
#include "core/protocol/WireRecord.h"
#include "core/trading/FloatingProfitCache.h"

#include <algorithm>
#include <iterator>

namespace qs {

TradingData::TradingData()
    : floatingProfitCache(std::make_unique<FloatingProfitCache>())
{}

TradingData::~TradingData() = default;

TypeInfo TradingData::product(int productId) const
{
    TypeInfo record = ZeroRecord<TypeInfo>();
    record.productId = productId;
    copyProduct(productId, record);
    return record;
}

std::string TradingData::productName(int productId) const
{
    char name[sizeof(TypeInfo::name)];
    {
        std::lock_guard lock(kTypeInfoLock);
        const auto found
            = std::find_if(kTypeInfoList.begin(), kTypeInfoList.end(),
                           [&](const TypeInfo &p) { return p.productId == productId; });
        if (found == kTypeInfoList.end())
            return {};
        std::copy(std::begin(found->name), std::end(found->name), name);
    }
    // The conversion runs after the lock is released.
    return ReadAnsiField(name);
}

bool TradingData::copyProduct(int productId, TypeInfo &record) const
{
    std::lock_guard lock(kTypeInfoLock);
    for (const TypeInfo &candidate : kTypeInfoList) {
        if (candidate.productId == productId) {
            record = candidate;
            return true;
        }
    }
    return false;
}

std::vector<TypeInfo> TradingData::products() const
{
    std::lock_guard lock(kTypeInfoLock);
    return kTypeInfoList;
}

std::vector<HoldInfo> TradingData::positions() const
{
    std::lock_guard lock(kHoldInfoLock);
    return kHoldInfoList;
}

std::optional<HoldInfo> TradingData::position(const std::string &number) const
{
    std::lock_guard lock(kHoldInfoLock);
    for (const HoldInfo &record : kHoldInfoList)
        if (record.number() == number)
            return record;
    return std::nullopt;
}

std::optional<DelegateInfo> TradingData::pendingOrder(const std::string &number) const
{
    std::lock_guard lock(kDelegateInfoLock);
    for (const DelegateInfo &record : kDelegateInfoList)
        if (record.number() == number)
            return record;
    return std::nullopt;
}

std::vector<HoldInfo> TradingData::positionSummary() const
{
    std::lock_guard lock(kHoldSumInfoLock);
    return kHoldSumInfoList;
}

std::vector<DelegateInfo> TradingData::pendingOrders() const
{
    std::lock_guard lock(kDelegateInfoLock);
    return kDelegateInfoList;
}

AccountInfo TradingData::account() const
{
    std::lock_guard lock(kAccountInfoLock);
    return kAccountInfo;
}

AccountFigures TradingData::accountFigures() const
{
    std::lock_guard lock(kAccountInfoLock);
    return figures;
}

void TradingData::replaceProducts(std::vector<TypeInfo> records)
{
    std::lock_guard lock(kTypeInfoLock);
    kTypeInfoList.swap(records);
}

void TradingData::replacePositions(std::vector<HoldInfo> records)
{
    std::lock_guard lock(kHoldInfoLock);
    kHoldInfoList.swap(records);
}

void TradingData::replacePositionSummary(std::vector<HoldInfo> records)
{
    std::lock_guard lock(kHoldSumInfoLock);
    kHoldSumInfoList.swap(records);
}

void TradingData::replacePendingOrders(std::vector<DelegateInfo> records)
{
    std::lock_guard lock(kDelegateInfoLock);
    kDelegateInfoList.swap(records);
}

void TradingData::replaceAccount(const AccountInfo &record)
{
    std::lock_guard lock(kAccountInfoLock);
    kAccountInfo = record;
}

} // namespace qs
