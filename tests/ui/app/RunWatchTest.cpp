#include "ui/app/RunWatch.h"

#include "core/platform/DataFolder.h"
#include "core/platform/SupportLog.h"
#include "tests/support/TempFolder.h"

#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace qs::ui {
namespace {

using namespace std::chrono_literals;

// A UI thread held for 400 ms is logged as a stall; ordinary beats are not; the status line
// comes every period once there is something to tell.
TEST(RunWatch, LogsStallsOverTheThresholdAndTheStatusEveryPeriod)
{
    test::TempFolder temp;
    SupportLog::open(temp.path());
    RunWatch watch(RunWatch::Periods{20ms, 200ms, 150ms}, nullptr);
    int asked = 0;
    watch.setStatus([&asked] { return ++asked == 1 ? std::string() : "bars=7 messages=2"; });
    QTest::qWait(400);
    EXPECT_EQ(watch.longestStallMs(), 0);
    std::this_thread::sleep_for(400ms);
    QTest::qWait(400);
    SupportLog::close();

    std::string log;
    ReadWholeFile(temp.path() / "quillstar.log", log);
    EXPECT_GE(watch.longestStallMs(), 300);
    EXPECT_NE(log.find(" ui-stall " + std::to_string(watch.longestStallMs()) + " ms\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(" status bars=7 messages=2\n"), std::string::npos) << log;
    EXPECT_GE(asked, 3);
}

} // namespace
} // namespace qs::ui
