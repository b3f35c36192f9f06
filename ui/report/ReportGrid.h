#pragma once

#include <QTableWidget>

#include <string>
#include <vector>

namespace qs::ui {

// A fixed table of text cells (the account and product pages): rows 30 px, columns 150 px, no
// headers, no editing. Columns alternate caption and value; each value cell's accessible
// description is the caption to its left.
class ReportGrid final : public QTableWidget {
    Q_OBJECT

public:
    ReportGrid(int rows, int columns, QWidget *parent = nullptr);

    // rows x columns; missing cells become empty, cells beyond the table are dropped.
    void setCells(const std::vector<std::vector<std::string>> &cells);
    // Ignored outside the table.
    void setCell(int row, int column, const std::string &text);
    // Empty outside the table.
    std::string cell(int row, int column) const;
};

} // namespace qs::ui
