#include "core/platform/SupportLog.h"

#include "core/platform/DataFolder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace qs {
namespace {

std::string Contents(const std::filesystem::path &file)
{
    std::string text;
    ReadWholeFile(file, text);
    return text;
}

class SupportLogTest : public ::testing::Test {
protected:
    void TearDown() override { SupportLog::close(); }
    test::TempFolder m_temp;
};

TEST_F(SupportLogTest, LinesCarryTheirTimeAndNothingIsWrittenWhileClosed)
{
    const std::filesystem::path logs = m_temp.path() / "logs";
    SupportLog::line("before", "open");
    SupportLog::open(logs);
    SupportLog::line("kline", "product=1 bars=30000 ms=126");
    SupportLog::line("exit");
    SupportLog::close();
    SupportLog::line("after", "close");
    const std::regex lines(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} kline product=1 bars=30000 )"
                           R"(ms=126\n\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} exit\n)");
    EXPECT_TRUE(std::regex_match(Contents(logs / "quillstar.log"), lines))
        << Contents(logs / "quillstar.log");
    EXPECT_EQ(SupportLog::folder(), std::filesystem::path());
}

// 33-byte lines (a 23-character time, " line ", three digits, a newline) into files of at
// most 70 bytes: two lines a file, the three files before the current one kept.
TEST_F(SupportLogTest, AFullFileMakesWayAndThreeBeforeItAreKept)
{
    const std::filesystem::path logs = m_temp.path() / "logs";
    SupportLog::open(logs, 70);
    for (int i = 0; i < 11; ++i)
        SupportLog::line("line", std::to_string(100 + i));
    const struct {
        const char *file;
        const char *first; // the number its first line carries; nullptr: no such file
    } rows[] = {{"quillstar.log", "110"},
                {"quillstar.log.1", "108"},
                {"quillstar.log.2", "106"},
                {"quillstar.log.3", "104"},
                {"quillstar.log.4", nullptr}};
    for (const auto &row : rows) {
        const std::filesystem::path file = logs / row.file;
        ASSERT_EQ(std::filesystem::exists(file), row.first != nullptr) << row.file;
        if (row.first == nullptr)
            continue;
        const std::string text = Contents(file);
        EXPECT_LE(text.size(), 70u) << row.file;
        EXPECT_NE(text.find(std::string(" line ") + row.first + "\n"), std::string::npos)
            << row.file << ": " << text;
    }
}

TEST_F(SupportLogTest, AFolderThatCannotBeMadeIsSkippedWithoutAWord)
{
    // A file where the folder would go.
    std::ofstream(m_temp.path() / "taken") << "x";
    SupportLog::open(m_temp.path() / "taken" / "logs");
    SupportLog::line("start");
    EXPECT_FALSE(std::filesystem::exists(m_temp.path() / "taken" / "logs"));
}

} // namespace
} // namespace qs
