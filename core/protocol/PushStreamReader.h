#pragma once

#include <cstddef>
#include <cstdint>

namespace qs {

class PushEventSink;

// The bytes of one push connection.
class PushByteSource {
public:
    virtual ~PushByteSource() = default;
    // Exactly n bytes into buffer; false when the stream ends first.
    virtual bool read(void *buffer, std::size_t n) = 0;
};

// Longest server message taken; a longer (or negative) length ends the stream like a short read.
inline constexpr std::int32_t kMaxPushTextBytes = 1 << 20;

enum class PushStreamEnd {
    StreamEnded,   // no further event type could be read
    ShortEvent,    // an event's payload broke off
    TextOverLimit, // a message length below 0 or above kMaxPushTextBytes
    SessionClosed, // type -1
    KickedOff,     // type 5
};

// Reads events until the stream ends or a session-ending event arrives, handing each to the sink.
// Types without a payload of their own (0 and any unknown type) are skipped.
PushStreamEnd ReadPushStream(PushByteSource &source, PushEventSink &sink);

} // namespace qs
