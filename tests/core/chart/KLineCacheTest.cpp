#include "core/chart/KLineCache.h"

#include "core/chart/BarList.h"
#include "tests/support/KLineRecords.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace qs {
namespace {

using test::KeysOf;
using test::MakeBar;
using test::MakeBars;
using test::RecordBytes;

void WriteRaw(const std::filesystem::path &file, std::int32_t count,
              const std::vector<std::uint8_t> &records)
{
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char *>(&count), sizeof count);
    out.write(reinterpret_cast<const char *>(records.data()),
              static_cast<std::streamsize>(records.size()));
}

std::string ReadRaw(const std::filesystem::path &file)
{
    std::string contents;
    EXPECT_TRUE(ReadWholeFile(file, contents));
    return contents;
}

TEST(KLineCache, AFileShortOfItsCountGivesAnEmptyCacheAndTheKeyZero)
{
    test::TempFolder temp;
    const KLineCache cache{DataFolder(temp.path())};
    EXPECT_EQ(KLineCache::fileName(7), "kd7");
    EXPECT_EQ(cache.file(28), temp.path() / "kd28");

    const std::vector<KLineBar> bars = MakeBars(7, 20, 3);
    WriteRaw(cache.file(7), 3, RecordBytes({bars[0], bars[1]}));
    EXPECT_TRUE(cache.load(7).empty());
    EXPECT_EQ(KLineCache::newestKey(cache.load(7)).str(), "0");
    EXPECT_TRUE(KLineCache::newestKey(cache.load(7)).isNone());

    const struct {
        std::int32_t count;
        const char *why;
    } empties[] = {{0, "count 0"}, {-3, "negative count"}, {0x7FFFFFFF, "count beyond the file"}};
    for (const auto &c : empties) {
        WriteRaw(cache.file(7), c.count, RecordBytes(bars));
        EXPECT_TRUE(cache.load(7).empty()) << c.why;
    }
    EXPECT_TRUE(cache.load(9).empty()) << "missing file";

    // Records past the count are not read.
    WriteRaw(cache.file(7), 2, RecordBytes(bars));
    const std::vector<KLineBar> two = cache.load(7);
    EXPECT_EQ(KeysOf(two), KeysOf({bars[0], bars[1]}));
    EXPECT_EQ(KLineCache::newestKey(two).str(), BarKey::of(bars[0]).str());
}

TEST(KLineCache, SaveWritesCompletedBarsOnlyAndCountsWhatItWrote)
{
    test::TempFolder temp;
    const KLineCache cache{DataFolder(temp.path())};
    const std::vector<KLineBar> history = MakeBars(2, 40, 3);
    BarList bars;
    for (const KLineBar &bar : history)
        bars.appendBack(bar);
    ASSERT_EQ(bars.applyPushed(MakeBar(2, 2024, "09:30:00", 1500), 2, true),
              PushedBarChange::LiveInserted);
    ASSERT_EQ(bars.size(), 4u);

    ASSERT_TRUE(cache.save(2, bars));
    const std::string contents = ReadRaw(cache.file(2));
    ASSERT_EQ(contents.size(), 4u + 3 * 48);
    std::int32_t count = 0;
    std::memcpy(&count, contents.data(), 4);
    EXPECT_EQ(count, 3);
    const std::vector<std::uint8_t> expected = RecordBytes(history);
    EXPECT_EQ(std::memcmp(contents.data() + 4, expected.data(), expected.size()), 0)
        << "records are written byte for byte, newest first";
    EXPECT_EQ(KeysOf(cache.load(2)), KeysOf(history));

    // Nothing but the file itself is left in the folder.
    int files = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(temp.path()))
        ++files;
    EXPECT_EQ(files, 1);

    BarList empty;
    ASSERT_TRUE(cache.save(2, empty));
    EXPECT_EQ(ReadRaw(cache.file(2)).size(), 0u);
    EXPECT_TRUE(cache.load(2).empty());

    EXPECT_TRUE(cache.remove(2));
    EXPECT_FALSE(std::filesystem::exists(cache.file(2)));
    EXPECT_FALSE(cache.remove(2));
}

} // namespace
} // namespace qs
