#pragma once

#include "core/protocol/Connection.h"
#include "core/protocol/CountedList.h"
#include "core/protocol/ServerLink.h"
#include "core/protocol/WireRecord.h"

#include <cstddef>
#include <cstdint>

namespace qs {

// Where an exchange stopped: Done while every step so far worked, otherwise the step that failed,
// so each caller shows its own text for it.
enum class ExchangeStep { Done, Connect, Header, Body, Reply };

// Both read until the reply's size is reached or the connection ends, and what arrived stays in
// the caller's buffer; they differ in whether a short reply is a failure.
enum class ReplyRead {
    Exact, // a short reply fails the Reply step
    UpTo,  // what arrived is the reply; the rest of the buffer keeps its bytes
};

// The steps on a connection that is already open, for the queries of a sequence that share one.
// The header carries the session's token and level; the body, if any, follows in a send of its own.
ExchangeStep SendRequest(Connection &connection, const Session &session, std::int32_t command,
                         const void *body = nullptr, std::size_t size = 0);
ExchangeStep ReceiveReply(Connection &connection, void *reply, std::size_t size, ReplyRead read);

// A request connection and the exchanges made on it, in order. Construction connects (a failure
// shows "无法连接服务器，操作已取消" unless told to stay silent); every later step on a connection
// that is not open reports Connect. The connection ends exactly once: by finish() or close(), or
// else by the destructor with a shutdown.
class RequestExchange {
public:
    enum class NoConnection { ShowMessage, Silent };

    explicit RequestExchange(const ServerLink &link,
                             NoConnection onFailure = NoConnection::ShowMessage);
    ~RequestExchange();
    RequestExchange(const RequestExchange &) = delete;
    RequestExchange &operator=(const RequestExchange &) = delete;

    bool isOpen() const { return m_connection.isOpen(); }
    const ServerLink &link() const { return m_link; }
    // For the queries that follow on the same connection.
    Connection &connection() { return m_connection; }

    ExchangeStep send(std::int32_t command);
    template<WireRecord Body>
    ExchangeStep send(std::int32_t command, const Body &body)
    {
        return SendRequest(m_connection, m_link.session(), command, &body, sizeof body);
    }
    // Login and the update check go before there is a session: the pre-session header, level 0.
    ExchangeStep sendPreSession(std::int32_t command);
    template<WireRecord Body>
    ExchangeStep sendPreSession(std::int32_t command, const Body &body)
    {
        return sendPreSession(command, &body, sizeof body);
    }

    ExchangeStep receive(void *reply, std::size_t size, ReplyRead read = ReplyRead::Exact);
    template<WireRecord Reply>
    ExchangeStep receive(Reply &reply, ReplyRead read = ReplyRead::Exact)
    {
        return receive(&reply, sizeof reply, read);
    }
    template<WireRecord T>
    CountedList<T> receiveList(std::int32_t command)
    {
        return ReadCountedList<T>(m_connection, command);
    }

    // Header, body and a fixed-size reply.
    template<WireRecord Body, WireRecord Reply>
    ExchangeStep request(std::int32_t command, const Body &body, Reply &reply,
                         ReplyRead read = ReplyRead::Exact)
    {
        const ExchangeStep sent = send(command, body);
        return sent != ExchangeStep::Done ? sent : receive(reply, read);
    }

    // Shut down both directions, then close.
    void finish();
    // Close without the shutdown, as some operations end after a failure.
    void close();

private:
    ExchangeStep sendPreSession(std::int32_t command, const void *body, std::size_t size);

    ServerLink m_link;
    Connection m_connection;
};

} // namespace qs
