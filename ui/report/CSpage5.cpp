#include "ui/report/CSpage5.h"

#include "core/report/ReportPages.h"
#include "core/trading/TradingData.h"
#include "ui/report/ReportGrid.h"

#include <QVBoxLayout>

namespace qs::ui {

namespace {
constexpr int kRows = 9;
constexpr int kColumns = 4;
} // namespace

CSpage5::CSpage5(const FrameContext &context, std::function<void()> refreshAccountBar,
                 QWidget *parent)
    : ReportPage(context, std::move(refreshAccountBar), parent)
    , m_grid(new ReportGrid(kRows, kColumns, this))
{
    setObjectName(QStringLiteral("CSpage5"));
    m_grid->setObjectName(QStringLiteral("grid1056"));
    m_grid->setAccessibleName(QStringLiteral("账户信息"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
    listenToNotices();
}

void CSpage5::fill()
{
    m_grid->setCells(AccountCells(m_context.trading.account(), m_context.trading.accountFigures()));
}

void CSpage5::ticked(const KLineBar &)
{
    GridCells cells(kRows, std::vector<std::string>(kColumns));
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column)
            cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]
                = m_grid->cell(row, column);
    AccountLiveCells(cells, m_context.trading.accountFigures());
    m_grid->setCells(cells);
}

} // namespace qs::ui
