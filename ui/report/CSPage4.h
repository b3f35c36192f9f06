#pragma once

#include "ui/report/ReportPage.h"

namespace qs::ui {

class CSortListCtrl;

// "成交查询": the deals, asked of the server every time the tab is selected; a failed query
// leaves the rows of the last good one.
class CSPage4 final : public ReportPage {
    Q_OBJECT

public:
    CSPage4(const FrameContext &context, std::function<void()> refreshAccountBar,
            QWidget *parent = nullptr);

    CSortListCtrl *list() const { return m_list; }
    void selected() override { query(); }
    void query();

private:
    CSortListCtrl *m_list;
};

} // namespace qs::ui
