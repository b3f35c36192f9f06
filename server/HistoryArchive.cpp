#include "server/HistoryArchive.h"

#include "core/protocol/KLineBar.h"

#include <zip.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <string>

namespace qs::server {

namespace {

// A fixed stamp on every item, so that the same records always pack to the same bytes.
constexpr time_t kItemTime = 1704247200; // 2024-01-03

// Reads back what zip_close wrote into the in-memory source.
bool ReadSource(zip_source_t *source, std::vector<std::uint8_t> &out)
{
    if (zip_source_open(source) < 0)
        return false;
    std::uint8_t chunk[16384];
    bool ok = true;
    for (;;) {
        const zip_int64_t got = zip_source_read(source, chunk, sizeof chunk);
        if (got < 0) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        out.insert(out.end(), chunk, chunk + got);
    }
    zip_source_close(source);
    return ok;
}

// An archive written into memory, item by item; dropped unless finished.
class ArchiveWriter {
public:
    ArchiveWriter()
    {
        zip_error_t error;
        zip_error_init(&error);
        m_buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
        if (m_buffer)
            m_archive = zip_open_from_source(m_buffer, ZIP_TRUNCATE, &error);
        zip_error_fini(&error);
        if (m_archive) {
            // The archive frees its source on close; the written bytes are still to be read.
            zip_source_keep(m_buffer);
        } else if (m_buffer) {
            zip_source_free(m_buffer);
            m_buffer = nullptr;
        }
    }
    ~ArchiveWriter()
    {
        if (m_archive)
            zip_discard(m_archive);
        if (m_buffer)
            zip_source_free(m_buffer);
    }
    ArchiveWriter(const ArchiveWriter &) = delete;
    ArchiveWriter &operator=(const ArchiveWriter &) = delete;

    zip_t *archive() const { return m_archive; }

    // Takes the item source over, whether or not it could be added.
    bool add(zip_source_t *item)
    {
        if (!item)
            return false;
        const std::string name = "bars" + std::to_string(m_items++);
        const zip_int64_t added
            = m_archive ? zip_file_add(m_archive, name.c_str(), item, ZIP_FL_ENC_UTF_8) : -1;
        if (added < 0) {
            zip_source_free(item);
            return false;
        }
        return zip_file_set_mtime(m_archive, static_cast<zip_uint64_t>(added), kItemTime, 0) == 0;
    }

    std::vector<std::uint8_t> finish()
    {
        std::vector<std::uint8_t> bytes;
        if (!m_archive || zip_close(m_archive) < 0)
            return bytes;
        m_archive = nullptr;
        if (!ReadSource(m_buffer, bytes))
            bytes.clear();
        return bytes;
    }

private:
    zip_source_t *m_buffer = nullptr;
    zip_t *m_archive = nullptr;
    std::size_t m_items = 0;
};

// An archive held in memory, opened for reading until it goes out of scope.
class OpenedArchive {
public:
    explicit OpenedArchive(std::span<const std::uint8_t> bytes)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t *source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
        if (source) {
            m_archive = zip_open_from_source(source, ZIP_RDONLY, &error);
            if (!m_archive)
                zip_source_free(source);
        }
        zip_error_fini(&error);
    }
    ~OpenedArchive()
    {
        if (m_archive)
            zip_discard(m_archive);
    }
    OpenedArchive(const OpenedArchive &) = delete;
    OpenedArchive &operator=(const OpenedArchive &) = delete;

    zip_t *archive() const { return m_archive; }

private:
    zip_t *m_archive = nullptr;
};

} // namespace

std::vector<std::uint8_t> PackHistoryArchive(const std::vector<std::uint8_t> &records,
                                             std::size_t recordsPerItem)
{
    if (records.empty() || recordsPerItem == 0)
        return {};
    ArchiveWriter writer;
    const std::size_t itemBytes = recordsPerItem * kRecordSize;
    for (std::size_t offset = 0; offset < records.size(); offset += itemBytes) {
        const std::size_t size = std::min(itemBytes, records.size() - offset);
        if (!writer.add(zip_source_buffer(writer.archive(), records.data() + offset, size, 0)))
            return {};
    }
    return writer.finish();
}

std::vector<std::uint8_t> JoinHistoryArchives(std::span<const std::span<const std::uint8_t>> parts)
{
    if (parts.empty())
        return {};
    // Sources of the joined archive read from the parts until it is closed.
    std::vector<std::unique_ptr<OpenedArchive>> readers;
    readers.reserve(parts.size());
    ArchiveWriter writer;
    for (const std::span<const std::uint8_t> part : parts) {
        zip_t *source = readers.emplace_back(std::make_unique<OpenedArchive>(part))->archive();
        const zip_int64_t items = source ? zip_get_num_entries(source, 0) : -1;
        if (items < 0)
            return {};
        for (zip_int64_t index = 0; index < items; ++index) {
            // The whole item (start 0, length -1) is copied without inflating it again.
            if (!writer.add(zip_source_zip(writer.archive(), source,
                                           static_cast<zip_uint64_t>(index), 0, 0, -1)))
                return {};
        }
    }
    return writer.finish();
}

} // namespace qs::server
