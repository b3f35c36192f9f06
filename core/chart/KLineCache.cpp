#include "core/chart/KLineCache.h"

#include "core/chart/BarList.h"
#include "core/protocol/WireRecord.h"

#include <cstring>
#include <system_error>

namespace qs {

std::string KLineCache::fileName(std::int32_t productId)
{
    return "kd" + std::to_string(productId);
}

std::filesystem::path KLineCache::file(std::int32_t productId) const
{
    return m_folder.file(fileName(productId));
}

std::vector<KLineBar> KLineCache::load(std::int32_t productId) const
{
    std::vector<KLineBar> bars;
    std::string contents;
    if (!ReadWholeFile(file(productId), contents) || contents.size() < sizeof(std::int32_t))
        return bars;
    std::int32_t count = 0;
    std::memcpy(&count, contents.data(), sizeof count);
    if (count <= 0)
        return bars;
    // The count only bounds the loop; the file's size decides whether every record is there.
    const std::size_t available = (contents.size() - sizeof count) / kRecordSize;
    if (available < static_cast<std::size_t>(count))
        return bars;
    bars.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i)
        bars.push_back(DecodeRecord<KLineBar>(contents.data() + sizeof count
                                              + static_cast<std::size_t>(i) * kRecordSize));
    return bars;
}

bool KLineCache::save(std::int32_t productId, const BarList &bars) const
{
    return write(productId, encode(bars));
}

std::string KLineCache::encode(const BarList &bars)
{
    std::string contents;
    const BarList::Access access = bars.access();
    if (!access.bars().empty()) {
        contents.resize(sizeof(std::int32_t) + access.bars().size() * kRecordSize);
        std::size_t at = sizeof(std::int32_t);
        std::int32_t count = 0;
        for (const KLineBar &bar : access.bars()) {
            if (bar.isLive())
                continue;
            EncodeRecord(bar, contents.data() + at);
            at += kRecordSize;
            ++count;
        }
        // The count is what was written, wherever a live bar happened to be.
        contents.resize(at);
        std::memcpy(contents.data(), &count, sizeof count);
    }
    return contents;
}

bool KLineCache::write(std::int32_t productId, const std::string &contents) const
{
    return ReplaceFileAtomically(file(productId), contents.data(), contents.size());
}

bool KLineCache::remove(std::int32_t productId) const
{
    std::error_code error;
    return std::filesystem::remove(file(productId), error);
}

BarKey KLineCache::newestKey(const std::vector<KLineBar> &bars)
{
    return bars.empty() ? BarKey::none() : BarKey::of(bars.front());
}

} // namespace qs
