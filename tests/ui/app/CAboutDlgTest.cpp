#include "ui/app/CAboutDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace qs::ui {
namespace {

TEST(CAboutDlg, ShowsIconMakerAndSlogansAndClosesWithOk)
{
    CAboutDlg dialog;
    auto *icon = dialog.findChild<QLabel *>(QStringLiteral("icon"));
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
    QStringList lines;
    for (int row = 0; row < 3; ++row)
        lines << dialog.findChild<QLabel *>(QStringLiteral("line%1").arg(row))->text();
    EXPECT_EQ(lines,
              (QStringList{QStringLiteral("Quillstar  Quillstar 团队"),
                           QStringLiteral("提高操盘成功率"), QStringLiteral("让投资更有道理")}));

    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("button1"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("确定"));
    QTimer::singleShot(0, &dialog, [ok] { QTest::mouseClick(ok, Qt::LeftButton); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}

} // namespace
} // namespace qs::ui
