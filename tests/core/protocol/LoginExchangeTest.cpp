#include "core/protocol/LoginExchange.h"

#include "core/protocol/RequestHeader.h"
#include "tests/support/HangingListener.h"
#include "tests/support/ScriptedPeer.h"
#include "tests/support/SeamRecorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

namespace qs {
namespace {

using test::Bytes;
using test::Int32Bytes;
using test::Join;
using test::Script;
using test::ScriptedPeer;
using test::SeamRecorder;

Bytes HeaderOnly(std::int32_t command)
{
    Bytes header(24, 0);
    std::memcpy(header.data(), &command, 4);
    return header;
}

Bytes Filled(std::size_t size, std::uint8_t value)
{
    return Bytes(size, value);
}

TEST(LoginExchange, PictureArrivesInTwoHalvesThenTheToken)
{
    const Bytes token{1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0};
    ScriptedPeer peer(Script()
                          .expect(HeaderOnly(5))
                          .send(Filled(1960, 0x11))
                          .send(Filled(1960, 0x22))
                          .send(token));
    SeamRecorder seam;
    VerificationPicture picture;
    SessionToken pending;
    const Session noSession;
    EXPECT_EQ(
        FetchVerificationPicture(ServerLink(peer.endpoint(), noSession, seam), picture, pending),
        PictureFetch::Done);
    EXPECT_TRUE(peer.mismatches().empty());
    EXPECT_EQ(picture.bytes[0], 0x11);
    EXPECT_EQ(picture.bytes[1959], 0x11);
    EXPECT_EQ(picture.bytes[1960], 0x22);
    EXPECT_EQ(picture.bytes[3919], 0x22);
    EXPECT_EQ(pending.values[0], 1);
    EXPECT_EQ(pending.values[3], 4);
    EXPECT_TRUE(seam.messages().empty());
}

TEST(LoginExchange, ShortPictureKeepsWhatArrivedAndSaysSo)
{
    ScriptedPeer peer(Script().expect(HeaderOnly(5)).sendThenClose(Filled(2000, 0x33)));
    SeamRecorder seam;
    VerificationPicture picture;
    picture.bytes.fill(0x99);
    SessionToken pending{{7, 7, 7, 7}};
    const Session noSession;
    EXPECT_EQ(
        FetchVerificationPicture(ServerLink(peer.endpoint(), noSession, seam), picture, pending),
        PictureFetch::Short);
    EXPECT_EQ(picture.bytes[1999], 0x33);
    EXPECT_EQ(picture.bytes[2000], 0x99);
    EXPECT_EQ(pending, (SessionToken{{7, 7, 7, 7}}));
    EXPECT_EQ(seam.messageTexts(), std::vector<std::string>{"内容传输失败，操作已取消"});
}

TEST(LoginExchange, AStartWithoutAServerShowsTheConnectionMessageOnceAndNoPicture)
{
    ServerEndpoint nowhere;
    {
        ScriptedPeer closed(Script{});
        nowhere = closed.endpoint();
    }
    SeamRecorder seam;
    const Session noSession;
    const ServerLink link(nowhere, noSession, seam);
    VerificationPicture picture;
    picture.bytes.fill(0x5A);
    SessionToken pending;
    // The login dialog's first tick: the update check, then the picture.
    EXPECT_FALSE(OfferClientUpdate(link, "http://site/"));
    EXPECT_EQ(FetchVerificationPicture(link, picture, pending), PictureFetch::NoConnection);
    EXPECT_EQ(picture.bytes[0], 0x5A);
    EXPECT_EQ(seam.messageTexts(), std::vector<std::string>{"无法连接服务器，操作已取消"});
    EXPECT_TRUE(seam.webPages().empty());
}

// Exit gives the notice a moment: against a server that never answers it gives up after the
// logout's own connect time-out, not the 10 s of every other request.
TEST(LoginExchange, TheLogoutNoticeIsSentAloneAndNeverHoldsExitUp)
{
    Session session;
    session.establish(SessionToken{{1, 2, 3, 4}}, 2, "demo");
    ScriptedPeer peer(Script().expect(test::BytesOf(RequestHeader::make(4, session))));
    const test::HangingListener hanging;
    ServerEndpoint silent;
    silent.requestPort = hanging.port();
    for (const ServerEndpoint &endpoint : {peer.endpoint(), silent}) {
        SeamRecorder seam;
        const auto started = std::chrono::steady_clock::now();
        SendLogoutNotice(ServerLink(endpoint, session, seam));
        EXPECT_LT(std::chrono::steady_clock::now() - started, kLogoutConnectTimeout * 2);
        const bool answered = endpoint.requestPort == peer.endpoint().requestPort;
        EXPECT_EQ(seam.messageTexts().size(), answered ? 0u : 1u);
    }
    EXPECT_TRUE(peer.mismatches().empty());
}

TEST(LoginExchange, UpdatePromptOnlyForADifferentVersion)
{
    struct Case {
        std::int32_t serverVersion;
        MessageResult answer;
        bool prompted;
        bool quits;
    };
    for (const Case c : {Case{kClientVersion, MessageResult::Yes, false, false},
                         Case{kClientVersion + 1, MessageResult::No, true, false},
                         Case{kClientVersion - 1, MessageResult::Yes, true, true}}) {
        ScriptedPeer peer(Script().expect(HeaderOnly(7)).send(Int32Bytes(c.serverVersion)));
        SeamRecorder seam;
        seam.answerWith(c.answer);
        const Session noSession;
        EXPECT_EQ(OfferClientUpdate(ServerLink(peer.endpoint(), noSession, seam), "http://site/"),
                  c.quits);
        EXPECT_TRUE(peer.mismatches().empty());
        EXPECT_EQ(seam.messages().size(), c.prompted ? 1u : 0u) << c.serverVersion;
        if (c.prompted) {
            EXPECT_EQ(seam.messages()[0].text, "检测到软件更新，是否现在下载？");
        }
        EXPECT_EQ(seam.webPages().size(), c.quits ? 1u : 0u);
    }
}

TEST(LoginExchange, UpdateCheckFailsSilently)
{
    ScriptedPeer peer(Script().expect(HeaderOnly(7)).sendThenClose({1, 2}));
    SeamRecorder seam;
    const Session noSession;
    EXPECT_FALSE(OfferClientUpdate(ServerLink(peer.endpoint(), noSession, seam), "http://site/"));
    EXPECT_TRUE(seam.messages().empty());
}

TEST(LoginExchange, FormIsCheckedBeforeAnythingIsSent)
{
    EXPECT_EQ(CheckLoginForm("", "pw", "1234").focus, LoginField::MemberName);
    EXPECT_EQ(CheckLoginForm("", "pw", "1234").message, "请填写会员名");
    EXPECT_EQ(CheckLoginForm("demo", "", "1234").message, "请填写密码");
    EXPECT_EQ(CheckLoginForm("demo", "", "1234").focus, LoginField::Password);
    for (const char *code : {"", "123", "一二三四"}) {
        const FormCheck check = CheckLoginForm("demo", "pw", code);
        EXPECT_FALSE(check.ok) << code;
        EXPECT_EQ(check.message, "请填写正确的验证码");
        EXPECT_EQ(check.focus, LoginField::Code);
        EXPECT_TRUE(check.newPicture);
    }
    EXPECT_TRUE(CheckLoginForm("demo", "pw", "1234").ok);
}

TEST(LoginExchange, RequestBytesFollowTheFieldTable)
{
    const std::string name = "一二三四五六七八九十一二三四五六七八九十"; // 20 characters
    const SessionToken token{{0x01020304, 0x05060708, 0x090A0B0C, 0x0D0E0F10}};
    const std::string adapter = "556F7G8H9IKK";
    const std::string processor(44, 'P');
    const LoginRequest request
        = BuildLoginRequest(name, "secret", "1234", token, adapter, processor);
    Bytes bytes(sizeof request);
    std::memcpy(bytes.data(), &request, sizeof request);

    ASSERT_EQ(bytes.size(), 156u);
    EXPECT_NE(bytes[39], 0); // 40 bytes of name
    EXPECT_EQ(bytes[40], 0); // and its terminator
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(&bytes[41])), "secret");
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(&bytes[82])), "1234");
    EXPECT_EQ(bytes[86], 0);
    EXPECT_EQ((Bytes{bytes.begin() + 92, bytes.begin() + 96}), (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(bytes[96], 0x04);
    EXPECT_EQ(bytes[111], 0x0D);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(&bytes[112]), 12), adapter);
    // 44 characters do not fit: 31 and the terminator.
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(&bytes[124])), std::string(31, 'P'));
    EXPECT_EQ(bytes[155], 0);
}

