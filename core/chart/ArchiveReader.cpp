#include "core/chart/ArchiveReader.h"

#include "core/protocol/KLineBar.h"

#include <zip.h>

#include <vector>

namespace qs {

namespace {

// Closes the archive exactly once, whichever way the reading ends.
class OpenArchive {
public:
    OpenArchive(const std::uint8_t *data, std::size_t size)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t *source = zip_source_buffer_create(data, size, 0, &error);
        if (source != nullptr) {
            m_archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
            if (m_archive == nullptr)
                zip_source_free(source);
        }
        zip_error_fini(&error);
    }
    ~OpenArchive()
    {
        if (m_archive != nullptr)
            zip_discard(m_archive);
    }
    OpenArchive(const OpenArchive &) = delete;
    OpenArchive &operator=(const OpenArchive &) = delete;

    zip_t *get() const { return m_archive; }

private:
    zip_t *m_archive = nullptr;
};

bool UnpackItem(zip_t *archive, zip_uint64_t index, std::vector<std::uint8_t> &out)
{
    zip_file_t *file = zip_fopen_index(archive, index, 0);
    if (file == nullptr)
        return false;
    std::size_t have = 0;
    bool ok = true;
    while (have < out.size()) {
        const zip_int64_t got = zip_fread(file, out.data() + have, out.size() - have);
        if (got <= 0) {
            ok = false;
            break;
        }
        have += static_cast<std::size_t>(got);
    }
    // The item's checksum is judged when its end is read, so read up to the end.
    std::uint8_t beyond = 0;
    if (ok && zip_fread(file, &beyond, 1) != 0)
        ok = false;
    return zip_fclose(file) == 0 && ok;
}

} // namespace

ArchiveEnd ReadArchiveRecords(const std::uint8_t *data, std::size_t size,
                              const ArchiveRecordVisitor &visit, const ArchiveLimits &limits)
{
    if (data == nullptr || size == 0)
        return ArchiveEnd::NotAnArchive;
    const OpenArchive archive(data, size);
    if (archive.get() == nullptr)
        return ArchiveEnd::NotAnArchive;
    const zip_int64_t items = zip_get_num_entries(archive.get(), 0);
    std::vector<std::uint8_t> item;
    std::uint64_t total = 0;
    for (zip_int64_t index = 0; index < items; ++index) {
        const auto at = static_cast<zip_uint64_t>(index);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), at, 0, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0)
            return ArchiveEnd::ItemFailed;
        if (stat.size > limits.maxItemSize || stat.size > limits.maxTotalSize - total)
            return ArchiveEnd::OverLimit;
        total += stat.size;
        item.resize(static_cast<std::size_t>(stat.size));
        if (!UnpackItem(archive.get(), at, item))
            return ArchiveEnd::ItemFailed;
        const std::size_t records = item.size() / kRecordSize;
        for (std::size_t record = 0; record < records; ++record) {
            if (!visit(item.data() + record * kRecordSize))
                return ArchiveEnd::Stopped;
        }
    }
    return ArchiveEnd::Complete;
}

} // namespace qs
