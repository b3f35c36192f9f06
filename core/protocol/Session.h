#pragma once

#include "core/platform/Socket.h"
#include "core/protocol/Commands.h"
#include "core/protocol/LoginRecords.h"

#include <cstdint>
#include <string>

namespace qs {

// The server's address and its three ports. The ports are parameters so tests can use ephemeral
// ones.
struct ServerEndpoint {
    Ipv4Address address = Ipv4Address::loopback();
    std::uint16_t requestPort = kRequestPort;
    std::uint16_t pushPort = kPushPort;
    std::uint16_t klinePort = kKLinePort;
};

// What a successful login leaves behind. Written once, before any worker thread exists, and only
// read afterwards; before that every field is zero or empty.
class Session {
public:
    void establish(const SessionToken &token, std::int32_t memberLevel, std::string memberName)
    {
        m_token = token;
        m_level = memberLevel;
        m_name = std::move(memberName);
        m_established = true;
    }

    bool established() const { return m_established; }
    const SessionToken &token() const { return m_token; }
    std::int32_t memberLevel() const { return m_level; }
    const std::string &memberName() const { return m_name; }

private:
    SessionToken m_token;
    std::int32_t m_level = 0;
    std::string m_name;
    bool m_established = false;
};

} // namespace qs
