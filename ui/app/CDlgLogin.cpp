#include "ui/app/CDlgLogin.h"

#include "core/BuildConfig.h"
#include "core/app/ClientSettings.h"
#include "core/platform/DesktopSeam.h"
#include "core/platform/MachineIdentity.h"
#include "ui/app/VerificationPictureView.h"
#include "ui/widgets/WaitCursor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace qs::ui {

CDlgLogin::CDlgLogin(const ServerEndpoint &endpoint, Session &session, DataFolder folder,
                     DesktopSeam &seam, QWidget *parent)
    : QDialog(parent)
    , m_endpoint(endpoint)
    , m_session(session)
    , m_folder(std::move(folder))
    , m_seam(seam)
{
    setObjectName(QStringLiteral("CDlgLogin"));
    setWindowTitle(QStringLiteral("登录到Quillstar"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("edit1014"));
    m_name->setMaxLength(20);
    m_name->setText(QString::fromStdString(ClientSettings::read(m_folder).memberName()));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("edit1015"));
    m_password->setMaxLength(20);
    m_password->setEchoMode(QLineEdit::Password);
    m_code = new QLineEdit(this);
    m_code->setObjectName(QStringLiteral("edit1017"));
    m_code->setMaxLength(4);
    m_pictureView = new VerificationPictureView(this);
    m_pictureView->setObjectName(QStringLiteral("picture1018"));
    m_pictureView->setFixedSize(VerificationPicture::kWidth * 2, VerificationPicture::kHeight * 2);

    auto *another = new QPushButton(QStringLiteral("换一个"), this);
    another->setObjectName(QStringLiteral("button1019"));
    another->setAutoDefault(false);
    m_loginButton = new QPushButton(QStringLiteral("登录"), this);
    m_loginButton->setObjectName(QStringLiteral("button1016"));
    m_loginButton->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("button1001"));
    cancel->setAutoDefault(false);
    auto *regist = new QPushButton(QStringLiteral("注册会员 免费试用"), this);
    regist->setObjectName(QStringLiteral("button1010"));
    regist->setAutoDefault(false);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("会员名"), this), 0, 0);
    grid->addWidget(m_name, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("密  码"), this), 1, 0);
    grid->addWidget(m_password, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("验证码"), this), 2, 0);
    grid->addWidget(m_code, 2, 1);
    grid->addWidget(m_pictureView, 2, 2);
    grid->addWidget(another, 3, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(regist);
    buttons->addStretch();
    buttons->addWidget(m_loginButton);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 4, 0, 1, 3);
    setLayout(grid);

    setTabOrder(m_name, m_password);
    setTabOrder(m_password, m_code);
    setTabOrder(m_code, m_loginButton);
    m_name->setFocus();

    connect(another, &QPushButton::clicked, this, &CDlgLogin::fetchPicture);
    connect(m_loginButton, &QPushButton::clicked, this, &CDlgLogin::logIn);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(regist, &QPushButton::clicked, this, &CDlgLogin::openRegistrationPage);

    // Timer 1: fires once, after the dialog is up, for the update check and the first picture.
    QTimer::singleShot(50, this, &CDlgLogin::firstTick);
}

void CDlgLogin::firstTick()
{
    bool quit = false;
    {
        WaitCursor wait;
        quit = OfferClientUpdate(link(), build::kWebSite);
    }
    if (quit) {
        reject();
        return;
    }
    fetchPicture();
}

void CDlgLogin::fetchPicture()
{
    WaitCursor wait;
    FetchVerificationPicture(link(), m_picture, m_pendingToken);
    // Failures before the reply leave the picture as it was; a short reply keeps what arrived.
    m_pictureView->setPicture(m_picture);
}

void CDlgLogin::focusField(LoginField field)
{
    switch (field) {
    case LoginField::MemberName:
        m_name->setFocus();
        break;
    case LoginField::Password:
        m_password->setFocus();
        break;
    case LoginField::Code:
        m_code->setFocus();
        break;
    case LoginField::None:
        break;
    }
}

void CDlgLogin::logIn()
{
    const std::string name = m_name->text().toStdString();
    const std::string password = m_password->text().toStdString();
    const std::string code = m_code->text().toStdString();
    const FormCheck check = CheckLoginForm(name, password, code);
    if (!check.ok) {
        m_seam.messageBox(check.message, MessageIcon::Information);
        if (check.newPicture)
            fetchPicture();
        focusField(check.focus);
        return;
    }
    const LoginRequest request = BuildLoginRequest(name, password, code, m_pendingToken,
                                                   AdapterAddressText(), ProcessorIdText());
    LoginReply reply{};
    LoginSend sent;
    {
        WaitCursor wait;
        sent = SendLogin(link(), request, reply);
    }
    if (sent != LoginSend::Replied)
        return;
    const LoginVerdict verdict = JudgeLoginResult(reply.result);
    if (!verdict.success) {
        m_seam.messageBox(verdict.message);
        focusField(verdict.focus);
        fetchPicture();
        return;
    }
    m_session.establish(m_pendingToken, reply.memberLevel, name);
    m_seam.messageBox(ServiceNotice(reply.memberLevel, reply.daysLeft, TodayLocal()),
                      MessageIcon::Information);
    ClientSettings settings = ClientSettings::read(m_folder);
    settings.setMemberName(name);
    settings.write(m_folder);
    accept();
}

void CDlgLogin::openRegistrationPage()
{
    m_seam.openWebPage(std::string(build::kWebSite) + "Regist.jsp");
}

} // namespace qs::ui
