#include "core/platform/SupportLog.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>
#include <system_error>

namespace qs {

namespace {

constexpr const char *kFileName = "quillstar.log";

struct State {
    std::mutex mutex;
    std::filesystem::path folder;
    std::size_t rotateAt = SupportLog::kRotateAt;
    std::FILE *file = nullptr;
    std::size_t size = 0;
};

State &Log()
{
    static State state;
    return state;
}

std::filesystem::path Numbered(const std::filesystem::path &folder, int number)
{
    return folder / (std::string(kFileName) + (number == 0 ? "" : "." + std::to_string(number)));
}

void CloseFile(State &state)
{
    if (state.file != nullptr)
        std::fclose(state.file);
    state.file = nullptr;
    state.size = 0;
}

void OpenFile(State &state)
{
    const std::filesystem::path path = Numbered(state.folder, 0);
    state.file = std::fopen(path.c_str(), "ab");
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    state.size = error ? 0 : static_cast<std::size_t>(size);
}

void Rotate(State &state)
{
    CloseFile(state);
    std::error_code ignored;
    std::filesystem::remove(Numbered(state.folder, SupportLog::kKeptFiles), ignored);
    for (int number = SupportLog::kKeptFiles - 1; number >= 0; --number)
        std::filesystem::rename(Numbered(state.folder, number), Numbered(state.folder, number + 1),
                                ignored);
    OpenFile(state);
}

std::string Stamp()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[96]; // room for any int the fields could hold
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(millis));
    return text;
}

} // namespace

void SupportLog::open(const std::filesystem::path &folder, std::size_t rotateAt)
{
    State &state = Log();
    std::lock_guard lock(state.mutex);
    CloseFile(state);
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    state.folder = folder;
    state.rotateAt = rotateAt;
    OpenFile(state);
}

void SupportLog::close()
{
    State &state = Log();
    std::lock_guard lock(state.mutex);
    CloseFile(state);
    state.folder.clear();
}

std::filesystem::path SupportLog::folder()
{
    State &state = Log();
    std::lock_guard lock(state.mutex);
    return state.folder;
}

void SupportLog::line(std::string_view event, std::string_view details)
{
    std::string text = Stamp();
    text += ' ';
    text += event;
    if (!details.empty()) {
        text += ' ';
        text += details;
    }
    text += '\n';

    State &state = Log();
    std::lock_guard lock(state.mutex);
    if (state.folder.empty())
        return;
    if (state.file != nullptr && state.size > 0 && state.size + text.size() > state.rotateAt)
        Rotate(state);
    if (state.file == nullptr)
        return;
    if (std::fwrite(text.data(), 1, text.size(), state.file) == text.size()) {
        state.size += text.size();
        // A crash keeps every line written before it.
        std::fflush(state.file);
    }
}

} // namespace qs
