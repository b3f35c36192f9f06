#pragma once

#include "ui/CommandRouter.h"

namespace qs::ui {

// The frame command of the trading report.
class ReportCommands final : public CommandRouter {
public:
    explicit ReportCommands(FrameContext context);

    bool route(int commandId) override;

private:
    FrameContext m_context;
};

} // namespace qs::ui
