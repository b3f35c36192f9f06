#include "core/chart/ChartTexts.h"

#include "core/platform/PriceFormat.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace qs {

namespace {

constexpr const char *kIdeographicSpace = "\u3000";

// "%.2f" and "%5.2f"; a double's %f text can run to 309 integer digits.
std::string Lots(double value, bool padded)
{
    char text[400];
    const int length = padded ? std::snprintf(text, sizeof text, "%5.2f", value)
                              : std::snprintf(text, sizeof text, "%.2f", value);
    if (length < 0)
        return {};
    return std::string(text, static_cast<std::size_t>(length) < sizeof text
                                 ? static_cast<std::size_t>(length)
                                 : sizeof text - 1);
}

std::string Hundredths(std::int32_t value)
{
    return Lots(static_cast<double>(value) / 100.0, false);
}

std::string Direction(std::int32_t lots)
{
    return lots > 0 ? "买入" : "卖出";
}

std::string AbsHundredths(std::int32_t lots)
{
    return Lots(std::abs(static_cast<double>(lots)) / 100.0, false);
}

} // namespace

std::string UnitPriceText(std::int32_t units, int digits)
{
    return FormatPrice(static_cast<double>(units) / static_cast<double>(PowerOfTen(digits)),
                       digits);
}

std::string SignalText(const SignalRecord &signal, bool support, int digits)
{
    return std::string(support ? "支撑位" : "阻力位") + UnitPriceText(signal.price, digits)
           + kIdeographicSpace + Hundredths(signal.lots1) + "手/" + Hundredths(signal.capital)
           + "万元" + kIdeographicSpace + UnitPriceText(signal.stopLoss, digits) + "止损";
}

std::string TwoLegSignalText(const SignalRecord &signal, int digits, const std::string &leg1,
                             const std::string &leg2)
{
    return UnitPriceText(signal.price, digits) + " " + Hundredths(signal.capital) + "万元 "
           + Direction(signal.lots1) + "[" + leg1 + "]" + AbsHundredths(signal.lots1) + "手 "
           + Direction(signal.lots2) + "[" + leg2 + "]" + AbsHundredths(signal.lots2) + "手"
           + kIdeographicSpace + UnitPriceText(signal.stopLoss, digits) + "止损";
}

std::string PublicationText(std::int32_t published)
{
    const std::time_t stamp = published;
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &stamp) != 0)
        return {};
#else
    if (localtime_r(&stamp, &local) == nullptr)
        return {};
#endif
    char text[64];
    std::snprintf(text, sizeof text, "%02d月%02d日 %02d时%02d分发布", local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min);
    return text;
}

std::string PositionLabelText(bool buy, double openPrice, int digits, double lots)
{
    return std::string(buy ? "买持仓 " : "卖持仓 ") + FormatPrice(openPrice, digits) + " "
           + Lots(lots, true) + "手";
}

std::string OrderLabelText(bool buy, double orderPrice, int digits, double lots)
{
    return std::string(buy ? "买指价 " : "卖指价 ") + FormatPrice(orderPrice, digits) + " "
           + Lots(lots, true) + "手";
}

std::string TakeProfitText(double price, double takeProfit, int digits)
{
    return FormatPrice(price, digits) + "盈 " + FormatPrice(takeProfit, digits) + " ";
}

std::string StopLossText(double price, double stopLoss, int digits)
{
    return FormatPrice(price, digits) + "损 " + FormatPrice(stopLoss, digits) + " ";
}

} // namespace qs
