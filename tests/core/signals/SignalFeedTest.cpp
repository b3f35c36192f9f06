#include "core/signals/SignalFeed.h"

#include "core/market/ProductNotificationFlags.h"
#include "core/market/SignalList.h"
#include "core/platform/AnsiCodec.h"
#include "core/signals/BlinkList.h"
#include "core/trading/TradingData.h"
#include "tests/support/KLineRecords.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qs {
namespace {

using test::MakeSignal;

TypeInfo Product(std::int32_t id, const std::string &name)
{
    TypeInfo product = ZeroRecord<TypeInfo>();
    product.productId = id;
    product.digits = 1;
    product.singleInstrument = 1;
    WriteAnsiField(product.name, name);
    return product;
}

// The feed with what it drives: the signal list, a blink list behind the upkeep hook and a
// product toolbar of 28 buttons whose images the blink list changes.
struct FeedRig {
    SignalList signals;
    TradingData trading;
    ProductNotificationFlags flags;
    BlinkList blinks{[this](std::int32_t id) {
        return signals.countFor(id);
    }};
    std::map<int, int> buttonImages; // command id -> image
    std::int32_t current = 5;
    int relayouts = 0;
    int repaints = 0;
    std::vector<std::pair<std::int32_t, int>> upkeeps;
    std::vector<std::pair<std::string, int>> messages;
    SignalFeed feed{
        signals, trading, flags,
        SignalFeedHooks{
            [this] { return current; },
            [this] { ++relayouts; },
            [this] { ++repaints; },
            [this](std::int32_t id, int direction) { upkeep(id, direction); },
            [this](const std::string &text, int sound) { messages.emplace_back(text, sound); },
        }};

    FeedRig()
    {
        trading.replaceProducts({Product(5, "上海金"), Product(7, "欧元/澳元")});
        for (int id = 1; id <= 28; ++id)
            buttonImages[30000 + id] = id - 1;
    }

    void upkeep(std::int32_t productId, int direction)
    {
        upkeeps.emplace_back(productId, direction);
        std::optional<ToolbarButton> button;
        if (productId >= 1 && productId <= 28)
            button
                = ToolbarButton{productId - 1, 30000 + productId, buttonImages[30000 + productId]};
        if (const auto change = blinks.upkeep(productId, direction, button))
            buttonImages[change->commandId] = change->image;
    }

    // Runs timer 11 for n ticks; true when the product's button changed at some tick.
    bool flashes(std::int32_t productId, int ticks = 50)
    {
        bool changed = false;
        for (int i = 0; i < ticks; ++i)
            for (const ButtonImageChange &change : blinks.step(flags)) {
                buttonImages[change.commandId] = change.image;
                changed = changed || change.commandId == 30000 + productId;
            }
        return changed;
    }
};

TEST(SignalFeed, SameSignalTwiceGivesOneEntryOneAnnouncementAndABlinkingButton)
{
    FeedRig rig;
    const SignalRecord signal = MakeSignal(5, 955);
    rig.feed.feed(signal);
    rig.feed.feed(signal);

    EXPECT_EQ(rig.signals.size(), 1u);
    ASSERT_EQ(rig.messages.size(), 1u);
    EXPECT_EQ(rig.messages[0].first,
              "接收到[上海金]新操盘信号，{支撑位95.5\u30001.00手/5.00万元\u300090.5止损}");
    EXPECT_EQ(rig.messages[0].second, 151);
    // The repeated one is still drawn and still keeps the button in the blink list.
    EXPECT_EQ(rig.relayouts, 2);
    EXPECT_EQ(rig.repaints, 2);
    EXPECT_EQ(rig.upkeeps, (std::vector<std::pair<std::int32_t, int>>{{5, 1}, {5, 1}}));
    EXPECT_EQ(rig.blinks.entries().size(), 1u);
    EXPECT_TRUE(rig.flashes(5));

    // Only byte 37 differs: another signal, announced too.
    SignalRecord other = signal;
    other.keyByte37 = 1;
    rig.feed.feed(other);
    EXPECT_EQ(rig.signals.size(), 2u);
    EXPECT_EQ(rig.messages.size(), 2u);
}

TEST(SignalFeed, FlagZeroDrawsWithoutAnnouncingOrChangingTheButton)
{
    FeedRig rig;
    rig.flags.setFlag(7, 0);
    rig.feed.feed(MakeSignal(7, 1800));

    EXPECT_EQ(rig.signals.countFor(7), 1);
    EXPECT_EQ(rig.relayouts, 1);
    EXPECT_EQ(rig.repaints, 0); // not the chart's product
    EXPECT_TRUE(rig.messages.empty());
    EXPECT_EQ(rig.blinks.entries().size(), 1u);
    EXPECT_FALSE(rig.flashes(7, 500));
    EXPECT_EQ(rig.buttonImages[30007], 6);
}

TEST(SignalFeed, WithdrawingTheLastSignalRestoresTheButtonAndIsNeverAnnounced)
{
    FeedRig rig;
    rig.feed.feed(MakeSignal(5, 955));
    rig.feed.feed(MakeSignal(5, 975));
    rig.flashes(5, 42); // the button is empty now
    ASSERT_EQ(rig.buttonImages[30005], BlinkList::kNoImage);
    rig.relayouts = rig.repaints = 0;
    rig.messages.clear();

    rig.feed.feed(MakeSignal(5, 955, 4));
    EXPECT_EQ(rig.blinks.entries().size(), 1u); // one signal left
    rig.feed.feed(MakeSignal(5, 975, 5));
    EXPECT_EQ(rig.signals.size(), 0u);
    EXPECT_TRUE(rig.blinks.entries().empty());
    EXPECT_EQ(rig.buttonImages[30005], 4);
    EXPECT_EQ(rig.repaints, 2);
    EXPECT_EQ(rig.relayouts, 0);
    EXPECT_TRUE(rig.messages.empty());

    // Withdrawing what is not listed still runs the upkeep.
    rig.upkeeps.clear();
    rig.feed.feed(MakeSignal(7, 1234, 4));
    EXPECT_EQ(rig.upkeeps, (std::vector<std::pair<std::int32_t, int>>{{7, -1}}));
    EXPECT_EQ(rig.repaints, 2);
}

TEST(SignalFeed, ProductsOutsideTheFlagBytesAreListedButNotAnnounced)
{
    FeedRig rig;
    // Ids 29 and 30 have flags: announced, with an empty text since no product has that id.
    rig.feed.feed(MakeSignal(29, 100));
    ASSERT_EQ(rig.messages.size(), 1u);
    EXPECT_EQ(rig.messages[0], (std::pair<std::string, int>{"", 151}));

    for (const std::int8_t id : {std::int8_t{31}, std::int8_t{0}, std::int8_t{-3}})
        rig.feed.feed(MakeSignal(id, 100));
    EXPECT_EQ(rig.signals.size(), 4u);
    EXPECT_EQ(rig.messages.size(), 1u);
    EXPECT_TRUE(rig.blinks.entries().empty()); // none of them has a button
}

} // namespace
} // namespace qs
