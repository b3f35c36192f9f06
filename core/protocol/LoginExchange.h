#pragma once

#include "core/platform/Socket.h"
#include "core/protocol/LoginRecords.h"
#include "core/protocol/ServerLink.h"

#include <string>

namespace qs {

// The exchanges of the login dialog and the rules that judge their outcome. They run on the
// dialog's thread; every failure message goes through the seam.

enum class PictureFetch { Done, NoConnection, HeaderNotSent, Short };

// Command 5: the picture in two halves, then the token. What arrives before a short reply stays
// in picture and token.
PictureFetch FetchVerificationPicture(const ServerLink &link, VerificationPicture &picture,
                                      SessionToken &pendingToken);

// Command 7. True when the member chose to download a newer client: the root page is opened and
// the program is to end. Any failure goes on silently, a missing server too: the picture fetch
// that follows tells the member about that once.
bool OfferClientUpdate(const ServerLink &link, const std::string &webSiteRoot);

enum class LoginField { None, MemberName, Password, Code };

// Checks of the typed fields before anything is sent.
struct FormCheck {
    bool ok = true;
    std::string message; // shown with the information icon
    LoginField focus = LoginField::None;
    bool newPicture = false; // a wrong code also brings a new picture
};
FormCheck CheckLoginForm(const std::string &name, const std::string &password,
                         const std::string &code);

LoginRequest BuildLoginRequest(const std::string &name, const std::string &password,
                               const std::string &code, const SessionToken &token,
                               const std::string &adapterAddressText,
                               const std::string &processorIdText);

enum class LoginSend { Replied, NoConnection, Failed };
// Command 6 with the pre-session header. NoConnection and Failed have shown their message.
LoginSend SendLogin(const ServerLink &link, const LoginRequest &request, LoginReply &reply);

struct LoginVerdict {
    bool success = false;
    std::string message; // failure message; empty on success
    LoginField focus = LoginField::None;
};
LoginVerdict JudgeLoginResult(std::int32_t result);

struct LocalDate {
    int year;
    int month;
    int day;
};
// The service notice shown after a successful login. The expiry day is today plus the days left.
std::string ServiceNotice(std::int32_t memberLevel, std::int32_t daysLeft, LocalDate today);
LocalDate TodayLocal();

// Command 4 at exit: sent without waiting for anything; a failed connection has shown its message.
// The connect waits kLogoutConnectTimeout at most, so exit is never held up by a dead server.
inline constexpr Milliseconds kLogoutConnectTimeout{1000};
void SendLogoutNotice(const ServerLink &link);

} // namespace qs
