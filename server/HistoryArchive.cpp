#include "server/HistoryArchive.h"

#include "core/protocol/KLineBar.h"

#include <zip.h>

#include <algorithm>
#include <ctime>
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

} // namespace

std::vector<std::uint8_t> PackHistoryArchive(const std::vector<std::uint8_t> &records,
                                             std::size_t recordsPerItem)
{
    if (records.empty() || recordsPerItem == 0)
        return {};
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!buffer) {
        zip_error_fini(&error);
        return {};
    }
    zip_t *archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(buffer);
        return {};
    }
    // The archive frees its source on close; the written bytes are still to be read from it.
    zip_source_keep(buffer);

    bool ok = true;
    const std::size_t itemBytes = recordsPerItem * kRecordSize;
    for (std::size_t offset = 0, index = 0; ok && offset < records.size();
         offset += itemBytes, ++index) {
        const std::size_t size = std::min(itemBytes, records.size() - offset);
        zip_source_t *item = zip_source_buffer(archive, records.data() + offset, size, 0);
        const std::string name = "bars" + std::to_string(index);
        if (!item) {
            ok = false;
        } else {
            const zip_int64_t added = zip_file_add(archive, name.c_str(), item, ZIP_FL_ENC_UTF_8);
            if (added < 0) {
                zip_source_free(item);
                ok = false;
            } else {
                ok = zip_file_set_mtime(archive, static_cast<zip_uint64_t>(added), kItemTime, 0)
                     == 0;
            }
        }
    }
    if (!ok || zip_close(archive) < 0) {
        zip_discard(archive);
        zip_source_free(buffer);
        return {};
    }

    std::vector<std::uint8_t> bytes;
    if (!ReadSource(buffer, bytes))
        bytes.clear();
    zip_source_free(buffer);
    return bytes;
}

} // namespace qs::server
