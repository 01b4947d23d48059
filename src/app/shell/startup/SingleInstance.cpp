#include "app/shell/startup/SingleInstance.h"

#include "app/shell/startup/ForwardedArguments.h"
#include "app/support/AppConfig.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vorlix {

namespace {

// A connection that has not sent its whole message by then is dropped.
constexpr int connectionTimeoutMs = 5000;

// True when the process at the other end of the connected socket runs as this user.
bool peerIsThisUser(int descriptor)
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return false;
    return credentials.uid == geteuid();
}

// The socket's address; nothing when the path does not fit.
std::optional<sockaddr_un> addressOf(const QString& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    if (bytes.isEmpty() || std::size_t(bytes.size()) >= sizeof address.sun_path)
        return std::nullopt;
    std::memcpy(address.sun_path, bytes.constData(), std::size_t(bytes.size()));
    return address;
}

int newSocket() { return socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0); }

// Waits until the socket is ready for `events`, at most until `deadline` has run out.
bool waitFor(int descriptor, short events, const QElapsedTimer& clock, std::chrono::milliseconds deadline)
{
    pollfd watched{descriptor, events, 0};
    for (;;) {
        const auto left = deadline.count() - clock.elapsed();
        if (left <= 0)
            return false;
        const int ready = poll(&watched, 1, int(left));
        if (ready > 0)
            return (watched.revents & events) != 0;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

struct Descriptor {
    int fd;
    explicit Descriptor(int descriptor) : fd(descriptor) {}
    ~Descriptor()
    {
        if (fd >= 0)
            close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
};

} // namespace

// One later start's connection, read as its bytes arrive until its message is whole.
class SingleInstance::Connection : public QObject {
public:
    Connection(int descriptor, SingleInstance& owner)
        : QObject(&owner), m_fd(descriptor), m_owner(owner), m_readable(descriptor, QSocketNotifier::Read, this)
    {
        connect(&m_readable, &QSocketNotifier::activated, this, [this] { read(); });
        QTimer::singleShot(connectionTimeoutMs, this, [this] { deleteLater(); });
    }
    ~Connection() override { close(m_fd); }

    void read()
    {
        char chunk[4096];
        for (;;) {
            const ssize_t count = recv(m_fd, chunk, sizeof chunk, 0);
            if (count > 0) {
                m_buffer.append(chunk, count);
                if (m_buffer.size() >= ForwardedArguments::maximumMessageBytes)
                    break;
                continue;
            }
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return finishIfWhole();
            break; // the other end closed, or the connection failed
        }
        finish(true);
    }

private:
    void finishIfWhole()
    {
        if (ForwardedArguments::decode(m_buffer).status != ForwardedArguments::Decoded::Status::incomplete)
            finish(false);
    }

    void finish(bool ended)
    {
        m_readable.setEnabled(false);
        deleteLater();
        if (m_buffer.isEmpty())
            return;
        const ForwardedArguments::Decoded decoded = ForwardedArguments::decode(m_buffer);
        using Status = ForwardedArguments::Decoded::Status;
        if (decoded.status == Status::complete) {
            emit m_owner.argumentsReceived(decoded.arguments);
        } else if (decoded.status == Status::incomplete && ended &&
                   m_buffer.size() < ForwardedArguments::maximumMessageBytes) {
            qWarning("A start of the program ended before handing over all of its arguments");
        } else {
            qWarning("A start of the program handed over an unreadable message; it is ignored");
        }
    }

    int m_fd;
    SingleInstance& m_owner;
    QSocketNotifier m_readable;
    QByteArray m_buffer;
};

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), m_socketPath(std::move(socketPath))
{
}

SingleInstance::~SingleInstance()
{
    if (m_listening >= 0) {
        close(m_listening);
        unlink(QFile::encodeName(m_socketPath).constData());
    }
}

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
    if (!lock.tryLock(int(timeout.count()))) {
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
    unlink(QFile::encodeName(m_socketPath).constData());
    return listen() ? Role::running : Role::failed;
}

SingleInstance::Forwarding SingleInstance::forward(const QStringList& arguments, std::chrono::milliseconds timeout)
{
    const std::optional<sockaddr_un> address = addressOf(m_socketPath);
    if (!address) {
        qWarning("The socket path %s is too long", qPrintable(m_socketPath));
        return Forwarding::failed;
    }
    const Descriptor socket(newSocket());
    if (socket.fd < 0)
        return Forwarding::failed;
    QElapsedTimer clock;
    clock.start();
    if (::connect(socket.fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
        if (errno == ENOENT || errno == ECONNREFUSED)
            return Forwarding::nobodyListens;
        // A listener whose queue is full: wait for room as long as allowed.
        int error = errno;
        if (error == EAGAIN || error == EINPROGRESS) {
            socklen_t size = sizeof error;
            if (!waitFor(socket.fd, POLLOUT, clock, timeout) ||
                getsockopt(socket.fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                error = ETIMEDOUT;
        }
        if (error == ECONNREFUSED)
            return Forwarding::nobodyListens;
        if (error != 0) {
            qWarning("The running instance cannot be reached: %s", std::strerror(error));
            return Forwarding::failed;
        }
    }
    if (!peerIsThisUser(socket.fd)) {
        qWarning("%s belongs to another user", qPrintable(m_socketPath));
        return Forwarding::failed;
    }
    const QByteArray message = ForwardedArguments::encode(arguments);
    qsizetype written = 0;
    while (written < message.size()) {
        const ssize_t count =
            send(socket.fd, message.constData() + written, std::size_t(message.size() - written), MSG_NOSIGNAL);
        if (count > 0) {
            written += count;
        } else if (count < 0 && errno == EINTR) {
            continue;
        } else if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) &&
                   waitFor(socket.fd, POLLOUT, clock, timeout)) {
            continue;
        } else {
            qWarning("The running instance did not take the arguments");
            return Forwarding::failed;
        }
    }
    return Forwarding::delivered;
}

bool SingleInstance::listen()
{
    const std::optional<sockaddr_un> address = addressOf(m_socketPath);
    Descriptor socket(newSocket());
    if (!address || socket.fd < 0)
        return false;
    const QByteArray path = QFile::encodeName(m_socketPath);
    if (bind(socket.fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
        chmod(path.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(socket.fd, 16) != 0) {
        qWarning("Cannot listen on %s: %s", qPrintable(m_socketPath), std::strerror(errno));
        return false;
    }
    m_listening = std::exchange(socket.fd, -1);
    auto* incoming = new QSocketNotifier(m_listening, QSocketNotifier::Read, this);
    connect(incoming, &QSocketNotifier::activated, this, &SingleInstance::accept);
    return true;
}

void SingleInstance::accept()
{
    for (;;) {
        const int descriptor = accept4(m_listening, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (descriptor < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return;
        }
        if (!peerIsThisUser(descriptor)) {
            close(descriptor);
            continue;
        }
        (new Connection(descriptor, *this))->read();
    }
}

} // namespace vorlix
