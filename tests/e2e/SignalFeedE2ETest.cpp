#include "ui/app/CMainFrame.h"

#include "core/app/ClientSession.h"
#include "core/market/SignalList.h"
#include "core/platform/PriceFormat.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/WireRecord.h"
#include "core/trading/TradingData.h"
#include "server/DemoServer.h"
#include "tests/support/DemoLogin.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFolder.h"
#include "ui/CommandIds.h"
#include "ui/alerts/CSmsManager.h"
#include "ui/app/CChildView.h"
#include "ui/app/FrameTimers.h"

#include <QAction>
#include <QApplication>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

namespace qs::ui {
namespace {

using namespace std::chrono_literals;

bool Blank(const QAction *action)
{
    return (action->icon().pixmap(32).toImage().pixel(16, 16) >> 24) == 0;
}

TEST(SignalFeedE2E, PublishedSignalIsDrawnFlashesItsButtonAndIsListed)
{
    server::DemoServer server{test::QuietDemoOptions()};
    ASSERT_TRUE(server.start());
    test::SeamRecorder seam;
    Session session;
    ASSERT_TRUE(test::LogInToDemo(server.endpoint(), seam, session));
    seam.clear();
    test::TempFolder temp;
    ui::ClientEventPoster events;
    ClientSession client(ServerLink(server.endpoint(), session, seam), DataFolder(temp.path()),
                         events);
    TradingData &trading = client.trading();
    CMainFrame frame(client, events);
    frame.frameTimers().setPeriods({25ms, 5000ms, 5ms});
    frame.show();
    frame.startTrading();
    CChildView *view = frame.clientView();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return client.view().historyLoaded() && client.pushChannelOpen(); }, 10000));
    QTest::qWait(100);

    // A support level at the product's last price, so it lies inside the chart.
    const std::int32_t productId = frame.currentProduct();
    const TypeInfo product = trading.product(productId);
    const double scale = PowerOfTen(product.digits);
    SignalRecord signal = ZeroRecord<SignalRecord>();
    signal.price = static_cast<std::int32_t>(std::lround(server.quote(productId).last * scale));
    signal.stopLoss = signal.price - 100;
    signal.capital = 250;
    signal.productId = static_cast<std::int8_t>(productId);
    signal.action = 1;
    signal.kind = 11;
    signal.lots1 = 150;
    signal.keyByte37 = 77;
    signal.marker = kSignalMarker;
    const std::size_t before = frame.frameTimers().messages().size();
    server.publishSignal(signal);

    const auto listed = [&] {
        for (const SignalRecord &entry : client.signals().snapshot())
            if (entry.keyByte37 == 77 && entry.chartY > 0)
                return entry;
        return ZeroRecord<SignalRecord>();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed().chartY > 0; }, 5000));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return frame.frameTimers().messages().size() == before + 1; }, 5000));
    const std::string text = frame.frameTimers().messages().snapshot().back().content;
    EXPECT_EQ(text.rfind("接收到[" + product.nameText() + "]新操盘信号，{支撑位", 0), 0u) << text;
    EXPECT_NE(text.find("1.50手/2.50万元"), std::string::npos) << text;

    // The dashed support line in its colour at the left edge of the chart.
    QTest::qWait(50);
    const int y = listed().chartY;
    const QImage image = view->chartPanel()->grab().toImage();
    ASSERT_LT(y, image.height());
    EXPECT_EQ(image.pixel(1, y) | 0xFF000000u, qRgb(200, 0, 0));

    // The product's button empties and comes back; the message button blinks.
    QAction *button = frame.action(30000 + productId);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Blank(button); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Blank(button); }, 5000));
    EXPECT_TRUE(frame.frameTimers().messageBlinking());
    ASSERT_FALSE(seam.sounds().empty());
    EXPECT_EQ(seam.sounds().back().resourceId, 151);

    // The manager lists the announcement first and the blinking stops.
    QString firstRow;
    QTimer::singleShot(0, &frame, [&] {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (auto *manager = qobject_cast<CSmsManager *>(window)) {
                const auto *list = manager->findChild<QTableWidget *>(QStringLiteral("list1005"));
                if (list->rowCount() > 0)
                    firstRow = list->item(0, 1)->text();
                manager->reject();
            }
    });
    frame.onCommand(command::kMessageManager);
    EXPECT_EQ(firstRow, QString::fromStdString(text));
    EXPECT_FALSE(frame.frameTimers().messageBlinking());
    frame.closeForRestart();
}

} // namespace
} // namespace qs::ui
