#include "ui/widgets/ReportTableModel.h"

#include <algorithm>
#include <numeric>

namespace qs::ui {

void ReportTableModel::setColumns(std::vector<ReportColumn> columns)
{
    beginResetModel();
    m_columns = std::move(columns);
    m_rows.clear();
    m_keys.clear();
    endResetModel();
}

void ReportTableModel::setRows(std::vector<ReportRow> rows, std::vector<std::string> keys)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_keys = std::move(keys);
    m_keys.resize(m_rows.size());
    endResetModel();
}

bool ReportTableModel::contains(int row, int column) const
{
    return row >= 0 && column >= 0 && static_cast<std::size_t>(row) < m_rows.size()
           && static_cast<std::size_t>(column) < m_columns.size();
}

void ReportTableModel::setCell(int row, int column, const std::string &text)
{
    if (!contains(row, column))
        return;
    ReportRow &cells = m_rows[static_cast<std::size_t>(row)];
    if (cells.size() <= static_cast<std::size_t>(column))
        cells.resize(static_cast<std::size_t>(column) + 1);
    cells[static_cast<std::size_t>(column)] = text;
    const QModelIndex changed = index(row, column);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole});
}

std::string ReportTableModel::cell(int row, int column) const
{
    if (!contains(row, column))
        return {};
    const ReportRow &cells = m_rows[static_cast<std::size_t>(row)];
    return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)]
                                                           : std::string();
}

const std::string &ReportTableModel::key(int row) const
{
    static const std::string none;
    return row >= 0 && static_cast<std::size_t>(row) < m_keys.size()
               ? m_keys[static_cast<std::size_t>(row)]
               : none;
}

int ReportTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ReportTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant ReportTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !contains(index.row(), index.column()))
        return {};
    return QString::fromStdString(cell(index.row(), index.column()));
}

QVariant ReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || static_cast<std::size_t>(section) >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromStdString(m_columns[static_cast<std::size_t>(section)].header);
}

void ReportTableModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || static_cast<std::size_t>(column) >= m_columns.size())
        return;
    const SortKind kind = m_columns[static_cast<std::size_t>(column)].kind;
    const bool ascending = order == Qt::AscendingOrder;
    std::vector<std::size_t> oldRowAt(m_rows.size());
    std::iota(oldRowAt.begin(), oldRowAt.end(), std::size_t{0});
    std::vector<std::string> texts(m_rows.size());
    for (std::size_t row = 0; row < m_rows.size(); ++row)
        texts[row] = cell(static_cast<int>(row), column);
    std::stable_sort(oldRowAt.begin(), oldRowAt.end(), [&](std::size_t a, std::size_t b) {
        const int c = CompareCells(kind, texts[a], texts[b]);
        return ascending ? c < 0 : c > 0;
    });

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(m_rows.size());
    std::vector<ReportRow> rows;
    std::vector<std::string> keys;
    rows.reserve(m_rows.size());
    keys.reserve(m_keys.size());
    for (std::size_t row = 0; row < oldRowAt.size(); ++row) {
        newRowOf[oldRowAt[row]] = static_cast<int>(row);
        rows.push_back(std::move(m_rows[oldRowAt[row]]));
        keys.push_back(std::move(m_keys[oldRowAt[row]]));
    }
    m_rows = std::move(rows);
    m_keys = std::move(keys);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after.push_back(index(newRowOf[static_cast<std::size_t>(old.row())], old.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace qs::ui
