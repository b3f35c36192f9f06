#pragma once

#include "core/platform/Socket.h"
#include "core/protocol/PushStreamReader.h"

#include <atomic>
#include <thread>

namespace qs {

class PushEventSink;
class Session;
struct ServerEndpoint;

// The client view's long-lived connection to the push port and the thread that reads it. Opened
// and closed on the UI thread. The thread owns the socket and closes it as it ends; close()
// only shuts it down (waking a blocked read) and waits for the thread.
class PushChannel {
public:
    explicit PushChannel(PushEventSink &sink);
    ~PushChannel();
    PushChannel(const PushChannel &) = delete;
    PushChannel &operator=(const PushChannel &) = delete;

    // Nothing while a channel is open. Otherwise connects to the push port and starts the thread,
    // which subscribes with command 0; false (silently, the watchdog retries) when the connection
    // cannot be made.
    bool open(const ServerEndpoint &endpoint, const Session &session);
    void close();

    // A channel was opened and not closed since; its thread may have ended by itself.
    bool isOpen() const { return m_thread.joinable(); }
    // The thread is still reading.
    bool reading() const { return m_reading.load(); }
    // How the last thread ended; meaningful once reading() is false.
    PushStreamEnd lastEnd() const { return m_lastEnd.load(); }
    // Connections made so far (each open that connected).
    int connectionsMade() const { return m_connections.load(); }

private:
    void run(Socket socket, const Session &session);

    PushEventSink &m_sink;
    std::thread m_thread;
    SocketWaker m_waker;
    std::atomic<bool> m_reading{false};
    std::atomic<PushStreamEnd> m_lastEnd{PushStreamEnd::StreamEnded};
    std::atomic<int> m_connections{0};
};

} // namespace qs
