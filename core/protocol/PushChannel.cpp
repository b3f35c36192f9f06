#include "core/protocol/PushChannel.h"

#include "core/platform/CancelToken.h"
#include "core/platform/SupportLog.h"
#include "core/protocol/Commands.h"
#include "core/protocol/Connection.h"
#include "core/protocol/PushEventSink.h"
#include "core/protocol/RequestHeader.h"

#include <string>
#include <system_error>
#include <utility>

namespace qs {

// One connection's life, shared by the UI thread and the connection's own thread.
struct PushChannel::Run {
    // Every socket of the thread: the channel's own and the tick refreshes' request connections.
    CancelToken cancel;
    std::mutex mutex;
    bool abandoned = false; // under mutex; also mirrored below for the hot path
    std::atomic<bool> dropped{false};
    std::atomic<bool> connectFailed{false};
    std::atomic<bool> active{true}; // connecting or reading
    std::atomic<bool> finished{false};
};

// Hands events on while the connection is the channel's; an abandoned one's events are dropped.
class PushChannel::RunSink final : public PushEventSink {
public:
    RunSink(const Run &run, PushEventSink &sink)
        : m_run(run)
        , m_sink(sink)
    {}
    void onConnected() override
    {
        if (live())
            m_sink.onConnected();
    }
    void onBarRecord(const KLineBar &bar) override
    {
        if (live())
            m_sink.onBarRecord(bar);
    }
    void onSignalRecord(const SignalRecord &signal) override
    {
        if (live())
            m_sink.onSignalRecord(signal);
    }
    void onMessage(const std::string &utf8) override
    {
        if (live())
            m_sink.onMessage(utf8);
    }
    void onHeartbeat() override
    {
        if (live())
            m_sink.onHeartbeat();
    }
    void onSessionClosed() override
    {
        if (live())
            m_sink.onSessionClosed();
    }
    void onKickedOff() override
    {
        if (live())
            m_sink.onKickedOff();
    }

private:
    bool live() const { return !m_run.dropped.load(); }

    const Run &m_run;
    PushEventSink &m_sink;
};

namespace {

const char *EndText(PushStreamEnd end)
{
    switch (end) {
    case PushStreamEnd::StreamEnded:
        return "the stream ended";
    case PushStreamEnd::ShortEvent:
        return "an event broke off";
    case PushStreamEnd::TextOverLimit:
        return "a message over its length limit";
    case PushStreamEnd::SessionClosed:
        return "the session was closed";
    case PushStreamEnd::KickedOff:
        return "logged in elsewhere";
    }
    return "";
}

class ConnectionSource final : public PushByteSource {
public:
    explicit ConnectionSource(Connection &connection)
        : m_connection(connection)
    {}
    bool read(void *buffer, std::size_t n) override
    {
        return ReceiveExact(m_connection, buffer, n) == static_cast<long>(n);
    }

private:
    Connection &m_connection;
};

} // namespace

PushChannel::PushChannel(PushEventSink &sink)
    : m_sink(sink)
{}

PushChannel::~PushChannel()
{
    close();
    waitForThreads();
}

bool PushChannel::open(const ServerEndpoint &endpoint, const Session &session)
{
    std::lock_guard lock(m_mutex);
    reapFinished();
    if (m_current && !m_current->connectFailed)
        return true;
    auto run = std::make_shared<Run>();
    try {
        std::thread thread(&PushChannel::runThread, this, run, endpoint, std::cref(session));
        m_workers.push_back(Worker{run, std::move(thread)});
    } catch (const std::system_error &) {
        m_current.reset();
        return false;
    }
    m_current = std::move(run);
    return true;
}

void PushChannel::close()
{
    std::lock_guard lock(m_mutex);
    if (m_current) {
        std::lock_guard runLock(m_current->mutex);
        m_current->abandoned = true;
        m_current->dropped = true;
        m_current->cancel.cancel();
    }
    m_current.reset();
    reapFinished();
}

void PushChannel::waitForThreads()
{
    std::list<Worker> workers;
    {
        std::lock_guard lock(m_mutex);
        workers.swap(m_workers);
    }
    for (Worker &worker : workers)
        worker.thread.join();
}

bool PushChannel::isOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_current && !m_current->connectFailed;
}

bool PushChannel::reading() const
{
    std::lock_guard lock(m_mutex);
    return m_current && m_current->active;
}

std::size_t PushChannel::threadCount() const
{
    std::lock_guard lock(m_mutex);
    return m_workers.size();
}

void PushChannel::reapFinished()
{
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if (it->run->finished) {
            it->thread.join();
            it = m_workers.erase(it);
        } else {
            ++it;
        }
    }
}

void PushChannel::runThread(std::shared_ptr<Run> run, ServerEndpoint endpoint,
                            const Session &session)
{
    const CancelToken::Scope cancellable(run->cancel);
    // No receive time-out: a silent channel is the heartbeat watchdog's business.
    Socket socket
        = Socket::connect(endpoint.address, endpoint.pushPort, kConnectTimeout, kNoTimeout);
    bool given = false;
    bool failedUnasked = false;
    {
        std::lock_guard lock(run->mutex);
        given = !socket.isOpen() || run->abandoned;
        failedUnasked = !socket.isOpen() && !run->abandoned;
        if (given) {
            run->connectFailed = !socket.isOpen();
            socket.close();
        }
    }
    if (given) {
        // Logged outside the lock, which close() takes on the UI thread.
        if (failedUnasked)
            SupportLog::line("push-connect-failed", "port=" + std::to_string(endpoint.pushPort)
                                                        + " error=" + LastSocketErrorText());
        run->active = false;
        run->finished = true;
        return;
    }
    ++m_connections;
    SupportLog::line("push-connected", "port=" + std::to_string(endpoint.pushPort));

    Connection connection(std::move(socket));
    RunSink sink(*run, m_sink);
    sink.onConnected();
    const RequestHeader header = RequestHeader::make(cmd::kOpenPush, session);
    // A failed subscription shows up as the end of the stream.
    connection.sendAll(&header, sizeof header);
    ConnectionSource source(connection);
    const PushStreamEnd end = ReadPushStream(source, sink);
    connection.close();
    if (!run->dropped) {
        m_lastEnd = end;
        SupportLog::line("push-lost", EndText(end));
    }
    run->active = false;
    run->finished = true;
}

} // namespace qs
