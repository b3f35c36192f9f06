#pragma once

#include "core/report/ReportSort.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

namespace qs::ui {

// The rows of one report list: texts per column plus a key per row (the record number a page
// uses to find the row's record again). Rows keep the order they were given until sort().
class ReportTableModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    // Drops every row.
    void setColumns(std::vector<ReportColumn> columns);
    // Missing keys are empty; cells beyond a row's end read empty.
    void setRows(std::vector<ReportRow> rows, std::vector<std::string> keys);
    void setCell(int row, int column, const std::string &text);
    std::string cell(int row, int column) const;
    const std::string &key(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Stable, by the column's kind; selections and other persistent indexes follow their rows.
    void sort(int column, Qt::SortOrder order) override;

private:
    bool contains(int row, int column) const;

    std::vector<ReportColumn> m_columns;
    std::vector<ReportRow> m_rows;
    std::vector<std::string> m_keys;
};

} // namespace qs::ui
