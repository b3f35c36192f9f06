#pragma once

#include "ui/report/ReportPage.h"

class QComboBox;

namespace qs::ui {

class ReportGrid;

// "商品信息": the trading parameters of the product the combo box selects.
class CSPage6 final : public ReportPage {
    Q_OBJECT

public:
    CSPage6(const FrameContext &context, std::function<void()> refreshAccountBar,
            QWidget *parent = nullptr);

    QComboBox *picker() const { return m_picker; }
    ReportGrid *grid() const { return m_grid; }

private:
    void showSelected();

    QComboBox *m_picker;
    ReportGrid *m_grid;
};

} // namespace qs::ui
