#pragma once

#include <cstdint>

namespace qs {

inline constexpr std::uint16_t kRequestPort = 2292;
inline constexpr std::uint16_t kPushPort = 2272;
inline constexpr std::uint16_t kKLinePort = 2262;

// Command codes of the request and push ports. A K-line download sends the product id instead.
namespace cmd {
inline constexpr std::int32_t kOpenPush = 0;
inline constexpr std::int32_t kProducts = 1;
inline constexpr std::int32_t kLogout = 4;
inline constexpr std::int32_t kPicture = 5;
inline constexpr std::int32_t kLogin = 6;
inline constexpr std::int32_t kUpdateCheck = 7;
inline constexpr std::int32_t kAlerts = 8;
inline constexpr std::int32_t kAddAlert = 9;
inline constexpr std::int32_t kDeleteAlert = 10;
inline constexpr std::int32_t kOpenOrder = 11;
inline constexpr std::int32_t kChangeStops = 13;
inline constexpr std::int32_t kChangeOrder = 14;
inline constexpr std::int32_t kDeleteOrder = 15;
inline constexpr std::int32_t kPositions = 16;
inline constexpr std::int32_t kPendingOrders = 17;
inline constexpr std::int32_t kClosePosition = 18;
inline constexpr std::int32_t kDeals = 19;
inline constexpr std::int32_t kPositionSummary = 20;
inline constexpr std::int32_t kAccount = 21;
inline constexpr std::int32_t kSaveProductFlags = 41;
inline constexpr std::int32_t kReadProductFlags = 42;
} // namespace cmd

// Body sizes of the request port (bytes after the 24-byte header).
namespace body_size {
inline constexpr int kLogin = 156;
inline constexpr int kAlert = 40;
inline constexpr int kOpenOrder = 36;
inline constexpr int kChangeStops = 32;
inline constexpr int kChangeOrder = 256;
inline constexpr int kDeleteOrder = 30;
inline constexpr int kPositions = 44;
inline constexpr int kPendingOrders = 56;
inline constexpr int kClosePosition = 256;
inline constexpr int kDeals = 52;
inline constexpr int kProductFlags = 30;
inline constexpr int kKLineRequest = 26;
} // namespace body_size

// Push event types of the push port.
namespace push {
inline constexpr std::int32_t kSessionClosed = -1;
inline constexpr std::int32_t kNothing = 0;
inline constexpr std::int32_t kRecord = 1;
inline constexpr std::int32_t kMessage = 2;
inline constexpr std::int32_t kFiller = 3;
inline constexpr std::int32_t kHeartbeat = 4;
inline constexpr std::int32_t kKickedOff = 5;
inline constexpr int kFillerSize = 100;
} // namespace push

inline constexpr int kProductFlagCount = 30;

} // namespace qs
