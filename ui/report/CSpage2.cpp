#include "ui/report/CSpage2.h"

#include "core/report/ReportPages.h"
#include "core/trading/TradingData.h"
#include "ui/widgets/CSortListCtrl.h"

namespace qs::ui {

namespace {
// A summary row is one product and one side.
std::string SummaryKey(const HoldInfo &summary)
{
    return std::to_string(summary.productId) + (summary.isBuy() ? "/1" : "/2");
}
} // namespace

CSpage2::CSpage2(const FrameContext &context, std::function<void()> refreshAccountBar,
                 QWidget *parent)
    : ReportPage(context, std::move(refreshAccountBar), parent)
    , m_list(addList(SummaryColumns(), QStringLiteral("持仓总汇")))
{
    setObjectName(QStringLiteral("CSpage2"));
    listenToNotices();
}

void CSpage2::fill()
{
    const std::vector<HoldInfo> positions = m_context.trading.positions();
    std::vector<ReportRow> rows;
    std::vector<std::string> keys;
    for (const HoldInfo &summary : m_context.trading.positionSummary()) {
        rows.push_back(
            SummaryRow(summary, m_context.trading.product(summary.productId), positions));
        keys.push_back(SummaryKey(summary));
    }
    m_list->setRows(std::move(rows), std::move(keys));
}

void CSpage2::ticked(const KLineBar &tick)
{
    TypeInfo product{};
    if (!m_context.trading.copyProduct(tick.productId, product))
        return;
    const std::vector<HoldInfo> positions = m_context.trading.positions();
    ReportRow cells(SummaryColumns().size());
    for (const HoldInfo &summary : m_context.trading.positionSummary()) {
        if (summary.productId != tick.productId)
            continue;
        const std::string key = SummaryKey(summary);
        for (int row = 0; row < m_list->rowCount(); ++row) {
            if (m_list->key(row) != key)
                continue;
            SummaryTick(cells, summary, product, positions);
            for (int column : {5, 6})
                m_list->setCell(row, column, cells[static_cast<std::size_t>(column)]);
        }
    }
}

} // namespace qs::ui
