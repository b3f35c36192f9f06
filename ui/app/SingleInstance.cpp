#include "ui/app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace qs::ui {

namespace {
constexpr int kAnswerWaitMs = 1000;
const QByteArray kRaiseRequest = "raise\n";

// Only a missing or refused socket means nobody listens (a crashed instance leaves its file
// behind). A listener that accepts but is slow to read is a running instance with a busy GUI
// thread.
bool NobodyListens(const QString &name)
{
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(kAnswerWaitMs))
        return false;
    return probe.error() == QLocalSocket::ServerNotFoundError
           || probe.error() == QLocalSocket::ConnectionRefusedError;
}
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
    // Connected means an instance runs. A busy one reads the request once its event loop runs
    // again, so a missing answer does not make this start the running instance.
    socket.write(kRaiseRequest);
    socket.waitForBytesWritten(kAnswerWaitMs);
    // An idle one answers once it has raised its window.
    socket.waitForReadyRead(kAnswerWaitMs);
    return true;
}

bool SingleInstance::claim(std::function<void()> raise)
{
    // With access options, listen() renames a fresh socket over the name and so succeeds even
    // over a live instance; two instances would then write the same files.
    if (!NobodyListens(m_name))
        return false;
    m_raise = std::move(raise);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // Nobody listens, so the file is a crashed instance's leftover.
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
