#include "core/signals/BlinkList.h"

#include "core/market/ProductNotificationFlags.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace qs {
namespace {

constexpr int kNone = BlinkList::kNoImage;

// Product 5's button: fifth on the toolbar, showing its own image 4.
ToolbarButton ButtonOf(std::int32_t productId, int image)
{
    return {productId - 1, 30000 + productId, image};
}

// One character per tick: '.' nothing changed, '-' the image went, '+' it came back.
std::string Trace(BlinkList &list, const ProductNotificationFlags &flags, int ticks)
{
    std::string trace;
    for (int i = 0; i < ticks; ++i) {
        const std::vector<ButtonImageChange> changes = list.step(flags);
        if (changes.empty()) {
            trace += '.';
            continue;
        }
        EXPECT_EQ(changes.size(), 1u);
        trace += changes[0].image == kNone ? '-' : '+';
    }
    return trace;
}

TEST(BlinkList, FlagZeroNeverChangesTheButtonAndACycleRunsOutWhenItDrops)
{
    BlinkList list([](std::int32_t) { return 0; });
    ProductNotificationFlags flags;
    flags.setFlag(5, 0);
    list.upkeep(5, 1, ButtonOf(5, 4));
    EXPECT_EQ(Trace(list, flags, 300), std::string(300, '.'));

    // Switched on, it flashes after 40 still ticks; switched off in the middle of a flash, the
    // cycle still ends with the image shown.
    flags.setFlag(5, 1);
    EXPECT_EQ(Trace(list, flags, 42), std::string(40, '.') + "-+");
    flags.setFlag(5, 0);
    EXPECT_EQ(Trace(list, flags, 100), "-+" + std::string(98, '.'));
}

TEST(BlinkList, UpkeepAddsOncePerProductAndRemovesWhenNoSignalIsLeft)
{
    std::map<std::int32_t, int> remaining;
    BlinkList list([&remaining](std::int32_t productId) { return remaining[productId]; });
    ProductNotificationFlags flags;

    list.upkeep(5, 1, ButtonOf(5, 4));
    list.upkeep(5, 1, ButtonOf(5, 4)); // a repeated signal adds no second entry
    list.upkeep(7, 1, ButtonOf(7, 6));
    ASSERT_EQ(list.entries().size(), 2u);
    EXPECT_EQ(list.entries()[0].normalImage, 4);
    EXPECT_EQ(list.entries()[0].currentImage, 4);
    EXPECT_EQ(list.entries()[0].tickCount, 0);

    // Withdrawn while another of the product's signals is left: the entry stays.
    remaining[5] = 1;
    EXPECT_FALSE(list.upkeep(5, -1, ButtonOf(5, 4)));
    EXPECT_EQ(list.entries().size(), 2u);

    // The last withdrawn in the middle of a flash: the normal image goes back on.
    for (int i = 0; i < 42; ++i)
        list.step(flags);
    ASSERT_EQ(list.entries()[0].currentImage, kNone);
    remaining[5] = 0;
    const std::optional<ButtonImageChange> restore = list.upkeep(5, -1, ButtonOf(5, kNone));
    ASSERT_TRUE(restore);
    EXPECT_EQ(restore->buttonIndex, 4);
    EXPECT_EQ(restore->commandId, 30005);
    EXPECT_EQ(restore->image, 4);
    ASSERT_EQ(list.entries().size(), 1u);
    EXPECT_EQ(list.entries()[0].productId, 7);

    // Nothing to withdraw from, and products without a button (ids 29 and 30, or a wrong
    // button) never get an entry.
    EXPECT_FALSE(list.upkeep(5, -1, ButtonOf(5, 4)));
    EXPECT_FALSE(list.upkeep(29, 1, std::nullopt));
    EXPECT_FALSE(list.upkeep(8, 1, ButtonOf(9, 8)));
    EXPECT_EQ(list.entries().size(), 1u);
}

} // namespace
} // namespace qs
