#include "ui/app/ClientEventPoster.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace qs::ui {
namespace {

// Everything the poster hands on, with the thread it came out on.
struct Heard {
    std::vector<std::string> log;
    bool allOnUiThread = true;

    void note(const std::string &what)
    {
        allOnUiThread = allOnUiThread && QThread::currentThread() == qApp->thread();
        log.push_back(what);
    }
};

std::string StateName(PushState state)
{
    switch (state) {
    case PushState::Connected:
        return "connected";
    case PushState::Reconnecting:
        return "reconnecting";
    case PushState::Lost:
        break;
    }
    return "lost";
}

TEST(ClientEventPoster, WorkerCallsComeOutOnTheUiThreadInTheOrderMade)
{
    ClientEventPoster poster;
    Heard heard;
    QObject::connect(&poster, &ClientEventPoster::pushStateWasChanged,
                     [&](PushState state) { heard.note(StateName(state)); });
    QObject::connect(&poster, &ClientEventPoster::sessionWasEnded, [&](SessionEnd why) {
        heard.note(why == SessionEnd::KickedOff ? "kicked off" : "link lost");
    });
    QObject::connect(&poster, &ClientEventPoster::signalWasPushed, [&](const SignalRecord &signal) {
        heard.note("signal " + std::to_string(signal.productId));
    });
    QObject::connect(&poster, &ClientEventPoster::tradingNoticesArrived,
                     [&](const TickChange &change) {
                         heard.note("tick " + std::to_string(change.tick.productId));
                     });

    std::thread worker([&] {
        poster.pushConnected();
        SignalRecord signal{};
        signal.productId = 3;
        poster.signalArrived(signal);
        TickChange change;
        change.tick.productId = 4;
        poster.tradingNotices(change);
        PostToUiThread(&poster, [&] { heard.note("posted"); });
        poster.sessionEnded(SessionEnd::LinkLost);
    });
    worker.join();
    EXPECT_TRUE(heard.log.empty()); // nothing runs before the UI thread turns to its events
    QCoreApplication::processEvents();

    // The loss is told before the session's end, which may start the program again.
    EXPECT_EQ(heard.log, (std::vector<std::string>{"connected", "signal 3", "tick 4", "posted",
                                                   "lost", "link lost"}));
    EXPECT_TRUE(heard.allOnUiThread);
}

TEST(ClientEventPoster, PostedWorkGoesWithItsReceiver)
{
    int ran = 0;
    {
        QObject receiver;
        std::thread worker([&] { PostToUiThread(&receiver, [&] { ++ran; }); });
        worker.join();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, 0);
}

} // namespace
} // namespace qs::ui
