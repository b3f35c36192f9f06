// The trading report against the demo server after real trades: two positions on two
// products, a waiting order and their deals.
#include "core/report/ReportPages.h"
#include "tests/e2e/TradingFrame.h"
#include "ui/CommandIds.h"
#include "ui/orders/COrderSJClose.h"
#include "ui/orders/OrderWindowsFactory.h"
#include "ui/report/CSPage1.h"
#include "ui/report/CSPage3.h"
#include "ui/report/CSPage4.h"
#include "ui/report/CSPage6.h"
#include "ui/report/CSimulateMain.h"
#include "ui/report/CSpage2.h"
#include "ui/report/CSpage5.h"
#include "ui/report/ReportGrid.h"
#include "ui/widgets/CSortListCtrl.h"

#include <QComboBox>
#include <QMenu>
#include <QTabWidget>

namespace qs::ui {
namespace {

constexpr std::int32_t kOther = 2;

std::vector<std::vector<std::string>> Cells(const CSortListCtrl &list)
{
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < list.rowCount(); ++row) {
        rows.emplace_back();
        for (int column = 0; column < list.model()->columnCount(); ++column)
            rows.back().push_back(list.cell(row, column));
    }
    return rows;
}

int RowOf(const CSortListCtrl &list, int column, const std::string &text)
{
    for (int row = 0; row < list.rowCount(); ++row)
        if (list.cell(row, column) == text)
            return row;
    return -1;
}

class ReportE2E : public test::TradingFrameTest {
protected:
    void SetUp() override
    {
        TradingFrameTest::SetUp();
        ASSERT_EQ(placeOrder(order_kind::kMarket, m_server.quote(kProduct).buy), 1);
        ASSERT_EQ(placeOrder(order_kind::kMarket, m_server.quote(kOther).buy, 1, kOther), 1);
        ASSERT_EQ(placeOrder(order_kind::kLimit, m_server.quote(kProduct).buy - 20), 1);
        startFrame();
        m_report
            = std::make_unique<CSimulateMain>(frameContext(), MakeOrderWindows(frameContext()));
        m_report->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_report.get()));
    }
    void TearDown() override { m_report.reset(); }

    void select(int tab) { m_report->tabs()->setCurrentIndex(tab); }

    std::unique_ptr<CSimulateMain> m_report;
};

TEST_F(ReportE2E, EveryPageShowsTheServersRecords)
{
    EXPECT_EQ(m_report->positionsPage()->list()->rowCount(), 2);
    select(1);
    EXPECT_EQ(m_report->summaryPage()->list()->rowCount(), 2);
    select(2);
    ASSERT_EQ(m_report->ordersPage()->list()->rowCount(), 1);
    EXPECT_EQ(m_report->ordersPage()->list()->cell(0, 12), "等待");
    select(3);
    EXPECT_EQ(m_report->dealsPage()->list()->rowCount(),
              static_cast<int>(m_server.account("demo").deals.size()));
    select(4);
    EXPECT_EQ(m_report->accountPage()->grid()->cell(0, 0), "账户名称");
    EXPECT_FALSE(m_report->accountPage()->grid()->cell(1, 1).empty());
    select(5);
    EXPECT_GT(m_report->productPage()->picker()->count(), 0);
    EXPECT_EQ(m_report->productPage()->grid()->cell(0, 1),
              m_report->productPage()->picker()->currentText().toStdString());
    EXPECT_TRUE(m_seam.messages().empty());
}

TEST_F(ReportE2E, ATickRewritesOnlyTheClosingPriceAndProfitOfItsProductAndTheCaption)
{
    CSortListCtrl &list = *m_report->positionsPage()->list();
    const auto before = Cells(list);
    const QString caption = m_report->windowTitle();
    EXPECT_TRUE(caption.contains(QStringLiteral(":   当前权益"))) << "three blanks at creation";
    m_server.setPrice(kProduct, m_server.quote(kProduct).last + 7);
    const int row = RowOf(list, 0, trading().positions().at(0).number());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Cells(list)[row][6] != before[row][6]; }, 5000));
    const auto after = Cells(list);
    for (std::size_t r = 0; r < after.size(); ++r) {
        for (std::size_t c = 0; c < after[r].size(); ++c) {
            if (static_cast<int>(r) != row || (c != 6 && c != 11)) {
                EXPECT_EQ(after[r][c], before[r][c]) << r << ',' << c;
            }
        }
    }
    EXPECT_NE(after[row][11], before[row][11]);
    EXPECT_TRUE(m_report->windowTitle().contains(QStringLiteral(":    当前权益")));
}

TEST_F(ReportE2E, TheDealsComeAgainOnEverySelectionAndAFailedQueryKeepsTheRows)
{
    const int queries = m_server.requestCount(cmd::kDeals);
    select(3);
    select(0);
    select(3);
    EXPECT_EQ(m_server.requestCount(cmd::kDeals), queries + 2);
    const auto shown = Cells(*m_report->dealsPage()->list());
    m_server.closeInReply(cmd::kDeals, 2); // the count breaks off
    select(0);
    select(3);
    EXPECT_EQ(m_seam.messageTexts(), std::vector<std::string>{"获取成交信息失败"});
    EXPECT_EQ(Cells(*m_report->dealsPage()->list()), shown);
}

TEST_F(ReportE2E, OrdersPageOffersNothingBelowTheRowsAndKeepsFinishedOrders)
{
    select(2);
    CSortListCtrl &list = *m_report->ordersPage()->list();
    bool menuShown = false;
    QTimer::singleShot(300, [&] {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *menu = qobject_cast<QMenu *>(top); menu && menu->isVisible()) {
                menuShown = true;
                menu->close();
            }
    });
    QTest::mouseClick(list.viewport(), Qt::RightButton, {},
                      QPoint(10, list.viewport()->height() - 5));
    QTest::qWait(400);
    EXPECT_FALSE(menuShown);

    // The waiting order fills; the list keeps it as done.
    m_server.setPrice(kProduct, m_server.quote(kProduct).last - 40);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return list.rowCount() == 1 && list.cell(0, 12) == "已成交"; }, 5000));
    const int deletes = m_server.requestCount(cmd::kDeleteOrder);
    list.selectRow(0);
    m_report->ordersPage()->runCommand(CSPage3::kDelete);
    EXPECT_EQ(m_seam.messageTexts(), std::vector<std::string>{"无法删除已经完成的订单"});
    EXPECT_EQ(m_server.requestCount(cmd::kDeleteOrder), deletes);
}

TEST_F(ReportE2E, AMarketCloseFromThePositionsPageRemovesItsRow)
{
    CSortListCtrl &list = *m_report->positionsPage()->list();
    const std::string closed = trading().positions().at(0).number();
    list.selectRow(RowOf(list, 0, closed));
    WhenShown<COrderSJClose>([](COrderSJClose &dialog) { Click(dialog, 1059); });
    m_report->positionsPage()->runCommand(CSPage1::kMarketClose);
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_EQ(RowOf(list, 0, closed), -1);
    EXPECT_TRUE(m_report->windowTitle().contains(QStringLiteral(":    当前权益")));
    EXPECT_TRUE(m_seam.messages().empty());
}

TEST_F(ReportE2E, TheFramesCommandOpensTheReport)
{
    m_report.reset();
    bool opened = false;
    WhenShown<CSimulateMain>([&](CSimulateMain &report) {
        opened = report.tabs()->count() == 6;
        report.reject();
    });
    m_frame->onCommand(command::kReport);
    EXPECT_TRUE(opened);
}

} // namespace
} // namespace qs::ui
