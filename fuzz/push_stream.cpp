// The push stream from untrusted bytes: every event type, lengths from the wire, and the ends of
// the stream, decoded into the sink the client view implements.
#include "core/protocol/KLineBar.h"
#include "core/protocol/PushEventSink.h"
#include "core/protocol/PushStreamReader.h"
#include "core/protocol/SignalRecord.h"

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

class SpanSource final : public qs::PushByteSource {
public:
    SpanSource(const std::uint8_t *data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {}
    bool read(void *buffer, std::size_t n) override
    {
        if (m_size - m_at < n)
            return false;
        std::memcpy(buffer, m_data + m_at, n);
        m_at += n;
        return true;
    }
    std::size_t consumed() const { return m_at; }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

class CheckingSink final : public qs::PushEventSink {
public:
    void onBarRecord(const qs::KLineBar &bar) override
    {
        Require(!qs::IsSignalRecord(&bar));
        (void)bar.isLive();
        (void)qs::BarKey::of(bar).str();
        ++events;
    }
    void onSignalRecord(const qs::SignalRecord &signal) override
    {
        Require(signal.marker == qs::kSignalMarker);
        ++events;
    }
    void onMessage(const std::string &utf8) override
    {
        // Each GBK byte decodes to at most three UTF-8 bytes.
        Require(utf8.size() <= 3 * static_cast<std::size_t>(qs::kMaxPushTextBytes));
        Require(utf8.find('\0') == std::string::npos);
        ++events;
    }
    void onHeartbeat() override { ++events; }
    void onSessionClosed() override { ++ends; }
    void onKickedOff() override { ++ends; }

    int events = 0;
    int ends = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    SpanSource source(data, size);
    CheckingSink sink;
    const qs::PushStreamEnd end = qs::ReadPushStream(source, sink);
    Require(source.consumed() <= size);
    const bool sessionEnd
        = end == qs::PushStreamEnd::SessionClosed || end == qs::PushStreamEnd::KickedOff;
    Require(sink.ends == (sessionEnd ? 1 : 0));
    // Each event takes at least its four type bytes.
    Require(static_cast<std::size_t>(sink.events + sink.ends) * 4 <= size);
    return 0;
}