TEST(LoginExchange, LoginUsesThePreSessionHeaderAndReadsTwentyBytes)
{
    const LoginRequest request = BuildLoginRequest("demo", "demo", "1234", {}, "", "");
    LoginReply answer{};
    answer.result = 1;
    answer.memberLevel = 8;
    answer.daysLeft = 180;
    ScriptedPeer peer(
        Script().expect(HeaderOnly(6)).expect(test::BytesOf(request)).send(test::BytesOf(answer)));
    SeamRecorder seam;
    LoginReply reply{};
    const Session noSession;
    EXPECT_EQ(SendLogin(ServerLink(peer.endpoint(), noSession, seam), request, reply),
              LoginSend::Replied);
    EXPECT_TRUE(peer.mismatches().empty());
    EXPECT_EQ(reply.memberLevel, 8);
    EXPECT_EQ(reply.daysLeft, 180);
}

TEST(LoginExchange, ReplyThatBreaksOffIsALoginFailure)
{
    const LoginRequest request = BuildLoginRequest("demo", "demo", "1234", {}, "", "");
    ScriptedPeer peer(
        Script().expect(HeaderOnly(6)).expectAny(156).sendThenClose(Join({Int32Bytes(0), {1}})));
    SeamRecorder seam;
    LoginReply reply{};
    const Session noSession;
    EXPECT_EQ(SendLogin(ServerLink(peer.endpoint(), noSession, seam), request, reply),
              LoginSend::Failed);
    EXPECT_EQ(seam.messageTexts(), std::vector<std::string>{"登录请求失败，操作已取消"});
}

