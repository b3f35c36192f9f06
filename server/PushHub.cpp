#include "server/PushHub.h"

#include "core/platform/AnsiCodec.h"
#include "core/protocol/Commands.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/RequestHeader.h"
#include "server/Market.h"
#include "server/PushOutbox.h"
#include "server/SocketIo.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace qs::server {

namespace {

// A client that connects and never subscribes must not hold a thread for long.
constexpr Milliseconds kSubscribeTimeout{10000};
// About a minute of ticks at a brisk rate; a client further behind is dropped.
constexpr std::size_t kOutboxLimit = 4u << 20;
// The client takes no message text beyond this.
constexpr std::size_t kMaxMessageBytes = 1u << 20;
constexpr int kFillerEveryHeartbeats = 3;
constexpr std::chrono::milliseconds kShutdownGrace{2000};

void AppendInt32(std::string &out, std::int32_t value)
{
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    out.append(bytes, sizeof bytes);
}

std::string TypeOnly(std::int32_t type)
{
    std::string event;
    AppendInt32(event, type);
    return event;
}

std::string RecordEvent(const void *record)
{
    std::string event = TypeOnly(push::kRecord);
    event.append(static_cast<const char *>(record), kRecordSize);
    return event;
}

// Longest prefix of GBK text within limit bytes that does not split a two-byte character.
std::size_t GbkPrefix(const std::string &text, std::size_t limit)
{
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t width = static_cast<std::uint8_t>(text[end]) >= 0x81 ? 2 : 1;
        if (end + width > limit || end + width > text.size())
            break;
        end += width;
    }
    return end;
}

} // namespace

struct PushHub::Connection {
    Connection()
        : outbox(kOutboxLimit)
    {}
    PushOutbox outbox;
    SocketWaker waker;
    std::string member;
    bool subscribed = false; // guarded by the hub's mutex
};

PushHub::PushHub(Market &market, SessionCheck sessionCheck,
                 std::chrono::milliseconds heartbeatPeriod)
    : m_market(market)
    , m_sessionCheck(std::move(sessionCheck))
    , m_heartbeatPeriod(std::max(heartbeatPeriod, std::chrono::milliseconds(1)))
{
    m_listenerIds.push_back(
        m_market.addBarListener([this](const KLineBar &bar) { broadcast(RecordEvent(&bar)); }));
    m_listenerIds.push_back(
        m_market.addTickListener([this](const KLineBar &bar) { broadcast(RecordEvent(&bar)); }));
    m_listenerIds.push_back(m_market.addSignalListener(
        [this](const SignalRecord &signal) { broadcast(RecordEvent(&signal)); }));
}

PushHub::~PushHub()
{
    for (int id : m_listenerIds)
        m_market.removeListener(id);
    shutdown();
}

void PushHub::serve(Socket socket)
{
    auto connection = std::make_shared<Connection>();
    connection->waker = socket.waker();
    {
        std::lock_guard lock(m_mutex);
        if (m_shutDown)
            return;
        m_connections.push_back(connection);
    }

    socket.setReceiveTimeout(kSubscribeTimeout);
    RequestHeader header{};
    std::string member;
    bool subscribed = ReceiveAll(socket, &header, sizeof header) && header.command == cmd::kOpenPush
                      && m_sessionCheck && m_sessionCheck(header.token, member);
    if (subscribed) {
        std::lock_guard lock(m_mutex);
        // A shutdown or drop while the subscription was read has closed the outbox already.
        subscribed = !m_shutDown && !connection->outbox.closed();
        connection->member = member;
        connection->subscribed = subscribed;
    }
    if (subscribed)
        pump(*connection, socket);
    socket.close();
    leave(connection);
}

void PushHub::pump(Connection &connection, Socket &socket)
{
    using Clock = std::chrono::steady_clock;
    auto nextHeartbeat = Clock::now() + m_heartbeatPeriod;
    int heartbeats = 0;
    for (;;) {
        PushOutbox::Batch batch = connection.outbox.take(nextHeartbeat);
        if (batch.closed)
            return;
        if (!batch.bytes.empty() && !socket.sendAll(batch.bytes.data(), batch.bytes.size()))
            return;
        if (batch.finished) {
            socket.shutdownBoth();
            return;
        }
        const auto now = Clock::now();
        if (now < nextHeartbeat)
            continue;
        nextHeartbeat = now + m_heartbeatPeriod;
        if (!m_heartbeats.load())
            continue;
        std::string beat = TypeOnly(push::kHeartbeat);
        if (++heartbeats % kFillerEveryHeartbeats == 0) {
            AppendInt32(beat, push::kFiller);
            beat.append(push::kFillerSize, '\0');
        }
        if (!socket.sendAll(beat.data(), beat.size()))
            return;
    }
}

void PushHub::leave(const std::shared_ptr<Connection> &connection)
{
    std::lock_guard lock(m_mutex);
    std::erase(m_connections, connection);
    // Under the lock: shutdown() may destroy the hub as soon as the list is empty.
    m_left.notify_all();
}

void PushHub::broadcast(const std::string &event)
{
    std::lock_guard lock(m_mutex);
    for (const auto &connection : m_connections) {
        if (!connection->subscribed)
            continue;
        if (!connection->outbox.post(event) && connection->outbox.overflowed())
            connection->waker.shutdown(); // its writer may be stuck in a send
    }
}

void PushHub::kickMember(const std::string &member)
{
    const std::string event = TypeOnly(push::kKickedOff);
    std::lock_guard lock(m_mutex);
    for (const auto &connection : m_connections) {
        if (connection->subscribed && connection->member == member)
            connection->outbox.finish(event);
    }
}

void PushHub::pushRaw(const std::string &bytes)
{
    broadcast(bytes);
}

void PushHub::publishSignal(const SignalRecord &signal)
{
    m_market.publishSignal(signal);
}

void PushHub::sendMessage(const std::string &utf8)
{
    std::string text = Utf8ToAnsi(utf8);
    text.resize(GbkPrefix(text, kMaxMessageBytes));
    std::string event = TypeOnly(push::kMessage);
    AppendInt32(event, static_cast<std::int32_t>(text.size()));
    event += text;
    broadcast(event);
}

void PushHub::setHeartbeats(bool on)
{
    m_heartbeats.store(on);
}

void PushHub::dropConnections()
{
    std::lock_guard lock(m_mutex);
    for (const auto &connection : m_connections) {
        connection->outbox.close();
        connection->waker.shutdown();
    }
}

void PushHub::shutdown()
{
    const std::string event = TypeOnly(push::kSessionClosed);
    std::unique_lock lock(m_mutex);
    m_shutDown = true;
    for (const auto &connection : m_connections) {
        if (connection->subscribed) {
            connection->outbox.finish(event);
        } else {
            connection->outbox.close();
            connection->waker.shutdown();
        }
    }
    if (m_left.wait_for(lock, kShutdownGrace, [this] { return m_connections.empty(); }))
        return;
    // Clients that do not read keep their writers in a send: cut them off.
    for (const auto &connection : m_connections) {
        connection->outbox.close();
        connection->waker.shutdown();
    }
    m_left.wait_for(lock, kShutdownGrace, [this] { return m_connections.empty(); });
}

std::size_t PushHub::subscriberCount() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<std::size_t>(std::count_if(
        m_connections.begin(), m_connections.end(),
        [](const std::shared_ptr<Connection> &connection) { return connection->subscribed; }));
}

} // namespace qs::server
