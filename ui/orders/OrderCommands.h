#pragma once

#include "ui/CommandRouter.h"

namespace qs::ui {

// The frame commands of order entry, on the chart's current product or selected records.
class OrderCommands final : public CommandRouter {
public:
    explicit OrderCommands(FrameContext context);

    bool route(int commandId) override;

private:
    void deleteSelectedOrder();

    FrameContext m_context;
};

} // namespace qs::ui
