#include "app/shell/startup/SingleInstance.h"

#include "app/shell/startup/ForwardedArguments.h"
#include "app/support/AppConfig.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

#include <sys/socket.h>
#include <unistd.h>

namespace vorlix {

namespace {

// A connection that has not sent its whole message by then is dropped.
constexpr int connectionTimeoutMs = 5000;

const char* const bufferProperty = "vorlixForwardedBytes";

// True when the process at the other end of the connected socket runs as this user.
bool peerIsThisUser(qintptr descriptor)
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return false;
    return credentials.uid == geteuid();
}

int milliseconds(std::chrono::milliseconds duration) { return static_cast<int>(duration.count()); }

} // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), m_socketPath(std::move(socketPath))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultSocketPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStringLiteral("/tmp");
    return folder + u'/' + QString::fromLatin1(AppConfig::applicationId) + u'-' + QString::number(geteuid()) +
           QStringLiteral(".socket");
}

SingleInstance::Role SingleInstance::start(const QStringList& arguments, std::chrono::milliseconds timeout)
{
    QLockFile lock(m_socketPath + QStringLiteral(".lock"));
    if (!lock.tryLock(milliseconds(timeout))) {
        qWarning("Another start of the program holds %s", qPrintable(lock.fileName()));
        return Role::failed;
    }
    switch (forward(arguments, timeout)) {
    case Forwarding::delivered:
        return Role::forwarded;
    case Forwarding::failed:
        return Role::failed;
    case Forwarding::nobodyListens:
        break;
    }
    // Nobody answers on a socket file that is there: an instance before us died.
    if (QFileInfo::exists(m_socketPath))
        QLocalServer::removeServer(m_socketPath);
    return listen() ? Role::running : Role::failed;
}

SingleInstance::Forwarding SingleInstance::forward(const QStringList& arguments, std::chrono::milliseconds timeout)
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(milliseconds(timeout))) {
        switch (socket.error()) {
        case QLocalSocket::ServerNotFoundError:
        case QLocalSocket::ConnectionRefusedError:
            return Forwarding::nobodyListens;
        default:
            qWarning("The running instance cannot be reached: %s", qPrintable(socket.errorString()));
            return Forwarding::failed;
        }
    }
    if (!peerIsThisUser(socket.socketDescriptor())) {
        qWarning("%s belongs to another user", qPrintable(m_socketPath));
        return Forwarding::failed;
    }
    socket.write(ForwardedArguments::encode(arguments));
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(milliseconds(timeout))) {
            qWarning("The running instance did not take the arguments: %s", qPrintable(socket.errorString()));
            return Forwarding::failed;
        }
    socket.disconnectFromServer();
    return Forwarding::delivered;
}

bool SingleInstance::listen()
{
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_socketPath)) {
        qWarning("Cannot listen on %s: %s", qPrintable(m_socketPath), qPrintable(server->errorString()));
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::accept);
    return true;
}

void SingleInstance::accept()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (!peerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            read(socket);
            if (!socket->property(bufferProperty).toByteArray().isEmpty())
                qWarning("A start of the program ended before handing over all of its arguments");
            socket->deleteLater();
        });
        QTimer::singleShot(connectionTimeoutMs, socket, [socket] { socket->abort(); });
        read(socket);
    }
}

void SingleInstance::read(QLocalSocket* socket)
{
    QByteArray buffer = socket->property(bufferProperty).toByteArray() + socket->readAll();
    if (buffer.isEmpty())
        return;
    const ForwardedArguments::Decoded decoded = ForwardedArguments::decode(buffer);
    using Status = ForwardedArguments::Decoded::Status;
    if (decoded.status == Status::incomplete && buffer.size() < ForwardedArguments::maximumMessageBytes) {
        socket->setProperty(bufferProperty, buffer);
        return;
    }
    socket->setProperty(bufferProperty, QByteArray());
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    if (decoded.status != Status::complete) {
        qWarning("A start of the program handed over an unreadable message; it is ignored");
        return;
    }
    emit argumentsReceived(decoded.arguments);
}

} // namespace vorlix
