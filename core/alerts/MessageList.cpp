#include "core/alerts/MessageList.h"

#include <cstdio>

namespace qs {

namespace {
constexpr std::chrono::hours kServiceZoneOffset{8};
} // namespace

std::string ServiceTimeText(std::chrono::system_clock::time_point when)
{
    using namespace std::chrono;
    const auto local = time_point_cast<seconds>(when) + kServiceZoneOffset;
    const auto day = floor<days>(local);
    const year_month_day date{day};
    const hh_mm_ss clock{local - day};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

MessageList::MessageList(Clock clock)
    : m_clock(std::move(clock))
{}

Message MessageList::add(std::string content)
{
    // Stamped under the lock, so the list stays in time order whichever thread adds.
    MutexLock lock(m_lock);
    m_textBytes += content.size();
    m_messages.push_back({ServiceTimeText(m_clock()), std::move(content)});
    while (m_messages.size() > 1
           && (m_messages.size() > kMaxMessages || m_textBytes > kMaxTextBytes)) {
        m_textBytes -= m_messages.front().content.size();
        m_messages.pop_front();
    }
    return m_messages.back();
}

std::vector<Message> MessageList::snapshot() const
{
    MutexLock lock(m_lock);
    return {m_messages.begin(), m_messages.end()};
}

std::size_t MessageList::size() const
{
    MutexLock lock(m_lock);
    return m_messages.size();
}

} // namespace qs
