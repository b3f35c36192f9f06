#include "server/Members.h"

#include "core/platform/AnsiCodec.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace qs::server {

namespace {

// Logins of the demo. "demo" is the full-service member the README uses; the others reach every
// answer the login dialog knows.
constexpr std::array<MemberEntry, 7> kMembers{{
    {"demo", "demo", 1, 8, 2, 180, 1000000.0},
    {"free", "free", 1, 1, 1, 30, 100000.0},
    {"测试会员", "123456", 1, 2, 2, 90, 500000.0},
    {"gold", "gold", 4, 4, 2, 365, 1000000.0},
    {"suspended", "suspended", 2, 0, 0, 0, 0.0},
    {"expired", "expired", 3, 0, 0, 0, 0.0},
    {"blocked", "blocked", 9, 0, 0, 0, 0.0},
}};

using TokenKey = std::array<std::int32_t, 4>;

TokenKey KeyOf(const SessionToken &token)
{
    return {token.values[0], token.values[1], token.values[2], token.values[3]};
}

bool IsSuccess(std::int32_t result)
{
    return result == login_result::kSuccess || result == login_result::kSuccessToo;
}

} // namespace

const MemberEntry *FindMember(const std::string &name)
{
    const auto found
        = std::find_if(kMembers.begin(), kMembers.end(),
                       [&name](const MemberEntry &entry) { return name == entry.name; });
    return found == kMembers.end() ? nullptr : &*found;
}

Members::Members(std::uint64_t seed, std::string fixedCode)
    : m_random(seed)
    , m_fixedCode(std::move(fixedCode))
{}

SessionToken Members::freshToken()
{
    for (;;) {
        SessionToken token;
        for (std::int32_t &value : token.values)
            value = static_cast<std::int32_t>(static_cast<std::uint32_t>(m_random()));
        const TokenKey key = KeyOf(token);
        if (token == SessionToken{} || m_pendingCodes.count(key) != 0 || m_sessions.count(key) != 0)
            continue;
        return token;
    }
}

Challenge Members::issueChallenge()
{
    std::lock_guard lock(m_mutex);
    Challenge challenge;
    if (!m_fixedCode.empty()) {
        challenge.code = m_fixedCode;
    } else {
        const auto number = static_cast<unsigned>(m_random() % 10000);
        char text[8];
        std::snprintf(text, sizeof text, "%04u", number);
        challenge.code = text;
    }
    challenge.token = freshToken();
    const TokenKey key = KeyOf(challenge.token);
    m_pendingCodes[key] = challenge.code;
    m_pendingOrder.push_back(key);
    while (m_pendingOrder.size() > kMaxPendingCodes) {
        m_pendingCodes.erase(m_pendingOrder.front());
        m_pendingOrder.pop_front();
    }
    return challenge;
}

LoginOutcome Members::login(const LoginRequest &request)
{
    LoginOutcome outcome;
    const std::string code = ReadAnsiField(request.code);
    const std::string name = ReadAnsiField(request.memberName);
    const std::string password = ReadAnsiField(request.password);

    std::lock_guard lock(m_mutex);
    const TokenKey key = KeyOf(request.token);
    const auto pending = m_pendingCodes.find(key);
    const bool codeRight = pending != m_pendingCodes.end() && pending->second == code;
    if (pending != m_pendingCodes.end()) {
        // One attempt per picture: a guess costs a new picture.
        m_pendingCodes.erase(pending);
        m_pendingOrder.erase(std::find(m_pendingOrder.begin(), m_pendingOrder.end(), key));
    }
    if (!codeRight) {
        outcome.reply.result = login_result::kWrongCode;
        return outcome;
    }
    const MemberEntry *entry = FindMember(name);
    if (entry == nullptr || password != entry->password) {
        outcome.reply.result = login_result::kWrongNameOrPassword;
        return outcome;
    }
    outcome.reply.result = entry->loginResult;
    if (!IsSuccess(entry->loginResult))
        return outcome;

    outcome.reply.memberLevel = entry->level;
    outcome.reply.accountKind = entry->accountKind;
    outcome.reply.daysLeft = entry->daysLeft;
    outcome.member = entry->name;
    const auto old = m_sessionOfMember.find(outcome.member);
    if (old != m_sessionOfMember.end()) {
        m_sessions.erase(old->second);
        outcome.replacedOld = true;
    }
    m_sessions[key] = SessionInfo{outcome.member, entry->level};
    m_sessionOfMember[outcome.member] = key;
    return outcome;
}

std::optional<SessionInfo> Members::session(const SessionToken &token) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_sessions.find(KeyOf(token));
    if (found == m_sessions.end())
        return std::nullopt;
    return found->second;
}

void Members::endSession(const SessionToken &token)
{
    std::lock_guard lock(m_mutex);
    const auto found = m_sessions.find(KeyOf(token));
    if (found == m_sessions.end())
        return;
    m_sessionOfMember.erase(found->second.member);
    m_sessions.erase(found);
}

} // namespace qs::server
