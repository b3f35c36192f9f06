#pragma once

#include "ui/report/ReportPage.h"

namespace qs::ui {

class ReportGrid;

// "账户信息": the account record and its figures as a fixed table; the live figures follow
// every tick.
class CSpage5 final : public ReportPage {
    Q_OBJECT

public:
    CSpage5(const FrameContext &context, std::function<void()> refreshAccountBar,
            QWidget *parent = nullptr);

    ReportGrid *grid() const { return m_grid; }
    void fill();
    void selected() override { fill(); }

private:
    void ticked(const KLineBar &) override;
    void holdingsChanged() override { fill(); }

    ReportGrid *m_grid;
};

} // namespace qs::ui
