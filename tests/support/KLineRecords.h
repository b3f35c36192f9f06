#pragma once

#include "core/protocol/KLineBar.h"
#include "core/protocol/SignalRecord.h"
#include "core/protocol/WireRecord.h"
#include "tests/support/BarBuilder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace qs::test {

// A completed bar ("MMDDhhmm") or, with a clock text ("hh:mm:ss"), a live one.
inline KLineBar MakeBar(std::int32_t productId, std::int32_t keyNumber, const std::string &time,
                        std::int32_t close = 1000)
{
    return BarBuilder()
        .product(productId)
        .prices(close - 5, close + 10, close - 10, close)
        .reference(close - 3)
        .digits(2)
        .key(keyNumber)
        .carried(0x01020304)
        .time(time);
}

// Completed bars of one product, newest first, one day apart: keys 2024 "0{day}0800".
inline std::vector<KLineBar> MakeBars(std::int32_t productId, int newestDay, int count)
{
    std::vector<KLineBar> bars;
    for (int i = 0; i < count; ++i) {
        const int day = newestDay - i;
        char time[32];
        std::snprintf(time, sizeof time, "%02d%02d0800", 1 + (day - 1) / 28, 1 + (day - 1) % 28);
        bars.push_back(MakeBar(productId, 2024, time, 1000 + day));
    }
    return bars;
}

inline SignalRecord MakeSignal(std::int8_t productId, std::int32_t price, std::uint8_t action = 1)
{
    SignalRecord signal = ZeroRecord<SignalRecord>();
    signal.price = price;
    signal.stopLoss = price - 50;
    signal.capital = 500;
    signal.productId = productId;
    signal.action = action;
    signal.kind = 11;
    signal.lots1 = 100;
    signal.marker = kSignalMarker;
    return signal;
}

template<WireRecord T>
void AppendRecordBytes(std::vector<std::uint8_t> &out, const T &record)
{
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(&record);
    out.insert(out.end(), bytes, bytes + sizeof record);
}

inline std::vector<std::uint8_t> RecordBytes(const std::vector<KLineBar> &bars)
{
    std::vector<std::uint8_t> out;
    for (const KLineBar &bar : bars)
        AppendRecordBytes(out, bar);
    return out;
}

inline std::vector<std::string> KeysOf(const std::vector<KLineBar> &bars)
{
    std::vector<std::string> keys;
    for (const KLineBar &bar : bars)
        keys.push_back(BarKey::of(bar).str());
    return keys;
}

inline BarKey KeyText(const std::string &text)
{
    BarKey key;
    std::memset(key.text, 0, sizeof key.text);
    std::memcpy(key.text, text.data(), std::min(text.size(), sizeof key.text - 1));
    return key;
}

} // namespace qs::test
