#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qs {

inline constexpr std::int32_t kClientVersion = 11090616;

// 16 bytes received after the verification picture; carried by every request header.
struct SessionToken {
    std::int32_t values[4] = {0, 0, 0, 0};
    friend bool operator==(const SessionToken &, const SessionToken &) = default;
};
static_assert(sizeof(SessionToken) == 16);

struct LoginRequest {
    char memberName[41];      // 0
    char password[41];        // 41
    char code[10];            // 82  exactly 4 ANSI bytes
    std::int32_t constantOne; // 92  always 1
    SessionToken token;       // 96
    char adapterAddress[12];  // 112 no terminator of its own
    char processorId[32];     // 124 at most 31 characters
};
static_assert(sizeof(LoginRequest) == 156);
static_assert(offsetof(LoginRequest, constantOne) == 92);
static_assert(offsetof(LoginRequest, token) == 96);
static_assert(offsetof(LoginRequest, adapterAddress) == 112);
static_assert(offsetof(LoginRequest, processorId) == 124);

struct LoginReply {
    std::int32_t unused;      // 0
    std::int32_t result;      // 4
    std::int32_t memberLevel; // 8
    std::int32_t accountKind; // 12 full service is anything but 1
    std::int32_t daysLeft;    // 16
};
static_assert(sizeof(LoginReply) == 20);

namespace login_result {
inline constexpr std::int32_t kWrongCode = -2;
inline constexpr std::int32_t kWrongNameOrPassword = 0;
inline constexpr std::int32_t kSuccess = 1;
inline constexpr std::int32_t kSuccessToo = 4;
} // namespace login_result

// 65 x 20 pixels, 24-bit, bottom row first, rows padded to 196 bytes, pixels blue-green-red.
struct VerificationPicture {
    static constexpr int kWidth = 65;
    static constexpr int kHeight = 20;
    static constexpr int kStride = 196;
    static constexpr std::size_t kSize = 3920;
    static constexpr std::size_t kHalf = kSize / 2;

    std::array<std::uint8_t, kSize> bytes{};
};
static_assert(VerificationPicture::kStride * VerificationPicture::kHeight == 3920);

} // namespace qs
