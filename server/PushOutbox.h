#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>

namespace qs::server {

// The events waiting for one push connection. Producers post from any thread; the connection's
// own thread takes them in order and is the only writer of its socket.
class PushOutbox {
public:
    explicit PushOutbox(std::size_t limit);

    // False when nothing more is taken: after finish(), after close(), or when these bytes would
    // pass the limit (the outbox then closes itself: a client that reads too slowly is dropped
    // rather than letting the queue grow without end).
    bool post(std::string_view bytes);
    // The last event of the connection; it goes out after what is queued, whatever the limit.
    void finish(std::string_view bytes);
    // Ends the connection at once; what is queued is dropped.
    void close();

    struct Batch {
        std::string bytes;
        bool finished = false; // bytes end with the last event
        bool closed = false;   // send nothing more
    };
    // Waits until something is queued, the outbox ends, or the deadline passes.
    Batch take(std::chrono::steady_clock::time_point deadline);

    bool closed() const;
    bool overflowed() const;

private:
    const std::size_t m_limit;
    mutable std::mutex m_mutex;
    std::condition_variable m_ready;
    std::string m_queue;
    bool m_finishing = false;
    bool m_closed = false;
    bool m_overflowed = false;
};

} // namespace qs::server
