#include "core/protocol/KLineBar.h"

#include "core/platform/AnsiCodec.h"

#include <cstdio>
#include <cstring>

namespace qs {

std::string KLineBar::time() const
{
    return ReadAnsiField(timeText);
}

BarKey BarKey::of(const KLineBar &bar)
{
    BarKey key;
    std::memset(key.text, 0, sizeof key.text);
    // The key number fills the first bytes; the time text is then written from byte 4 over
    // whatever followed, so a key number of more than four digits loses its tail.
    std::snprintf(key.text, sizeof key.text, "%d", bar.keyNumber);
    const std::size_t timeLength = strnlen(bar.timeText, sizeof bar.timeText);
    const std::size_t room = sizeof key.text - 4 - 1;
    const std::size_t copied = timeLength < room ? timeLength : room;
    std::memcpy(key.text + 4, bar.timeText, copied);
    key.text[4 + copied] = '\0';
    return key;
}

bool BarKey::isNone() const
{
    return *this == none();
}

std::string BarKey::str() const
{
    return std::string(text, strnlen(text, sizeof text));
}

bool operator==(const BarKey &a, const BarKey &b)
{
    return std::memcmp(a.text, b.text, sizeof a.text) == 0;
}

} // namespace qs
