#include "core/trading/TradingData.h"

#include "core/platform/AnsiCodec.h"
#include "core/protocol/OrderNumbers.h"
#include "core/protocol/WireRecord.h"
#include "core/trading/FloatingProfitCache.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace qs {

namespace {

template<class Record, class Number>
void StoreRects(std::vector<Record> &records, const std::vector<LabelRect> &rects, Number number)
{
    std::vector<bool> stored(rects.size(), false);
    for (Record &record : records) {
        const std::string_view own = number(record);
        for (std::size_t i = 0; i < rects.size(); ++i) {
            if (stored[i] || rects[i].number != own)
                continue;
            std::copy(rects[i].rect.begin(), rects[i].rect.end(), record.labelRect);
            stored[i] = true;
            break;
        }
    }
}

} // namespace

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
        MutexLock lock(kTypeInfoLock);
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
    MutexLock lock(kTypeInfoLock);
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
    MutexLock lock(kTypeInfoLock);
    return kTypeInfoList;
}

std::vector<HoldInfo> TradingData::positions() const
{
    MutexLock lock(kHoldInfoLock);
    return kHoldInfoList;
}

std::optional<HoldInfo> TradingData::position(const std::string &number) const
{
    MutexLock lock(kHoldInfoLock);
    for (const HoldInfo &record : kHoldInfoList)
        if (record.number() == number)
            return record;
    return std::nullopt;
}

std::optional<DelegateInfo> TradingData::pendingOrder(const std::string &number) const
{
    MutexLock lock(kDelegateInfoLock);
    for (const DelegateInfo &record : kDelegateInfoList)
        if (record.number() == number)
            return record;
    return std::nullopt;
}

std::vector<HoldInfo> TradingData::positionSummary() const
{
    MutexLock lock(kHoldSumInfoLock);
    return kHoldSumInfoList;
}

std::vector<DelegateInfo> TradingData::pendingOrders() const
{
    MutexLock lock(kDelegateInfoLock);
    return kDelegateInfoList;
}

AccountInfo TradingData::account() const
{
    MutexLock lock(kAccountInfoLock);
    return kAccountInfo;
}

AccountFigures TradingData::accountFigures() const
{
    MutexLock lock(kAccountInfoLock);
    return figures;
}

void TradingData::replaceProducts(std::vector<TypeInfo> records)
{
    MutexLock lock(kTypeInfoLock);
    kTypeInfoList.swap(records);
}

void TradingData::replacePositions(std::vector<HoldInfo> records)
{
    MutexLock lock(kHoldInfoLock);
    kHoldInfoList.swap(records);
}

void TradingData::replacePositionSummary(std::vector<HoldInfo> records)
{
    MutexLock lock(kHoldSumInfoLock);
    kHoldSumInfoList.swap(records);
}

void TradingData::replacePendingOrders(std::vector<DelegateInfo> records)
{
    MutexLock lock(kDelegateInfoLock);
    kDelegateInfoList.swap(records);
}

void TradingData::replaceAccount(const AccountInfo &record)
{
    MutexLock lock(kAccountInfoLock);
    kAccountInfo = record;
}

void TradingData::storeLabelRects(const std::vector<LabelRect> &positions,
                                  const std::vector<LabelRect> &orders)
{
    {
        MutexLock lock(kHoldInfoLock);
        StoreRects(kHoldInfoList, positions,
                   [](const HoldInfo &record) { return NumberOf(record.positionNumber); });
    }
    MutexLock lock(kDelegateInfoLock);
    StoreRects(kDelegateInfoList, orders,
               [](const DelegateInfo &record) { return NumberOf(record.orderNumber); });
}

} // namespace qs
