#include "core/alerts/AlertTexts.h"

#include "core/platform/PriceFormat.h"
#include "core/platform/TwoStageFormat.h"

#include <algorithm>
#include <cstdio>

namespace qs {

namespace {

constexpr std::int32_t kAtOrAbove = 1;

std::string AlertText(const char *firstStage, const AlertInfo &alert, const TypeInfo &product)
{
    const std::string format
        = Format(std::string(firstStage), EscapePercent(product.nameText()).c_str(),
                 alert.condition == kAtOrAbove ? ">=" : "<=",
                 std::clamp(product.digits, 0, kMaxPriceDigits));
    return Format(format, alert.level);
}

} // namespace

std::string AlertRowText(const AlertInfo &alert, const TypeInfo &product)
{
    return AlertText("产品【%s】价格%s%%.%df时提醒", alert, product);
}

std::string AlertAnnouncement(const AlertInfo &alert, const TypeInfo &product)
{
    return AlertText("产品%s价格预警：%s%%.%df已到达", alert, product);
}

} // namespace qs
