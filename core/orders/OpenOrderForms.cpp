#include "core/orders/OpenOrderForms.h"

#include "core/orders/OrderRules.h"
#include "core/platform/PriceFormat.h"
#include "core/protocol/OrderNumbers.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace qs {

namespace {

constexpr const char *kInvalidPrice = "无效价格";

std::optional<std::string> MarketOpenRefusal(const TypeInfo &product,
                                             const MarketOpenFields &fields, double price,
                                             std::int32_t direction)
{
    if (auto refusal = CheckLots(fields.lots, product))
        return refusal;
    if (fields.slippageTicked && fields.slippage < 0)
        return "允许的交易点差不能小于零";
    if (!(price > 0))
        return kInvalidPrice;
    return CheckStops(direction, price, fields.stopLoss, fields.takeProfit, product.stopDistance);
}

std::optional<std::string> LimitOpenRefusal(const TypeInfo &product, const LimitOpenFields &fields,
                                            std::int32_t direction)
{
    if (auto refusal = CheckLots(fields.lots, product))
        return refusal;
    if (!(fields.limitPrice > 0))
        return kInvalidPrice;
    // The product copy's 32-bit price, not a label's text.
    const float side = direction == 1 ? product.buyPrice : product.sellPrice;
    if (auto refusal = CheckLimitDistance(fields.limitPrice, static_cast<double>(side),
                                          static_cast<double>(product.limitDistance)))
        return refusal;
    return CheckStops(direction, fields.limitPrice, fields.stopLoss, fields.takeProfit,
                      product.stopDistance);
}

} // namespace

LotSetup MakeLotSetup(const TypeInfo &product)
{
    const float scale = PowerOfTen(product.lotDecimals);
    // The products are taken in float, as the spin's range is.
    const float lowest = product.minLots * scale;
    const float highest = static_cast<float>(product.maxLots) * scale;

    LotSetup setup{};
    setup.lower = ClampToInt(std::trunc(static_cast<double>(lowest)));
    setup.upper = ClampToInt(std::trunc(static_cast<double>(highest)));
    setup.step = ClampToInt(std::trunc(static_cast<double>(product.lotStep)));
    setup.digits = product.lotDecimals;
    char text[96];
    std::snprintf(text, sizeof text, "(可填范围%g-%d)", static_cast<double>(product.minLots),
                  product.maxLots);
    setup.rangeLabel = text;
    std::snprintf(text, sizeof text, "%d", setup.upper);
    setup.maxText = text;
    setup.minText = FormatG(static_cast<double>(lowest));
    return setup;
}

std::string InitialSlippageText(const TypeInfo &product)
{
    return FormatG(static_cast<double>(product.askSpread * 10000.0f));
}

LimitButtonTexts MakeLimitButtonTexts(const TypeInfo &product)
{
    const double distance = static_cast<double>(product.limitDistance);
    const auto text = [&](const char *side, float price) {
        const double sidePrice = static_cast<double>(price);
        return std::string(side) + "/价格<" + FormatPrice(sidePrice - distance, product.digits)
               + " 或者 > " + FormatPrice(sidePrice + distance, product.digits);
    };
    return {text("买", product.buyPrice), text("卖", product.sellPrice)};
}

OrderForm MarketOpenForm(const TypeInfo &product, const MarketOpenFields &fields,
                         std::int32_t direction)
{
    const double price = direction == 1 ? fields.buyLabel : fields.sellLabel;
    OrderForm form{MarketOpenRefusal(product, fields, price, direction)};
    if (form.refusal)
        return form;
    OpenOrderBody &body = form.body;
    body.productId = fields.productId;
    body.price = Narrow(price);
    body.stopLoss = Narrow(fields.stopLoss);
    body.takeProfit = Narrow(fields.takeProfit);
    body.lots = Narrow(fields.lots);
    body.kind = order_kind::kMarket;
    body.direction = direction;
    body.validity = 0;
    body.slippage = fields.slippageTicked && fields.slippage > 0 ? Narrow(fields.slippage) : 0.0f;
    return form;
}

OrderForm LimitOpenForm(const TypeInfo &product, const LimitOpenFields &fields,
                        std::int32_t direction)
{
    OrderForm form{LimitOpenRefusal(product, fields, direction)};
    if (form.refusal)
        return form;
    OpenOrderBody &body = form.body;
    body.productId = fields.productId;
    body.price = Narrow(fields.limitPrice);
    body.stopLoss = Narrow(fields.stopLoss);
    body.takeProfit = Narrow(fields.takeProfit);
    body.lots = Narrow(fields.lots);
    body.kind = order_kind::kLimit;
    body.direction = direction;
    body.validity = fields.validityIndex + 1;
    body.slippage = 0.0f;
    return form;
}

} // namespace qs
