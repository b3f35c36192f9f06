#include "ui/report/CSimulateMain.h"

#include "core/report/ReportPages.h"
#include "core/trading/TradingData.h"
#include "ui/TradingNotices.h"
#include "ui/report/CSPage1.h"
#include "ui/report/CSPage3.h"
#include "ui/report/CSPage4.h"
#include "ui/report/CSPage6.h"
#include "ui/report/CSpage2.h"
#include "ui/report/CSpage5.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace qs::ui {

namespace {
// 651 x 306 dialog units in the usual 8-point dialog font.
constexpr int kWidth = 980;
constexpr int kHeight = 500;
} // namespace

CSimulateMain::CSimulateMain(const FrameContext &context, const OrderWindows &orderWindows,
                             QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_tabs(new QTabWidget(this))
{
    setObjectName(QStringLiteral("CSimulateMain"));
    setSizeGripEnabled(true);
    m_tabs->setObjectName(QStringLiteral("tab1023"));
    const auto refresh = [this] {
        refreshAccountBar();
    };
    m_positions = new CSPage1(context, orderWindows, refresh);
    m_summary = new CSpage2(context, refresh);
    m_orders = new CSPage3(context, orderWindows, refresh);
    m_deals = new CSPage4(context, refresh);
    m_account = new CSpage5(context, refresh);
    m_product = new CSPage6(context, refresh);
    const std::pair<QWidget *, const char *> pages[] = {
        {m_positions, "持仓明细"}, {m_summary, "持仓总汇"}, {m_orders, "委托查询"},
        {m_deals, "成交查询"},     {m_account, "账户信息"}, {m_product, "商品信息"},
    };
    for (const auto &[page, text] : pages) {
        // Insets of 10 around every page; the tab bar takes the rest of the top band.
        page->setContentsMargins(10, 6, 10, 10);
        m_tabs->addTab(page, QString::fromUtf8(text));
    }
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->addWidget(m_tabs);
    resize(kWidth, kHeight);

    m_context.notices.add(this, this);
    showAccountBar(false);
    m_tabs->setCurrentIndex(0);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CSimulateMain::pageSelected);
}

void CSimulateMain::showAccountBar(bool afterTick)
{
    const Session &session = m_context.link.session();
    setWindowTitle(
        QString::fromStdString(AccountBarText(session.memberLevel(), session.memberName(),
                                              m_context.trading.accountFigures(), afterTick)));
}

void CSimulateMain::refreshAccountBar()
{
    showAccountBar(true);
}

void CSimulateMain::pageSelected(int index)
{
    if (auto *page = qobject_cast<ReportPage *>(m_tabs->widget(index)))
        page->selected();
}

void CSimulateMain::ticked(const KLineBar &)
{
    refreshAccountBar();
}

} // namespace qs::ui
