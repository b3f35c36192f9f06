#pragma once

#include "ui/report/ReportPage.h"

namespace qs::ui {

class CSortListCtrl;

// "持仓总汇": the server's summary per product and side, with a live closing price and the
// floating profit summed over the matching positions.
class CSpage2 final : public ReportPage {
    Q_OBJECT

public:
    CSpage2(const FrameContext &context, std::function<void()> refreshAccountBar,
            QWidget *parent = nullptr);

    CSortListCtrl *list() const { return m_list; }
    void fill();
    void selected() override { fill(); }

private:
    void ticked(const KLineBar &tick) override;
    void holdingsChanged() override { fill(); }

    CSortListCtrl *m_list;
};

} // namespace qs::ui
