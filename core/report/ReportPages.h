#pragma once

#include "core/protocol/AccountInfo.h"
#include "core/protocol/DealInfo.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/TypeInfo.h"
#include "core/report/ReportSort.h"

#include <cstdint>
#include <string>
#include <vector>

// The texts of the trading report: the account bar, the rows of the four list pages and the
// cells of the account and product grids. Callers look products up (a zeroed record with the
// asked id when the product is not listed) and hold the collection locks while they read.
namespace qs {

// 1 "普通会员", 2 "银卡会员", 4 "金卡会员", 8 "钻石卡会员", any other level "".
std::string MemberLevelName(std::int32_t level);

// The report window's caption; one blank more after the colon once a tick has arrived.
std::string AccountBarText(std::int32_t level, const std::string &memberName,
                           const AccountFigures &figures, bool afterTick);

// Position details: one row per position.
const std::vector<ReportColumn> &PositionColumns();
ReportRow PositionRow(const HoldInfo &position, const TypeInfo &product);
// A tick of the position's product rewrites the close price and the floating profit only.
void PositionTick(ReportRow &row, const HoldInfo &position, const TypeInfo &product);

// Position summary: one row per product and side; the floating profit sums the positions of
// the same product and side.
const std::vector<ReportColumn> &SummaryColumns();
ReportRow SummaryRow(const HoldInfo &summary, const TypeInfo &product,
                     const std::vector<HoldInfo> &positions);
// Rewrites the close price and the summed floating profit.
void SummaryTick(ReportRow &row, const HoldInfo &summary, const TypeInfo &product,
                 const std::vector<HoldInfo> &positions);

// Pending orders: one row per order.
const std::vector<ReportColumn> &OrderColumns();
ReportRow OrderRow(const DelegateInfo &order, const TypeInfo &product);
// Rewrites the current price.
void OrderTick(ReportRow &row, const DelegateInfo &order, const TypeInfo &product);

// Deals: one row per deal.
const std::vector<ReportColumn> &DealColumns();
ReportRow DealRow(const DealInfo &deal);

// A fixed grid's texts by row, then column; "" where the grid is empty.
using GridCells = std::vector<std::vector<std::string>>;

// The account grid, 9 rows × 4 columns (row 8 empty).
GridCells AccountCells(const AccountInfo &account, const AccountFigures &figures);
// What a tick rewrites: equity, floating profit, usable margin, risk rate and net yield; the
// last two always as percentages, so a zero reads "0.00%" here but "--" after a fill.
void AccountLiveCells(GridCells &cells, const AccountFigures &figures);

// The product grid, 8 rows × 4 columns.
GridCells ProductCells(const TypeInfo &product);

} // namespace qs
