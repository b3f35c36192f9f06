#pragma once

#include "core/orders/OrderRefetch.h"
#include "ui/CommandRouter.h"

namespace qs::ui {

// The frame commands of order entry, on the chart's current product or selected records.
class OrderCommands final : public CommandRouter {
public:
    explicit OrderCommands(FrameContext context);

    bool route(int commandId) override;

private:
    template<typename Dialog>
    void openOrder(Refetch after);
    // What the opener does after an order the server carried out.
    void afterOrder(Refetch what);
    void deleteSelectedOrder();

    FrameContext m_context;
};

} // namespace qs::ui
