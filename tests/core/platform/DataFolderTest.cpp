#include "core/platform/DataFolder.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace qs {
namespace {

std::vector<std::filesystem::path> Entries(const std::filesystem::path &folder)
{
    std::vector<std::filesystem::path> entries;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        entries.push_back(entry.path().filename());
    return entries;
}

TEST(DataFolderTest, ReplaceWritesReadsBackAndLeavesNoTemporary)
{
    const test::TempFolder temp;
    const DataFolder folder(temp.path());
    const auto file = folder.file("data");
    EXPECT_EQ(file, temp.path() / "data");

    // Binary bytes, and more than one read chunk.
    std::string first(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < first.size(); ++i)
        first[i] = static_cast<char>(i % 253);
    ASSERT_TRUE(ReplaceFileAtomically(file, first.data(), first.size()));
    std::string read;
    ASSERT_TRUE(ReadWholeFile(file, read));
    EXPECT_EQ(read, first);

    const std::string shorter = "kd";
    ASSERT_TRUE(ReplaceFileAtomically(file, shorter.data(), shorter.size()));
    ASSERT_TRUE(ReadWholeFile(file, read));
    EXPECT_EQ(read, shorter);

    ASSERT_TRUE(ReplaceFileAtomically(file, nullptr, 0));
    ASSERT_TRUE(ReadWholeFile(file, read));
    EXPECT_TRUE(read.empty());

    EXPECT_EQ(Entries(temp.path()), std::vector<std::filesystem::path>{"data"});
}

TEST(DataFolderTest, FailedReplaceKeepsTheTargetAndRemovesTheTemporary)
{
    const test::TempFolder temp;
    // A non-empty folder in the target's place: the rename over it must fail.
    const auto target = temp.path() / "data";
    std::filesystem::create_directory(target);
    const std::string inside = "keep";
    ASSERT_TRUE(ReplaceFileAtomically(target / "inner", inside.data(), inside.size()));

    EXPECT_FALSE(ReplaceFileAtomically(target, "new", 3));
    EXPECT_EQ(Entries(temp.path()), std::vector<std::filesystem::path>{"data"});
    std::string read;
    ASSERT_TRUE(ReadWholeFile(target / "inner", read));
    EXPECT_EQ(read, inside);

    EXPECT_FALSE(ReplaceFileAtomically(temp.path() / "missing" / "data", "x", 1));
    EXPECT_FALSE(std::filesystem::exists(temp.path() / "missing"));
}

TEST(DataFolderTest, ReadingWhatIsNotAFileFailsAndLeavesTheOutputAlone)
{
    const test::TempFolder temp;
    std::string out = "untouched";
    EXPECT_FALSE(ReadWholeFile(temp.path() / "absent", out));
    EXPECT_FALSE(ReadWholeFile(temp.path(), out));
    EXPECT_EQ(out, "untouched");
}

TEST(DataFolderTest, ExecutableFolderHoldsTheRunningProgram)
{
    const auto executable = ExecutablePath();
    ASSERT_FALSE(executable.empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(executable));
    EXPECT_EQ(DataFolder::besideExecutable().path(), executable.parent_path());
}

TEST(DataFolderTest, TheProgramsFolderWhileItTakesFilesElseThePerUserOne)
{
    const test::TempFolder temp;
    const std::filesystem::path perUser = temp.path() / "user" / "Quillstar";
    EXPECT_EQ(DataFolder::choose(temp.path(), perUser).path(), temp.path());
    EXPECT_FALSE(std::filesystem::exists(perUser));

    // A folder no file can be made in (root ignores permission bits, so a path under a file).
    const std::filesystem::path blocker = temp.path() / "plain-file";
    ASSERT_TRUE(ReplaceFileAtomically(blocker, "x", 1));
    EXPECT_EQ(DataFolder::choose(blocker / "bin", perUser).path(), perUser);
    EXPECT_TRUE(std::filesystem::is_directory(perUser));
}

} // namespace
} // namespace qs
