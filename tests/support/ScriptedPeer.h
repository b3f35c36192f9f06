#pragma once

#include "core/platform/Socket.h"
#include "core/protocol/Connection.h"
#include "core/protocol/Session.h"
#include "core/protocol/WireRecord.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qs::test {

using Bytes = std::vector<std::uint8_t>;

// The bytes of a record, a header or any plain value as they go on the wire.
template<WireRecord T>
Bytes BytesOf(const T &value)
{
    Bytes bytes(sizeof(T));
    EncodeRecord(value, bytes.data());
    return bytes;
}

Bytes Int32Bytes(std::int32_t value);
Bytes Join(std::initializer_list<Bytes> parts);

// What a scripted peer does on one connection, step by step.
class Script {
public:
    // Reads exactly bytes.size() bytes and notes whether they were these.
    Script &expect(Bytes bytes);
    // Reads n bytes whatever they are (machine identity, times); received() has them.
    Script &expectAny(std::size_t n);
    Script &send(Bytes bytes);
    Script &stall(std::chrono::milliseconds duration);
    Script &closeNow();
    // Sends, then closes at once: given part of a record, the reply breaks off in its middle.
    Script &sendThenClose(Bytes bytes);

private:
    friend class ScriptedPeer;
    enum class Kind { Expect, ExpectAny, Send, Stall, Close };
    struct Step {
        Kind kind;
        Bytes bytes;
        std::size_t size = 0;
        std::chrono::milliseconds duration{0};
    };
    std::vector<Step> m_steps;
};

// A loopback server for exchange tests. It listens on 127.0.0.1 on an ephemeral port and, on a
// thread of its own, runs the scripts in order, one per accepted connection; after the last step
// of a script it closes that connection. Results are complete once finish() returned (the
// accessors call it).
class ScriptedPeer {
public:
    explicit ScriptedPeer(Script script);
    explicit ScriptedPeer(std::vector<Script> scripts);
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer &) = delete;
    ScriptedPeer &operator=(const ScriptedPeer &) = delete;

    std::uint16_t port() const { return m_port; }
    // All three ports lead here.
    ServerEndpoint endpoint() const;
    // A client connection to the peer with the request port's time-outs.
    Connection connect() const;

    // Waits until every script has run (a connection that never comes is given up after a while).
    void finish();
    // What the expect steps read on each connection, in order.
    Bytes received(std::size_t connection = 0);
    // One line per expectation that was not met; empty when everything arrived as scripted.
    std::vector<std::string> mismatches();
    std::size_t connectionsAccepted();

private:
    void run(std::vector<Script> scripts);
    void play(std::size_t index, const Script &script, Socket &socket);
    bool pause(std::chrono::milliseconds duration);
    void note(std::string mismatch);

    Listener m_listener;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    SocketWaker m_current;
    std::vector<Bytes> m_received;
    std::vector<std::string> m_mismatches;
    std::thread m_thread;
};

} // namespace qs::test
