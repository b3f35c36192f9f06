#include "server/PackedHistory.h"
#include "server/PackedItems.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <cstdio>
#include <cstring>
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

using Bytes = std::vector<std::uint8_t>;

// Completed bars of ordinals oldest..newest, newest first; their keys sort by ordinal.
std::vector<KLineBar> Bars(int oldest, int newest, int corrected = -1)
{
    std::vector<KLineBar> bars;
    for (int ordinal = newest; ordinal >= oldest; --ordinal) {
        const int close = 1000 + ordinal % 7 + (ordinal == corrected ? 1 : 0);
        KLineBar bar{1, 1000, close, 1009, 991, 1000, 2, 2024, 0, {}};
        std::snprintf(bar.timeText, sizeof bar.timeText, "%08d", ordinal);
        bars.push_back(bar);
    }
    return bars;
}

struct Item {
    Bytes records;
    Bytes deflated;
};

// Every item in archive order, as the client reads it and as it lies in the archive.
std::vector<Item> ItemsOf(const Bytes &archive)
{
    std::vector<Item> items;
    zip_source_t *source = zip_source_buffer_create(archive.data(), archive.size(), 0, nullptr);
    zip_t *zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, nullptr);
    EXPECT_NE(zip, nullptr);
    for (zip_int64_t index = 0; zip && index < zip_get_num_entries(zip, 0); ++index) {
        Item &item = items.emplace_back();
        for (const auto &[flags, out] :
             {std::pair{0u, &item.records}, {ZIP_FL_COMPRESSED, &item.deflated}}) {
            zip_stat_t stat;
            zip_stat_index(zip, static_cast<zip_uint64_t>(index), 0, &stat);
            out->resize(flags ? stat.comp_size : stat.size);
            zip_file_t *file = zip_fopen_index(zip, static_cast<zip_uint64_t>(index), flags);
            EXPECT_EQ(zip_fread(file, out->data(), out->size()),
                      static_cast<zip_int64_t>(out->size()));
            zip_fclose(file);
        }
    }
    zip ? zip_discard(zip) : zip_source_free(source);
    return items;
}

TEST(PackedItemsTest, ANewBarSignalOrTrimmedFrontLeavesTheOtherItemsAsTheyWere)
{
    const std::vector<SignalRecord> one(1), two(2);
    const struct {
        const char *event;
        std::vector<KLineBar> bars;
        const std::vector<SignalRecord> &signals;
        std::size_t unchanged;
        std::size_t kept; // whole items held after
    } cases[] = {
        {"a new signal", Bars(0, 2729), two, 5, 5},
        {"a new bar", Bars(0, 2730), one, 5, 5},
        {"a new bar and a trimmed front", Bars(1001, 2730), one, 2, 2},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.event);
        PackedItems packed;
        const std::vector<Item> before = ItemsOf(packed.pack(1, Bars(0, 2729), 0, 2730, one));
        const std::vector<Item> after
            = ItemsOf(packed.pack(1, test.bars, 0, test.bars.size(), test.signals));
        ASSERT_EQ(before.size(), 6u);
        std::size_t unchanged = 0;
        for (const Item &item : after) {
            for (const Item &old : before) {
                if (item.records == old.records) {
                    EXPECT_EQ(item.deflated, old.deflated);
                    ++unchanged;
                }
            }
        }
        EXPECT_EQ(unchanged, test.unchanged);
        EXPECT_EQ(packed.items(1), test.kept);
    }
}

TEST(PackedItemsTest, EveryReplyHoldsExactlyTheRecordsOfItsBarsAndSignals)
{
    const std::vector<SignalRecord> signals(2);
    const struct {
        const char *request;
        std::vector<KLineBar> bars;
        std::size_t first;
        std::size_t count;
        bool withSignals;
    } cases[] = {
        {"everything", Bars(0, 2729), 0, 2730, true},
        {"a page between item ends", Bars(0, 2729), 300, 1000, false},
        {"whole items only", Bars(0, 2729), 230, 1000, false},
        {"a whole newest item", Bars(0, 2999), 0, 3000, false},
        {"the same with signals", Bars(0, 2999), 0, 3000, true},
        {"the newest bar", Bars(0, 2730), 0, 1, true},
        {"an older bar corrected", Bars(0, 2729, 729), 0, 2730, true},
        {"keys of another history", Bars(5000, 6999), 0, 2000, false},
    };
    PackedItems packed; // what one row keeps, the next may find
    for (const auto &test : cases) {
        SCOPED_TRACE(test.request);
        Bytes expected;
        const auto *bars = reinterpret_cast<const std::uint8_t *>(test.bars.data() + test.first);
        expected.assign(bars, bars + test.count * kRecordSize);
        const std::span<const SignalRecord> sent(signals.data(), test.withSignals ? 2 : 0);
        const auto *signalBytes = reinterpret_cast<const std::uint8_t *>(sent.data());
        expected.insert(expected.begin() + kRecordSize, signalBytes,
                        signalBytes + sent.size_bytes());
        Bytes records;
        for (const Item &item : ItemsOf(packed.pack(1, test.bars, test.first, test.count, sent)))
            records.insert(records.end(), item.records.begin(), item.records.end());
        EXPECT_EQ(records, expected);
    }
}

} // namespace
} // namespace qs::server
