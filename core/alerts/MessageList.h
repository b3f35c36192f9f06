#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
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

// The main frame's messages, oldest first, for the whole run: never trimmed, never saved.
// Appended on the push thread and read on the UI thread, so every access takes its lock.
class MessageList {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    explicit MessageList(Clock clock = &std::chrono::system_clock::now);

    // Stamps the text with the clock's time and appends it; returns the message.
    Message add(std::string content);
    std::vector<Message> snapshot() const;
    std::size_t size() const;

private:
    const Clock m_clock;
    mutable std::mutex m_lock;
    std::vector<Message> m_messages;
};

} // namespace qs
