#include "core/alerts/AlertTexts.h"

#include "core/platform/PriceFormat.h"

#include <algorithm>
#include <cstdio>

namespace qs {

namespace {

constexpr std::int32_t kAtOrAbove = 1;

// printf into a string of whatever length it needs. The formats come from this file or from the
// first stage, whose server text has had its '%' doubled.
template<typename... Args>
std::string Format(const std::string &format, Args... args)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int length = std::snprintf(nullptr, 0, format.c_str(), args...);
    if (length < 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), format.c_str(), args...);
#pragma GCC diagnostic pop
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::string EscapePercent(const std::string &text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        escaped += c;
        if (c == '%')
            escaped += '%';
    }
    return escaped;
}

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
