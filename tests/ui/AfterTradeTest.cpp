#include "ui/AfterTrade.h"

#include "core/orders/DeleteOrder.h"
#include "core/platform/AnsiCodec.h"
#include "tests/ui/orders/OrderDialogTest.h"
#include "ui/CommandIds.h"
#include "ui/orders/OrderCommands.h"

#include <QWidget>

#include <cstring>
#include <string>
#include <vector>

namespace qs::test {
namespace {

using ui::AfterTradeOrder;
using ui::NoticeReceiver;

// The relayouts, the windows' 1033 and the sounds of one site, in the order they happened.
class AfterTradeTest : public OrderDialogTest {
protected:
    class Window : public QWidget, public NoticeReceiver {
    public:
        explicit Window(AfterTradeTest &test)
            : m_test(test)
        {}
        void ordersChanged() override { m_test.note("1033"); }
        void holdingsChanged() override { m_test.note("1032"); }

    private:
        AfterTradeTest &m_test;
    };

    AfterTradeTest() { m_notices.add(&m_window, &m_window); }

    FrameContext logging()
    {
        FrameContext frame = context();
        frame.relayoutChart = [this] {
            note("relayout");
        };
        return frame;
    }
    void note(const char *what)
    {
        catchUpSounds();
        m_log.emplace_back(what);
    }
    void catchUpSounds()
    {
        const std::vector<SeamRecorder::Sound> sounds = m_seam.sounds();
        for (; m_soundsSeen < sounds.size(); ++m_soundsSeen)
            m_log.push_back("sound " + std::to_string(sounds[m_soundsSeen].resourceId)
                            + (sounds[m_soundsSeen].loop ? " loop" : ""));
    }
    std::vector<std::string> log()
    {
        catchUpSounds();
        return m_log;
    }

    Window m_window{*this};
    std::vector<std::string> m_log;
    std::size_t m_soundsSeen = 0;
};

TEST_F(AfterTradeTest, EachSiteKeepsItsOrder)
{
    struct Case {
        AfterTradeOrder order;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {AfterTradeOrder::SoundRelayout, {"sound 190", "relayout"}},
        {AfterTradeOrder::RelayoutNoticeSound, {"relayout", "1033", "sound 190"}},
        {AfterTradeOrder::RelayoutNotice, {"relayout", "1033"}},
        {AfterTradeOrder::RelayoutSound, {"relayout", "sound 190"}},
        {AfterTradeOrder::Relayout, {"relayout"}},
    };
    for (const Case &c : cases) {
        m_log.clear();
        m_seam.clear();
        m_soundsSeen = 0;
        AnnounceTrade(logging(), TradeChange{}, c.order);
        EXPECT_EQ(log(), c.log) << static_cast<int>(c.order);
    }
}

TEST_F(AfterTradeTest, AChartDeleteLaysOutThenSounds)
{
    DelegateInfo order = Order(1, 1, 1, 2310.5);
    WriteAnsiField(order.orderNumber, "D1");
    m_trading.replaceProducts({Product(1, 2, 100)});
    m_trading.replacePendingOrders({order});
    m_seam.answerWith(MessageResult::Yes);
    const DeleteOrderBody body = ChartDeleteBody(order);
    ScriptedPeer peer(Script()
                          .expect(Join({Header(15), Bytes(body.begin(), body.end())}))
                          .send(Int32Bytes(1))
                          .expect(PendingOrdersRequest())
                          .send(Int32Bytes(0))
                          .expect(Header(21))
                          .send(BytesOf(Account(7000, 0))));
    m_endpoint = peer.endpoint();
    m_selection.order = "D1";

    ui::OrderCommands commands(logging(), m_selection, [] { return 1; });
    EXPECT_TRUE(commands.route(ui::command::kDeleteOrder));

    EXPECT_TRUE(peer.mismatches().empty()) << peer.mismatches().front();
    EXPECT_EQ(log(), (std::vector<std::string>{"relayout", "sound 190"}));
    EXPECT_TRUE(m_trading.pendingOrders().empty());
}

} // namespace
} // namespace qs::test
