#include "server/DemoServer.h"

#include "core/protocol/Commands.h"
#include "core/protocol/OrderRecords.h"
#include "server/ServiceTime.h"

#include <algorithm>
#include <cstdio>

namespace qs::server {

namespace {

// Accept waits this long before looking at the stop flag again.
constexpr std::chrono::milliseconds kAcceptPoll{100};
// A request or download connection that says nothing for this long is closed.
constexpr std::chrono::milliseconds kIdleTimeout{60000};
// The member whose account --seed-trades fills, and the product it trades.
constexpr const char *kSeededMember = "demo";
constexpr int kSeededProduct = 1;

Market::Options MarketOptions(const DemoOptions &options)
{
    Market::Options market;
    market.seed = options.seed;
    market.barSeconds = options.barSeconds;
    market.historyBars = options.historyBars;
    if (options.signalSeconds > 0) {
        const auto ticks = std::chrono::seconds(options.signalSeconds)
                           / std::max(options.tickPeriod, std::chrono::milliseconds(1));
        market.signalEverySteps = static_cast<int>(std::clamp<std::int64_t>(ticks, 1, 1 << 30));
    }
    return market;
}

} // namespace

struct DemoServer::Worker {
    std::thread thread;
    SocketWaker waker;
    std::atomic<bool> done{false};
};

DemoServer::DemoServer(DemoOptions options)
    : m_options(std::move(options))
    , m_market(MarketOptions(m_options))
    , m_members(m_options.seed, m_options.fixedCode)
    , m_accounts([this](int productId) { return m_market.quote(productId); })
    , m_tickListener(
          m_market.addTickListener([this](const KLineBar &bar) { m_accounts.onTick(bar); }))
    , m_closed(m_options.closed)
    , m_requests(m_members, m_accounts, m_alerts, m_flags, m_steering, m_closed,
                 m_options.clientVersion,
                 [this](const std::string &member) { m_pushHub.kickMember(member); })
    , m_pushHub(
          m_market,
          [this](const SessionToken &token, std::string &member) {
              const std::optional<SessionInfo> session = m_members.session(token);
              if (!session)
                  return false;
              member = session->member;
              return true;
          },
          m_options.heartbeatPeriod)
    , m_klines(m_market)
{
    if (m_options.seedTrades)
        seedTrades(m_accounts.of(kSeededMember));
}

DemoServer::~DemoServer()
{
    stop();
    m_market.removeListener(m_tickListener);
}

bool DemoServer::start()
{
    if (m_started)
        return false;
    m_started = true;
    if (!StartSocketLayer())
        return false;
    m_requestListener = Listener::listen(m_options.host, m_options.requestPort);
    m_pushListener = Listener::listen(m_options.host, m_options.pushPort);
    m_klineListener = Listener::listen(m_options.host, m_options.klinePort);
    if (!m_requestListener.isOpen() || !m_pushListener.isOpen() || !m_klineListener.isOpen()) {
        m_requestListener.close();
        m_pushListener.close();
        m_klineListener.close();
        m_stopped = true;
        return false;
    }

    m_acceptors.emplace_back([this] {
        acceptLoop(
            m_requestListener, [this](Socket s) { m_requests.serve(std::move(s)); }, kIdleTimeout);
    });
    // The push hub watches its own connections; heartbeats keep them busy.
    m_acceptors.emplace_back([this] {
        acceptLoop(
            m_pushListener, [this](Socket s) { m_pushHub.serve(std::move(s)); },
            std::chrono::milliseconds(0));
    });
    m_acceptors.emplace_back([this] {
        acceptLoop(
            m_klineListener, [this](Socket s) { m_klines.serve(std::move(s)); }, kIdleTimeout);
    });
    m_ticker = std::thread([this] { tickLoop(); });
    if (m_options.messageSeconds > 0)
        m_messenger = std::thread([this] { messageLoop(); });
    return true;
}

void DemoServer::stop()
{
    if (!m_started || m_stopped)
        return;
    m_stopped = true;
    m_stopping = true;
    {
        std::lock_guard lock(m_tickMutex);
    }
    m_tickWake.notify_all();
    if (m_ticker.joinable())
        m_ticker.join();
    if (m_messenger.joinable())
        m_messenger.join();
    for (std::thread &acceptor : m_acceptors)
        acceptor.join();
    m_acceptors.clear();

    // Push clients hear type -1 before their connections go.
    m_pushHub.shutdown();
    m_steering.shutdown();
    std::vector<std::unique_ptr<Worker>> workers;
    {
        std::lock_guard lock(m_workersMutex);
        workers.swap(m_workers);
    }
    for (const auto &worker : workers)
        worker->waker.shutdown();
    for (const auto &worker : workers)
        worker->thread.join();

    m_requestListener.close();
    m_pushListener.close();
    m_klineListener.close();
}

void DemoServer::acceptLoop(Listener &listener, Serve serve,
                            std::chrono::milliseconds receiveTimeout)
{
    while (!m_stopping) {
        Socket socket = listener.accept(kAcceptPoll);
        if (!socket.isOpen())
            continue;
        if (receiveTimeout.count() > 0)
            socket.setReceiveTimeout(receiveTimeout);
        spawn(std::move(socket), serve);
    }
}

void DemoServer::spawn(Socket socket, Serve serve)
{
    std::lock_guard lock(m_workersMutex);
    // Threads of finished connections are joined here, so a long run does not pile them up.
    std::erase_if(m_workers, [](const std::unique_ptr<Worker> &worker) {
        if (!worker->done)
            return false;
        worker->thread.join();
        return true;
    });
    if (m_stopping)
        return;
    auto worker = std::make_unique<Worker>();
    worker->waker = socket.waker();
    Worker *raw = worker.get();
    worker->thread = std::thread([raw, serve, s = std::move(socket)]() mutable {
        serve(std::move(s));
        raw->done = true;
    });
    m_workers.push_back(std::move(worker));
}

void DemoServer::tickLoop()
{
    std::unique_lock lock(m_tickMutex);
    for (;;) {
        if (m_tickWake.wait_for(lock, m_options.tickPeriod, [this] { return m_stopping.load(); }))
            return;
        lock.unlock();
        m_market.step();
        lock.lock();
    }
}

void DemoServer::messageLoop()
{
    const std::chrono::seconds period(m_options.messageSeconds);
    std::unique_lock lock(m_tickMutex);
    for (int number = 1;; ++number) {
        if (m_tickWake.wait_for(lock, period, [this] { return m_stopping.load(); }))
            return;
        lock.unlock();
        char text[96];
        std::snprintf(text, sizeof text, "演示消息 %d（%s）", number,
                      ServiceTime::at(SystemSeconds()).clockText().c_str());
        m_pushHub.sendMessage(text);
        lock.lock();
    }
}

// A bought position and a buy limit far enough below the market to keep waiting.
void DemoServer::seedTrades(Account &account)
{
    const QuoteBoard quotes = m_accounts.currentQuotes();
    const Quote &quote = quotes[kSeededProduct];
    OpenOrderBody body{};
    body.productId = kSeededProduct;
    body.lots = ProductRecord(kSeededProduct).minLots;
    body.direction = 1;
    body.kind = order_kind::kMarket;
    body.price = static_cast<float>(quote.buy);
    body.slippage = static_cast<float>(quote.buy / 100);
    account.open(body, quotes, false);
    body.kind = order_kind::kLimit;
    body.price = static_cast<float>(quote.buy * 0.9);
    body.validity = order_validity::kWeek;
    account.open(body, quotes, false);
}

DemoServer::Ports DemoServer::ports() const
{
    return Ports{m_requestListener.port(), m_pushListener.port(), m_klineListener.port()};
}

ServerEndpoint DemoServer::endpoint() const
{
    ServerEndpoint endpoint;
    endpoint.address = m_options.host;
    endpoint.requestPort = m_requestListener.port();
    endpoint.pushPort = m_pushListener.port();
    endpoint.klinePort = m_klineListener.port();
    return endpoint;
}

void DemoServer::setPrice(int productId, double price)
{
    m_market.setPrice(productId, price);
}

Quote DemoServer::quote(int productId) const
{
    return m_market.quote(productId);
}

void DemoServer::setMarketClosed(bool closed)
{
    m_closed = closed;
}

void DemoServer::publishSignal(const SignalRecord &signal)
{
    m_pushHub.publishSignal(signal);
}

void DemoServer::sendMessage(const std::string &utf8)
{
    m_pushHub.sendMessage(utf8);
}

void DemoServer::kickMember(const std::string &member)
{
    m_pushHub.kickMember(member);
}

void DemoServer::pushRaw(const std::string &bytes)
{
    m_pushHub.pushRaw(bytes);
}

void DemoServer::setHeartbeats(bool on)
{
    m_pushHub.setHeartbeats(on);
}

void DemoServer::dropPushConnections()
{
    m_pushHub.dropConnections();
}

std::size_t DemoServer::pushSubscribers() const
{
    return m_pushHub.subscriberCount();
}

void DemoServer::answerLate(std::int32_t command, std::chrono::milliseconds delay)
{
    m_steering.answerLate(command, delay);
}

void DemoServer::closeInReply(std::int32_t command, std::size_t bytesSent)
{
    m_steering.closeInReply(command, bytesSent);
}

void DemoServer::clearReplyFaults()
{
    m_steering.clearFaults();
}

void DemoServer::forceNextResult(std::int32_t command, std::int32_t code)
{
    m_steering.forceNextResult(command, code);
}

void DemoServer::refuseNextAlertDeletion()
{
    m_steering.forceNextResult(cmd::kDeleteAlert, 0);
}

void DemoServer::answerNextFlagsSave(std::uint8_t reply)
{
    m_steering.forceNextResult(cmd::kSaveProductFlags, reply);
}

void DemoServer::offerOnlyProducts(std::vector<std::int32_t> productIds)
{
    m_steering.offerOnly(std::move(productIds));
}

std::vector<std::uint8_t> DemoServer::lastRequestBody(std::int32_t command) const
{
    return m_steering.lastBody(command);
}

int DemoServer::requestCount(std::int32_t command) const
{
    return m_steering.count(command);
}

std::vector<RequestSteering::Logged> DemoServer::requestLog() const
{
    return m_steering.log();
}

AccountSnapshot DemoServer::account(const std::string &member)
{
    return m_accounts.of(member).snapshot();
}

void DemoServer::resetAccount(const std::string &member)
{
    Account &account = m_accounts.of(member);
    account.reset();
    if (m_options.seedTrades && member == kSeededMember)
        seedTrades(account);
}

std::vector<AlertInfo> DemoServer::alerts(const std::string &member) const
{
    return m_alerts.list(member);
}

ProductFlags DemoServer::productFlags(const std::string &member) const
{
    return m_flags.read(member);
}

} // namespace qs::server
