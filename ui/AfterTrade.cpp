#include "ui/AfterTrade.h"

#include "core/platform/DesktopSeam.h"
#include "core/platform/SoundIds.h"
#include "ui/TradingNotices.h"

#include <array>

namespace qs::ui {

namespace {

enum class Step { Relayout, Notice, Sound, End };

std::array<Step, 3> Steps(AfterTradeOrder order)
{
    switch (order) {
    case AfterTradeOrder::SoundRelayout:
        return {Step::Sound, Step::Relayout, Step::End};
    case AfterTradeOrder::RelayoutNoticeSound:
        return {Step::Relayout, Step::Notice, Step::Sound};
    case AfterTradeOrder::RelayoutNotice:
        return {Step::Relayout, Step::Notice, Step::End};
    case AfterTradeOrder::RelayoutSound:
        return {Step::Relayout, Step::Sound, Step::End};
    case AfterTradeOrder::Relayout:
        break;
    }
    return {Step::Relayout, Step::End, Step::End};
}

} // namespace

void AnnounceTrade(const FrameContext &context, const TradeChange &change, AfterTradeOrder order)
{
    for (const Step step : Steps(order)) {
        switch (step) {
        case Step::Relayout:
            if (context.relayoutChart)
                context.relayoutChart();
            break;
        case Step::Notice:
            context.notices.notifyOrdersChanged();
            break;
        case Step::Sound:
            context.link.seam().playSound(sound::kTradeDone, false);
            break;
        case Step::End:
            break;
        }
    }
    context.notices.tradeDone(change);
}

} // namespace qs::ui
