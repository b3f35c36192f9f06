#pragma once

#include "core/platform/Mutex.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace qs {

// A message of the run: its arrival time in the service's zone and its text.
struct Message {
    std::string time;    // "%04d-%02d-%02d %02d:%02d:%02d", UTC+8
    std::string content; // UTF-8
};

// The arrival time text of a message: the time in UTC+8, whatever the machine's zone.
std::string ServiceTimeText(std::chrono::system_clock::time_point when);

// The main frame's messages, oldest first, never saved. A chatty or hostile server must not grow
// it without end: past kMaxMessages messages or kMaxTextBytes of text the oldest go first.
// Appended on the push thread and read on the UI thread, so every access takes its lock.
class MessageList {
public:
    static constexpr std::size_t kMaxMessages = 10000;
    static constexpr std::size_t kMaxTextBytes = std::size_t{64} << 20;

    using Clock = std::function<std::chrono::system_clock::time_point()>;

    explicit MessageList(Clock clock = &std::chrono::system_clock::now);

    // Stamps the text with the clock's time and appends it; returns the message.
    Message add(std::string content);
    std::vector<Message> snapshot() const;
    std::size_t size() const;

private:
    const Clock m_clock;
    mutable Mutex m_lock;
    std::deque<Message> m_messages GUARDED_BY(m_lock);
    std::size_t m_textBytes GUARDED_BY(m_lock) = 0;
};

} // namespace qs
