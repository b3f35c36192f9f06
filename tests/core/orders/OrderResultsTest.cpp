#include "core/orders/OrderResults.h"

#include <gtest/gtest.h>

#include <string>

namespace qs {
namespace {

TEST(OrderResults, TextOfEachResultCodePerDialog)
{
    TypeInfo product{};
    product.limitDistance = 2.5f;
    product.stopDistance = 3;
    const std::string moved = "价格已经变动，请重新下单", margin = "保证金不足",
                      closed = "闭市中，禁止交易", invalid = "无效价格", unknown = "未知错误",
                      stops = "止损或盈利无效";
    const struct {
        std::int32_t code;
        std::string open;
        std::string marketClose;
        std::string modifyOrder;
    } rows[] = {
        {1, "", "", ""},
        {2, moved, moved, moved},
        {3, margin, margin, margin},
        {4, "挂单价必须远离市价至少2.5元", invalid, invalid},
        {5, "止损或盈利必须远离建仓价3元", stops, stops},
        {6, closed, closed, invalid},
        {7, invalid, unknown, unknown},
        {0, unknown, unknown, unknown},
        {9, unknown, unknown, unknown},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(ResultText(OrderDialog::MarketOpen, row.code, product), row.open);
        EXPECT_EQ(ResultText(OrderDialog::LimitOpen, row.code, product), row.open);
        EXPECT_EQ(ResultText(OrderDialog::MarketClose, row.code, product), row.marketClose);
        EXPECT_EQ(ResultText(OrderDialog::ModifyOrder, row.code, product), row.modifyOrder);
    }
}

} // namespace
} // namespace qs
