#include "core/platform/AnsiCodec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace qs {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";
// Twenty Chinese characters: forty GBK bytes.
const std::string kTwenty = "黄金白银原油欧元美元日元英镑澳元加元瑞郎";

TEST(AnsiCodecTest, ConvertsChineseBothWays)
{
    EXPECT_EQ(Utf8ToAnsi("中文黄金"), "\xD6\xD0\xCE\xC4\xBB\xC6\xBD\xF0");
    EXPECT_EQ(AnsiToUtf8("\xD6\xD0\xCE\xC4\xBB\xC6\xBD\xF0"), "中文黄金");
    const std::string mixed = "无法连接服务器，操作已取消 XAUUSD 1.2345";
    EXPECT_EQ(AnsiToUtf8(Utf8ToAnsi(mixed)), mixed);
    EXPECT_EQ(AnsiToUtf8(""), "");
    EXPECT_EQ(Utf8ToAnsi(""), "");
}

TEST(AnsiCodecTest, BadBytesBecomeSubstitutesAndTheRestSurvives)
{
    // A lead byte without a valid trail byte; the ASCII after it is kept.
    EXPECT_EQ(AnsiToUtf8("\x81 abc"), kReplacement + " abc");
    EXPECT_EQ(AnsiToUtf8("ab\xFF"), "ab" + kReplacement);
    EXPECT_EQ(AnsiToUtf8("\xD6\xD0\xD6"), "中" + kReplacement); // cut short at the end

    // Characters GBK cannot hold, and broken UTF-8, become '?'.
    EXPECT_EQ(Utf8ToAnsi("a\xF0\x9F\x98\x80"
                         "b"),
              "a?b");
    EXPECT_EQ(Utf8ToAnsi("x\xFFy"), "x?y");
    EXPECT_EQ(Utf8ToAnsi("\xE4\xB8"), "?");

    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise += static_cast<char>((i * 167 + 13) % 256);
    EXPECT_FALSE(AnsiToUtf8(noise).empty());
    EXPECT_FALSE(Utf8ToAnsi(noise).empty());
}

TEST(AnsiCodecFieldTest, TwentyChineseCharactersFillAFortyOneByteField)
{
    char field[41];
    std::memset(field, 0x55, sizeof field);
    EXPECT_EQ(WriteAnsiField(field, kTwenty), 40u);
    EXPECT_EQ(field[40], '\0');
    EXPECT_EQ(ReadAnsiField(field), kTwenty);

    // A short text zero-fills the rest of the field.
    EXPECT_EQ(WriteAnsiField(field, "ab"), 2u);
    for (std::size_t i = 2; i < sizeof field; ++i)
        EXPECT_EQ(field[i], '\0') << i;
}

TEST(AnsiCodecFieldTest, TruncationKeepsWholeCharactersAndTheTerminator)
{
    char field[41];
    EXPECT_EQ(WriteAnsiField(field, kTwenty + "金"), 40u);
    EXPECT_EQ(ReadAnsiField(field), kTwenty);

    // An odd start leaves one byte free: the 20th character would split, so it is dropped.
    EXPECT_EQ(WriteAnsiField(field, "a" + kTwenty), 39u);
    EXPECT_EQ(field[39], '\0');
    EXPECT_EQ(ReadAnsiField(field), "a" + kTwenty.substr(0, 19 * 3));

    char tiny[2];
    EXPECT_EQ(WriteAnsiField(tiny, "中"), 0u);
    EXPECT_EQ(tiny[0], '\0');
    EXPECT_EQ(WriteAnsiField(tiny, "ab"), 1u);
    EXPECT_EQ(ReadAnsiField(tiny), "a");
    EXPECT_EQ(WriteAnsiField(tiny, 0, "ab"), 0u);
}

TEST(AnsiCodecFieldTest, ReadingStopsAtTheTerminatorOrTheFieldEnd)
{
    struct {
        char field[4];
        char next[4];
    } record = {{'a', 'b', 'c', 'd'}, {'x', 'y', 'z', '\0'}};
    EXPECT_EQ(ReadAnsiField(record.field), "abcd");

    const char withNul[6] = {'a', 'b', '\0', 'c', 'd', '\0'};
    EXPECT_EQ(ReadAnsiField(withNul), "ab");
    // A character cut by the field end is replaced, not read past.
    const char cut[3] = {'\xD6', '\xD0', '\xD6'};
    EXPECT_EQ(ReadAnsiField(cut), "中" + kReplacement);
}

TEST(AnsiCodecTest, ConvertsConcurrentlyFromManyThreads)
{
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (std::size_t t = 0; t < mismatches.size(); ++t) {
        threads.emplace_back([t, &mismatches] {
            for (int i = 0; i < 500; ++i) {
                const std::string text = kTwenty + std::to_string(i);
                if (AnsiToUtf8(Utf8ToAnsi(text)) != text)
                    ++mismatches[t];
            }
        });
    }
    for (auto &thread : threads)
        thread.join();
    for (int count : mismatches)
        EXPECT_EQ(count, 0);
}

} // namespace
} // namespace qs
