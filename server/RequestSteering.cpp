#include "server/RequestSteering.h"

#include <algorithm>

namespace qs::server {

void RequestSteering::answerLate(std::int32_t command, std::chrono::milliseconds delay)
{
    std::lock_guard lock(m_mutex);
    m_faults[command].delay = delay;
}

void RequestSteering::closeInReply(std::int32_t command, std::size_t bytesSent)
{
    std::lock_guard lock(m_mutex);
    m_faults[command].cutAfter = bytesSent;
}

void RequestSteering::clearFaults()
{
    std::lock_guard lock(m_mutex);
    m_faults.clear();
}

void RequestSteering::forceNextResult(std::int32_t command, std::int32_t code)
{
    std::lock_guard lock(m_mutex);
    m_forcedResults[command] = code;
}

std::optional<std::int32_t> RequestSteering::takeForcedResult(std::int32_t command)
{
    std::lock_guard lock(m_mutex);
    const auto found = m_forcedResults.find(command);
    if (found == m_forcedResults.end())
        return std::nullopt;
    const std::int32_t code = found->second;
    m_forcedResults.erase(found);
    return code;
}

RequestSteering::Fault RequestSteering::faultFor(std::int32_t command) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_faults.find(command);
    return found == m_faults.end() ? Fault{} : found->second;
}

void RequestSteering::record(int connection, std::int32_t command, std::vector<std::uint8_t> body)
{
    std::lock_guard lock(m_mutex);
    m_bodies[command] = std::move(body);
    ++m_counts[command];
    m_log.push_back({connection, command});
}

std::vector<RequestSteering::Logged> RequestSteering::log() const
{
    std::lock_guard lock(m_mutex);
    return m_log;
}

int RequestSteering::nextConnection()
{
    std::lock_guard lock(m_mutex);
    return ++m_connections;
}

std::vector<std::uint8_t> RequestSteering::lastBody(std::int32_t command) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_bodies.find(command);
    return found == m_bodies.end() ? std::vector<std::uint8_t>{} : found->second;
}

int RequestSteering::count(std::int32_t command) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_counts.find(command);
    return found == m_counts.end() ? 0 : found->second;
}

bool RequestSteering::sleep(std::chrono::milliseconds delay)
{
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_for(lock, delay, [this] { return m_shutdown; });
}

void RequestSteering::shutdown()
{
    {
        std::lock_guard lock(m_mutex);
        m_shutdown = true;
    }
    m_wake.notify_all();
}

void RequestSteering::offerOnly(std::vector<std::int32_t> productIds)
{
    std::lock_guard lock(m_mutex);
    m_offered = std::move(productIds);
}

bool RequestSteering::offers(std::int32_t productId) const
{
    std::lock_guard lock(m_mutex);
    return !m_offered
           || std::find(m_offered->begin(), m_offered->end(), productId) != m_offered->end();
}

} // namespace qs::server
