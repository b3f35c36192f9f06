#pragma once

#include "core/platform/Socket.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace qs {

// Gives up, from another thread, every connection a worker makes while the token is its
// current one: a connect still waiting ends, a blocked receive wakes, a later connect fails at
// once. Closing the push channel or a download, and so exiting, never waits on the network.
class CancelToken {
public:
    CancelToken() = default;
    CancelToken(const CancelToken &) = delete;
    CancelToken &operator=(const CancelToken &) = delete;

    void cancel();
    bool cancelled() const { return m_cancelled.load(); }

    // The socket layer's side: a socket of the current thread, woken on cancel. False once
    // cancelled, and the socket is woken already.
    bool track(const SocketWaker &waker);

    // The calling thread's token, or null.
    static CancelToken *current();
    // The calling thread's work was given up: its failures are nobody's business any more.
    static bool currentCancelled();

    // Makes a token the calling thread's for its lifetime.
    class Scope {
    public:
        explicit Scope(CancelToken &token);
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        CancelToken *m_previous;
    };

private:
    std::mutex m_mutex;
    std::atomic<bool> m_cancelled{false};
    std::vector<SocketWaker> m_sockets; // under m_mutex
};

} // namespace qs
