#pragma once

#include "core/protocol/AccountInfo.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/TypeInfo.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace qs {

class FloatingProfitCache;

// The client's copy of the trading account: five collections, each under a lock of its own.
// Lock order: kTypeInfoLock is innermost and never held while another is taken;
// kHoldSumInfoLock may be held while kHoldInfoLock is taken, never the reverse; kHoldInfoLock
// is released before kAccountInfoLock is taken.
struct TradingData {
    TradingData();
    ~TradingData();
    TradingData(const TradingData &) = delete;
    TradingData &operator=(const TradingData &) = delete;

    mutable std::mutex kTypeInfoLock;
    std::vector<TypeInfo> kTypeInfoList;

    mutable std::mutex kHoldInfoLock;
    std::vector<HoldInfo> kHoldInfoList;
    // Decimal sums of the positions, kept between recalculations; guarded by kHoldInfoLock.
    std::unique_ptr<FloatingProfitCache> floatingProfitCache;

    mutable std::mutex kDelegateInfoLock;
    std::vector<DelegateInfo> kDelegateInfoList;

    mutable std::mutex kHoldSumInfoLock;
    std::vector<HoldInfo> kHoldSumInfoList;

    mutable std::mutex kAccountInfoLock;
    AccountInfo kAccountInfo{};
    AccountFigures figures;

    // Copy of a product; a record that is zero but for the id when the product is unknown.
    TypeInfo product(int productId) const;
    // The product's name, empty when unknown.
    std::string productName(int productId) const;
    // Copies the product over record when found; leaves record as it was otherwise.
    bool copyProduct(int productId, TypeInfo &record) const;

    std::vector<TypeInfo> products() const;
    std::vector<HoldInfo> positions() const;
    std::vector<HoldInfo> positionSummary() const;
    std::vector<DelegateInfo> pendingOrders() const;
    // A copy of the record with this number, as the list holds it now; none when it is gone.
    std::optional<HoldInfo> position(const std::string &number) const;
    std::optional<DelegateInfo> pendingOrder(const std::string &number) const;
    AccountInfo account() const;
    AccountFigures accountFigures() const;

    // Whole replacements, as a query makes them: the records are read beforehand, so each lock is
    // held only for the swap.
    void replaceProducts(std::vector<TypeInfo> records);
    void replacePositions(std::vector<HoldInfo> records);
    void replacePositionSummary(std::vector<HoldInfo> records);
    void replacePendingOrders(std::vector<DelegateInfo> records);
    void replaceAccount(const AccountInfo &record);
};

} // namespace qs
