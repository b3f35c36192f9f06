#pragma once

#include "core/protocol/OrderRecords.h"
#include "core/protocol/TypeInfo.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qs {

// Set-up of the lot spin and lot field, with P = 10^lotDecimals as a 32-bit float.
struct LotSetup {
    std::int32_t lower;     // truncation of minLots x P
    std::int32_t upper;     // truncation of maxLots x P
    std::int32_t step;      // truncation of lotStep
    std::int32_t digits;    // lotDecimals
    std::string rangeLabel; // "(可填范围%g-%d)" with minLots and maxLots
    std::string maxText;    // "%d" of upper: what "最大" writes into the lot field
    std::string minText;    // "%g" of minLots x P: the lot field's first text
};
LotSetup MakeLotSetup(const TypeInfo &product);

// The slippage field's first text: "%g" of askSpread x 10000 (the field has 4 digits).
std::string InitialSlippageText(const TypeInfo &product);

// The limit dialog's button texts: each side price -/+ the limit distance in the price format.
struct LimitButtonTexts {
    std::string buy;
    std::string sell;
};
LimitButtonTexts MakeLimitButtonTexts(const TypeInfo &product);

struct OrderForm {
    std::optional<std::string> refusal; // the first refusal, in the order the dialog checks
    OpenOrderBody body{};               // meaningful when there is no refusal
};

struct MarketOpenFields {
    std::int32_t productId = 0; // the picker's selection
    double lots = 0;
    bool slippageTicked = true;
    double slippage = 0;
    double stopLoss = 0;
    double takeProfit = 0;
    double buyLabel = 0; // the price labels' texts as doubles
    double sellLabel = 0;
};
// direction 1 buys at buyLabel, 2 sells at sellLabel.
OrderForm MarketOpenForm(const TypeInfo &product, const MarketOpenFields &fields,
                         std::int32_t direction);

struct LimitOpenFields {
    std::int32_t productId = 0;
    double lots = 0;
    double limitPrice = 0;
    int validityIndex = 1; // 0 "当日有效", 1 "当周有效"
    double stopLoss = 0;
    double takeProfit = 0;
};
// direction 1 buys, 2 sells; the side price is the product copy's, the stops measure from the
// limit price.
OrderForm LimitOpenForm(const TypeInfo &product, const LimitOpenFields &fields,
                        std::int32_t direction);

} // namespace qs
