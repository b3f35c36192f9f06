#include "ui/alerts/CSmsManager.h"

#include "core/alerts/MessageList.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>

namespace qs::ui {
namespace {

using namespace std::chrono_literals;

struct Manager {
    std::chrono::system_clock::time_point now
        = std::chrono::sys_days{std::chrono::year{2024} / 3 / 9} + 23h + 30min + 15s;
    MessageList messages{[this] {
        return now;
    }};
    std::unique_ptr<CSmsManager> dialog;
    QTableWidget *list = nullptr;
    QLabel *text = nullptr;

    void open()
    {
        dialog = std::make_unique<CSmsManager>(messages);
        list = dialog->findChild<QTableWidget *>(QStringLiteral("list1005"));
        text = dialog->findChild<QLabel *>(QStringLiteral("static1006"));
        ASSERT_NE(list, nullptr);
        ASSERT_NE(text, nullptr);
    }
    QString cell(int row, int column) const { return list->item(row, column)->text(); }
};

TEST(CSmsManager, ListsEveryMessageNewestFirstWithItsServiceTime)
{
    Manager m;
    m.messages.add("接收到[伦敦金]新操盘信号");
    m.now += 1s;
    m.messages.add("<b>服务器消息</b>");
    m.open();

    EXPECT_EQ(m.dialog->windowTitle(), QStringLiteral("消息管理器"));
    EXPECT_EQ(m.list->horizontalHeaderItem(0)->text(), QStringLiteral("接收时间"));
    EXPECT_EQ(m.list->horizontalHeaderItem(1)->text(), QStringLiteral("消息内容"));
    EXPECT_EQ(m.list->columnWidth(0), 150);
    EXPECT_EQ(m.list->columnWidth(1), 500);
    auto *close = m.dialog->findChild<QPushButton *>(QStringLiteral("button1001"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), QStringLiteral("关闭"));

    ASSERT_EQ(m.list->rowCount(), 2);
    EXPECT_EQ(m.cell(0, 0), QStringLiteral("2024-03-10 07:30:16"));
    EXPECT_EQ(m.cell(0, 1), QStringLiteral("<b>服务器消息</b>"));
    EXPECT_EQ(m.cell(1, 0), QStringLiteral("2024-03-10 07:30:15"));
    EXPECT_EQ(m.cell(1, 1), QStringLiteral("接收到[伦敦金]新操盘信号"));

    // Selecting a row shows its text in full, as text, not as markup.
    m.list->selectRow(0);
    EXPECT_EQ(m.text->text(), QStringLiteral("<b>服务器消息</b>"));
    EXPECT_EQ(m.text->textFormat(), Qt::PlainText);
    m.list->selectRow(1);
    EXPECT_EQ(m.text->text(), QStringLiteral("接收到[伦敦金]新操盘信号"));
}

TEST(CSmsManager, RefillBringsNewMessagesAndKeepsTheShownText)
{
    Manager m;
    m.messages.add("甲");
    m.open();
    m.dialog->setRefillPeriod(20ms);
    m.list->selectRow(0);
    ASSERT_EQ(m.text->text(), QStringLiteral("甲"));

    m.messages.add("乙");
    ASSERT_TRUE(QTest::qWaitFor([&] { return m.list->rowCount() == 2; }, 2000));
    EXPECT_EQ(m.cell(0, 1), QStringLiteral("乙"));
    EXPECT_TRUE(m.list->selectedItems().isEmpty());
    EXPECT_EQ(m.text->text(), QStringLiteral("甲"));
}

TEST(CSmsManager, CloseButtonEndsTheDialog)
{
    Manager m;
    m.open();
    QTimer::singleShot(0, m.dialog.get(), [&m] {
        QTest::mouseClick(m.dialog->findChild<QPushButton *>(QStringLiteral("button1001")),
                          Qt::LeftButton);
    });
    EXPECT_EQ(m.dialog->exec(), QDialog::Rejected);
}

} // namespace
} // namespace qs::ui
