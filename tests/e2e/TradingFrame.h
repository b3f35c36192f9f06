#pragma once

// A main frame trading product 1 against an in-process demo server, for the order tests.

#include "core/app/ClientSession.h"
#include "core/app/ClientSettings.h"
#include "core/protocol/Commands.h"
#include "core/protocol/OrderRecords.h"
#include "core/protocol/RequestExchange.h"
#include "core/trading/TradingData.h"
#include "server/DemoServer.h"
#include "tests/support/DemoLogin.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFolder.h"
#include "ui/app/CChildView.h"
#include "ui/app/CMainFrame.h"
#include "ui/chart/CKMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace qs::test {

class TradingFrameTest : public ::testing::Test {
protected:
    static constexpr std::int32_t kProduct = 1;

    void SetUp() override
    {
        ASSERT_TRUE(m_server.start());
        ASSERT_TRUE(LogInToDemo(m_server.endpoint(), m_seam, m_session));
        m_seam.clear();
        newClient(m_server.endpoint());
    }

    // A program's client state, fresh, as after a start; the frame on the old one goes first.
    void newClient(const ServerEndpoint &endpoint)
    {
        m_frame.reset();
        m_client = std::make_unique<ClientSession>(ServerLink(endpoint, m_session, m_seam),
                                                   DataFolder(m_temp.path()), m_events);
    }

    // Shown and trading, with the history of product 1 loaded.
    void startFrame()
    {
        if (m_frame)
            newClient(m_server.endpoint());
        ClientSettings stored;
        stored.setLastProduct(kProduct);
        ASSERT_TRUE(stored.write(DataFolder(m_temp.path())));
        m_frame = std::make_unique<ui::CMainFrame>(*m_client, m_events);
        m_frame->show();
        m_frame->startTrading();
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_client->view().historyLoaded(); }, 10000));
    }

    // Once a top-level window of this type shows (a dialog's or a menu's modal loop runs), act
    // gets it; the caller then starts what opens it.
    template<typename Window>
    static void WhenShown(std::function<void(Window &)> act, int triesLeft = 300)
    {
        QTimer::singleShot(10, [act = std::move(act), triesLeft]() mutable {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (auto *window = qobject_cast<Window *>(top); window && window->isVisible()) {
                    act(*window);
                    return;
                }
            }
            if (triesLeft > 0)
                WhenShown<Window>(std::move(act), triesLeft - 1);
            else
                ADD_FAILURE() << "nothing shown";
        });
    }

    static void Click(QWidget &dialog, int buttonId)
    {
        dialog.findChild<QAbstractButton *>(QStringLiteral("button%1").arg(buttonId))->click();
    }

    // An order through the request port, as the open dialogs send it.
    std::int32_t placeOrder(std::int32_t kind, double price, float lots = 1,
                            std::int32_t productId = kProduct)
    {
        OpenOrderBody body{};
        body.productId = productId;
        body.price = static_cast<float>(price);
        body.lots = lots;
        body.kind = kind;
        body.direction = 1;
        body.validity = order_validity::kWeek;
        body.slippage = 5;
        std::int32_t code = 0;
        RequestExchange exchange(ServerLink(m_server.endpoint(), m_session, m_seam));
        EXPECT_EQ(exchange.request(cmd::kOpenOrder, body, code), ExchangeStep::Done);
        return code;
    }

    // The frame's notices and chart, for windows a test opens itself.
    ui::FrameContext frameContext()
    {
        return ui::FrameContext{ServerLink(m_server.endpoint(), m_session, m_seam), trading(),
                                m_frame.get(), m_frame->notices(), [this] {
                                    m_frame->clientView()->chartPanel()->relayout();
                                }};
    }

    TradingData &trading() { return m_client->trading(); }

    server::DemoServer m_server{QuietDemoOptions()};
    TempFolder m_temp;
    SeamRecorder m_seam;
    Session m_session;
    ui::ClientEventPoster m_events;
    std::unique_ptr<ClientSession> m_client;
    std::unique_ptr<ui::CMainFrame> m_frame;
};

} // namespace qs::test
