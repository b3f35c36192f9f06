#include "ui/report/ReportGrid.h"
#include "ui/widgets/CSortListCtrl.h"

#include <QAccessible>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace qs::ui {
namespace {

std::vector<std::string> Column(const CSortListCtrl &list, int column)
{
    std::vector<std::string> texts;
    for (int row = 0; row < list.rowCount(); ++row)
        texts.push_back(list.cell(row, column));
    return texts;
}

struct Filled {
    Filled()
    {
        list.setColumns({{"单号"}, {"商品"}, {"价格", SortKind::Number}});
        list.setRows({{"a", "银", "9"}, {"b", "金", "10.5"}, {"c", "油", "9.5"}}, {"7", "8", "9"});
    }
    CSortListCtrl list;
};

TEST(SortList, KeepsGivenOrderUntilAHeaderClickThenSortsByTheColumnKind)
{
    Filled f;
    EXPECT_EQ(Column(f.list, 0), (std::vector<std::string>{"a", "b", "c"}));
    f.list.show();
    const QHeaderView *header = f.list.horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + header->sectionSize(2) / 2,
                             header->height() / 2));
    EXPECT_EQ(Column(f.list, 2), (std::vector<std::string>{"9", "9.5", "10.5"}));
    EXPECT_EQ(f.list.key(2), "8");
    f.list.clickHeader(2);
    EXPECT_FALSE(f.list.sortState().ascending);
    EXPECT_EQ(Column(f.list, 0), (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_EQ(f.list.key(0), "8");

    f.list.setCell(2, 2, "99");
    EXPECT_EQ(Column(f.list, 2), (std::vector<std::string>{"10.5", "9.5", "99"}));
    f.list.setRows({{"z"}, {"y"}}, {"1", "2"});
    EXPECT_EQ(Column(f.list, 0), (std::vector<std::string>{"z", "y"}));
    EXPECT_EQ(f.list.cell(0, 2), "");
}

TEST(SortList, SelectionFollowsItsRowThroughASort)
{
    Filled f;
    f.list.selectRow(0);
    f.list.clickHeader(1); // text: 油 < 金 < 银 by code unit
    EXPECT_EQ(f.list.selectedRow(), 2);
    EXPECT_EQ(f.list.key(f.list.selectedRow()), "7");
}

TEST(SortList, ColumnsFitTheWiderOfContentAndHeader)
{
    CSortListCtrl list;
    list.setColumns({{"A"}, {"一个很长很长的列标题"}});
    list.setRows({{"a much longer cell text than its header", "x"}}, {"1"});
    const QHeaderView *header = list.horizontalHeader();
    EXPECT_GT(list.columnWidth(0), header->sectionSizeHint(0) + 4);
    EXPECT_EQ(list.columnWidth(1), header->sectionSizeHint(1));
    EXPECT_EQ(list.rowHeight(0), 25);
    EXPECT_EQ(list.palette().color(QPalette::AlternateBase), QColor(236, 236, 236));
    EXPECT_TRUE(list.alternatingRowColors());
}

TEST(SortList, RightClickSelectsTheRowUnderThePointAndReportsIt)
{
    Filled f;
    f.list.resize(400, 300);
    f.list.show();
    QSignalSpy spy(&f.list, &CSortListCtrl::rowMenuRequested);
    const QPoint second = f.list.visualRect(f.list.model()->index(1, 0)).center();
    QTest::mouseClick(f.list.viewport(), Qt::RightButton, {}, second);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy.at(0).at(1).toInt(), 1);
    EXPECT_EQ(f.list.selectedRow(), 1);

    QTest::mouseClick(f.list.viewport(), Qt::RightButton, {}, QPoint(second.x(), 280));
    ASSERT_EQ(spy.size(), 2);
    EXPECT_EQ(spy.at(1).at(1).toInt(), -1);
    EXPECT_EQ(f.list.selectedRow(), -1);
}

TEST(ReportGrid, FillsEveryCellAndIgnoresCellsOutsideTheTable)
{
    ReportGrid grid(3, 2);
    grid.setCell(2, 1, "old");
    grid.setCells({{"账户名称", "张三", "extra"}, {"当前权益"}});
    grid.setCell(5, 0, "nowhere");
    EXPECT_EQ(grid.cell(0, 1), "张三");
    EXPECT_EQ(grid.cell(1, 1), "");
    EXPECT_EQ(grid.cell(2, 1), "");
    EXPECT_EQ(grid.rowHeight(2), 30);
    EXPECT_EQ(grid.columnWidth(1), 150);
}

// A screen reader hears a cell's text, the caption beside a value, and no section numbers.
TEST(ReportGrid, CellsReadAsShownWithTheirCaptions)
{
    ReportGrid grid(2, 4);
    grid.setCells({{"账户名称", "张三", "", ""}, {"出入金总额", "100.00", "浮动盈亏", "-5.00"}});
    grid.setCell(1, 3, "7.50"); // a tick
    QAccessibleTableInterface *table
        = QAccessible::queryAccessibleInterface(&grid)->tableInterface();
    ASSERT_NE(table, nullptr);
    const struct {
        int row, column;
        const char *name, *description;
    } rows[] = {{0, 0, "账户名称", ""},
                {0, 1, "张三", "账户名称"},
                {1, 1, "100.00", "出入金总额"},
                {1, 3, "7.50", "浮动盈亏"}};
    for (const auto &row : rows) {
        QAccessibleInterface *cell = table->cellAt(row.row, row.column);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->text(QAccessible::Name), QString::fromUtf8(row.name));
        EXPECT_EQ(cell->text(QAccessible::Description), QString::fromUtf8(row.description));
        for (QAccessibleInterface *header : cell->tableCellInterface()->columnHeaderCells())
            EXPECT_EQ(header->text(QAccessible::Name), QString()) << row.column;
        for (QAccessibleInterface *header : cell->tableCellInterface()->rowHeaderCells())
            EXPECT_EQ(header->text(QAccessible::Name), QString()) << row.row;
    }
}

} // namespace
} // namespace qs::ui
