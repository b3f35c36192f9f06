// The 48-byte records of the push channel, downloads and cache files, and the 13-byte bar key of
// download replies, decoded from untrusted bytes read as one stream.
#include "core/protocol/KLineBar.h"
#include "core/protocol/SignalRecord.h"
#include "core/protocol/WireRecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckKey(const qs::BarKey &key)
{
    const std::string text = key.str();
    Require(text.size() <= sizeof key.text);
    Require(key.isNone() == (key == qs::BarKey::none()));
}

void CheckRecord(const std::uint8_t *bytes)
{
    if (qs::IsSignalRecord(bytes)) {
        const auto signal = qs::DecodeRecord<qs::SignalRecord>(bytes);
        Require(signal.marker == qs::kSignalMarker);
        Require(signal.sameKey(signal));
        (void)signal.isWithdrawal();
        (void)signal.isSupport();
        return;
    }
    const auto bar = qs::DecodeRecord<qs::KLineBar>(bytes);
    unsigned char again[qs::kRecordSize];
    qs::EncodeRecord(bar, again);
    Require(std::memcmp(again, bytes, sizeof again) == 0);
    Require(bar.time().size() <= 3 * sizeof bar.timeText);
    (void)bar.isLive();
    // A key is always terminated within its 13 bytes, whatever the key number and time text.
    const qs::BarKey key = qs::BarKey::of(bar);
    Require(std::memchr(key.text, '\0', sizeof key.text) != nullptr);
    CheckKey(key);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size >= sizeof(qs::BarKey))
        CheckKey(qs::DecodeRecord<qs::BarKey>(data));
    for (std::size_t at = 0; at + qs::kRecordSize <= size; at += qs::kRecordSize)
        CheckRecord(data + at);
    return 0;
}
