#pragma once

#include "core/platform/Socket.h"
#include "core/protocol/PushStreamReader.h"
#include "core/protocol/Session.h"

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace qs {

class PushEventSink;

// The client view's long-lived connection to the push port and the thread that reads it. Opened
// and closed on the UI thread, which never waits here: the thread connects, owns the socket and
// closes it as it ends; close() only wakes every socket the thread is connecting or blocked on
// (its own, and a tick refresh's request connection) and abandons the connection, whose later
// events are dropped. Threads are joined as they are found finished, and all at exit, which so
// takes a moment rather than a network time-out.
class PushChannel {
public:
    explicit PushChannel(PushEventSink &sink);
    ~PushChannel();
    PushChannel(const PushChannel &) = delete;
    PushChannel &operator=(const PushChannel &) = delete;

    // Nothing while a channel is open. Otherwise starts a thread that connects to the push port
    // (a failed connection ends it silently and leaves the channel closed; the watchdog retries)
    // and subscribes with command 0. False only when no thread could be started.
    bool open(const ServerEndpoint &endpoint, const Session &session);
    // Wakes the blocked read and forgets the connection; never waits for its thread.
    void close();
    // Joins every thread, finished or not. At exit only.
    void waitForThreads();

    // A channel was opened and not closed since, and its connection did not fail; its thread may
    // have ended by itself.
    bool isOpen() const;
    // The open channel's thread is still connecting or reading.
    bool reading() const;
    // How the open channel's last thread ended; meaningful once reading() is false.
    PushStreamEnd lastEnd() const { return m_lastEnd.load(); }
    // Connections made so far (each open that connected).
    int connectionsMade() const { return m_connections.load(); }
    // Threads not yet joined, the current one included.
    std::size_t threadCount() const;

private:
    struct Run;
    class RunSink;
    struct Worker {
        std::shared_ptr<Run> run;
        std::thread thread;
    };

    void runThread(std::shared_ptr<Run> run, ServerEndpoint endpoint, const Session &session);
    void reapFinished();

    PushEventSink &m_sink;
    mutable std::mutex m_mutex;
    std::shared_ptr<Run> m_current;
    std::list<Worker> m_workers;
    std::atomic<PushStreamEnd> m_lastEnd{PushStreamEnd::StreamEnded};
    std::atomic<int> m_connections{0};
};

} // namespace qs
