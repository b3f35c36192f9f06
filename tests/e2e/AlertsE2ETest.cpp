// Price alerts and product settings through their dialogs against the demo server.
#include "core/alerts/AlertList.h"
#include "core/alerts/MessageList.h"
#include "tests/e2e/TradingFrame.h"
#include "tests/support/KLineRecords.h"
#include "ui/CommandIds.h"
#include "ui/alerts/AlertSetup.h"
#include "ui/alerts/CPriceAlter.h"
#include "ui/app/FrameTimers.h"
#include "ui/widgets/CSortListCtrl.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <cmath>

namespace qs::ui {
namespace {

class AlertsE2E : public test::TradingFrameTest {
protected:
    void SetUp() override
    {
        TradingFrameTest::SetUp();
        startFrame();
    }

    // Product, condition (1 ">=", 2 "<="; 0 leaves it unselected) and price, then "保存".
    static void Add(CPriceAlter &dialog, int productIndex, int condition, const QString &price)
    {
        dialog.findChild<QComboBox *>(QStringLiteral("combo1066"))->setCurrentIndex(productIndex);
        dialog.findChild<QComboBox *>(QStringLiteral("combo1064"))->setCurrentIndex(condition - 1);
        dialog.findChild<QLineEdit *>(QStringLiteral("edit1042"))->setText(price);
        dialog.add();
    }

    static std::vector<std::string> Rows(const CPriceAlter &dialog)
    {
        std::vector<std::string> rows;
        for (int row = 0; row < dialog.list()->rowCount(); ++row)
            rows.push_back(dialog.list()->cell(row, 0));
        return rows;
    }
};

TEST_F(AlertsE2E, TheDialogAddsListsAndDeletesAlerts)
{
    CPriceAlter dialog(frameContext(), m_client->alerts());
    const int adds = m_server.requestCount(cmd::kAddAlert);
    Add(dialog, -1, 1, QStringLiteral("1250.50"));
    Add(dialog, 0, 0, QStringLiteral("1250.50"));
    Add(dialog, 0, 1, QStringLiteral("0"));
    EXPECT_EQ(m_seam.messageTexts(),
              (std::vector<std::string>{"请选择产品", "请选择条件", "请输入合适的价格"}));
    EXPECT_EQ(m_server.requestCount(cmd::kAddAlert), adds);

    m_seam.clear();
    Add(dialog, 0, 1, QStringLiteral("1250.50"));
    EXPECT_EQ(Rows(dialog), std::vector<std::string>{"产品【伦敦金】价格>=1250.50时提醒"});
    ASSERT_EQ(m_server.alerts("demo").size(), 1u);

    dialog.list()->selectRow(0);
    dialog.deleteSelected();
    EXPECT_TRUE(Rows(dialog).empty());
    EXPECT_TRUE(m_server.alerts("demo").empty());
    EXPECT_TRUE(m_seam.messages().empty());
}

TEST_F(AlertsE2E, AnOrdinaryMembersFourthAlertOfTheMonthIsRefused)
{
    Session member;
    ASSERT_TRUE(test::LogInToDemo(m_server.endpoint(), m_seam, member, "free", "free"));
    m_seam.clear();
    FrameContext context = frameContext();
    context.link = ServerLink(m_server.endpoint(), member, m_seam);
    AlertList alerts;
    CPriceAlter dialog(context, alerts);
    for (const char *price : {"1.00", "2.00", "3.00", "4.00"})
        Add(dialog, 0, 2, QString::fromLatin1(price));
    EXPECT_EQ(m_seam.messageTexts(),
              std::vector<std::string>{
                  "对不起，您当月的免费报价次数已用完!\n如需更多报价服务，请升级成VIP会员"});
    EXPECT_EQ(Rows(dialog).size(), 3u);
}

TEST_F(AlertsE2E, AReachedAlertIsAnnouncedDeletedAndLeavesTheOpenDialog)
{
    CPriceAlter dialog(frameContext(), m_client->alerts());
    const double level = m_server.quote(kProduct).last + 5;
    Add(dialog, 0, 1, QString::number(level, 'f', 2));
    ASSERT_EQ(Rows(dialog).size(), 1u);
    const std::size_t messages = m_client->messages().size();

    m_server.setPrice(kProduct, level + 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Rows(dialog).empty(); }, 5000));
    EXPECT_TRUE(m_server.alerts("demo").empty());
    ASSERT_EQ(m_client->messages().size(), messages + 1);
    EXPECT_EQ(m_client->messages().snapshot().back().content,
              "产品伦敦金价格预警：>=" + QString::number(level, 'f', 2).toStdString() + "已到达");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const auto sounds = m_seam.sounds();
            return !sounds.empty() && sounds.back().resourceId == 198 && sounds.back().loop;
        },
        5000));
    EXPECT_TRUE(m_frame->frameTimers().messageBlinking());
}

TEST_F(AlertsE2E, SavedSettingsGovernAnnouncementsAndBlinking)
{
    {
        AlertSetup setup(frameContext(), m_client->flags());
        for (QCheckBox *box : setup.findChildren<QCheckBox *>())
            box->setChecked(false);
        m_server.answerNextFlagsSave(0x80);
        setup.save();
        EXPECT_EQ(setup.result(), 0) << "a refused save keeps the dialog open";
        EXPECT_EQ(m_client->flags().flag(kProduct), 1);
        EXPECT_TRUE(m_seam.messages().empty());

        setup.save();
        EXPECT_EQ(setup.result(), QDialog::Accepted);
        std::vector<std::uint8_t> expected(30, 0);
        expected[28] = expected[29] = 1;
        EXPECT_EQ(m_server.lastRequestBody(cmd::kSaveProductFlags), expected);
        EXPECT_EQ(m_client->flags().flag(kProduct), 0);
    }

    const std::size_t messages = m_client->messages().size();
    const std::size_t signals = m_client->signals().size();
    SignalRecord signal = test::MakeSignal(
        kProduct,
        static_cast<std::int32_t>(std::llround(m_server.quote(kProduct).last * 100)) + 500);
    signal.published = 1700000000;
    m_server.publishSignal(signal);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_client->signals().size() == signals + 1; }, 5000));
    QTest::qWait(200);
    EXPECT_EQ(m_client->messages().size(), messages) << "drawn, not announced";
    EXPECT_FALSE(m_frame->frameTimers().messageBlinking());
    // Forty still ticks and more: an unfollowed product's button keeps its image.
    QAction *button = m_frame->action(30000 + kProduct);
    for (int tick = 0; tick < 60; ++tick) {
        m_frame->frameTimers().productFlashTick();
        EXPECT_NE(button->icon().pixmap(32).toImage().pixel(16, 16), 0u) << tick;
    }
}

} // namespace
} // namespace qs::ui
