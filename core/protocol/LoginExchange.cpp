#include "core/protocol/LoginExchange.h"

#include "core/platform/AnsiCodec.h"
#include "core/platform/DesktopSeam.h"
#include "core/protocol/RequestExchange.h"
#include "core/protocol/WireRecord.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace qs {

namespace {
const char *const kCommandFailed = "命令传输失败，操作已取消";
const char *const kContentFailed = "内容传输失败，操作已取消";
const char *const kLoginFailed = "登录请求失败，操作已取消";
} // namespace

PictureFetch FetchVerificationPicture(const ServerLink &link, VerificationPicture &picture,
                                      SessionToken &pendingToken)
{
    DesktopSeam &seam = link.seam();
    RequestExchange exchange(link);
    const ExchangeStep sent = exchange.send(cmd::kPicture);
    if (sent == ExchangeStep::Connect)
        return PictureFetch::NoConnection;
    if (sent != ExchangeStep::Done) {
        seam.messageBox(kCommandFailed);
        exchange.close();
        return PictureFetch::HeaderNotSent;
    }
    std::uint8_t *pixels = picture.bytes.data();
    const std::size_t half = VerificationPicture::kHalf;
    const bool complete = exchange.receive(pixels, half) == ExchangeStep::Done
                          && exchange.receive(pixels + half, half) == ExchangeStep::Done
                          && exchange.receive(pendingToken) == ExchangeStep::Done;
    exchange.close();
    if (!complete) {
        seam.messageBox(kContentFailed);
        return PictureFetch::Short;
    }
    return PictureFetch::Done;
}

bool OfferClientUpdate(const ServerLink &link, const std::string &webSiteRoot)
{
    std::int32_t latest = 0;
    {
        RequestExchange exchange(link, RequestExchange::NoConnection::Silent);
        if (exchange.sendPreSession(cmd::kUpdateCheck) != ExchangeStep::Done
            || exchange.receive(latest) != ExchangeStep::Done || latest == kClientVersion)
            return false;
    }
    if (link.seam().messageBox("检测到软件更新，是否现在下载？", MessageIcon::Question,
                               MessageButtons::YesNo)
        != MessageResult::Yes)
        return false;
    link.seam().openWebPage(webSiteRoot);
    return true;
}

FormCheck CheckLoginForm(const std::string &name, const std::string &password,
                         const std::string &code)
{
    if (name.empty())
        return {false, "请填写会员名", LoginField::MemberName, false};
    if (password.empty())
        return {false, "请填写密码", LoginField::Password, false};
    if (code.empty() || Utf8ToAnsi(code).size() != 4)
        return {false, "请填写正确的验证码", LoginField::Code, true};
    return {};
}

LoginRequest BuildLoginRequest(const std::string &name, const std::string &password,
                               const std::string &code, const SessionToken &token,
                               const std::string &adapterAddressText,
                               const std::string &processorIdText)
{
    LoginRequest request = ZeroRecord<LoginRequest>();
    WriteAnsiField(request.memberName, name);
    WriteAnsiField(request.password, password);
    WriteAnsiField(request.code, code);
    request.constantOne = 1;
    request.token = token;
    // Twelve characters with no terminator of their own.
    const std::string adapter = Utf8ToAnsi(adapterAddressText);
    std::memcpy(request.adapterAddress, adapter.data(),
                std::min(adapter.size(), sizeof request.adapterAddress));
    WriteAnsiField(request.processorId, processorIdText);
    return request;
}

LoginSend SendLogin(const ServerLink &link, const LoginRequest &request, LoginReply &reply)
{
    RequestExchange exchange(link);
    LoginReply received = ZeroRecord<LoginReply>();
    ExchangeStep step = exchange.sendPreSession(cmd::kLogin, request);
    if (step == ExchangeStep::Done)
        step = exchange.receive(received);
    if (step == ExchangeStep::Connect)
        return LoginSend::NoConnection;
    if (step != ExchangeStep::Done) {
        link.seam().messageBox(kLoginFailed);
        exchange.close();
        return LoginSend::Failed;
    }
    exchange.finish();
    reply = received;
    return LoginSend::Replied;
}

LoginVerdict JudgeLoginResult(std::int32_t result)
{
    switch (result) {
    case login_result::kSuccess:
    case login_result::kSuccessToo:
        return {true, {}, LoginField::None};
    case login_result::kWrongCode:
        return {false, "验证码错误，请重新登录", LoginField::Code};
    case login_result::kWrongNameOrPassword:
        return {false, "用户名或密码错误，请重新登录", LoginField::MemberName};
    case 2:
    case 3:
    case 9:
        return {false, "用户状态异常，请联系客服", LoginField::MemberName};
    default:
        return {false, "未知错误，请重新登录", LoginField::None};
    }
}

std::string ServiceNotice(std::int32_t memberLevel, std::int32_t daysLeft, LocalDate today)
{
    if (memberLevel == 1)
        return "您好！您现在使用的是免费信号延时服务！\n如需实时服务请升级成VIP会员";
    using namespace std::chrono;
    const year_month_day start{year{today.year}, month{static_cast<unsigned>(today.month)},
                               day{static_cast<unsigned>(today.day)}};
    const year_month_day expiry{sys_days{start} + days{daysLeft}};
    char text[256];
    std::snprintf(text, sizeof text, "您好！您的服务将于%04d年%02d月%02d日零时到期,还剩%d天!",
                  static_cast<int>(expiry.year()), static_cast<unsigned>(expiry.month()),
                  static_cast<unsigned>(expiry.day()), daysLeft);
    return text;
}

LocalDate TodayLocal()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

void SendLogoutNotice(const ServerLink &link)
{
    // Nothing is read back: the notice gets a moment to connect, never a network time-out.
    Connection connection
        = OpenRequestConnection(link.endpoint(), link.seam(), kLogoutConnectTimeout);
    SendRequest(connection, link.session(), cmd::kLogout);
    connection.shutdownAndClose();
}

} // namespace qs
