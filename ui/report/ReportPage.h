#pragma once

#include "core/protocol/KLineBar.h"
#include "core/report/ReportSort.h"
#include "ui/FrameContext.h"
#include "ui/TradingNotices.h"

#include <QWidget>

#include <functional>
#include <vector>

namespace qs::ui {

class CSortListCtrl;

// What the six report pages share: the frame's context, the report window's account bar, and
// the trading notices of the pages that listen to them.
class ReportPage : public QWidget, public NoticeReceiver {
    Q_OBJECT

public:
    ReportPage(const FrameContext &context, std::function<void()> refreshAccountBar,
               QWidget *parent);

    // The report's tab of this page was selected.
    virtual void selected() {}

protected:
    // The page's list ("list1050", named after its tab), filling the page.
    CSortListCtrl *addList(const std::vector<ReportColumn> &columns, const QString &name);
    // Registers for 1031-1033; the NoticeReceiver handlers then run.
    void listenToNotices();

    FrameContext m_context;
    const std::function<void()> m_refreshAccountBar;
};

} // namespace qs::ui
