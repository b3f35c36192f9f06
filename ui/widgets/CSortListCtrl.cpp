#include "ui/widgets/CSortListCtrl.h"

#include "ui/widgets/ReportTableModel.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>

#include <algorithm>

namespace qs::ui {

namespace {
constexpr int kRowHeight = 25;
constexpr int kColumnPadding = 4;
} // namespace

CSortListCtrl::CSortListCtrl(QWidget *parent)
    : QTableView(parent)
    , m_model(new ReportTableModel(this))
{
    setModel(m_model);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setAlternatingRowColors(true);
    QPalette colours = palette();
    colours.setColor(QPalette::AlternateBase, QColor(236, 236, 236));
    // The selection keeps its colour when focus moves to a menu or another page.
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Every row counts for a column's width, not only the first thousand.
    verticalHeader()->setResizeContentsPrecision(-1);

    QHeaderView *header = horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    header->setSectionsClickable(true);
    header->setStretchLastSection(false);
    connect(header, &QHeaderView::sectionClicked, this, &CSortListCtrl::clickHeader);
}

void CSortListCtrl::setColumns(const std::vector<ReportColumn> &columns)
{
    m_model->setColumns(columns);
    autoSizeColumns();
}

void CSortListCtrl::setRows(std::vector<ReportRow> rows, std::vector<std::string> keys)
{
    m_model->setRows(std::move(rows), std::move(keys));
    autoSizeColumns();
}

int CSortListCtrl::rowCount() const
{
    return m_model->rowCount();
}

std::string CSortListCtrl::cell(int row, int column) const
{
    return m_model->cell(row, column);
}

void CSortListCtrl::setCell(int row, int column, const std::string &text)
{
    m_model->setCell(row, column, text);
}

const std::string &CSortListCtrl::key(int row) const
{
    return m_model->key(row);
}

int CSortListCtrl::selectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void CSortListCtrl::clickHeader(int column)
{
    m_sort.click(column);
    if (m_sort.sorts())
        m_model->sort(m_sort.column, m_sort.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CSortListCtrl::autoSizeColumns()
{
    const int columns = m_model->columnCount();
    for (int column = 0; column < columns; ++column) {
        const int content = sizeHintForColumn(column);
        const int header = horizontalHeader()->sectionSizeHint(column);
        const bool lastWiderHeader = column == columns - 1 && header > content;
        setColumnWidth(column, std::max(content, header) + (lastWiderHeader ? 0 : kColumnPadding));
    }
}

void CSortListCtrl::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() != Qt::RightButton)
        return;
    // Released, as a list view reports a right click; the row under the point becomes the
    // selection so the page's menu acts on what the user sees.
    const int row = rowAt(event->position().toPoint().y());
    if (row >= 0)
        selectRow(row);
    else
        clearSelection();
    Q_EMIT rowMenuRequested(event->globalPosition().toPoint(), row);
}

void CSortListCtrl::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
    // The mouse case is reported on release; the menu key acts on the selected row.
    if (event->reason() != QContextMenuEvent::Keyboard)
        return;
    const int row = selectedRow();
    const QRect place = row >= 0 ? visualRect(m_model->index(row, 0)) : QRect();
    Q_EMIT rowMenuRequested(viewport()->mapToGlobal(place.center()), row);
}

} // namespace qs::ui
