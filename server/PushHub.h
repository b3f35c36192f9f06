#pragma once

#include "core/platform/Socket.h"
#include "core/protocol/LoginRecords.h"
#include "core/protocol/SignalRecord.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace qs::server {

class Market;

// The push port: every subscribed connection receives the market's ticks, completed bars and
// signals, the server's messages, heartbeats, and the events that end a session.
class PushHub {
public:
    // Finds the member a session token belongs to; false for an unknown token.
    using SessionCheck = std::function<bool(const SessionToken &, std::string &member)>;

    PushHub(Market &market, SessionCheck sessionCheck, std::chrono::milliseconds heartbeatPeriod);
    // Shuts down; the threads in serve() must have returned before the hub goes away.
    ~PushHub();
    PushHub(const PushHub &) = delete;
    PushHub &operator=(const PushHub &) = delete;

    // Runs one push connection on the caller's thread until it ends: reads the subscription
    // (command 0 and a valid token; anything else closes it) and then writes events.
    void serve(Socket socket);

    // Type 5 to the member's push connections, which then close.
    void kickMember(const std::string &member);
    // These bytes as they are to every subscribed connection, between whole events.
    void pushRaw(const std::string &bytes);
    // Through the market, so that downloads see the signal too.
    void publishSignal(const SignalRecord &signal);
    void sendMessage(const std::string &utf8);
    void setHeartbeats(bool on);
    // Cuts every push connection without a word; clients are free to reconnect.
    void dropConnections();
    // Type -1 to every connection, which then closes; serve() returns at once from then on.
    // Waits (briefly) until every serve() has returned.
    void shutdown();

    // Connections that passed the subscription and are receiving events.
    std::size_t subscriberCount() const;

private:
    struct Connection;
    void broadcast(const std::string &event);
    void pump(Connection &connection, Socket &socket);
    void leave(const std::shared_ptr<Connection> &connection);

    Market &m_market;
    const SessionCheck m_sessionCheck;
    const std::chrono::milliseconds m_heartbeatPeriod;
    std::atomic<bool> m_heartbeats{true};
    std::vector<int> m_listenerIds;

    mutable std::mutex m_mutex;
    std::condition_variable m_left;
    std::vector<std::shared_ptr<Connection>> m_connections;
    bool m_shutDown = false;
};

} // namespace qs::server
