#pragma once

#include "core/platform/Socket.h"
#include "core/protocol/AlertInfo.h"
#include "core/protocol/Session.h"
#include "core/protocol/SignalRecord.h"
#include "server/Account.h"
#include "server/AccountBook.h"
#include "server/AlertBook.h"
#include "server/DemoOptions.h"
#include "server/KLineService.h"
#include "server/Market.h"
#include "server/Members.h"
#include "server/ProductFlagBook.h"
#include "server/PushHub.h"
#include "server/RequestService.h"
#include "server/RequestSteering.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qs::server {

// The simulated dealer server: the market, the three ports and the members' accounts. Tests start
// it in-process on ephemeral ports and steer it; quillstar-server runs one until it is told to
// stop. Every steering call is thread-safe.
class DemoServer {
public:
    explicit DemoServer(DemoOptions options);
    ~DemoServer();
    DemoServer(const DemoServer &) = delete;
    DemoServer &operator=(const DemoServer &) = delete;

    // Listens on the three ports and starts serving; false (nothing left running) when a port
    // cannot be had. A server runs once: after stop() it cannot start again.
    bool start();
    // Tells push clients (type -1), cuts every connection and joins every thread.
    void stop();

    struct Ports {
        std::uint16_t request = 0;
        std::uint16_t push = 0;
        std::uint16_t kline = 0;
    };
    Ports ports() const;
    ServerEndpoint endpoint() const;

    // Market steering: a set price ticks at once, so pending orders and stops follow.
    void setPrice(int productId, double price);
    Quote quote(int productId) const;
    void setMarketClosed(bool closed);
    Market &market() { return m_market; }

    // Push steering.
    void publishSignal(const SignalRecord &signal);
    void sendMessage(const std::string &utf8);
    void kickMember(const std::string &member);
    // Bytes as they are to every push subscriber: events a well-behaved server never sends.
    void pushRaw(const std::string &bytes);
    void setHeartbeats(bool on);
    void dropPushConnections();
    // Push connections that subscribed and receive events.
    std::size_t pushSubscribers() const;

    // Request steering: faults stay until cleared.
    void answerLate(std::int32_t command, std::chrono::milliseconds delay);
    void closeInReply(std::int32_t command, std::size_t bytesSent = RequestSteering::kMiddle);
    void clearReplyFaults();
    // The next order of this command gets this result code without being carried out.
    void forceNextResult(std::int32_t command, std::int32_t code);
    // The next alert deletion answers 0 and deletes nothing.
    void refuseNextAlertDeletion();
    // The next flags save answers this byte and stores nothing.
    void answerNextFlagsSave(std::uint8_t reply);
    // The product list offers only these products from now on.
    void offerOnlyProducts(std::vector<std::int32_t> productIds);
    std::vector<std::uint8_t> lastRequestBody(std::int32_t command) const;
    int requestCount(std::int32_t command) const;
    std::vector<RequestSteering::Logged> requestLog() const;

    // What the server holds for a member.
    AccountSnapshot account(const std::string &member);
    // The member's account as the server first made it: the deposit, plus the seeded trades
    // when the server seeds them for this member.
    void resetAccount(const std::string &member);
    std::vector<AlertInfo> alerts(const std::string &member) const;
    ProductFlags productFlags(const std::string &member) const;

private:
    struct Worker;
    using Serve = std::function<void(Socket)>;
    void acceptLoop(Listener &listener, Serve serve, std::chrono::milliseconds receiveTimeout);
    void spawn(Socket socket, Serve serve);
    void tickLoop();
    void messageLoop();
    void seedTrades(Account &account);

    const DemoOptions m_options;
    Market m_market;
    Members m_members;
    AccountBook m_accounts;
    // Before the push hub's: an order a tick fills is filled before the tick goes out.
    const int m_tickListener;
    AlertBook m_alerts;
    ProductFlagBook m_flags;
    RequestSteering m_steering;
    std::atomic<bool> m_closed;
    RequestService m_requests;
    PushHub m_pushHub;
    KLineService m_klines;

    Listener m_requestListener;
    Listener m_pushListener;
    Listener m_klineListener;

    std::atomic<bool> m_stopping{false};
    bool m_started = false;
    bool m_stopped = false;
    std::vector<std::thread> m_acceptors;
    std::thread m_ticker;
    std::thread m_messenger;
    std::mutex m_tickMutex;
    std::condition_variable m_tickWake;

    std::mutex m_workersMutex;
    std::vector<std::unique_ptr<Worker>> m_workers;
};

} // namespace qs::server
