#include "core/protocol/PushChannel.h"

#include "core/protocol/Commands.h"
#include "core/protocol/Connection.h"
#include "core/protocol/PushEventSink.h"
#include "core/protocol/RequestHeader.h"
#include "core/protocol/Session.h"

#include <system_error>
#include <utility>

namespace qs {

namespace {

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
}

bool PushChannel::open(const ServerEndpoint &endpoint, const Session &session)
{
    if (isOpen())
        return true;
    // No receive time-out: a silent channel is the heartbeat watchdog's business.
    Socket socket
        = Socket::connect(endpoint.address, endpoint.pushPort, kConnectTimeout, kNoTimeout);
    if (!socket.isOpen())
        return false;
    m_waker = socket.waker();
    m_reading = true;
    ++m_connections;
    try {
        m_thread = std::thread(&PushChannel::run, this, std::move(socket), std::cref(session));
    } catch (const std::system_error &) {
        m_reading = false;
        m_waker = SocketWaker();
        return false;
    }
    return true;
}

void PushChannel::close()
{
    if (!isOpen())
        return;
    m_waker.shutdown();
    m_thread.join();
    m_waker = SocketWaker();
}

void PushChannel::run(Socket socket, const Session &session)
{
    Connection connection(std::move(socket));
    const RequestHeader header = RequestHeader::make(cmd::kOpenPush, session);
    // A failed subscription shows up as the end of the stream.
    connection.sendAll(&header, sizeof header);
    ConnectionSource source(connection);
    const PushStreamEnd end = ReadPushStream(source, m_sink);
    connection.close();
    m_lastEnd = end;
    m_reading = false;
}

} // namespace qs
