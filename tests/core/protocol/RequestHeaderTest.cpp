#include "core/protocol/RequestHeader.h"
#include "core/protocol/Commands.h"
#include "core/protocol/Session.h"
#include "core/protocol/WireRecord.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace qs {
namespace {

using Header = std::array<std::uint8_t, 24>;

template<class T>
Header BytesOfHeader(const T &header)
{
    static_assert(sizeof(T) == 24);
    Header bytes;
    EncodeRecord(header, bytes.data());
    return bytes;
}

TEST(RequestHeader, BeforeLoginEverythingButTheCommandIsZero)
{
    const Session none;
    const Header expected
        = {5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(BytesOfHeader(RequestHeader::make(cmd::kPicture, none)), expected);
}

TEST(RequestHeader, CarriesTheSessionTokenAndLevel)
{
    Session session;
    SessionToken token;
    token.values[0] = 0x04030201;
    token.values[1] = 0x08070605;
    token.values[2] = 0x0C0B0A09;
    token.values[3] = static_cast<std::int32_t>(0x900F0E0Du);
    session.establish(token, 8, "member");
    const Header expected = {20,   0,    0,    0,    0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                             0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x90, 8,    0,    0,    0};
    EXPECT_EQ(BytesOfHeader(RequestHeader::make(cmd::kPositionSummary, session)), expected);
}

TEST(RequestHeader, PreSessionHeaderPutsTheLevelsLowHalfAtEight)
{
    const Header login = {6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(BytesOfHeader(PreSessionHeader::make(cmd::kLogin, 0)), login);

    // Only the low 16 bits of the level travel; bytes 10 to 23 stay zero.
    const Header update
        = {7, 0, 0, 0, 0, 0, 0, 0, 0x45, 0x23, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(BytesOfHeader(PreSessionHeader::make(cmd::kUpdateCheck, 0x7B012345)), update);
}

} // namespace
} // namespace qs
