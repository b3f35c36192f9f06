#pragma once

#include <filesystem>
#include <string>

namespace qs {

// Where "data" and the "kd%d" cache files live: the executable's folder by default, a parameter
// everywhere so tests can use a temporary folder.
class DataFolder {
public:
    DataFolder() = default;
    explicit DataFolder(std::filesystem::path folder)
        : m_folder(std::move(folder))
    {}

    static DataFolder besideExecutable();
    // Where "data" and the "kd%d" files live: beside the program while that folder takes a
    // file (a build or an unpacked copy), else the per-user folder (an installed program under
    // /usr), created when missing.
    static DataFolder choose(const std::filesystem::path &programFolder,
                             const std::filesystem::path &perUserFolder);

    const std::filesystem::path &path() const { return m_folder; }
    std::filesystem::path file(const std::string &name) const { return m_folder / name; }

private:
    std::filesystem::path m_folder;
};

// The running program's full path (empty when the platform cannot tell).
std::filesystem::path ExecutablePath();

// Reads a whole file; false when it cannot be opened.
bool ReadWholeFile(const std::filesystem::path &file, std::string &out);
// Writes to a temporary beside the target, then renames it over the target.
bool ReplaceFileAtomically(const std::filesystem::path &file, const void *data, std::size_t size);

} // namespace qs
