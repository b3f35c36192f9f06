#include "core/protocol/PushStreamReader.h"

#include "core/platform/AnsiCodec.h"
#include "core/protocol/Commands.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/PushEventSink.h"
#include "core/protocol/SignalRecord.h"
#include "core/protocol/WireRecord.h"

#include <cstring>
#include <string>

namespace qs {

PushStreamEnd ReadPushStream(PushByteSource &source, PushEventSink &sink)
{
    for (;;) {
        std::int32_t type = 0;
        if (!source.read(&type, sizeof type))
            return PushStreamEnd::StreamEnded;
        switch (type) {
        case push::kSessionClosed:
            sink.onSessionClosed();
            return PushStreamEnd::SessionClosed;
        case push::kKickedOff:
            sink.onKickedOff();
            return PushStreamEnd::KickedOff;
        case push::kRecord: {
            unsigned char record[kRecordSize];
            if (!source.read(record, sizeof record))
                return PushStreamEnd::ShortEvent;
            if (IsSignalRecord(record))
                sink.onSignalRecord(DecodeRecord<SignalRecord>(record));
            else
                sink.onBarRecord(DecodeRecord<KLineBar>(record));
            break;
        }
        case push::kMessage: {
            std::int32_t length = 0;
            if (!source.read(&length, sizeof length))
                return PushStreamEnd::ShortEvent;
            if (length < 0 || length > kMaxPushTextBytes)
                return PushStreamEnd::TextOverLimit;
            std::string text(static_cast<std::size_t>(length), '\0');
            if (length > 0 && !source.read(text.data(), text.size()))
                return PushStreamEnd::ShortEvent;
            // The text ends at its first NUL, as a terminated string would.
            text.resize(strnlen(text.data(), text.size()));
            sink.onMessage(AnsiToUtf8(text));
            break;
        }
        case push::kFiller: {
            unsigned char filler[push::kFillerSize];
            if (!source.read(filler, sizeof filler))
                return PushStreamEnd::ShortEvent;
            break;
        }
        case push::kHeartbeat:
            sink.onHeartbeat();
            break;
        default:
            break;
        }
    }
}

} // namespace qs
