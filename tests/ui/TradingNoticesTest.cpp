#include "ui/TradingNotices.h"

#include "tests/support/BarBuilder.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace qs::ui {
namespace {

// Notes the notices it receives as their message numbers.
class Listener : public QWidget, public NoticeReceiver {
public:
    std::vector<int> heard;
    int lastTickProduct = 0;

    void holdingsChanged() override { heard.push_back(kHoldChangedMessage); }
    void ordersChanged() override { heard.push_back(kDelegateChangedMessage); }
    void ticked(const KLineBar &tick) override
    {
        heard.push_back(kPriceTickMessage);
        lastTickProduct = tick.productId;
    }
};

KLineBar Tick(int product)
{
    return test::BarBuilder().product(product);
}

TEST(TradingNotices, NoticesArriveInOrderOncePerWindow)
{
    TradingNotices list;
    Listener a;
    Listener b;
    list.add(&a, &a);
    list.add(&b, &b);
    list.add(&a, &a); // listed once
    EXPECT_EQ(list.count(), 2u);

    list.deliver(false, false, Tick(3));
    list.deliver(true, false, Tick(4));
    list.deliver(false, true, Tick(5));
    const std::vector<int> expected{1031, 1032, 1031, 1032, 1033, 1031};
    EXPECT_EQ(a.heard, expected);
    EXPECT_EQ(b.heard, expected);
    EXPECT_EQ(a.lastTickProduct, 5);
}

TEST(TradingNotices, ClosedWindowsDropOut)
{
    TradingNotices list;
    Listener stays;
    auto goes = std::make_unique<Listener>();
    list.add(goes.get(), goes.get());
    list.add(&stays, &stays);
    goes.reset();
    list.deliver(false, false, Tick(1));
    EXPECT_EQ(list.count(), 1u);
    EXPECT_EQ(stays.heard, std::vector<int>{1031});
}

// Notes its notices into a log shared with other windows; may close itself on the first.
class Named : public QWidget, public NoticeReceiver {
public:
    Named(std::string name, std::vector<std::string> &log, bool closes = false)
        : m_name(std::move(name))
        , m_log(log)
        , m_closes(closes)
    {}
    void holdingsChanged() override
    {
        note(kHoldChangedMessage);
        if (m_closes)
            delete this;
    }
    void ordersChanged() override { note(kDelegateChangedMessage); }
    void ticked(const KLineBar &) override { note(kPriceTickMessage); }

private:
    void note(int message) { m_log.push_back(m_name + " " + std::to_string(message)); }

    std::string m_name;
    std::vector<std::string> &m_log;
    bool m_closes;
};

TEST(TradingNotices, WindowsHearADeliveryWindowByWindowAndAClosedOneHearsNoMore)
{
    TradingNotices list;
    std::vector<std::string> log;
    Named first("first", log);
    auto *closer = new Named("closer", log, true);
    Named last("last", log);
    list.add(&first, &first);
    list.add(closer, closer);
    list.add(&last, &last);

    list.deliver(true, true, Tick(2));

    EXPECT_EQ(log,
              (std::vector<std::string>{"first 1032", "first 1033", "first 1031", "closer 1032",
                                        "last 1032", "last 1033", "last 1031"}));
    EXPECT_EQ(list.count(), 2u);
}

TEST(TradingNotices, TypedSignalsFollowWhatChanged)
{
    struct Case {
        const char *name;
        std::function<void(TradingNotices &)> act;
        std::vector<std::string> heard;
    };
    TickChange refreshed;
    refreshed.tick = Tick(4);
    refreshed.holdings = true;
    refreshed.refreshed = true;
    refreshed.closedByServer = {{"P1", 4, 1, 2.0}};
    refreshed.filledByServer = {{"D7", 4, 2, 0.5}};
    TradeChange orders;
    orders.orders = true;
    orders.account = true;
    const std::vector<Case> cases{
        {"plain tick", [](TradingNotices &n) { n.deliver(false, false, Tick(3)); }, {"tick 3"}},
        {"orders trigger",
         [](TradingNotices &n) { n.deliver(false, true, Tick(3)); },
         {"holdings", "orders", "tick 3"}},
        {"refresh",
         [&](TradingNotices &n) { n.tickChanged(refreshed); },
         {"holdings", "tick 4", "account", "closed P1 4 1 2", "filled D7 4 2 0.5"}},
        {"trade", [&](TradingNotices &n) { n.tradeDone(orders); }, {"orders", "account"}},
        {"own orders", [](TradingNotices &n) { n.notifyOrdersChanged(); }, {}},
    };
    for (const Case &c : cases) {
        TradingNotices notices;
        std::vector<std::string> heard;
        const auto deal = [&heard](const char *what, const ServerDeal &d) {
            std::ostringstream text;
            text << what << ' ' << d.number << ' ' << d.productId << ' ' << d.side << ' ' << d.lots;
            heard.push_back(text.str());
        };
        QObject::connect(&notices, &TradingNotices::holdingsChanged,
                         [&] { heard.push_back("holdings"); });
        QObject::connect(&notices, &TradingNotices::ordersChanged,
                         [&] { heard.push_back("orders"); });
        QObject::connect(&notices, &TradingNotices::accountChanged,
                         [&] { heard.push_back("account"); });
        QObject::connect(&notices, &TradingNotices::ticked, [&](const KLineBar &tick) {
            heard.push_back("tick " + std::to_string(tick.productId));
        });
        QObject::connect(&notices, &TradingNotices::positionClosedByServer,
                         [&](const ServerDeal &d) { deal("closed", d); });
        QObject::connect(&notices, &TradingNotices::orderFilledByServer,
                         [&](const ServerDeal &d) { deal("filled", d); });
        c.act(notices);
        EXPECT_EQ(heard, c.heard) << c.name;
    }
}

} // namespace
} // namespace qs::ui