TEST(LoginExchange, ResultCodesMapToMessageAndFocus)
{
    EXPECT_TRUE(JudgeLoginResult(1).success);
    EXPECT_TRUE(JudgeLoginResult(4).success);
    EXPECT_EQ(JudgeLoginResult(-2).message, "验证码错误，请重新登录");
    EXPECT_EQ(JudgeLoginResult(-2).focus, LoginField::Code);
    EXPECT_EQ(JudgeLoginResult(0).message, "用户名或密码错误，请重新登录");
    EXPECT_EQ(JudgeLoginResult(0).focus, LoginField::MemberName);
    for (int code : {2, 3, 9}) {
        EXPECT_EQ(JudgeLoginResult(code).message, "用户状态异常，请联系客服");
        EXPECT_EQ(JudgeLoginResult(code).focus, LoginField::MemberName);
    }
    for (int code : {-1, 5, 77}) {
        EXPECT_FALSE(JudgeLoginResult(code).success);
        EXPECT_EQ(JudgeLoginResult(code).message, "未知错误，请重新登录");
        EXPECT_EQ(JudgeLoginResult(code).focus, LoginField::None);
    }
}

TEST(LoginExchange, ServiceNoticeNamesTheExpiryDay)
{
    EXPECT_EQ(ServiceNotice(8, 180, {2026, 12, 9}),
              "您好！您的服务将于2027年06月07日零时到期,还剩180天!");
    EXPECT_EQ(ServiceNotice(2, 0, {2026, 2, 28}),
              "您好！您的服务将于2026年02月28日零时到期,还剩0天!");
    // Level 1 hears only about the free, delayed signals, whatever the days left.
    EXPECT_EQ(ServiceNotice(1, 365, {2026, 12, 9}),
              "您好！您现在使用的是免费信号延时服务！\n如需实时服务请升级成VIP会员");
}

} // namespace
} // namespace qs
