#include "ui/app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

#ifdef _WIN32
#include <windows.h>

#include <sddl.h>

#include <vector>
#else
#include <unistd.h>
#endif

namespace qs::ui {

namespace {
constexpr int kAnswerWaitMs = 1000;
const QByteArray kRaiseRequest = "raise\n";

// Only a missing or refused socket means nobody listens (a crashed instance leaves its file
// behind). A listener that accepts but is slow to read is a running instance with a busy GUI
// thread. Otherwise why tells who or what holds the name.
bool NobodyListens(const QString &name, QString &why)
{
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(kAnswerWaitMs)) {
        why = QStringLiteral("a running instance holds it");
        return false;
    }
    why = probe.errorString();
    return probe.error() == QLocalSocket::ServerNotFoundError
           || probe.error() == QLocalSocket::ConnectionRefusedError;
}

#ifdef _WIN32
// The account's SID: unlike the user name it is unique across domains and holds no characters a
// pipe name might not take.
QString CurrentUserId()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    QString id;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    LPWSTR text = nullptr;
    if (size != 0 && GetTokenInformation(token, TokenUser, user.data(), size, &size)
        && ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(user.data())->User.Sid, &text)) {
        id = QString::fromWCharArray(text);
        LocalFree(text);
    }
    CloseHandle(token);
    return id;
}
#else
QString CurrentUserId()
{
    return QString::number(::getuid());
}
#endif
} // namespace

QString InstanceNameFor(const QString &userId)
{
    const QString base = QStringLiteral("QS_TW_CLIENT");
    return userId.isEmpty() ? base : base + u'-' + userId;
}

QString DefaultInstanceName()
{
    return InstanceNameFor(CurrentUserId());
}

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
    if (!NobodyListens(m_name, m_claimFailure))
        return false;
    m_raise = std::move(raise);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // Nobody listens, so the file is a crashed instance's leftover.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name)) {
            // A directory or another user's file: neither can be removed nor replaced.
            m_claimFailure = m_server->errorString();
            return false;
        }
    }
    m_claimFailure.clear();
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
