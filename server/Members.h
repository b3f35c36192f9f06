#pragma once

#include "core/protocol/LoginRecords.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>

namespace qs::server {

// One member of the built-in table. The login result decides what the client makes of it: 1 and
// 4 are successes, 2, 3 and 9 a member state that is not in order.
struct MemberEntry {
    const char *name; // UTF-8
    const char *password;
    std::int32_t loginResult;
    std::int32_t level; // 1 ordinary (delayed free signals), 2, 4, 8 higher levels
    std::int32_t accountKind;
    std::int32_t daysLeft;
    double deposit; // money on the simulated account when it is first used
};

const MemberEntry *FindMember(const std::string &name);

struct SessionInfo {
    std::string member;
    std::int32_t level = 0;
};

// A fresh verification picture's code and the token that carries it.
struct Challenge {
    std::string code;
    SessionToken token;
};

struct LoginOutcome {
    LoginReply reply{};
    std::string member;       // set on success
    bool replacedOld = false; // the member had a session that this login ended
};

// The member table, the codes of the pictures handed out and the live sessions. Thread-safe.
// Every picture token allows one login attempt; a successful login turns it into the session
// token. One session per member: a new login ends the old one.
class Members {
public:
    // fixedCode: four digits used for every picture; empty draws a random code.
    Members(std::uint64_t seed, std::string fixedCode);

    Challenge issueChallenge();
    LoginOutcome login(const LoginRequest &request);
    std::optional<SessionInfo> session(const SessionToken &token) const;
    void endSession(const SessionToken &token);

    // Oldest codes are forgotten beyond this, so a flood of picture requests cannot grow memory.
    static constexpr std::size_t kMaxPendingCodes = 1024;

private:
    SessionToken freshToken(); // never all zero, never one in use

    mutable std::mutex m_mutex;
    std::mt19937_64 m_random;
    std::string m_fixedCode;
    std::map<std::array<std::int32_t, 4>, std::string> m_pendingCodes;
    std::deque<std::array<std::int32_t, 4>> m_pendingOrder;
    std::map<std::array<std::int32_t, 4>, SessionInfo> m_sessions;
    std::map<std::string, std::array<std::int32_t, 4>> m_sessionOfMember;
};

} // namespace qs::server
