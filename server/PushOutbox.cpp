#include "server/PushOutbox.h"

namespace qs::server {

PushOutbox::PushOutbox(std::size_t limit)
    : m_limit(limit)
{}

bool PushOutbox::post(std::string_view bytes)
{
    std::lock_guard lock(m_mutex);
    if (m_finishing || m_closed)
        return false;
    if (m_queue.size() + bytes.size() > m_limit) {
        m_overflowed = true;
        m_closed = true;
        m_queue.clear();
        m_ready.notify_all();
        return false;
    }
    m_queue.append(bytes);
    m_ready.notify_all();
    return true;
}

void PushOutbox::finish(std::string_view bytes)
{
    std::lock_guard lock(m_mutex);
    if (m_finishing || m_closed)
        return;
    m_queue.append(bytes);
    m_finishing = true;
    m_ready.notify_all();
}

void PushOutbox::close()
{
    std::lock_guard lock(m_mutex);
    m_closed = true;
    m_queue.clear();
    m_ready.notify_all();
}

PushOutbox::Batch PushOutbox::take(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock lock(m_mutex);
    m_ready.wait_until(lock, deadline,
                       [this] { return m_closed || m_finishing || !m_queue.empty(); });
    Batch batch;
    batch.closed = m_closed;
    if (!m_closed) {
        batch.bytes.swap(m_queue);
        batch.finished = m_finishing;
    }
    return batch;
}

bool PushOutbox::closed() const
{
    std::lock_guard lock(m_mutex);
    return m_closed;
}

bool PushOutbox::overflowed() const
{
    std::lock_guard lock(m_mutex);
    return m_overflowed;
}

} // namespace qs::server
