#pragma once

#include "ui/OrderWindows.h"
#include "ui/report/ReportPage.h"

namespace qs::ui {

class CSortListCtrl;

// "委托查询": the pending orders with a live current price; the popup on a row changes or
// deletes the order.
class CSPage3 final : public ReportPage {
    Q_OBJECT

public:
    static constexpr int kModify = 1;
    static constexpr int kDelete = 2;

    CSPage3(const FrameContext &context, OrderWindows orderWindows,
            std::function<void()> refreshAccountBar, QWidget *parent = nullptr);

    CSortListCtrl *list() const { return m_list; }
    void fill();
    void runCommand(int command);

private:
    void ticked(const KLineBar &tick) override;
    void ordersChanged() override { fill(); }
    void showMenu(const QPoint &at, int row);
    void modifySelected();
    void deleteSelected();

    OrderWindows m_orderWindows;
    CSortListCtrl *m_list;
};

} // namespace qs::ui
