#include "ui/report/ReportGrid.h"

#include <QHeaderView>

namespace qs::ui {

namespace {
constexpr int kRowHeight = 30;
constexpr int kColumnWidth = 150;
} // namespace

ReportGrid::ReportGrid(int rows, int columns, QWidget *parent)
    : QTableWidget(rows, columns, parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The hidden headers would announce their section numbers ("1", "2", ...) to screen readers.
    setHorizontalHeaderLabels(QStringList(columns, QString()));
    setVerticalHeaderLabels(QStringList(rows, QString()));
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setWordWrap(false);
}

void ReportGrid::setCells(const std::vector<std::vector<std::string>> &cells)
{
    for (int row = 0; row < rowCount(); ++row) {
        const auto *texts = static_cast<std::size_t>(row) < cells.size()
                                ? &cells[static_cast<std::size_t>(row)]
                                : nullptr;
        for (int column = 0; column < columnCount(); ++column) {
            const bool given = texts != nullptr && static_cast<std::size_t>(column) < texts->size();
            setCell(row, column,
                    given ? (*texts)[static_cast<std::size_t>(column)] : std::string());
        }
        // Captions and values alternate: a value tells screen readers the caption beside it.
        for (int column = 1; column < columnCount(); column += 2)
            item(row, column)
                ->setData(Qt::AccessibleDescriptionRole, item(row, column - 1)->text());
    }
}

void ReportGrid::setCell(int row, int column, const std::string &text)
{
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return;
    const QString shown = QString::fromStdString(text);
    if (QTableWidgetItem *existing = item(row, column)) {
        existing->setText(shown);
        return;
    }
    auto *created = new QTableWidgetItem(shown);
    created->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    setItem(row, column, created);
}

std::string ReportGrid::cell(int row, int column) const
{
    const QTableWidgetItem *found = item(row, column);
    return found != nullptr ? found->text().toStdString() : std::string();
}

} // namespace qs::ui
