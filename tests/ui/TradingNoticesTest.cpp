#include "ui/TradingNotices.h"

#include "tests/support/BarBuilder.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace qs::ui {
namespace {

// Notes the notices it receives as their message numbers.
class Listener : public QWidget {
public:
    std::vector<int> heard;
    int lastTickProduct = 0;

protected:
    bool event(QEvent *event) override
    {
        const int message = static_cast<int>(event->type()) - QEvent::User;
        if (message >= kPriceTickMessage && message <= kDelegateChangedMessage) {
            heard.push_back(message);
            if (message == kPriceTickMessage)
                lastTickProduct = static_cast<PriceTickEvent *>(event)->tick().productId;
            return true;
        }
        return QWidget::event(event);
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
    list.add(&a);
    list.add(&b);
    list.add(&a); // listed once
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
    list.add(goes.get());
    list.add(&stays);
    goes.reset();
    list.deliver(false, false, Tick(1));
    EXPECT_EQ(list.count(), 1u);
    EXPECT_EQ(stays.heard, std::vector<int>{1031});
}

} // namespace
} // namespace qs::ui
