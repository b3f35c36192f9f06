#include "core/app/PushDispatch.h"

#include "core/alerts/AlertList.h"
#include "core/alerts/MessageList.h"
#include "core/app/ClientEvents.h"
#include "core/app/ClientViewState.h"
#include "core/chart/BarList.h"
#include "core/market/SignalList.h"
#include "core/protocol/AlertInfo.h"
#include "core/protocol/WireRecord.h"
#include "core/trading/TradingData.h"
#include "tests/support/KLineRecords.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TradingTestRecords.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace qs {
namespace {

// Notes every call as a word, with the bar list's size at the time of a tick's notices.
class RecordingEvents final : public ClientEvents {
public:
    explicit RecordingEvents(const BarList &bars)
        : m_bars(bars)
    {}
    void relayoutChart() override { log.push_back("relayout"); }
    void liveBarApplied(bool newBar) override { log.push_back(newBar ? "new bar" : "live bar"); }
    void tradingNotices(const TickChange &change) override
    {
        log.push_back("notices " + std::to_string(change.tick.productId) + " bars "
                      + std::to_string(m_bars.size()));
    }
    void blinkUpkeep(std::int32_t productId, int direction) override
    {
        log.push_back("blink " + std::to_string(productId) + " " + std::to_string(direction));
    }
    void messageAdded(int soundId) override { log.push_back("message " + std::to_string(soundId)); }
    void alertsChanged() override { log.push_back("alerts"); }
    void pushConnected() override { log.push_back("connected"); }
    void signalArrived(const SignalRecord &signal) override
    {
        log.push_back("signal " + std::to_string(signal.productId));
    }
    void sessionEnded(SessionEnd why) override
    {
        log.push_back(why == SessionEnd::KickedOff ? "kicked off" : "link lost");
    }

    std::vector<std::string> log;

private:
    const BarList &m_bars;
};

struct Client {
    test::TempFolder temp;
    test::SeamRecorder seam;
    Session session;
    ServerEndpoint endpoint; // nothing listens: no event here may need the server
    TradingData trading;
    BarList bars;
    SignalList signals;
    MessageList messages;
    AlertList alerts;
    RecordingEvents events{bars};
    ClientViewState view{endpoint, session, DataFolder(temp.path()), bars, signals, events};
    PushDispatch dispatch{
        trading, ServerLink(endpoint, session, seam), view, signals, messages, alerts, events};

    Client()
    {
        trading.replaceProducts({test::Product(1, 2, 1), test::Product(2, 2, 1)});
        view.setCurrentProduct(1);
    }
};

TEST(PushDispatch, EachEventGoesToItsConsumersInOrder)
{
    struct Case {
        const char *name;
        std::function<void(PushDispatch &)> push;
        std::vector<std::string> log;
        std::size_t messages;
    };
    const std::vector<Case> cases{
        // The tick reaches the account before the bar list (which takes no live bar before the
        // history has loaded).
        {"bar",
         [](PushDispatch &d) { d.onBarRecord(test::MakeBar(1, 2024, "11:00:00", 1234)); },
         {"notices 1 bars 0"},
         0},
        {"signal",
         [](PushDispatch &d) { d.onSignalRecord(test::MakeSignal(2, 1500)); },
         {"relayout", "blink 2 1", "message 151", "signal 2"},
         1},
        {"withdrawal",
         [](PushDispatch &d) { d.onSignalRecord(test::MakeSignal(2, 1500, 4)); },
         {"blink 2 -1", "signal 2"},
         0},
        {"message", [](PushDispatch &d) { d.onMessage("今日休市"); }, {"message 151"}, 1},
        {"heartbeat", [](PushDispatch &d) { d.onHeartbeat(); }, {}, 0},
        {"connected", [](PushDispatch &d) { d.onConnected(); }, {"connected"}, 0},
        {"closed", [](PushDispatch &d) { d.onSessionClosed(); }, {"link lost"}, 0},
        {"kicked", [](PushDispatch &d) { d.onKickedOff(); }, {"kicked off"}, 0},
        {"detached bar",
         [](PushDispatch &d) {
             d.detach();
             d.onBarRecord(test::MakeBar(1, 2024, "11:00:00", 1234));
         },
         {},
         0},
    };
    for (const Case &c : cases) {
        Client client;
        c.push(client.dispatch);
        EXPECT_EQ(client.events.log, c.log) << c.name;
        EXPECT_EQ(client.messages.size(), c.messages) << c.name;
        EXPECT_TRUE(client.seam.messages().empty()) << c.name;
    }
}

TEST(PushDispatch, TheAlertCheckComesLastOfATick)
{
    Client client;
    AlertInfo reached = ZeroRecord<AlertInfo>();
    reached.alertId = 7;
    reached.productId = 1;
    reached.condition = 1; // at or above
    reached.level = 10;
    client.alerts.replace({reached});

    client.dispatch.onBarRecord(test::MakeBar(1, 2024, "11:00:00", 1234));

    // Announced after the notices; the delete that follows finds no server and keeps the alert.
    EXPECT_EQ(client.events.log, (std::vector<std::string>{"notices 1 bars 0", "message 198"}));
    EXPECT_EQ(client.messages.size(), 1u);
}

} // namespace
} // namespace qs
