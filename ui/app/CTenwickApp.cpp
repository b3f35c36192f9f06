#include "ui/app/CTenwickApp.h"

#include "core/app/ClientSession.h"
#include "core/platform/DesktopSeam.h"
#include "core/platform/Socket.h"
#include "ui/app/CDlgLogin.h"
#include "ui/app/CMainFrame.h"
#include "ui/app/SingleInstance.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>

namespace qs::ui {

CTenwickApp::CTenwickApp(Options options, DesktopSeam &seam, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_seam(seam)
    , m_startProgram([arguments = m_options.programArguments] {
        QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments);
    })
{}

CTenwickApp::~CTenwickApp()
{
    m_frame.reset();
    m_client.reset();
    StopSocketLayer();
}

bool CTenwickApp::start()
{
    m_instance = std::make_unique<SingleInstance>(m_options.instanceName);
    if (m_instance->askRunningInstance())
        return false;
    // A name that can be neither reached nor taken must not stop the client, nor go unnoticed.
    if (!m_instance->claim([this] { raiseTopWindow(); }))
        std::fprintf(stderr, "%s\n",
                     qUtf8Printable(QStringLiteral("Running without the one-instance guard: %1: %2")
                                        .arg(m_options.instanceName, m_instance->claimFailure())));

    if (!StartSocketLayer()) {
        m_seam.messageBox("无法初始化网络环境，程序已结束");
        return false;
    }
    Ipv4Address address;
    if (!ResolveIpv4(m_options.serviceHost, address)) {
        m_seam.messageBox("无法连接服务器，请检查网络");
        StopSocketLayer();
        return false;
    }
    m_options.endpoint.address = address;

    CDlgLogin login(m_options.endpoint, m_session, m_options.folder, m_seam);
    m_login = &login;
    const int result = login.exec();
    m_login = nullptr;
    if (result != QDialog::Accepted) {
        StopSocketLayer();
        return false;
    }

    m_client = std::make_unique<ClientSession>(ServerLink(m_options.endpoint, m_session, m_seam),
                                               m_options.folder, m_events);
    m_frame = std::make_unique<CMainFrame>(*m_client, m_events);
    m_frame->setRestartHandler([this] { restart(); });
    m_frame->showMaximized();
    m_frame->startTrading();
    return true;
}

void CTenwickApp::raiseTopWindow()
{
    QWidget *top = m_login ? static_cast<QWidget *>(m_login.data()) : m_frame.get();
    if (top == nullptr)
        return;
    top->showNormal();
    top->raise();
    top->activateWindow();
}

void CTenwickApp::restart()
{
    if (m_frame)
        m_frame->closeForRestart();
    m_instance->release();
    m_startProgram();
    QCoreApplication::quit();
}

} // namespace qs::ui
