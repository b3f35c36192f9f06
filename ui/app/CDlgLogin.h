#pragma once

#include "core/platform/DataFolder.h"
#include "core/protocol/LoginExchange.h"
#include "core/protocol/LoginRecords.h"
#include "core/protocol/ServerLink.h"
#include "core/protocol/Session.h"

#include <QDialog>
#include <QImage>

class QLineEdit;
class QPushButton;

namespace qs {
class DesktopSeam;
}

namespace qs::ui {

class VerificationPictureView;

// Dialog 157: member name, password and the code of a verification picture. Its OK result is the
// only way into the main window; on OK the session is established.
class CDlgLogin : public QDialog {
    Q_OBJECT

public:
    CDlgLogin(const ServerEndpoint &endpoint, Session &session, DataFolder folder,
              DesktopSeam &seam, QWidget *parent = nullptr);

    // The picture now shown and the token that came with it.
    const VerificationPicture &picture() const { return m_picture; }
    const SessionToken &pendingToken() const { return m_pendingToken; }

    void fetchPicture();
    void logIn();

private:
    void firstTick();
    void focusField(LoginField field);
    void openRegistrationPage();
    ServerLink link() const { return ServerLink(m_endpoint, m_session, m_seam); }

    ServerEndpoint m_endpoint;
    Session &m_session;
    DataFolder m_folder;
    DesktopSeam &m_seam;
    VerificationPicture m_picture;
    SessionToken m_pendingToken;

    QLineEdit *m_name = nullptr;
    QLineEdit *m_password = nullptr;
    QLineEdit *m_code = nullptr;
    VerificationPictureView *m_pictureView = nullptr;
    QPushButton *m_loginButton = nullptr;
};

} // namespace qs::ui
