#include "RawClient.h"

#include "core/platform/AnsiCodec.h"

#include <algorithm>

namespace qs::server::test {

RawClient::RawClient(std::uint16_t port)
    : m_socket(
        Socket::connect(Ipv4Address::loopback(), port, Milliseconds(5000), Milliseconds(10000)))
{}

bool RawClient::send(const Bytes &bytes)
{
    return bytes.empty() || m_socket.sendAll(bytes.data(), bytes.size());
}

bool RawClient::sendHeader(std::int32_t command, const SessionToken &token, std::int32_t level)
{
    Bytes header(24, 0);
    PutInt32(header, 0, command);
    for (std::size_t i = 0; i < 4; ++i)
        PutInt32(header, 4 + 4 * i, token.values[i]);
    PutInt32(header, 20, level);
    return send(header);
}

bool RawClient::request(std::int32_t command, const SessionToken &token, const Bytes &body)
{
    return sendHeader(command, token) && send(body);
}

std::optional<Bytes> RawClient::receive(std::size_t n)
{
    Bytes bytes(n);
    std::size_t got = 0;
    while (got < n) {
        const long part = m_socket.receive(bytes.data() + got, n - got);
        if (part <= 0)
            return std::nullopt;
        got += static_cast<std::size_t>(part);
    }
    return bytes;
}

std::optional<std::int32_t> RawClient::receiveInt32()
{
    const std::optional<Bytes> bytes = receive(4);
    if (!bytes)
        return std::nullopt;
    return Int32At(*bytes, 0);
}

std::optional<std::vector<Bytes>> RawClient::receiveList(std::size_t recordSize)
{
    const std::optional<std::int32_t> count = receiveInt32();
    if (!count || *count < 0 || *count > 10000)
        return std::nullopt;
    std::vector<Bytes> records;
    for (std::int32_t i = 0; i < *count; ++i) {
        std::optional<Bytes> record = receive(recordSize);
        if (!record)
            return std::nullopt;
        records.push_back(std::move(*record));
    }
    return records;
}

bool RawClient::closedByServer()
{
    std::uint8_t byte = 0;
    return m_socket.receive(&byte, 1) == 0;
}

std::int32_t Int32At(const Bytes &bytes, std::size_t offset)
{
    std::int32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

double DoubleAt(const Bytes &bytes, std::size_t offset)
{
    double value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

std::string TextAt(const Bytes &bytes, std::size_t offset, std::size_t size)
{
    const char *start = reinterpret_cast<const char *>(bytes.data() + offset);
    return std::string(start, strnlen(start, size));
}

void PutInt32(Bytes &bytes, std::size_t offset, std::int32_t value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

void PutFloat(Bytes &bytes, std::size_t offset, float value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

void PutDouble(Bytes &bytes, std::size_t offset, double value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

void PutText(Bytes &bytes, std::size_t offset, const std::string &ansi)
{
    std::copy(ansi.begin(), ansi.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

Bytes LoginBody(const std::string &nameUtf8, const std::string &password, const std::string &code,
                const SessionToken &token)
{
    Bytes body(156, 0);
    PutText(body, 0, Utf8ToAnsi(nameUtf8));
    PutText(body, 41, password);
    PutText(body, 82, code);
    PutInt32(body, 92, 1);
    for (std::size_t i = 0; i < 4; ++i)
        PutInt32(body, 96 + 4 * i, token.values[i]);
    PutText(body, 112, "00E04C680001");
    PutText(body, 124, "BFEBFBFF000306A9");
    return body;
}

std::optional<PictureReply> FetchPicture(RawClient &client)
{
    if (!client.sendHeader(5))
        return std::nullopt;
    std::optional<Bytes> picture = client.receive(3920);
    std::optional<Bytes> token = client.receive(16);
    if (!picture || !token)
        return std::nullopt;
    PictureReply reply;
    reply.picture = std::move(*picture);
    std::memcpy(reply.token.values, token->data(), 16);
    return reply;
}

LoginResult LogIn(std::uint16_t port, const std::string &name, const std::string &password,
                  const std::string &code)
{
    LoginResult result;
    RawClient pictureClient(port);
    const std::optional<PictureReply> picture = FetchPicture(pictureClient);
    if (!picture)
        return result;
    RawClient loginClient(port);
    Bytes header(24, 0);
    PutInt32(header, 0, 6); // the pre-session header: all zero but the command
    if (!loginClient.send(header)
        || !loginClient.send(LoginBody(name, password, code, picture->token)))
        return result;
    const std::optional<Bytes> reply = loginClient.receive(20);
    if (!reply)
        return result;
    result.result = Int32At(*reply, 4);
    result.level = Int32At(*reply, 8);
    result.accountKind = Int32At(*reply, 12);
    result.daysLeft = Int32At(*reply, 16);
    result.token = picture->token;
    return result;
}

} // namespace qs::server::test
