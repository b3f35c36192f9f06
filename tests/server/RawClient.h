#pragma once

#include "core/platform/Socket.h"
#include "core/protocol/LoginRecords.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace qs::server::test {

using Bytes = std::vector<std::uint8_t>;

// A request-port client built from bytes, independent of the client's exchange code.
class RawClient {
public:
    explicit RawClient(std::uint16_t port);

    bool isOpen() const { return m_socket.isOpen(); }
    bool send(const Bytes &bytes);
    // The 24-byte header: command, four token values, member level.
    bool sendHeader(std::int32_t command, const SessionToken &token = {}, std::int32_t level = 0);
    // Header and body in one go, as the client sends a request.
    bool request(std::int32_t command, const SessionToken &token, const Bytes &body = {});
    // Exactly n bytes, or nothing when the connection ends first.
    std::optional<Bytes> receive(std::size_t n);
    std::optional<std::int32_t> receiveInt32();
    // A list reply of records of the given size.
    std::optional<std::vector<Bytes>> receiveList(std::size_t recordSize);
    // True when the server closes the connection without sending anything more.
    bool closedByServer();

private:
    Socket m_socket;
};

template<class T>
T As(const Bytes &bytes)
{
    T value{};
    std::memcpy(&value, bytes.data(), std::min(bytes.size(), sizeof(T)));
    return value;
}

std::int32_t Int32At(const Bytes &bytes, std::size_t offset);
double DoubleAt(const Bytes &bytes, std::size_t offset);
std::string TextAt(const Bytes &bytes, std::size_t offset, std::size_t size);
void PutInt32(Bytes &bytes, std::size_t offset, std::int32_t value);
void PutFloat(Bytes &bytes, std::size_t offset, float value);
void PutDouble(Bytes &bytes, std::size_t offset, double value);
void PutText(Bytes &bytes, std::size_t offset, const std::string &ansi);

// The 156-byte login body, field by field.
Bytes LoginBody(const std::string &nameUtf8, const std::string &password, const std::string &code,
                const SessionToken &token);

struct PictureReply {
    Bytes picture;
    SessionToken token;
};
std::optional<PictureReply> FetchPicture(RawClient &client);

struct LoginResult {
    std::int32_t result = 99;
    std::int32_t level = 0;
    std::int32_t accountKind = 0;
    std::int32_t daysLeft = 0;
    SessionToken token; // the picture's token, now the session's when the login succeeded
};
// Picture then login on connections of their own, with the code the server was told to draw.
LoginResult LogIn(std::uint16_t port, const std::string &name, const std::string &password,
                  const std::string &code);

} // namespace qs::server::test
