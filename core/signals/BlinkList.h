#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace qs {

class ProductNotificationFlags;

// One product whose toolbar button blinks while the chart carries its signals.
struct BlinkEntry {
    std::int32_t productId;
    std::int32_t tickCount; // 100 ms ticks since the last flash cycle
    int buttonIndex;        // position on the product toolbar
    int commandId;          // 30000 + product id
    int normalImage;        // image of the button when the entry was made
    int currentImage;       // the normal image or kNoImage
};

// A product toolbar button as the upkeep finds it.
struct ToolbarButton {
    int buttonIndex;
    int commandId;
    int image;
};

// An image to put on a product toolbar button.
struct ButtonImageChange {
    int buttonIndex;
    int commandId;
    int image;
};

// The main frame's blink list: upkeep from the signal feed and the download, and the 100 ms
// flash step. It only decides; the frame sets the images it returns. Not locked: the frame
// touches it on its own thread only.
class BlinkList {
public:
    static constexpr int kNoImage = 99; // the button looks empty
    static constexpr int kStillTicks = 40;
    static constexpr int kCycleTicks = 44;

    // The number of the product's signals still in the chart's signal list.
    using SignalCount = std::function<int(std::int32_t productId)>;

    explicit BlinkList(SignalCount signalCount);

    // Direction +1 for a new signal, -1 for a withdrawn one (then the product's remaining
    // signals decide). button is the product's button on the toolbar, if it has one. Returns
    // the image to put back when the entry goes.
    std::optional<ButtonImageChange> upkeep(std::int32_t productId, int direction,
                                            std::optional<ToolbarButton> button);

    // One tick of timer 11. A product whose notification flag is not 1 never gets past its
    // still phase, so its button never changes.
    std::vector<ButtonImageChange> step(const ProductNotificationFlags &flags);

    const std::vector<BlinkEntry> &entries() const { return m_entries; }

private:
    SignalCount m_signalCount;
    std::vector<BlinkEntry> m_entries;
};

} // namespace qs
