#include "core/platform/CancelToken.h"

#include <algorithm>

namespace qs {

namespace {
thread_local CancelToken *tCurrent = nullptr;
} // namespace

void CancelToken::cancel()
{
    std::lock_guard lock(m_mutex);
    m_cancelled = true;
    for (const SocketWaker &socket : m_sockets)
        socket.shutdown();
    m_sockets.clear();
}

bool CancelToken::track(const SocketWaker &waker)
{
    std::lock_guard lock(m_mutex);
    if (m_cancelled) {
        waker.shutdown();
        return false;
    }
    // A channel makes a connection per refresh for days: the closed ones go as new ones come.
    std::erase_if(m_sockets, [](const SocketWaker &socket) { return socket.closed(); });
    m_sockets.push_back(waker);
    return true;
}

CancelToken *CancelToken::current()
{
    return tCurrent;
}

bool CancelToken::currentCancelled()
{
    return tCurrent != nullptr && tCurrent->cancelled();
}

CancelToken::Scope::Scope(CancelToken &token)
    : m_previous(tCurrent)
{
    tCurrent = &token;
}

CancelToken::Scope::~Scope()
{
    tCurrent = m_previous;
}

} // namespace qs
