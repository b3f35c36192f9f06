#include "tests/support/ScriptedPeer.h"

#include <cstdio>
#include <utility>

namespace qs::test {

namespace {

// Long enough for any client under test, short enough that a test that scripted a connection or
// a request the client never makes fails within seconds rather than hanging.
constexpr Milliseconds kPatience{5000};
constexpr Milliseconds kAcceptSlice{50};

std::string Where(std::size_t connection, std::size_t step)
{
    return "connection " + std::to_string(connection) + ", step " + std::to_string(step) + ": ";
}

std::string Hex(std::uint8_t byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

} // namespace

Bytes Int32Bytes(std::int32_t value)
{
    return BytesOf(value);
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes joined;
    for (const Bytes &part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

Script &Script::expect(Bytes bytes)
{
    m_steps.push_back({Kind::Expect, std::move(bytes)});
    return *this;
}

Script &Script::expectAny(std::size_t n)
{
    m_steps.push_back({Kind::ExpectAny, {}, n});
    return *this;
}

Script &Script::send(Bytes bytes)
{
    m_steps.push_back({Kind::Send, std::move(bytes)});
    return *this;
}

Script &Script::stall(std::chrono::milliseconds duration)
{
    m_steps.push_back({Kind::Stall, {}, 0, duration});
    return *this;
}

Script &Script::closeNow()
{
    m_steps.push_back({Kind::Close, {}});
    return *this;
}

Script &Script::sendThenClose(Bytes bytes)
{
    send(std::move(bytes));
    return closeNow();
}

ScriptedPeer::ScriptedPeer(Script script)
    : ScriptedPeer(std::vector<Script>{std::move(script)})
{}

ScriptedPeer::ScriptedPeer(std::vector<Script> scripts)
    : m_listener(Listener::listen(Ipv4Address::loopback(), 0))
    , m_port(m_listener.port())
{
    if (!m_listener.isOpen()) {
        m_mismatches.push_back("could not listen on the loopback interface");
        return;
    }
    m_thread = std::thread([this, all = std::move(scripts)]() mutable { run(std::move(all)); });
}

ScriptedPeer::~ScriptedPeer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_current.shutdown();
    }
    m_wake.notify_all();
    finish();
}

ServerEndpoint ScriptedPeer::endpoint() const
{
    ServerEndpoint endpoint;
    endpoint.address = Ipv4Address::loopback();
    endpoint.requestPort = m_port;
    endpoint.pushPort = m_port;
    endpoint.klinePort = m_port;
    return endpoint;
}

Connection ScriptedPeer::connect() const
{
    return Connection(
        Socket::connect(Ipv4Address::loopback(), m_port, kConnectTimeout, kReceiveTimeout));
}

void ScriptedPeer::finish()
{
    if (m_thread.joinable())
        m_thread.join();
}

Bytes ScriptedPeer::received(std::size_t connection)
{
    finish();
    return connection < m_received.size() ? m_received[connection] : Bytes{};
}

std::vector<std::string> ScriptedPeer::mismatches()
{
    finish();
    return m_mismatches;
}

std::size_t ScriptedPeer::connectionsAccepted()
{
    finish();
    return m_received.size();
}

void ScriptedPeer::run(std::vector<Script> scripts)
{
    for (std::size_t index = 0; index < scripts.size(); ++index) {
        Socket socket;
        for (Milliseconds waited{0}; !socket.isOpen() && waited < kPatience && !m_stopping;
             waited += kAcceptSlice)
            socket = m_listener.accept(kAcceptSlice);
        if (!socket.isOpen()) {
            if (!m_stopping)
                note("connection " + std::to_string(index) + " never came");
            return;
        }
        socket.setReceiveTimeout(kPatience);
        {
            std::lock_guard lock(m_mutex);
            if (m_stopping)
                return;
            m_current = socket.waker();
            m_received.emplace_back();
        }
        play(index, scripts[index], socket);
        std::lock_guard lock(m_mutex);
        m_current = SocketWaker();
        socket.close();
    }
}

void ScriptedPeer::play(std::size_t index, const Script &script, Socket &socket)
{
    for (std::size_t step = 0; step < script.m_steps.size(); ++step) {
        const Script::Step &what = script.m_steps[step];
        switch (what.kind) {
        case Script::Kind::Expect:
        case Script::Kind::ExpectAny: {
            const bool compare = what.kind == Script::Kind::Expect;
            const std::size_t size = compare ? what.bytes.size() : what.size;
            Bytes arrived(size);
            std::size_t have = 0;
            while (have < size) {
                const long got = socket.receive(arrived.data() + have, size - have);
                if (got <= 0)
                    break;
                have += static_cast<std::size_t>(got);
            }
            arrived.resize(have);
            {
                std::lock_guard lock(m_mutex);
                Bytes &log = m_received[index];
                log.insert(log.end(), arrived.begin(), arrived.end());
            }
            if (have < size) {
                if (!m_stopping)
                    note(Where(index, step) + std::to_string(size) + " bytes expected, "
                         + std::to_string(have) + " arrived");
                return;
            }
            for (std::size_t i = 0; compare && i < size; ++i) {
                if (arrived[i] != what.bytes[i]) {
                    note(Where(index, step) + "byte " + std::to_string(i) + " is " + Hex(arrived[i])
                         + ", expected " + Hex(what.bytes[i]));
                    break;
                }
            }
            break;
        }
        case Script::Kind::Send:
            if (!socket.sendAll(what.bytes.data(), what.bytes.size()))
                return;
            break;
        case Script::Kind::Stall:
            if (!pause(what.duration))
                return;
            break;
        case Script::Kind::Close:
            return;
        }
    }
}

bool ScriptedPeer::pause(std::chrono::milliseconds duration)
{
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_for(lock, duration, [this] { return m_stopping.load(); });
}

void ScriptedPeer::note(std::string mismatch)
{
    std::lock_guard lock(m_mutex);
    m_mismatches.push_back(std::move(mismatch));
}

} // namespace qs::test
