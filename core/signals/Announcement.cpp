#include "core/signals/Announcement.h"

#include "core/platform/PriceFormat.h"
#include "core/platform/TwoStageFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace qs {

namespace {

const char *DirectionWord(std::int32_t signedLots)
{
    return signedLots > 0 ? "买入" : "卖出";
}

// Lots of a leg without their sign; through double so the most negative field has a size too.
double UnsignedLots(std::int32_t signedLots)
{
    return std::fabs(static_cast<double>(signedLots)) / 100.0;
}

} // namespace

std::string AnnouncementText(const SignalRecord &signal, const TypeInfo &product)
{
    const std::string name = product.nameText();
    if (name.empty())
        return {};
    const int digits = std::clamp(product.digits, 0, kMaxPriceDigits);
    const double scale = static_cast<double>(PowerOfTen(digits));
    const double price = signal.price / scale;
    const double stopLoss = signal.stopLoss / scale;
    const double capital = signal.capital / 100.0;

    if (product.singleInstrument == 1) {
        const std::string format = Format(
            std::string("接收到[%s]新操盘信号，{%s%%.%df　%%.2f手/%%.2f万元　%%.%df止损}"),
            EscapePercent(name).c_str(), signal.isSupport() ? "支撑位" : "阻力位", digits, digits);
        return Format(format, price, signal.lots1 / 100.0, capital, stopLoss);
    }

    const std::string format
        = Format(std::string("接收到[%s]新操盘信号，{%%.%df %%.2f万元 %%s[%%s]%%.2f手 "
                             "%%s[%%s]%%.2f手　%%.%df止损}"),
                 EscapePercent(name).c_str(), digits, digits);
    const std::string leg1 = product.leg1NameText();
    const std::string leg2 = product.leg2NameText();
    return Format(format, price, capital, DirectionWord(signal.lots1), leg1.c_str(),
                  UnsignedLots(signal.lots1), DirectionWord(signal.lots2), leg2.c_str(),
                  UnsignedLots(signal.lots2), stopLoss);
}

} // namespace qs
