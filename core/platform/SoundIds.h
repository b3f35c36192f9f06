#pragma once

namespace qs::sound {

// WAVE resources of the client and when each plays.
inline constexpr int kMessage = 151;   // looping: a message joined the message list
inline constexpr int kTradeDone = 190; // once: a trade operation succeeded
inline constexpr int kRefresh = 192;   // once: a tick made the client refresh positions or orders
inline constexpr int kAlert = 198;     // looping: a price alert was reached

} // namespace qs::sound
