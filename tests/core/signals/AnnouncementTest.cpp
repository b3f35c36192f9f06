#include "core/signals/Announcement.h"

#include "core/platform/AnsiCodec.h"
#include "core/protocol/WireRecord.h"
#include "tests/support/KLineRecords.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace qs {
namespace {

TypeInfo Single(const std::string &name, std::int32_t digits)
{
    TypeInfo product = ZeroRecord<TypeInfo>();
    product.productId = 1;
    product.digits = digits;
    product.singleInstrument = 1;
    WriteAnsiField(product.name, name);
    return product;
}

TypeInfo TwoLeg(const std::string &name, const std::string &leg1, const std::string &leg2,
                std::int32_t digits)
{
    TypeInfo product = Single(name, digits);
    product.productId = 20;
    product.singleInstrument = 0;
    WriteAnsiField(product.leg1Name, leg1);
    WriteAnsiField(product.leg2Name, leg2);
    return product;
}

SignalRecord Signal(std::int32_t price, std::int32_t stopLoss, std::int32_t capital,
                    std::int32_t lots1, std::int32_t lots2 = 0, std::uint8_t kind = 11)
{
    SignalRecord signal = test::MakeSignal(1, price);
    signal.stopLoss = stopLoss;
    signal.capital = capital;
    signal.lots1 = lots1;
    signal.lots2 = lots2;
    signal.kind = kind;
    return signal;
}

TEST(Announcement, SingleInstrumentShowsTheWorkedNumbersWithIdeographicGaps)
{
    const TypeInfo gold = Single("伦敦金", 1);
    EXPECT_EQ(AnnouncementText(Signal(955, 905, 250, 150), gold),
              "接收到[伦敦金]新操盘信号，{支撑位95.5\u30001.50手/2.50万元\u300090.5止损}");
    // Every kind but 11 is announced as a resistance level.
    for (const std::uint8_t kind : {21, 0, 12, 255})
        EXPECT_EQ(AnnouncementText(Signal(955, 1005, 250, 150, 0, kind), gold),
                  "接收到[伦敦金]新操盘信号，{阻力位95.5\u30001.50手/2.50万元\u3000100.5止损}")
            << int(kind);
    EXPECT_EQ(
        AnnouncementText(Signal(182345, 181000, 1000, 5), Single("欧元/美元", 4)),
        "接收到[欧元/美元]新操盘信号，{支撑位18.2345\u30000.05手/10.00万元\u300018.1000止损}");
}

TEST(Announcement, TwoLegTextsShowLotsWithoutSignAndTheDirectionWords)
{
    const TypeInfo ratio = TwoLeg("黄金/白银(伦敦)", "伦敦金", "伦敦银", 2);
    EXPECT_EQ(AnnouncementText(Signal(5512, 5400, 250, -150, 300), ratio),
              "接收到[黄金/白银(伦敦)]新操盘信号，{55.12 2.50万元 卖出[伦敦金]1.50手 "
              "买入[伦敦银]3.00手\u300054.00止损}");
    EXPECT_EQ(AnnouncementText(Signal(5512, 5400, 250, 150, -300), ratio),
              "接收到[黄金/白银(伦敦)]新操盘信号，{55.12 2.50万元 买入[伦敦金]1.50手 "
              "卖出[伦敦银]3.00手\u300054.00止损}");
    // Zero lots are a sell; the most negative field still has a size.
    EXPECT_EQ(AnnouncementText(Signal(5512, 5400, 250, 0, INT_MIN), ratio),
              "接收到[黄金/白银(伦敦)]新操盘信号，{55.12 2.50万元 卖出[伦敦金]0.00手 "
              "卖出[伦敦银]21474836.48手\u300054.00止损}");
}

TEST(Announcement, ServerNamesAreNeverReadAsConversions)
{
    EXPECT_EQ(AnnouncementText(Signal(955, 905, 250, 150), Single("金%s%d%n%%", 1)),
              "接收到[金%s%d%n%%]新操盘信号，{支撑位95.5\u30001.50手/2.50万元\u300090.5止损}");
    EXPECT_EQ(
        AnnouncementText(Signal(955, 905, 250, 150, -100), TwoLeg("比%s", "腿%n%s", "%%腿", 1)),
        "接收到[比%s]新操盘信号，{95.5 2.50万元 买入[腿%n%s]1.50手 卖出[%%腿]1.00手"
        "\u300090.5止损}");
}

TEST(Announcement, UnknownProductGivesAnEmptyTextAndHostileDigitsAreClamped)
{
    TypeInfo unknown = ZeroRecord<TypeInfo>();
    unknown.productId = 29;
    unknown.singleInstrument = 1;
    EXPECT_EQ(AnnouncementText(Signal(955, 905, 250, 150), unknown), "");

    EXPECT_EQ(AnnouncementText(Signal(955, 905, 250, 150), Single("金", -7)),
              "接收到[金]新操盘信号，{支撑位955\u30001.50手/2.50万元\u3000905止损}");
    const std::string huge = AnnouncementText(Signal(955, 905, 250, 150), Single("金", 1000000));
    EXPECT_NE(huge.find("支撑位0.000000000000955"), std::string::npos) << huge;
}

} // namespace
} // namespace qs
