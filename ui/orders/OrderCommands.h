#pragma once

#include "core/orders/OrderRefetch.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "ui/CommandRouter.h"
#include "ui/FrameContext.h"

#include <optional>

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
    // The chart's selected record looked up again now: it may be gone.
    std::optional<HoldInfo> selectedPosition() const;
    std::optional<DelegateInfo> selectedOrder() const;
    template<typename Dialog>
    void changePosition();
    void changeOrder();
    void deleteSelectedOrder();

    FrameContext m_context;
};

} // namespace qs::ui
