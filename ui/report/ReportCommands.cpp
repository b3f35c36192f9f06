#include "ui/report/ReportCommands.h"

#include "ui/CommandIds.h"
#include "ui/report/CSimulateMain.h"

namespace qs::ui {

ReportCommands::ReportCommands(FrameContext context, OrderWindows orderWindows)
    : m_context(std::move(context))
    , m_orderWindows(std::move(orderWindows))
{}

bool ReportCommands::route(int commandId)
{
    if (commandId != command::kReport)
        return false;
    CSimulateMain report(m_context, m_orderWindows, m_context.window);
    report.exec();
    return true;
}

} // namespace qs::ui
