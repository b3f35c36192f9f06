#include "server/PackedHistory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace qs::server {
namespace {

PackedHistory::Key KeyOf(int productId, int page)
{
    PackedHistory::Key key{productId, BarKey::none(), BarKey::none()};
    std::snprintf(key.to.text, sizeof key.to.text, "%d", 201000000 + page);
    return key;
}

std::shared_ptr<const PackedReply> ReplyOf(std::size_t bytes)
{
    return std::make_shared<PackedReply>(PackedReply{std::vector<std::uint8_t>(bytes), {}});
}

TEST(PackedHistoryTest, StaysWithinItsLimitsAndKeepsWhatIsInUse)
{
    const std::size_t kEntry = 1000 + sizeof(PackedReply);
    const struct {
        PackedHistory::Limits limits;
        std::size_t held;
    } cases[] = {{{3 * kEntry + 10, 100}, 3}, {{100 * kEntry, 4}, 4}, {{kEntry - 1, 100}, 0}};
    for (const auto &test : cases) {
        PackedHistory packed(test.limits);
        packed.keep(KeyOf(1, 0), 7, ReplyOf(1000));
        for (int page = 1; page <= 40; ++page) {
            packed.find(KeyOf(1, 0), 7);
            packed.keep(KeyOf(1 + page % 3, page), 7, ReplyOf(1000));
            ASSERT_LE(packed.bytes(), test.limits.bytes);
        }
        EXPECT_EQ(packed.entries(), test.held) << test.held;
        EXPECT_EQ(packed.find(KeyOf(1, 0), 7) != nullptr, test.held > 0) << test.held;
    }
}

TEST(PackedHistoryTest, APackOfAnOlderGenerationNeverReplacesANewerOne)
{
    PackedHistory packed(PackedHistory::Limits{});
    const auto newer = ReplyOf(10);
    packed.keep(KeyOf(3, 1), 5, newer);
    packed.keep(KeyOf(3, 1), 4, ReplyOf(20)); // packed slowly, from before the change
    EXPECT_EQ(packed.find(KeyOf(3, 1), 5), newer);
    EXPECT_EQ(packed.find(KeyOf(3, 1), 4), nullptr);
}

} // namespace
} // namespace qs::server
