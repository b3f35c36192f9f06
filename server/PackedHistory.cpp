#include "server/PackedHistory.h"

#include <algorithm>

namespace qs::server {

namespace {

bool SameKey(const PackedHistory::Key &a, const PackedHistory::Key &b)
{
    return a.productId == b.productId && a.from == b.from && a.to == b.to;
}

std::size_t SizeOf(const PackedReply &reply)
{
    return reply.archive.size() + sizeof reply;
}

} // namespace

PackedHistory::PackedHistory(Limits limits)
    : m_limits(limits)
{}

std::shared_ptr<const PackedReply> PackedHistory::find(const Key &key, std::uint64_t generation)
{
    std::lock_guard lock(m_mutex);
    for (Entry &entry : m_entries) {
        if (SameKey(entry.key, key) && entry.generation == generation) {
            entry.lastUse = ++m_uses;
            return entry.reply;
        }
    }
    return nullptr;
}

void PackedHistory::keep(const Key &key, std::uint64_t generation,
                         std::shared_ptr<const PackedReply> reply)
{
    if (!reply || SizeOf(*reply) > m_limits.bytes)
        return;
    std::lock_guard lock(m_mutex);
    const bool outdated = std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry &entry) {
        return entry.key.productId == key.productId && entry.generation > generation;
    });
    if (outdated)
        return;
    // Older generations of the product can never be found again; the same key is replaced.
    std::erase_if(m_entries, [&](const Entry &entry) {
        const bool gone = entry.key.productId == key.productId
                          && (entry.generation < generation || SameKey(entry.key, key));
        if (gone)
            m_bytes -= SizeOf(*entry.reply);
        return gone;
    });
    m_bytes += SizeOf(*reply);
    m_entries.push_back({key, generation, ++m_uses, std::move(reply)});
    evictOverLimits();
}

void PackedHistory::evictOverLimits()
{
    while (!m_entries.empty()
           && (m_entries.size() > m_limits.entries || m_bytes > m_limits.bytes)) {
        const auto oldest = std::min_element(
            m_entries.begin(), m_entries.end(),
            [](const Entry &a, const Entry &b) { return a.lastUse < b.lastUse; });
        m_bytes -= SizeOf(*oldest->reply);
        m_entries.erase(oldest);
    }
}

std::size_t PackedHistory::entries() const
{
    std::lock_guard lock(m_mutex);
    return m_entries.size();
}

std::size_t PackedHistory::bytes() const
{
    std::lock_guard lock(m_mutex);
    return m_bytes;
}

} // namespace qs::server
