#include "core/alerts/MessageList.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace qs {
namespace {

using std::chrono::sys_days;
using namespace std::chrono_literals;

std::chrono::system_clock::time_point Utc(std::chrono::year_month_day day,
                                          std::chrono::seconds time)
{
    return sys_days{day} + time;
}

TEST(MessageList, TimesAreStampedInTheServiceZone)
{
    using std::chrono::year;
    EXPECT_EQ(ServiceTimeText(Utc(year{2024} / 3 / 9, 23h + 30min + 15s)), "2024-03-10 07:30:15");
    EXPECT_EQ(ServiceTimeText(Utc(year{2023} / 12 / 31, 16h)), "2024-01-01 00:00:00");
    EXPECT_EQ(ServiceTimeText(Utc(year{2024} / 2 / 28, 20h + 59s)), "2024-02-29 04:00:59");
    // Fractions of a second are dropped, never rounded up.
    EXPECT_EQ(ServiceTimeText(Utc(year{2024} / 6 / 1, 1h) + 999ms), "2024-06-01 09:00:00");
}

TEST(MessageList, KeepsEveryMessageOldestFirst)
{
    auto now = sys_days{std::chrono::year{2024} / 3 / 9} + 23h + 30min + 15s;
    MessageList list([&now] { return now; });
    const Message first = list.add("接收到[伦敦金]新操盘信号");
    EXPECT_EQ(first.time, "2024-03-10 07:30:15");
    EXPECT_EQ(first.content, "接收到[伦敦金]新操盘信号");
    now += 1s;
    list.add("");
    for (int i = 0; i < 5000; ++i)
        list.add(std::to_string(i));

    const std::vector<Message> messages = list.snapshot();
    ASSERT_EQ(messages.size(), 5002u);
    EXPECT_EQ(messages[0].content, "接收到[伦敦金]新操盘信号");
    EXPECT_EQ(messages[1].time, "2024-03-10 07:30:16");
    EXPECT_EQ(messages[1].content, "");
    EXPECT_EQ(messages.back().content, "4999");
}

TEST(MessageList, TheOldestGoFirstPastTheCountOrTheTextLimit)
{
    MessageList counted;
    for (std::size_t i = 0; i <= MessageList::kMaxMessages; ++i)
        counted.add(std::to_string(i));
    const std::vector<Message> kept = counted.snapshot();
    ASSERT_EQ(kept.size(), MessageList::kMaxMessages);
    EXPECT_EQ(kept.front().content, "1") << "the 10,001st drops the first";
    EXPECT_EQ(kept.back().content, std::to_string(MessageList::kMaxMessages));

    MessageList sized;
    const std::string mebibyte(std::size_t{1} << 20, 'x');
    for (int i = 0; i < 65; ++i)
        sized.add(std::to_string(i) + mebibyte);
    ASSERT_EQ(sized.size(), 63u) << "64 MiB of text at most";
    EXPECT_EQ(sized.snapshot().front().content.substr(0, 2), "2x");
}

TEST(MessageList, AddsFromSeveralThreadsStayInTimeOrder)
{
    std::atomic<long> seconds{0};
    MessageList list([&seconds] {
        return std::chrono::system_clock::time_point{} + std::chrono::seconds(seconds++);
    });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&list] {
            for (int i = 0; i < 200; ++i)
                list.add("m");
        });
    std::size_t seen = 0;
    while (seen < 800)
        seen = list.snapshot().size();
    for (std::thread &thread : threads)
        thread.join();

    const std::vector<Message> messages = list.snapshot();
    ASSERT_EQ(messages.size(), 800u);
    for (std::size_t i = 1; i < messages.size(); ++i)
        ASSERT_LT(messages[i - 1].time, messages[i].time) << i;
}

} // namespace
} // namespace qs
