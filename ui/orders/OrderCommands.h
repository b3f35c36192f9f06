#pragma once

#include "core/orders/OrderRefetch.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "ui/CommandRouter.h"
#include "ui/FrameContext.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qs::ui {

// The records the chart's popup menu was last opened on, by number (empty: none). The frame
// keeps them; a command looks the record up again, since it may be gone by then.
struct ChartSelection {
    std::string position;
    std::string order;
};

// The frame commands of order entry, on the chart's current product or selected records.
class OrderCommands final : public CommandRouter {
public:
    // New orders are for chartProduct's product; changes for the records of selection.
    OrderCommands(FrameContext context, const ChartSelection &selection,
                  std::function<std::int32_t()> chartProduct);

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
    const ChartSelection &m_selection;
    std::function<std::int32_t()> m_chartProduct;
};

} // namespace qs::ui
