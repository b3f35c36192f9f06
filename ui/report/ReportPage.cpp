#include "ui/report/ReportPage.h"

#include "ui/TradingNotices.h"
#include "ui/widgets/CSortListCtrl.h"

#include <QVBoxLayout>

namespace qs::ui {

ReportPage::ReportPage(const FrameContext &context, std::function<void()> refreshAccountBar,
                       QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_refreshAccountBar(std::move(refreshAccountBar))
{}

CSortListCtrl *ReportPage::addList(const std::vector<ReportColumn> &columns, const QString &name)
{
    auto *list = new CSortListCtrl(this);
    list->setObjectName(QStringLiteral("list1050"));
    list->setAccessibleName(name);
    list->setColumns(columns);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list);
    return list;
}

void ReportPage::listenToNotices()
{
    m_context.notices.add(this, this);
}

} // namespace qs::ui
