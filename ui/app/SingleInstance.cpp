#include "ui/app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace qs::ui {

namespace {
constexpr int kAnswerWaitMs = 1000;
const QByteArray kRaiseRequest = "raise\n";
} // namespace

SingleInstance::SingleInstance(QString name, QObject *parent)
    : QObject(parent)
    , m_name(std::move(name))
{}

SingleInstance::~SingleInstance()
{
    release();
}

bool SingleInstance::askRunningInstance()
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kAnswerWaitMs))
        return false;
    socket.write(kRaiseRequest);
    if (!socket.waitForBytesWritten(kAnswerWaitMs))
        return false;
    // The running instance answers once it has raised its window.
    return socket.waitForReadyRead(kAnswerWaitMs);
}

bool SingleInstance::claim(std::function<void()> raise)
{
    m_raise = std::move(raise);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // A crashed instance leaves its socket file behind; nobody answered on it.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::readyRead, peer, [this, peer] {
                if (!peer->readAll().startsWith(kRaiseRequest.trimmed()))
                    return;
                if (m_raise)
                    m_raise();
                peer->write("ok\n");
                peer->flush();
                peer->disconnectFromServer();
            });
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        }
    });
    return true;
}

void SingleInstance::release()
{
    if (m_server == nullptr)
        return;
    m_server->close();
    delete m_server;
    m_server = nullptr;
}

} // namespace qs::ui
