#pragma once

#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/TypeInfo.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qs {

struct TradingData;

// What the read-only fields of the close and stops dialogs show of a position.
struct PositionTexts {
    std::string productName; // offset 28
    std::string stopLoss;    // price format
    std::string takeProfit;  // price format
    std::string heldLots;    // offset 88, lot format
    std::string openedLots;  // offset 80, lot format
    std::string side;        // "买" for side 1, else "卖"
};
PositionTexts MakePositionTexts(const HoldInfo &position, const TypeInfo &product);

// The lots-to-close field of both closes: digits, spin range 1 .. truncation(held x 10^d + 1)
// (one unit above the held lots), the first text (the held lots, as whole units printed with
// the lot format) and the limit close's range label "(可填范围%g-%g)" (one lot unit, held lots).
struct CloseLotSetup {
    std::int32_t digits = 0;
    std::int32_t lower = 1;
    std::int32_t upper = 1;
    std::string firstText;
    std::string rangeLabel;
};
CloseLotSetup MakeCloseLotSetup(const HoldInfo &position, const TypeInfo &product);

// The price a position closes at: the sell price for a buy position, the buy price for a sell.
double ClosingPrice(const HoldInfo &position, const TypeInfo &product);

// The market close's slippage field as whole units of 4 digits: the buy spread x 10000 rounded
// to the nearest unit (truncating would turn a 32-bit 0.0007 into 6 units).
std::string MarketCloseSlippageText(const TypeInfo &product);

struct MarketCloseFields {
    double lots = 0;
    double closingPrice = 0; // the closing price label's text as a number
    bool slippageTicked = true;
    double slippage = 0; // sent unchanged when ticked, negative values included
};
// Command 18's body of a market close; the server decides, nothing is checked here.
DelegateInfo MarketCloseBody(const HoldInfo &position, const MarketCloseFields &fields);

struct LimitCloseFields {
    double lots = 0;
    double price = 0;
    double stopLoss = 0;
    double takeProfit = 0;
    int validityIndex = 0; // 0 "当日有效", 1 "当周有效"
};
// Command 18's body of a limit close: the product name at 28 and the order's own stops.
DelegateInfo LimitCloseBody(const HoldInfo &position, const LimitCloseFields &fields);

// The limit close's live closing-side price from a tick's close (in units of 10^-digits):
// last - sell spread for a buy position, last + buy spread for a sell.
double LimitCloseTickPrice(const HoldInfo &position, const TypeInfo &product,
                           std::int32_t tickClose);
// The bounds a stop-loss and a take-profit are shown against.
struct StopLimits {
    double stopLoss = 0;
    double takeProfit = 0;
};
// The limit close's stop bounds once the typed price p is known (p = 0: none).
std::optional<StopLimits> LimitCloseStopBounds(const HoldInfo &position, const TypeInfo &product,
                                               double price);

// The limit close's reply: outcome 4 "价格无效", 5 "止损或止盈无效", 1 with an order number
// (first byte not zero) is success, anything else "委托失败，未知错误".
struct LimitCloseVerdict {
    bool success = false;
    std::string message; // empty on success
};
LimitCloseVerdict JudgeLimitCloseReply(const DelegateInfo &reply);

// Success of a limit close: the reply (status set to 1) replaces the first waiting limit close
// of the same position in kDelegateInfoList, or is appended.
void AddLimitClose(TradingData &data, DelegateInfo reply);

} // namespace qs
