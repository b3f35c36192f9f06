#pragma once

#include "core/report/ReportSort.h"

#include <QTableView>

#include <string>
#include <vector>

namespace qs::ui {

class ReportTableModel;

// The report pages' list: grid lines, full-row single selection, row height 25, odd rows (counting
// from 0) RGB(236,236,236), columns sized to the larger of content and header after every refill
// (+4 px, except the last column when its header is wider than its content), sorting by a header
// click only (never on a data change).
class CSortListCtrl final : public QTableView {
    Q_OBJECT

public:
    explicit CSortListCtrl(QWidget *parent = nullptr);

    // Drops every row.
    void setColumns(const std::vector<ReportColumn> &columns);
    // Deletes every row, then adds these in order with their keys (a record number each, how a row
    // finds its record again; never an index or pointer); then auto-sizes the columns. The order
    // stays as given.
    void setRows(std::vector<ReportRow> rows, std::vector<std::string> keys);
    int rowCount() const;
    // Empty outside the list.
    std::string cell(int row, int column) const;
    // A tick's rewrite: neither re-sorts nor resizes.
    void setCell(int row, int column, const std::string &text);
    // Empty outside the list.
    const std::string &key(int row) const;
    int selectedRow() const; // -1 when none
    // What a click on a header does: SortState::click, then a stable sort of the rows by that
    // column's kind, reversed when descending.
    void clickHeader(int column);
    const SortState &sortState() const { return m_sort; }

Q_SIGNALS:
    // A right click in the list, after the row under the point became the selection: that row, or
    // -1 below the last row (nothing selected then). The page decides on the menu.
    void rowMenuRequested(const QPoint &globalPos, int row);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void autoSizeColumns();

    ReportTableModel *m_model;
    SortState m_sort;
};

} // namespace qs::ui
