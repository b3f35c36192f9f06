#include "core/chart/ChartTexts.h"

#include "core/protocol/WireRecord.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace qs {
namespace {

SignalRecord Signal()
{
    SignalRecord signal = ZeroRecord<SignalRecord>();
    signal.price = 123456;
    signal.stopLoss = 123000;
    signal.capital = 2550;
    signal.lots1 = 150;
    signal.lots2 = -300;
    return signal;
}

TEST(ChartTexts, SingleInstrumentSignals)
{
    EXPECT_EQ(SignalText(Signal(), true, 2),
              "支撑位1234.56\u30001.50手/25.50万元\u30001230.00止损");
    EXPECT_EQ(SignalText(Signal(), false, 3),
              "阻力位123.456\u30001.50手/25.50万元\u3000123.000止损");
}

TEST(ChartTexts, TwoLegSignalShowsDirectionAndAbsoluteLotsPerLeg)
{
    EXPECT_EQ(TwoLegSignalText(Signal(), 2, "黄金", "白银"),
              "1234.56 25.50万元 买入[黄金]1.50手 卖出[白银]3.00手\u30001230.00止损");
    SignalRecord zero = Signal();
    zero.lots1 = 0;
    // A leg name is text, never a format.
    EXPECT_EQ(TwoLegSignalText(zero, 0, "%s%n", "b"),
              "123456 25.50万元 卖出[%s%n]0.00手 卖出[b]3.00手\u3000123000止损");
}

TEST(ChartTexts, PositionOrderAndStopTexts)
{
    EXPECT_EQ(PositionLabelText(true, 1234.5, 2, 1.5), "买持仓 1234.50  1.50手");
    EXPECT_EQ(PositionLabelText(false, 7.25, 1, 12.0), "卖持仓 7.2 12.00手");
    EXPECT_EQ(OrderLabelText(true, 1.23456, 4, 0.1), "买指价 1.2346  0.10手");
    EXPECT_EQ(OrderLabelText(false, 1.5, 0, 100), "卖指价 2 100.00手");
    EXPECT_EQ(TakeProfitText(1234.5, 1240, 2), "1234.50盈 1240.00 ");
    EXPECT_EQ(StopLossText(1234.5, 1230, 2), "1234.50损 1230.00 ");
    // Hostile lots still fit.
    EXPECT_GT(PositionLabelText(true, 1, 2, 1e300).size(), 300u);
}

// Publication times are local: run them in UTC+8 and restore the zone afterwards.
class ChinaTime : public testing::Test {
protected:
    void SetUp() override
    {
        if (const char *zone = std::getenv("TZ"))
            m_saved = zone;
        setenv("TZ", "CST-8", 1);
        tzset();
    }
    void TearDown() override
    {
        if (m_saved)
            setenv("TZ", m_saved->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> m_saved;
};

TEST_F(ChinaTime, PublicationTimeInLocalTime)
{
    EXPECT_EQ(PublicationText(1704067200), "01月01日 08时00分发布"); // 2024-01-01 00:00 UTC
    EXPECT_EQ(PublicationText(1718444700), "06月15日 17时45分发布"); // 2024-06-15 09:45 UTC
}

} // namespace
} // namespace qs
