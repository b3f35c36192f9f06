#include "core/platform/DataFolder.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace qs {

namespace {

int ProcessId()
{
#ifdef _WIN32
    return ::_getpid();
#else
    return static_cast<int>(::getpid());
#endif
}

// Unique per process and call, so two writers of the same file never share a temporary.
std::filesystem::path TemporaryBeside(const std::filesystem::path &file)
{
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temporary = file;
    temporary += "." + std::to_string(ProcessId()) + "." + std::to_string(++counter) + ".tmp";
    return temporary;
}

std::FILE *OpenForWriting(const std::filesystem::path &file)
{
#ifdef _WIN32
    return ::_wfopen(file.c_str(), L"wb");
#else
    return std::fopen(file.c_str(), "wb");
#endif
}

std::FILE *OpenForReading(const std::filesystem::path &file)
{
#ifdef _WIN32
    return ::_wfopen(file.c_str(), L"rb");
#else
    return std::fopen(file.c_str(), "rb");
#endif
}

// Pushes the bytes to the disk so that the rename never exposes a file still being written.
bool SyncToDisk(std::FILE *stream)
{
    if (std::fflush(stream) != 0)
        return false;
#ifdef _WIN32
    return ::_commit(::_fileno(stream)) == 0;
#else
    return ::fsync(::fileno(stream)) == 0;
#endif
}

} // namespace

DataFolder DataFolder::besideExecutable()
{
    const std::filesystem::path executable = ExecutablePath();
    if (executable.empty()) {
        std::error_code error;
        return DataFolder(std::filesystem::current_path(error));
    }
    return DataFolder(executable.parent_path());
}

namespace {

// True when a file can be created in folder; the probe file is removed again.
bool TakesFiles(const std::filesystem::path &folder)
{
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        return false;
    const std::filesystem::path probe = folder / ".quillstar-probe";
    {
        std::FILE *file = std::fopen(probe.string().c_str(), "wb");
        if (file == nullptr)
            return false;
        std::fclose(file);
    }
    std::filesystem::remove(probe, error);
    return true;
}

} // namespace

DataFolder DataFolder::choose(const std::filesystem::path &programFolder,
                              const std::filesystem::path &perUserFolder)
{
    if (TakesFiles(programFolder) || perUserFolder.empty())
        return DataFolder(programFolder);
    std::error_code error;
    std::filesystem::create_directories(perUserFolder, error);
    return DataFolder(perUserFolder);
}

std::filesystem::path ExecutablePath()
{
#ifdef _WIN32
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length
            = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::filesystem::path(std::wstring(buffer.data(), length));
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
#else
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    return path;
#endif
}

bool ReadWholeFile(const std::filesystem::path &file, std::string &out)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return false;
    std::FILE *stream = OpenForReading(file);
    if (stream == nullptr)
        return false;
    std::string content;
    char buffer[64 * 1024];
    bool ok = true;
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, stream);
        content.append(buffer, got);
        if (got < sizeof buffer) {
            ok = std::ferror(stream) == 0;
            break;
        }
    }
    std::fclose(stream);
    if (!ok)
        return false;
    out = std::move(content);
    return true;
}

bool ReplaceFileAtomically(const std::filesystem::path &file, const void *data, std::size_t size)
{
    if (data == nullptr && size != 0)
        return false;
    const std::filesystem::path temporary = TemporaryBeside(file);
    std::FILE *stream = OpenForWriting(temporary);
    if (stream == nullptr)
        return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, stream) == size;
    ok = SyncToDisk(stream) && ok;
    ok = std::fclose(stream) == 0 && ok;

    std::error_code error;
    if (ok) {
        std::filesystem::rename(temporary, file, error);
        ok = !error;
    }
    if (!ok)
        std::filesystem::remove(temporary, error);
    return ok;
}

} // namespace qs
