#include "core/protocol/RequestHeader.h"

#include "core/protocol/Session.h"

namespace qs {

RequestHeader RequestHeader::make(std::int32_t command, const Session &session)
{
    RequestHeader header{};
    header.command = command;
    header.token = session.token();
    header.memberLevel = session.memberLevel();
    return header;
}

PreSessionHeader PreSessionHeader::make(std::int32_t command, std::int32_t memberLevel)
{
    PreSessionHeader header{};
    header.command = command;
    header.level = static_cast<std::uint16_t>(memberLevel & 0xFFFF);
    return header;
}

} // namespace qs
