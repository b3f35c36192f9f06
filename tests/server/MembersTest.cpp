#include "server/Members.h"

#include "core/platform/AnsiCodec.h"
#include "core/protocol/WireRecord.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace qs::server {
namespace {

LoginRequest Request(const std::string &name, const std::string &password, const std::string &code,
                     const SessionToken &token)
{
    LoginRequest request = ZeroRecord<LoginRequest>();
    WriteAnsiField(request.memberName, name);
    WriteAnsiField(request.password, password);
    WriteAnsiField(request.code, code);
    request.constantOne = 1;
    request.token = token;
    return request;
}

LoginOutcome LogIn(Members &members, const std::string &name, const std::string &password)
{
    const Challenge challenge = members.issueChallenge();
    return members.login(Request(name, password, challenge.code, challenge.token));
}

TEST(MembersTest, EveryLoginResultIsReachable)
{
    Members members(1, "");
    struct Case {
        const char *name;
        const char *password;
        std::int32_t result;
        std::int32_t level;
    };
    const Case cases[] = {
        {"demo", "demo", 1, 8},           {"free", "free", 1, 1},
        {"测试会员", "123456", 1, 2},     {"gold", "gold", 4, 4},
        {"suspended", "suspended", 2, 0}, {"expired", "expired", 3, 0},
        {"blocked", "blocked", 9, 0},     {"demo", "wrong", 0, 0},
        {"nobody", "demo", 0, 0},         {"DEMO", "demo", 0, 0},
    };
    for (const Case &c : cases) {
        const LoginOutcome outcome = LogIn(members, c.name, c.password);
        EXPECT_EQ(outcome.reply.result, c.result) << c.name;
        EXPECT_EQ(outcome.reply.memberLevel, c.level) << c.name;
    }
    const LoginOutcome demo = LogIn(members, "demo", "demo");
    EXPECT_EQ(demo.reply.daysLeft, 180);
    EXPECT_NE(demo.reply.accountKind, 1);
    EXPECT_EQ(LogIn(members, "free", "free").reply.accountKind, 1);
    EXPECT_EQ(LogIn(members, "测试会员", "123456").member, "测试会员") << "names arrive in GBK";
}

TEST(MembersTest, ATokenAllowsOneAttemptAndOnlyWithItsOwnCode)
{
    Members members(3, "");
    const Challenge first = members.issueChallenge();
    const Challenge second = members.issueChallenge();
    ASSERT_NE(first.token, second.token);
    ASSERT_EQ(first.code.size(), 4u);

    // The second picture's code does not open the first picture's token.
    if (first.code != second.code) {
        EXPECT_EQ(members.login(Request("demo", "demo", second.code, first.token)).reply.result,
                  -2);
    }
    // Whatever happened, the first token is spent now.
    EXPECT_EQ(members.login(Request("demo", "demo", first.code, first.token)).reply.result, -2);
    // A token never handed out.
    SessionToken made;
    made.values[0] = 12345;
    EXPECT_EQ(members.login(Request("demo", "demo", second.code, made)).reply.result, -2);
    EXPECT_EQ(members.login(Request("demo", "demo", second.code, second.token)).reply.result, 1);

    // A wrong password spends the token too and opens no session.
    const Challenge third = members.issueChallenge();
    EXPECT_EQ(members.login(Request("demo", "nope", third.code, third.token)).reply.result, 0);
    EXPECT_FALSE(members.session(third.token));
    EXPECT_EQ(members.login(Request("demo", "demo", third.code, third.token)).reply.result, -2);
}

TEST(MembersTest, FixedCodeAndSeededTokensAreRepeatable)
{
    Members a(9, "0815");
    Members b(9, "0815");
    const Challenge fromA = a.issueChallenge();
    EXPECT_EQ(fromA.code, "0815");
    EXPECT_EQ(fromA.token, b.issueChallenge().token);
    EXPECT_NE(fromA.token, SessionToken{});
}

TEST(MembersTest, ASecondLoginEndsTheFirstSession)
{
    Members members(4, "");
    const Challenge first = members.issueChallenge();
    const LoginOutcome one = members.login(Request("demo", "demo", first.code, first.token));
    ASSERT_EQ(one.reply.result, 1);
    EXPECT_FALSE(one.replacedOld);
    ASSERT_TRUE(members.session(first.token));
    EXPECT_EQ(members.session(first.token)->member, "demo");
    EXPECT_EQ(members.session(first.token)->level, 8);

    const Challenge second = members.issueChallenge();
    const LoginOutcome two = members.login(Request("demo", "demo", second.code, second.token));
    EXPECT_TRUE(two.replacedOld);
    EXPECT_EQ(two.member, "demo");
    EXPECT_FALSE(members.session(first.token));
    EXPECT_TRUE(members.session(second.token));

    // Another member's login leaves demo alone.
    EXPECT_FALSE(LogIn(members, "free", "free").replacedOld);
    EXPECT_TRUE(members.session(second.token));

    members.endSession(second.token);
    EXPECT_FALSE(members.session(second.token));
    EXPECT_FALSE(LogIn(members, "demo", "demo").replacedOld);
}

TEST(MembersTest, OldPendingCodesAreForgottenBeyondTheCap)
{
    Members members(6, "");
    const Challenge oldest = members.issueChallenge();
    std::set<std::array<std::int32_t, 4>> tokens;
    for (std::size_t i = 0; i < Members::kMaxPendingCodes; ++i) {
        const SessionToken token = members.issueChallenge().token;
        tokens.insert({token.values[0], token.values[1], token.values[2], token.values[3]});
    }
    EXPECT_EQ(tokens.size(), Members::kMaxPendingCodes);
    EXPECT_EQ(members.login(Request("demo", "demo", oldest.code, oldest.token)).reply.result, -2);
}

} // namespace
} // namespace qs::server
