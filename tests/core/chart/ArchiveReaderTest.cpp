#include "core/chart/ArchiveReader.h"

#include "tests/support/KLineRecords.h"
#include "tests/support/StoredZip.h"

#include <gtest/gtest.h>

namespace qs {
namespace {

using test::MakeBars;
using test::MakeStoredZip;
using test::RecordBytes;
using test::ZipItem;

struct Collected {
    std::vector<std::int32_t> closes;
    ArchiveEnd end = ArchiveEnd::Complete;
};

Collected Read(const std::vector<std::uint8_t> &archive, const ArchiveLimits &limits = {},
               std::size_t stopAfter = SIZE_MAX)
{
    Collected out;
    out.end = ReadArchiveRecords(
        archive.data(), archive.size(),
        [&](const std::uint8_t *record) {
            out.closes.push_back(DecodeRecord<KLineBar>(record).close);
            return out.closes.size() < stopAfter;
        },
        limits);
    return out;
}

std::vector<std::int32_t> ClosesOf(const std::vector<KLineBar> &bars)
{
    std::vector<std::int32_t> closes;
    for (const KLineBar &bar : bars)
        closes.push_back(bar.close);
    return closes;
}

TEST(ArchiveReader, ItemsInArchiveOrderWholeRecordsOnly)
{
    const std::vector<KLineBar> bars = MakeBars(1, 50, 5);
    std::vector<std::uint8_t> first = RecordBytes({bars[0], bars[1]});
    first.resize(first.size() + 47, 0xEE); // a tail short of a record is dropped
    // Names are not looked at: "z" comes first because it is first in the archive.
    const Collected got = Read(MakeStoredZip(
        {{"z", first}, {"empty", {}}, {"a", RecordBytes({bars[2], bars[3], bars[4]})}}));
    EXPECT_EQ(got.end, ArchiveEnd::Complete);
    EXPECT_EQ(got.closes, ClosesOf(bars));
}

TEST(ArchiveReader, AFailingItemStopsTheReadingButKeepsWhatCameBefore)
{
    const std::vector<KLineBar> bars = MakeBars(1, 50, 3);
    const std::vector<ZipItem> items{{"1", RecordBytes({bars[0]})},
                                     {"2", RecordBytes({bars[1]}), true},
                                     {"3", RecordBytes({bars[2]})}};
    const Collected got = Read(MakeStoredZip(items));
    EXPECT_EQ(got.end, ArchiveEnd::ItemFailed);
    EXPECT_EQ(got.closes, ClosesOf({bars[0]}));

    const Collected stopped = Read(MakeStoredZip({items[0], items[2]}), {}, 1);
    EXPECT_EQ(stopped.end, ArchiveEnd::Stopped);
    EXPECT_EQ(stopped.closes.size(), 1u);
}

TEST(ArchiveReader, SizesBeyondTheLimitsEndTheReadingLikeAnUnpackingError)
{
    const std::vector<KLineBar> bars = MakeBars(1, 50, 4);
    const std::vector<std::uint8_t> archive = MakeStoredZip({{"1", RecordBytes({bars[0]})},
                                                             {"2", RecordBytes({bars[1], bars[2]})},
                                                             {"3", RecordBytes({bars[3]})}});

    ArchiveLimits item;
    item.maxItemSize = 48;
    Collected got = Read(archive, item);
    EXPECT_EQ(got.end, ArchiveEnd::OverLimit);
    EXPECT_EQ(got.closes, ClosesOf({bars[0]}));

    ArchiveLimits total;
    total.maxTotalSize = 3 * 48;
    got = Read(archive, total);
    EXPECT_EQ(got.end, ArchiveEnd::OverLimit);
    EXPECT_EQ(got.closes, ClosesOf({bars[0], bars[1], bars[2]}));

    total.maxTotalSize = 4 * 48; // exactly enough
    EXPECT_EQ(Read(archive, total).end, ArchiveEnd::Complete);
}

TEST(ArchiveReader, BytesThatAreNoArchive)
{
    EXPECT_EQ(Read({}).end, ArchiveEnd::NotAnArchive);
    EXPECT_EQ(Read(std::vector<std::uint8_t>(200, 0x41)).end, ArchiveEnd::NotAnArchive);
    std::vector<std::uint8_t> cut = MakeStoredZip({{"1", RecordBytes(MakeBars(1, 9, 2))}});
    cut.resize(cut.size() - 10); // the directory's end is gone
    const Collected got = Read(cut);
    EXPECT_EQ(got.end, ArchiveEnd::NotAnArchive);
    EXPECT_TRUE(got.closes.empty());
}

} // namespace
} // namespace qs
