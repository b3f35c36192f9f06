#include "ui/report/CSPage4.h"

#include "core/protocol/RequestExchange.h"
#include "core/report/ReportPages.h"
#include "core/trading/TradingQueries.h"
#include "ui/widgets/CSortListCtrl.h"
#include "ui/widgets/WaitCursor.h"

namespace qs::ui {

CSPage4::CSPage4(const FrameContext &context, std::function<void()> refreshAccountBar,
                 QWidget *parent)
    : ReportPage(context, std::move(refreshAccountBar), parent)
    , m_list(addList(DealColumns(), QStringLiteral("成交查询")))
{
    setObjectName(QStringLiteral("CSPage4"));
}

void CSPage4::query()
{
    std::vector<DealInfo> deals;
    {
        WaitCursor wait;
        RequestExchange exchange(m_context.link);
        if (!exchange.isOpen() || QueryDealInfo(exchange.connection(), m_context.link, deals) != 1)
            return;
    }
    std::vector<ReportRow> rows;
    std::vector<std::string> keys;
    for (const DealInfo &deal : deals) {
        keys.push_back(std::to_string(rows.size()));
        rows.push_back(DealRow(deal));
    }
    m_list->setRows(std::move(rows), std::move(keys));
}

} // namespace qs::ui
