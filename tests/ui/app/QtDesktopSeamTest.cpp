#include "ui/app/QtDesktopSeam.h"
#include "ui/widgets/WaitCursor.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

namespace qs::ui {
namespace {

// A box asked for inside a wait scope shows the normal cursor; the wait cursor is back after it.
TEST(QtDesktopSeam, MessageBoxesShowTheNormalCursorEvenInsideAWait)
{
    QtDesktopSeam seam;
    for (const bool waiting : {true, false}) {
        std::optional<WaitCursor> wait;
        if (waiting)
            wait.emplace();
        std::optional<Qt::CursorShape> whileUp;
        QTimer::singleShot(0, [&] {
            const QCursor *cursor = QApplication::overrideCursor();
            whileUp = cursor != nullptr ? cursor->shape() : Qt::ArrowCursor;
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                box->accept();
        });
        static_cast<DesktopSeam &>(seam).messageBox("删除失败，请检查网络");
        EXPECT_EQ(whileUp, Qt::ArrowCursor) << waiting;
        const QCursor *after = QApplication::overrideCursor();
        EXPECT_EQ(after != nullptr ? after->shape() : Qt::ArrowCursor,
                  waiting ? Qt::WaitCursor : Qt::ArrowCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace qs::ui
