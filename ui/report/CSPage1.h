#pragma once

#include "ui/OrderWindows.h"
#include "ui/report/ReportPage.h"

#include <optional>

namespace qs {
struct HoldInfo;
}

namespace qs::ui {

class CSortListCtrl;

// "持仓明细": every open position with its live closing price and floating profit; the popup
// opens the stops change, the market close and the limit close on the selected row.
class CSPage1 final : public ReportPage {
    Q_OBJECT

public:
    static constexpr int kModify = 1;
    static constexpr int kMarketClose = 2;
    static constexpr int kLimitClose = 3;

    CSPage1(const FrameContext &context, OrderWindows orderWindows,
            std::function<void()> refreshAccountBar, QWidget *parent = nullptr);

    CSortListCtrl *list() const { return m_list; }
    void fill();
    // Commands 1, 2 and 3 on the selected row.
    void runCommand(int command);

private:
    void ticked(const KLineBar &tick) override;
    void holdingsChanged() override;
    void showMenu(const QPoint &at);
    // The selected row's position, looked up again by its number; none when the row is empty or
    // the position has gone since the fill.
    std::optional<HoldInfo> selectedPosition();

    OrderWindows m_orderWindows;
    CSortListCtrl *m_list;
};

} // namespace qs::ui
