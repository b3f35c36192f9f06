#pragma once

// The order dialogs without a server: a frame context over trading data the test fills, a
// request port nobody listens on, and the notice route that carries ticks to the dialogs.

#include "core/trading/TradingData.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TradingTestRecords.h"
#include "ui/FrameContext.h"
#include "ui/TradingNotices.h"
#include "ui/orders/OrderCommands.h"
#include "ui/widgets/CFloatNumberEdit.h"
#include "ui/widgets/CPriceStatic.h"

#include <QAbstractButton>
#include <QTest>

#include <gtest/gtest.h>

namespace qs::test {

using ui::CFloatNumberEdit;
using ui::CPriceStatic;
using ui::FrameContext;

inline constexpr const char *kNoServer = "无法连接服务器，操作已取消";

// A tradable two-digit product: lots 1-5 in steps of 1, stop distance 3, limit distance 2.
inline TypeInfo TradableProduct(std::int32_t id, float buy, float sell)
{
    TypeInfo product = Product(id, 2, 1);
    product.tradable = 1;
    product.buyPrice = buy;
    product.sellPrice = sell;
    product.minLots = 1;
    product.maxLots = 5;
    product.lotStep = 1;
    product.stopDistance = 3;
    product.limitDistance = 2;
    return product;
}

class OrderDialogTest : public ::testing::Test {
protected:
    OrderDialogTest()
        : m_endpoint(Nowhere())
        , m_session(TestSession())
    {}

    FrameContext context()
    {
        return FrameContext{ServerLink(m_endpoint, m_session, m_seam), m_trading, nullptr,
                            m_notices, [this] {
                                ++m_relayouts;
                            }};
    }

    template<typename Control = CFloatNumberEdit>
    static Control *Find(QWidget &dialog, const char *kind, int id)
    {
        auto *control = dialog.findChild<Control *>(QStringLiteral("%1%2").arg(kind).arg(id));
        EXPECT_NE(control, nullptr) << kind << id;
        return control;
    }
    static CPriceStatic *Label(QWidget &dialog, int id)
    {
        return Find<CPriceStatic>(dialog, "label", id);
    }
    static void Click(QWidget &dialog, int id)
    {
        Find<QAbstractButton>(dialog, "button", id)->click();
    }

    ServerEndpoint m_endpoint;
    Session m_session;
    SeamRecorder m_seam;
    TradingData m_trading;
    ui::TradingNotices m_notices;
    ui::ChartSelection m_selection;
    int m_relayouts = 0;
};

} // namespace qs::test
