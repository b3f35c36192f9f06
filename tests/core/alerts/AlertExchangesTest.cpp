#include "core/alerts/AlertExchanges.h"
#include "core/alerts/AlertCheck.h"
#include "core/alerts/AlertList.h"
#include "core/alerts/AlertTexts.h"
#include "core/market/ProductNotificationFlags.h"
#include "core/protocol/ServerLink.h"
#include "core/trading/TradingData.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TradingTestRecords.h"

#include <gtest/gtest.h>

namespace qs {
namespace {

using namespace test;

const Session kSession = TestSession();

// A 40-byte alert from its offsets; the unlisted bytes carry filler.
Bytes AlertBytes(std::int32_t id, double level, std::int32_t condition, std::int32_t productId,
                 std::uint8_t filler = 0)
{
    return Join({Int32Bytes(id), Bytes(12, filler), BytesOf(level), Int32Bytes(condition),
                 Int32Bytes(productId), Bytes(8, filler)});
}

TypeInfo Gold(const std::string &name = "伦敦金")
{
    TypeInfo product = Product(1, 2, 1);
    WriteAnsiField(product.name, name);
    return product;
}

TEST(AlertTexts, TheNameIsPastedLiterally)
{
    const AlertInfo alert = DecodeRecord<AlertInfo>(AlertBytes(1, 1250.5, 1, 1).data());
    EXPECT_EQ(AlertAnnouncement(alert, Gold()), "产品伦敦金价格预警：>=1250.50已到达");
    EXPECT_EQ(AlertRowText(alert, Gold("金%d%s")), "产品【金%d%s】价格>=1250.50时提醒");
}

// The id decides once its four bytes are in; fewer than four are a failure.
TEST(AddAlert, RepliesAreJudgedByTheirIdEvenWhenCutShort)
{
    const std::string quota
        = "对不起，您当月的免费报价次数已用完!\n如需更多报价服务，请升级成VIP会员";
    const std::string failed = "保存信息失败，请修改后重试";
    const Bytes stored = AlertBytes(7, 1250.5, 1, 3);
    const struct {
        Bytes reply;
        std::vector<std::string> messages;
        std::size_t listed;
    } rows[] = {
        {AlertBytes(-1, 0, 0, 0), {quota}, 0},
        {Bytes{0xFF, 0xFF, 0xFF, 0xFF}, {quota}, 0},
        {Bytes{0xFF, 0xFF, 0xFF}, {failed}, 0},
        {Bytes(stored.begin(), stored.begin() + 39), {}, 1},
        {Int32Bytes(7), {}, 1},
        {AlertBytes(0, 1250.5, 1, 3), {failed}, 0},
    };
    for (const auto &row : rows) {
        SeamRecorder seam;
        AlertList alerts;
        ScriptedPeer peer(Script()
                              .expect(Join({Header(9), AlertBytes(0, 1250.5, 1, 3)}))
                              .sendThenClose(row.reply));
        AddAlert(ServerLink(peer.endpoint(), kSession, seam), alerts, 3, 1, 1250.5);
        EXPECT_EQ(seam.messageTexts(), row.messages) << row.reply.size();
        ASSERT_EQ(alerts.size(), row.listed) << row.reply.size();
        if (row.listed == 1) {
            const AlertInfo alert = alerts.snapshot().front();
            EXPECT_TRUE(alert.alertId == 7 && alert.level == 1250.5 && alert.productId == 3);
        }
        EXPECT_TRUE(peer.mismatches().empty());
    }
}

// Ticks at exactly 1765.30: one of product 3, then two of product 1.
TEST(CheckAlerts, ReachedAlertsAreAnnouncedThenDeletedAsStoredInListOrder)
{
    const Bytes above = AlertBytes(1, 1765.30, 1, 1, 0xA1), below = AlertBytes(2, 1765.30, 2, 1, 6),
                refused = AlertBytes(3, 1765.00, 1, 1, 0xA3), never = AlertBytes(4, 1765.30, 3, 1);
    auto deletion = [](const Bytes &record, std::uint8_t reply) {
        return Script().expect(Join({Header(10), record})).send({reply});
    };
    ScriptedPeer peer(
        {deletion(above, 1), deletion(below, 1), deletion(refused, 0), deletion(refused, 1)});
    SeamRecorder seam;
    TradingData trading;
    trading.replaceProducts({Gold()});
    AlertList alerts;
    for (const Bytes &record : {above, below, refused, never})
        alerts.append(DecodeRecord<AlertInfo>(record.data()));
    std::vector<std::string> events;
    const AlertCheckHooks hooks{
        [&](const std::string &text) { events.push_back(text); },
        [&] { events.push_back("changed"); },
    };
    for (const std::int32_t productId : {3, 1, 1})
        CheckAlerts(alerts, Tick(productId, 176530, 2), trading,
                    ServerLink(peer.endpoint(), kSession, seam), hooks);

    const std::string above30 = "产品伦敦金价格预警：>=1765.30已到达",
                      below30 = "产品伦敦金价格预警：<=1765.30已到达",
                      above00 = "产品伦敦金价格预警：>=1765.00已到达";
    EXPECT_EQ(events, (std::vector<std::string>{above30, "changed", below30, "changed", above00,
                                                above00, "changed"}));
    EXPECT_EQ(alerts.size(), 1u);
    EXPECT_TRUE(peer.mismatches().empty());
}

TEST(ProductNotificationFlags, OnlyAPositiveReplyByteSavesTheChoice)
{
    ProductNotificationFlags::Bytes chosen{};
    chosen[28] = chosen[29] = 1;
    for (const std::uint8_t reply : {0x01, 0x7F, 0x80, 0x00}) {
        SeamRecorder seam;
        ScriptedPeer peer(
            Script().expect(Join({Header(41), Bytes(28, 0), Bytes{1, 1}})).send({reply}));
        ProductNotificationFlags flags;
        const bool saved = reply > 0 && reply < 0x80;
        EXPECT_EQ(flags.saveToServer(ServerLink(peer.endpoint(), kSession, seam), {}), saved);
        EXPECT_EQ(flags.bytes(), saved ? chosen : ProductNotificationFlags().bytes());
        EXPECT_TRUE(seam.messageTexts().empty() && peer.mismatches().empty());
    }
}

} // namespace
} // namespace qs
