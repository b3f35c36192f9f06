#pragma once

#include "core/platform/Mutex.h"
#include "core/protocol/AccountInfo.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/TypeInfo.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qs {

class FloatingProfitCache;

// Where the chart drew a record's label (left, top, right, bottom), for the record whose number
// field holds number: its bytes up to the terminator, compared as they are.
struct LabelRect {
    std::string number;
    std::array<std::int32_t, 4> rect{};
};

// The client's copy of the trading account: five collections, each under a lock of its own.
// Lock order: kTypeInfoLock is innermost and never held while another is taken;
// kHoldSumInfoLock may be held while kHoldInfoLock is taken, never the reverse; kHoldInfoLock
// is released before kAccountInfoLock is taken.
struct TradingData {
    TradingData();
    ~TradingData();
    TradingData(const TradingData &) = delete;
    TradingData &operator=(const TradingData &) = delete;

    mutable Mutex kTypeInfoLock;
    std::vector<TypeInfo> kTypeInfoList GUARDED_BY(kTypeInfoLock);

    mutable Mutex kHoldInfoLock;
    std::vector<HoldInfo> kHoldInfoList GUARDED_BY(kHoldInfoLock);
    // Decimal sums of the positions, kept between recalculations.
    std::unique_ptr<FloatingProfitCache> floatingProfitCache PT_GUARDED_BY(kHoldInfoLock);

    mutable Mutex kDelegateInfoLock;
    std::vector<DelegateInfo> kDelegateInfoList GUARDED_BY(kDelegateInfoLock);

    mutable Mutex kHoldSumInfoLock;
    std::vector<HoldInfo> kHoldSumInfoList GUARDED_BY(kHoldSumInfoLock);

    mutable Mutex kAccountInfoLock;
    AccountInfo kAccountInfo GUARDED_BY(kAccountInfoLock){};
    AccountFigures figures GUARDED_BY(kAccountInfoLock);

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

    // The label rectangles the chart drew, into the records with those numbers; a number's n-th
    // rectangle goes to its n-th record. Records not named keep theirs.
    void storeLabelRects(const std::vector<LabelRect> &positions,
                         const std::vector<LabelRect> &orders);
};

} // namespace qs
