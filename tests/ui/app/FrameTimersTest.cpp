#include "ui/app/FrameTimers.h"

#include "core/market/ProductNotificationFlags.h"
#include "core/market/SignalList.h"
#include "tests/support/KLineRecords.h"
#include "tests/support/SeamRecorder.h"
#include "ui/app/ToolbarImages.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace qs::ui {
namespace {

using namespace std::chrono_literals;

// Notes when each sound stop came, on the timeline of the test.
class TimedSeam : public test::SeamRecorder {
public:
    QElapsedTimer clock;
    std::vector<qint64> stopsAt;

    TimedSeam() { clock.start(); }
    void stopSound() override
    {
        stopsAt.push_back(clock.elapsed());
        SeamRecorder::stopSound();
    }
};

// The frame's message button and 28 product buttons with their own images.
struct Frame {
    TimedSeam seam;
    ProductNotificationFlags flags;
    SignalList signals;
    MessageList messages;
    QAction messageButton{CommonButtonImage(32784), QStringLiteral("消息管理"), nullptr};
    std::map<int, std::unique_ptr<QAction>> products;
    std::unique_ptr<FrameTimers> timers;

    Frame()
    {
        for (int id = 1; id <= 28; ++id)
            products[30000 + id] = std::make_unique<QAction>(
                ProductButtonImage(id, QString::number(id)), QString::number(id));
        timers = std::make_unique<FrameTimers>(
            &messageButton,
            [this](int commandId) {
                const auto found = products.find(commandId);
                return found == products.end() ? nullptr : found->second.get();
            },
            seam, flags, [this](std::int32_t id) { return signals.countFor(id); }, messages);
    }

    bool blank(const QAction &action) const
    {
        return action.icon().pixmap(32).toImage().pixel(16, 16) == 0;
    }
    bool productBlank(int productId) const { return blank(*products.at(30000 + productId)); }
};

TEST(FrameTimers, ProductButtonFlashesAfterFortyStillTicksUnlessItsFlagIsZero)
{
    Frame frame;
    frame.flags.setFlag(7, 0);
    const qint64 ownImage = frame.products[30005]->icon().cacheKey();
    frame.signals.add(test::MakeSignal(5, 1000));
    frame.timers->blinkUpkeep(5, 1);
    frame.timers->blinkUpkeep(7, 1);
    frame.timers->blinkUpkeep(29, 1); // no button: nothing
    ASSERT_EQ(frame.timers->blinkList().entries().size(), 2u);

    std::string five;
    std::string seven;
    for (int tick = 0; tick < 89; ++tick) {
        frame.timers->productFlashTick();
        five += frame.productBlank(5) ? '-' : '+';
        seven += frame.productBlank(7) ? '-' : '+';
    }
    const std::string still40(40, '+');
    EXPECT_EQ(five, "+" + still40 + "-+-+" + still40 + "-+-+");
    EXPECT_EQ(seven, std::string(89, '+'));
    EXPECT_EQ(frame.products[30005]->icon().cacheKey(), ownImage);

    // The last signal withdrawn while the button is empty: its own image comes back.
    for (int tick = 0; tick < 41; ++tick)
        frame.timers->productFlashTick();
    ASSERT_TRUE(frame.productBlank(5));
    frame.signals.clear();
    frame.timers->blinkUpkeep(5, -1);
    EXPECT_EQ(frame.products[30005]->icon().cacheKey(), ownImage);
    EXPECT_EQ(frame.timers->blinkList().entries().size(), 1u);
}

TEST(FrameTimers, WorkFromAnotherThreadWaitsForTheUiThread)
{
    Frame frame;
    std::thread push([&frame] {
        frame.timers->addMessage("接收到[伦敦金]新操盘信号", 151);
        frame.timers->blinkUpkeep(5, 1);
    });
    push.join();
    // The message is listed at once; buttons, timers and sounds wait for the UI thread.
    EXPECT_EQ(frame.timers->messages().size(), 1u);
    EXPECT_FALSE(frame.timers->messageBlinking());
    EXPECT_TRUE(frame.timers->blinkList().entries().empty());
    EXPECT_TRUE(frame.seam.sounds().empty());

    QCoreApplication::processEvents();
    EXPECT_TRUE(frame.timers->messageBlinking());
    EXPECT_TRUE(frame.timers->soundStopPending());
    EXPECT_EQ(frame.timers->blinkList().entries().size(), 1u);
    ASSERT_EQ(frame.seam.sounds().size(), 1u);
    EXPECT_EQ(frame.seam.sounds()[0].resourceId, 151);
    EXPECT_TRUE(frame.seam.sounds()[0].loop);
}

TEST(FrameTimers, TwoMessagesASecondApartKeepBlinkingAndStopTheSoundAfterTheSecond)
{
    // One twentieth of the real periods: 1 s becomes 50 ms, 5 s becomes 250 ms.
    constexpr int kGap = 50;
    constexpr int kStop = 250;
    Frame frame;
    frame.timers->setPeriods({25ms, std::chrono::milliseconds(kStop), 100ms});

    frame.timers->addMessage("第一条", 151);
    QTest::qWait(kGap);
    const qint64 second = frame.seam.clock.elapsed();
    frame.timers->addMessage("第二条", 198);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame.seam.stopsAt.empty(); }, 5000));
    ASSERT_GE(frame.seam.stopsAt[0] - second, kStop - 2);

    // Both sounds started looping from their start; one stop for the burst.
    ASSERT_EQ(frame.seam.sounds().size(), 2u);
    EXPECT_EQ(frame.seam.sounds()[1].resourceId, 198);
    EXPECT_TRUE(frame.seam.sounds()[1].loop);
    QTest::qWait(kStop + 50);
    EXPECT_EQ(frame.seam.soundStops(), 1);

    // The button goes on blinking after the sound has stopped.
    EXPECT_TRUE(frame.timers->messageBlinking());
    bool sawBlank = false;
    bool sawImage = false;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            (frame.blank(frame.messageButton) ? sawBlank : sawImage) = true;
            return sawBlank && sawImage;
        },
        2000));
}

TEST(FrameTimers, OpeningTheManagerStopsTheBlinkingAndKeepsTheMessages)
{
    Frame frame;
    const qint64 ownImage = frame.messageButton.icon().cacheKey();
    frame.timers->addMessage("甲", 151);
    frame.timers->addMessage("乙", 151);
    frame.timers->messageBlinkTick();
    ASSERT_TRUE(frame.blank(frame.messageButton));

    // What command 32784 does before the dialog runs.
    frame.timers->stopMessageBlink();
    EXPECT_FALSE(frame.timers->messageBlinking());
    EXPECT_EQ(frame.messageButton.icon().cacheKey(), ownImage);
    QTest::qWait(60);
    EXPECT_EQ(frame.messageButton.icon().cacheKey(), ownImage);
    EXPECT_EQ(frame.timers->messages().size(), 2u);

    // A new message blinks again.
    frame.timers->addMessage("丙", 151);
    EXPECT_TRUE(frame.timers->messageBlinking());
    EXPECT_EQ(frame.timers->messages().size(), 3u);
}

} // namespace
} // namespace qs::ui
