#pragma once

#include "ui/CommandRouter.h"
#include "ui/FrameContext.h"
#include "ui/OrderWindows.h"

namespace qs::ui {

// The frame command of the trading report.
class ReportCommands final : public CommandRouter {
public:
    ReportCommands(FrameContext context, OrderWindows orderWindows);

    bool route(int commandId) override;

private:
    FrameContext m_context;
    OrderWindows m_orderWindows;
};

} // namespace qs::ui
