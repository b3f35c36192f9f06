#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace qs::server {

// What tests make the request port do wrong, and what it received. Faults stay until cleared.
// Thread-safe.
class RequestSteering {
public:
    struct Fault {
        std::chrono::milliseconds delay{0};
        std::optional<std::size_t> cutAfter; // bytes of the reply sent before the connection closes
    };
    static constexpr std::size_t kMiddle = static_cast<std::size_t>(-1);

    void answerLate(std::int32_t command, std::chrono::milliseconds delay);
    // Sends the first bytes of the reply and closes; kMiddle sends half of it.
    void closeInReply(std::int32_t command, std::size_t bytesSent = kMiddle);
    void clearFaults();
    // The next request of this command is answered with this result and not carried out: for
    // orders (open, close, order change) codes the simulated account cannot produce from the
    // client's side of the checks, a limit close getting the code as its outcome with no number;
    // for an alert deletion or a flags save, the reply byte.
    void forceNextResult(std::int32_t command, std::int32_t code);
    std::optional<std::int32_t> takeForcedResult(std::int32_t command);
    // The product list answers only these products (all of them until this is called).
    void offerOnly(std::vector<std::int32_t> productIds);
    bool offers(std::int32_t productId) const;
    Fault faultFor(std::int32_t command) const;

    // A request as it arrived: the connection's number (counted from 1 per server) and command.
    struct Logged {
        int connection;
        std::int32_t command;
        bool operator==(const Logged &) const = default;
    };

    void record(int connection, std::int32_t command, std::vector<std::uint8_t> body);
    // Every request in arrival order.
    std::vector<Logged> log() const;
    // A number for a new request connection.
    int nextConnection();
    // The body of the last request with this command; empty when none came (or it has none).
    std::vector<std::uint8_t> lastBody(std::int32_t command) const;
    int count(std::int32_t command) const;

    // Waits for the delay; false when shutdown() cut it short.
    bool sleep(std::chrono::milliseconds delay);
    void shutdown();

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_shutdown = false;
    std::map<std::int32_t, Fault> m_faults;
    std::map<std::int32_t, std::int32_t> m_forcedResults;
    std::map<std::int32_t, std::vector<std::uint8_t>> m_bodies;
    std::map<std::int32_t, int> m_counts;
    std::vector<Logged> m_log;
    int m_connections = 0;
    std::optional<std::vector<std::int32_t>> m_offered;
};

} // namespace qs::server
