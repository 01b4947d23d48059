#pragma once
// One running instance per user. The first start of the program becomes the running
// instance and listens on a local socket in the user's private runtime folder; every
// later start hands its arguments (ForwardedArguments) to it over that socket and ends.
//
// A socket file left behind by an instance that died is taken over. A lock file beside
// the socket keeps two starts at the same moment from both becoming the running one.
// Both ends check that the other end belongs to the same user. Plain sockets: the
// program's start should not load a network library for this.

#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>

namespace vorlix {

class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Role {
        running,   // this start listens: it is the running instance
        forwarded, // the arguments went to the running instance: this start should end
        failed,    // neither: no running instance took them and this one cannot listen
    };

    // `socketPath`: an absolute path; by default `defaultSocketPath()`.
    explicit SingleInstance(QString socketPath = defaultSocketPath(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // "<runtime folder>/org.vorlix.Vorlix-<user id>.socket", the runtime folder being
    // $XDG_RUNTIME_DIR or the private folder Qt makes in its place.
    static QString defaultSocketPath();

    // Becomes the running instance, or hands `arguments` to the one already running.
    // Waits at most `timeout` for the other instance or the lock.
    Role start(const QStringList& arguments, std::chrono::milliseconds timeout = std::chrono::seconds(3));

    QString socketPath() const { return m_socketPath; }

signals:
    // Arguments a later start handed over, once its whole message has arrived.
    void argumentsReceived(const QStringList& arguments);

private:
    class Connection;
    enum class Forwarding { delivered, nobodyListens, failed };
    Forwarding forward(const QStringList& arguments, std::chrono::milliseconds timeout);
    bool listen();
    void accept();

    QString m_socketPath;
    int m_listening = -1; // the listening socket, once this start is the running instance
};

} // namespace vorlix
