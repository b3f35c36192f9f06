#include "core/protocol/RequestExchange.h"

#include "core/protocol/RequestHeader.h"

namespace qs {

namespace {

ExchangeStep SendHeaderAndBody(Connection &connection, const void *header, std::size_t headerSize,
                               const void *body, std::size_t size)
{
    if (!connection.isOpen())
        return ExchangeStep::Connect;
    if (!connection.sendAll(header, headerSize))
        return ExchangeStep::Header;
    // An empty send would count as a failure.
    if (size != 0 && !connection.sendAll(body, size))
        return ExchangeStep::Body;
    return ExchangeStep::Done;
}

// A connection that never opened has logged its failure already.
ExchangeStep Noted(Connection &connection, std::int32_t command, ExchangeStep step)
{
    connection.noteCommand(command);
    if (step == ExchangeStep::Header || step == ExchangeStep::Body)
        LogFailedExchange(command, step == ExchangeStep::Header ? "header" : "body");
    return step;
}

Connection Open(const ServerLink &link, RequestExchange::NoConnection onFailure)
{
    if (onFailure == RequestExchange::NoConnection::ShowMessage)
        return OpenRequestConnection(link.endpoint(), link.seam());
    Connection connection(Socket::connect(link.endpoint().address, link.endpoint().requestPort,
                                          kConnectTimeout, kReceiveTimeout));
    if (!connection.isOpen())
        LogFailedExchange(-1, "connect");
    return connection;
}

} // namespace

ExchangeStep SendRequest(Connection &connection, const Session &session, std::int32_t command,
                         const void *body, std::size_t size)
{
    const RequestHeader header = RequestHeader::make(command, session);
    return Noted(connection, command,
                 SendHeaderAndBody(connection, &header, sizeof header, body, size));
}

ExchangeStep ReceiveReply(Connection &connection, void *reply, std::size_t size, ReplyRead read)
{
    if (!connection.isOpen())
        return ExchangeStep::Connect;
    const bool complete = ReceiveUpTo(connection, reply, size) == size;
    if (!complete && read == ReplyRead::Exact)
        LogFailedExchange(connection.lastCommand(), "reply");
    return complete || read == ReplyRead::UpTo ? ExchangeStep::Done : ExchangeStep::Reply;
}

RequestExchange::RequestExchange(const ServerLink &link, NoConnection onFailure)
    : m_link(link)
    , m_connection(Open(link, onFailure))
{}

RequestExchange::~RequestExchange()
{
    finish();
}

ExchangeStep RequestExchange::send(std::int32_t command)
{
    return SendRequest(m_connection, m_link.session(), command);
}

ExchangeStep RequestExchange::sendPreSession(std::int32_t command)
{
    return sendPreSession(command, nullptr, 0);
}

ExchangeStep RequestExchange::sendPreSession(std::int32_t command, const void *body,
                                             std::size_t size)
{
    const PreSessionHeader header = PreSessionHeader::make(command, 0);
    return Noted(m_connection, command,
                 SendHeaderAndBody(m_connection, &header, sizeof header, body, size));
}

ExchangeStep RequestExchange::receive(void *reply, std::size_t size, ReplyRead read)
{
    return ReceiveReply(m_connection, reply, size, read);
}

void RequestExchange::finish()
{
    if (m_connection.isOpen())
        m_connection.shutdownAndClose();
}

void RequestExchange::close()
{
    if (m_connection.isOpen())
        m_connection.close();
}

} // namespace qs
