#pragma once

#include "core/protocol/LoginRecords.h"

#include <cstddef>
#include <cstdint>

namespace qs {

class Session;

// Starts every request on the request and push ports; a K-line download puts the product id in
// place of the command.
struct RequestHeader {
    std::int32_t command;
    SessionToken token;
    std::int32_t memberLevel;

    static RequestHeader make(std::int32_t command, const Session &session);
};
static_assert(sizeof(RequestHeader) == 24);
static_assert(offsetof(RequestHeader, memberLevel) == 20);

// The header of login and update check, sent before there is a session.
struct PreSessionHeader {
    std::int32_t command;
    std::int32_t zero4;
    std::uint16_t level; // low 16 bits of the member level
    std::uint8_t zero10[14];

    static PreSessionHeader make(std::int32_t command, std::int32_t memberLevel);
};
static_assert(sizeof(PreSessionHeader) == 24);
static_assert(offsetof(PreSessionHeader, level) == 8);

} // namespace qs
