#pragma once

#include "core/platform/AnsiCodec.h"

#include <cstddef>
#include <cstdint>

namespace qs {

// The member's balance sheet as the server keeps it.
struct AccountInfo {
    std::uint8_t carried0[21];   // 0
    char accountName[27];        // 21
    double capitalBase;          // 48  added to the deposits for the net yield
    double depositsTotal;        // 56
    double usableFunds;          // 64  before floating profit
    double closedProfitToday;    // 72
    double commissionToday;      // 80
    double occupiedMargin;       // 88
    double frozenMargin;         // 96
    double frozenCommission;     // 104
    double deferralFeeYesterday; // 112
    std::int32_t award;          // 120 1 first, 2 second, 3 third, 4 encouragement
    std::uint8_t carried124[36]; // 124

    std::string accountNameText() const { return ReadAnsiField(accountName); }
};

static_assert(sizeof(AccountInfo) == 160);
static_assert(offsetof(AccountInfo, accountName) == 21);
static_assert(offsetof(AccountInfo, capitalBase) == 48);
static_assert(offsetof(AccountInfo, deferralFeeYesterday) == 112);
static_assert(offsetof(AccountInfo, award) == 120);

// Figures derived from the account, the positions and the product prices.
struct AccountFigures {
    double floatingProfit = 0; // rounded to float before it is stored
    double equity = 0;         // rounded to float before it is stored
    double usableMargin = 0;
    float riskRate = 0; // percent; 0 without occupied margin
    float netYield = 0; // percent
};

} // namespace qs
