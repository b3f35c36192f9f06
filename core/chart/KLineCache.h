#pragma once

#include "core/platform/DataFolder.h"
#include "core/protocol/KLineBar.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qs {

class BarList;

// The "kd%d" cache files of completed bars, newest first: an int32 count, then the records.
class KLineCache {
public:
    explicit KLineCache(DataFolder folder)
        : m_folder(std::move(folder))
    {}

    static std::string fileName(std::int32_t productId);
    std::filesystem::path file(std::int32_t productId) const;

    // The cached bars; empty when the file is missing, its count is not positive or it holds
    // fewer records than its count says.
    std::vector<KLineBar> load(std::int32_t productId) const;
    // Every bar of the list but live ones, taken under the bar-list lock and written beside the
    // old file before replacing it. An empty list gives an empty file.
    bool save(std::int32_t productId, const BarList &bars) const;
    // The two halves of save: the file's bytes, taken under the bar-list lock, and their
    // atomic write, which syncs to disk and so is done with no lock held.
    static std::string encode(const BarList &bars);
    bool write(std::int32_t productId, const std::string &contents) const;
    bool remove(std::int32_t productId) const;

    // "0" for an empty list, else the key of its front bar.
    static BarKey newestKey(const std::vector<KLineBar> &bars);

private:
    DataFolder m_folder;
};

} // namespace qs
