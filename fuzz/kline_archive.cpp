// A K-line download's archive from untrusted bytes, unpacked into the bar and signal lists as the
// download does. The first byte picks the shape: raw bytes taken as an archive, or records packed
// into a real archive that is then damaged at a few places.
#include "core/chart/ArchiveReader.h"
#include "core/chart/BarList.h"
#include "core/market/SignalList.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/SignalRecord.h"
#include "core/protocol/WireRecord.h"
#include "server/HistoryArchive.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// Small caps keep a hostile size field from costing the fuzzer its memory.
qs::ArchiveLimits FuzzLimits()
{
    qs::ArchiveLimits limits;
    limits.maxItemSize = 1 << 20;
    limits.maxTotalSize = 4 << 20;
    return limits;
}

struct Lists {
    qs::BarList bars;
    qs::SignalList signals;
    std::vector<std::uint8_t> seen;
};

qs::ArchiveEnd Unpack(const std::vector<std::uint8_t> &archive, Lists &lists)
{
    return qs::ReadArchiveRecords(
        archive.data(), archive.size(),
        [&lists](const std::uint8_t *record) {
            lists.seen.insert(lists.seen.end(), record, record + qs::kRecordSize);
            if (qs::IsSignalRecord(record))
                lists.signals.add(qs::DecodeRecord<qs::SignalRecord>(record));
            else
                lists.bars.appendBack(qs::DecodeRecord<qs::KLineBar>(record));
            return true;
        },
        FuzzLimits());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 4)
        return 0;
    Lists lists;
    if ((data[0] & 1) == 0) {
        Unpack(std::vector<std::uint8_t>(data + 1, data + size), lists);
    } else {
        const std::size_t perItem = 1 + data[1] % 8;
        const std::size_t damages = data[2] % 4;
        const std::size_t recordBytes = (size - 3) / qs::kRecordSize * qs::kRecordSize;
        const std::vector<std::uint8_t> records(data + 3, data + 3 + recordBytes);
        std::vector<std::uint8_t> archive = qs::server::PackHistoryArchive(records, perItem);
        if (archive.empty())
            return 0;
        // Damage positions and values come from the tail that did not make a whole record.
        const std::uint8_t *tail = data + 3 + recordBytes;
        const std::size_t tailSize = size - 3 - recordBytes;
        for (std::size_t i = 0; i + 2 < tailSize && i / 3 < damages; i += 3) {
            const std::size_t at
                = (static_cast<std::size_t>(tail[i]) << 8 | tail[i + 1]) % archive.size();
            archive[at] ^= tail[i + 2] | 1;
        }
        const qs::ArchiveEnd end = Unpack(archive, lists);
        const bool damaged = damages > 0 && tailSize >= 3;
        if (!damaged) {
            Require(end == qs::ArchiveEnd::Complete);
            Require(lists.seen == records);
        } else {
            Require(lists.seen.size() <= records.size() + FuzzLimits().maxTotalSize);
        }
    }
    // What the download does next: the merge and the keys.
    std::vector<qs::KLineBar> cache = lists.bars.snapshot();
    (void)lists.bars.mergeCache(cache);
    (void)lists.bars.oldestKey();
    (void)lists.signals.countFor(data[size - 1]);
    return 0;
}
