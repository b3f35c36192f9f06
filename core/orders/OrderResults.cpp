#include "core/orders/OrderResults.h"

#include "core/protocol/OrderRecords.h"

#include <algorithm>
#include <cstdio>

namespace qs {

namespace {

std::string WithDistance(const char *format, float distance)
{
    char text[128];
    // Only the result texts below are passed in.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(text, sizeof text, format, static_cast<double>(distance));
#pragma GCC diagnostic pop
    return text;
}

} // namespace

std::string ResultText(OrderDialog dialog, std::int32_t code, const TypeInfo &product)
{
    constexpr const char *kUnknown = "未知错误";
    constexpr const char *kInvalidPrice = "无效价格";
    if (code == order_result::kDone)
        return {};
    const bool open = dialog == OrderDialog::MarketOpen || dialog == OrderDialog::LimitOpen;
    if (!open && dialog != OrderDialog::MarketClose && dialog != OrderDialog::ModifyOrder)
        return kUnknown;
    switch (code) {
    case order_result::kPriceMoved:
        return "价格已经变动，请重新下单";
    case order_result::kNoMargin:
        return "保证金不足";
    case order_result::kLimitTooNear: // kBadPrice for the others
        return open ? WithDistance("挂单价必须远离市价至少%g元", product.limitDistance)
                    : kInvalidPrice;
    case order_result::kStopTooNear:
        return open ? WithDistance("止损或盈利必须远离建仓价%g元", product.stopDistance)
                    : "止损或盈利无效";
    case order_result::kMarketClosed:
        return dialog == OrderDialog::ModifyOrder ? kInvalidPrice : "闭市中，禁止交易";
    case order_result::kInvalidPrice: // kUnknown for the others
        return open ? kInvalidPrice : kUnknown;
    default:
        return kUnknown;
    }
}

const char *SendFailureText(OrderDialog dialog)
{
    switch (dialog) {
    case OrderDialog::MarketOpen:
    case OrderDialog::LimitOpen:
        return "订单提交失败，操作已取消";
    case OrderDialog::MarketClose:
        return "平仓失败，操作已取消";
    case OrderDialog::LimitClose:
        return "委托失败，操作已取消";
    case OrderDialog::ModifyPosition:
    case OrderDialog::ModifyOrder:
        return "修改失败，操作已取消";
    }
    return "修改失败，操作已取消";
}

std::int32_t AssembleResultCode(const std::uint8_t *bytes, std::size_t received)
{
    std::uint32_t code = 0;
    const std::size_t count = bytes == nullptr ? 0 : std::min<std::size_t>(received, 4);
    for (std::size_t i = 0; i < count; ++i)
        code |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return static_cast<std::int32_t>(code);
}

} // namespace qs
