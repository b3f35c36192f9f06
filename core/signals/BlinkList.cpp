#include "core/signals/BlinkList.h"

#include "core/market/ProductCatalog.h"
#include "core/market/ProductNotificationFlags.h"

#include <algorithm>

namespace qs {

BlinkList::BlinkList(SignalCount signalCount)
    : m_signalCount(std::move(signalCount))
{}

std::optional<ButtonImageChange> BlinkList::upkeep(std::int32_t productId, int direction,
                                                   std::optional<ToolbarButton> button)
{
    if (direction == -1)
        direction = m_signalCount ? m_signalCount(productId) : 0;
    if (!button || button->commandId != ProductCommandId(productId))
        return std::nullopt;

    const auto found
        = std::find_if(m_entries.begin(), m_entries.end(),
                       [productId](const BlinkEntry &e) { return e.productId == productId; });
    if (found != m_entries.end()) {
        if (direction >= 1)
            return std::nullopt;
        const ButtonImageChange restore{found->buttonIndex, found->commandId, found->normalImage};
        m_entries.erase(found);
        return restore;
    }
    if (direction > 0)
        m_entries.push_back(
            {productId, 0, button->buttonIndex, button->commandId, button->image, button->image});
    return std::nullopt;
}

std::vector<ButtonImageChange> BlinkList::step(const ProductNotificationFlags &flags)
{
    std::vector<ButtonImageChange> changes;
    for (BlinkEntry &entry : m_entries) {
        if (entry.tickCount <= kStillTicks) {
            if (flags.flag(entry.commandId - kProductCommandBase) != 1)
                entry.tickCount = 0;
        } else {
            if (entry.tickCount == kCycleTicks)
                entry.tickCount = 0;
            entry.currentImage = entry.currentImage == kNoImage ? entry.normalImage : kNoImage;
            changes.push_back({entry.buttonIndex, entry.commandId, entry.currentImage});
        }
        ++entry.tickCount;
    }
    return changes;
}

} // namespace qs
