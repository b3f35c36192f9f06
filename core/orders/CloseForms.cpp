#include "core/orders/CloseForms.h"

#include "core/platform/PriceFormat.h"
#include "core/protocol/OrderNumbers.h"
#include "core/protocol/OrderRecords.h"
#include "core/trading/TradingData.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>

namespace qs {

namespace {} // namespace

PositionTexts MakePositionTexts(const HoldInfo &position, const TypeInfo &product)
{
    PositionTexts texts;
    texts.productName = position.productNameText();
    texts.stopLoss = FormatPrice(position.stopLoss, product.digits);
    texts.takeProfit = FormatPrice(position.takeProfit, product.digits);
    texts.heldLots = FormatPrice(position.lotsHeld, product.lotDecimals);
    texts.openedLots = FormatPrice(position.lotsOpened, product.lotDecimals);
    texts.side = position.isBuy() ? "买" : "卖";
    return texts;
}

CloseLotSetup MakeCloseLotSetup(const HoldInfo &position, const TypeInfo &product)
{
    const double scale = static_cast<double>(PowerOfTen(product.lotDecimals));
    const double heldUnits = position.lotsHeld * scale;

    CloseLotSetup setup;
    setup.digits = product.lotDecimals;
    setup.lower = 1;
    setup.upper = ClampToInt(std::trunc(heldUnits + 1));
    // The field takes whole units and shows them divided by 10^digits: the held lots.
    setup.firstText = FormatPrice(heldUnits, product.lotDecimals);
    char label[400];
    std::snprintf(label, sizeof label, "(可填范围%g-%g)", 1.0 / scale, position.lotsHeld);
    setup.rangeLabel = label;
    return setup;
}

double ClosingPrice(const HoldInfo &position, const TypeInfo &product)
{
    return static_cast<double>(position.isBuy() ? product.sellPrice : product.buyPrice);
}

std::string MarketCloseSlippageText(const TypeInfo &product)
{
    const double units = std::round(static_cast<double>(product.askSpread) * 10000.0);
    char text[16];
    std::snprintf(text, sizeof text, "%d", ClampToInt(units));
    return text;
}

DelegateInfo MarketCloseBody(const HoldInfo &position, const MarketCloseFields &fields)
{
    DelegateInfo body
        = ClosePositionBody(position, fields.lots, fields.closingPrice, kMarketCloseValidity);
    body.stopLoss = fields.slippageTicked ? fields.slippage : 0.0;
    return body;
}

DelegateInfo LimitCloseBody(const HoldInfo &position, const LimitCloseFields &fields)
{
    const std::int32_t validity
        = fields.validityIndex == 1 ? order_validity::kWeek : order_validity::kTradingDay;
    DelegateInfo body = ClosePositionBody(position, fields.lots, fields.price, validity);
    // The name's bytes as the position carries them, always terminated.
    std::memcpy(body.productName, position.productName,
                strnlen(position.productName, sizeof body.productName - 1));
    body.stopLoss = fields.stopLoss;
    body.takeProfit = fields.takeProfit;
    return body;
}

double LimitCloseTickPrice(const HoldInfo &position, const TypeInfo &product,
                           std::int32_t tickClose)
{
    const double last
        = static_cast<double>(tickClose) / static_cast<double>(PowerOfTen(product.digits));
    return position.isBuy() ? last - static_cast<double>(product.bidSpread)
                            : last + static_cast<double>(product.askSpread);
}

std::optional<StopLimits> LimitCloseStopBounds(const HoldInfo &position, const TypeInfo &product,
                                               double price)
{
    if (!(price != 0))
        return std::nullopt;
    const double distance = static_cast<double>(product.stopDistance);
    if (position.isBuy()) {
        const double side = price - static_cast<double>(product.bidSpread);
        return StopLimits{side + distance, side - distance};
    }
    const double side = price + static_cast<double>(product.askSpread);
    return StopLimits{side - distance, side + distance};
}

LimitCloseVerdict JudgeLimitCloseReply(const DelegateInfo &reply)
{
    switch (reply.status) {
    case order_result::kBadPrice:
        return {false, "价格无效"};
    case order_result::kStopTooNear:
        return {false, "止损或止盈无效"};
    case order_result::kDone:
        if (reply.orderNumber[0] != 0)
            return {true, {}};
        break;
    default:
        break;
    }
    return {false, "委托失败，未知错误"};
}

void AddLimitClose(TradingData &data, DelegateInfo reply)
{
    reply.status = 1;
    const std::string_view position = NumberOf(reply.relatedPosition);
    MutexLock lock(data.kDelegateInfoLock);
    auto &orders = data.kDelegateInfoList;
    const auto earlier = std::find_if(orders.begin(), orders.end(), [&](const DelegateInfo &o) {
        return o.openOrClose == 2 && o.status == 1 && NumberOf(o.relatedPosition) == position;
    });
    if (earlier != orders.end())
        orders.erase(earlier);
    orders.push_back(reply);
}

} // namespace qs
