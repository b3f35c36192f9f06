#include "tests/support/DemoLogin.h"

#include "core/protocol/LoginExchange.h"

#include <chrono>

namespace qs::test {

server::DemoOptions QuietDemoOptions()
{
    server::DemoOptions options;
    options.requestPort = 0;
    options.pushPort = 0;
    options.klinePort = 0;
    options.fixedCode = "1234";
    options.tickPeriod = std::chrono::hours(1);
    return options;
}

bool LogInToDemo(const ServerEndpoint &endpoint, DesktopSeam &seam, Session &session,
                 const std::string &member, const std::string &password)
{
    const ServerLink link(endpoint, session, seam);
    VerificationPicture picture;
    SessionToken token;
    if (FetchVerificationPicture(link, picture, token) != PictureFetch::Done)
        return false;
    const LoginRequest request
        = BuildLoginRequest(member, password, "1234", token, "001122334455", "BFEBFBFF000906EA");
    LoginReply reply{};
    if (SendLogin(link, request, reply) != LoginSend::Replied
        || !JudgeLoginResult(reply.result).success)
        return false;
    session.establish(token, reply.memberLevel, member);
    return true;
}

} // namespace qs::test
