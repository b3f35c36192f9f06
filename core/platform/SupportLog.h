#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace qs {

// The log a member can send to support: quillstar.log in a folder of its own, one line per
// event ("YYYY-MM-DD HH:MM:SS.mmm event details"), replaced by a fresh file once it passes
// its limit, with the three files before it kept as .1 (the newest) to .3. Any thread may
// write; a log that cannot be written is skipped without a word, and nothing is written before
// it is opened. Its lines never carry a password, a verification code, a token or a machine
// identity: callers pass only what they name below.
class SupportLog {
public:
    static constexpr std::size_t kRotateAt = std::size_t{1} << 20;
    static constexpr int kKeptFiles = 3;

    // Creates the folder when missing.
    static void open(const std::filesystem::path &folder, std::size_t rotateAt = kRotateAt);
    static void close();
    // Where the log lives; empty while it is not open.
    static std::filesystem::path folder();

    static void line(std::string_view event, std::string_view details = {});
};

} // namespace qs
