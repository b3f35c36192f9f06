#include "core/app/ClientSettings.h"

#include "core/platform/AnsiCodec.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace qs {
namespace {

void WriteRaw(const std::filesystem::path &file, const std::string &bytes)
{
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadRaw(const std::filesystem::path &file)
{
    std::string contents;
    EXPECT_TRUE(ReadWholeFile(file, contents));
    return contents;
}

std::string ValidFile(std::int32_t product)
{
    std::string bytes(80, '\0');
    for (int i = 12; i < 42; ++i)
        bytes[static_cast<std::size_t>(i)] = 7; // flags a writer must keep
    std::memcpy(bytes.data() + 48, &product, 4);
    std::memcpy(bytes.data() + 52, "alice", 5);
    const std::int32_t marker = 1;
    std::memcpy(bytes.data() + 76, &marker, 4);
    return bytes;
}

TEST(ClientSettings, DefaultsUnlessTheFileIsWholeAndMarked)
{
    test::TempFolder temp;
    const DataFolder folder(temp.path());
    const auto expectDefaults = [&](const char *why) {
        const ClientSettings settings = ClientSettings::read(folder);
        EXPECT_EQ(settings.lastProduct(), 0) << why;
        EXPECT_EQ(settings.memberName(), "") << why;
        for (std::size_t i = 0; i < 30; ++i)
            EXPECT_EQ(settings.bytes()[12 + i], 1) << why;
    };
    expectDefaults("missing");
    WriteRaw(folder.file("data"), ValidFile(5).substr(0, 79));
    expectDefaults("short");
    std::string unmarked = ValidFile(5);
    unmarked[76] = 2;
    WriteRaw(folder.file("data"), unmarked);
    expectDefaults("marker not 1");

    WriteRaw(folder.file("data"), ValidFile(5));
    const ClientSettings settings = ClientSettings::read(folder);
    EXPECT_EQ(settings.lastProduct(), 5);
    EXPECT_EQ(settings.memberName(), "alice");
}

TEST(ClientSettings, WriterChangesOnlyItsOwnField)
{
    test::TempFolder temp;
    const DataFolder folder(temp.path());
    WriteRaw(folder.file("data"), ValidFile(5));

    ClientSettings settings = ClientSettings::read(folder);
    settings.setLastProduct(12);
    ASSERT_TRUE(settings.write(folder));

    EXPECT_EQ(ReadRaw(folder.file("data")), ValidFile(12));
    EXPECT_EQ(settings.usableLastProduct(), 12);
    // Only 1..99 is usable.
    for (const std::int32_t id : {0, 100, -3, 99}) {
        settings.setLastProduct(id);
        EXPECT_EQ(settings.usableLastProduct(), id == 99 ? 99 : 0) << id;
    }
}

TEST(ClientSettings, LongChineseNameIsCutAtACharacterBoundary)
{
    test::TempFolder temp;
    const DataFolder folder(temp.path());
    ClientSettings settings;
    // Twelve two-byte characters need 24 bytes plus a terminator: only eleven fit.
    const std::string name = "测试会员测试会员测试会员";
    settings.setMemberName(name);
    ASSERT_TRUE(settings.write(folder));

    const std::string raw = ReadRaw(folder.file("data"));
    ASSERT_EQ(raw.size(), 80u);
    EXPECT_EQ(raw[52 + 22], '\0');
    EXPECT_EQ(raw[52 + 23], '\0');
    EXPECT_EQ(ClientSettings::read(folder).memberName(), "测试会员测试会员测试会");
    // The marker is set by the writer and the fields after the name are untouched.
    std::int32_t marker = 0;
    std::memcpy(&marker, raw.data() + 76, 4);
    EXPECT_EQ(marker, 1);
}

} // namespace
} // namespace qs
