#pragma once

#include "core/platform/DataFolder.h"
#include "core/protocol/Session.h"
#include "ui/app/CDlgLogin.h"
#include "ui/app/ClientEventPoster.h"
#include "ui/app/SingleInstance.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>

namespace qs {
class ClientSession;
class DesktopSeam;
} // namespace qs

namespace qs::ui {

class CMainFrame;
class SingleInstance;

// The application object: start-up in its fixed order, the session, and restart.
class CTenwickApp : public QObject {
    Q_OBJECT

public:
    struct Options {
        std::string serviceHost; // resolved once into the endpoint's address
        ServerEndpoint endpoint; // ports; the address is filled by start-up
        DataFolder folder;
        QString instanceName = DefaultInstanceName();
        QStringList programArguments; // what a restart starts the program with
    };

    CTenwickApp(Options options, DesktopSeam &seam, QObject *parent = nullptr);
    ~CTenwickApp() override;

    // Runs start-up up to the shown main frame. False: the program ends (the reason has been
    // shown, or another instance was raised, or the login was cancelled).
    bool start();

    // Closes the frame without prompt or logout notice, frees the instance name, starts a fresh
    // instance and quits this one.
    void restart();

    const Session &session() const { return m_session; }
    const ServerEndpoint &endpoint() const { return m_options.endpoint; }
    CMainFrame *mainFrame() const { return m_frame.get(); }
    // The logged-in client's state; null before the login and after exit.
    ClientSession *clientSession() const { return m_client.get(); }
    CDlgLogin *loginDialog() const { return m_login; }

    // What restart() starts; tests replace it.
    void setProgramStarter(std::function<void()> starter) { m_startProgram = std::move(starter); }

private:
    void raiseTopWindow();

    Options m_options;
    DesktopSeam &m_seam;
    Session m_session;
    // Outlives the client session, whose worker threads post through it.
    ClientEventPoster m_events;
    std::unique_ptr<ClientSession> m_client;
    std::unique_ptr<SingleInstance> m_instance;
    QPointer<CDlgLogin> m_login;
    std::unique_ptr<CMainFrame> m_frame;
    std::function<void()> m_startProgram;
};

} // namespace qs::ui
