#include "app/shell/startup/SingleInstance.h"

#include "support/EventLoopWaits.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

using namespace vorlix;
using namespace vorlix::test;
using Role = SingleInstance::Role;

namespace {

struct SingleInstanceInFolder : testing::Test {
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("instance.socket"));
};

// A socket file as a process leaves it when it dies: bound, nobody listening.
bool leaveStaleSocket(const QString& path)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = path.toLocal8Bit();
    std::memcpy(address.sun_path, bytes.constData(), bytes.size());
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return bound && QFileInfo::exists(path);
}

} // namespace

TEST_F(SingleInstanceInFolder, ALaterStartHandsItsArgumentsToTheRunningOne)
{
    SingleInstance first(path);
    QSignalSpy received(&first, &SingleInstance::argumentsReceived);
    ASSERT_EQ(first.start({QStringLiteral("/ignored/for/the/first.png")}), Role::running);

    const QStringList arguments{QStringLiteral("vorlix://capture/screen"), QStringLiteral("/tmp/perché sì.png")};
    SingleInstance second(path);
    EXPECT_EQ(second.start(arguments), Role::forwarded);
    SingleInstance third(path);
    EXPECT_EQ(third.start({}), Role::forwarded);

    ASSERT_TRUE(waitUntil([&] { return received.size() == 2; }));
    EXPECT_EQ(received.at(0).at(0).toStringList(), arguments);
    EXPECT_EQ(received.at(1).at(0).toStringList(), QStringList());
}

TEST_F(SingleInstanceInFolder, ASocketLeftByADeadInstanceIsTakenOver)
{
    ASSERT_TRUE(leaveStaleSocket(path));
    SingleInstance first(path);
    QSignalSpy received(&first, &SingleInstance::argumentsReceived);
    ASSERT_EQ(first.start({}), Role::running);

    SingleInstance second(path);
    EXPECT_EQ(second.start({QStringLiteral("vorlix://capture/area")}), Role::forwarded);
    ASSERT_TRUE(waitUntil([&] { return received.size() == 1; }));
    EXPECT_EQ(received.at(0).at(0).toStringList(), QStringList{QStringLiteral("vorlix://capture/area")});
}

TEST_F(SingleInstanceInFolder, GarbageOnTheSocketIsIgnoredAndTheNextStartStillGetsThrough)
{
    SingleInstance first(path);
    QSignalSpy received(&first, &SingleInstance::argumentsReceived);
    ASSERT_EQ(first.start({}), Role::running);

    QLocalSocket stranger;
    stranger.connectToServer(path);
    ASSERT_TRUE(stranger.waitForConnected(1000));
    stranger.write(QByteArray("\xff\xff\xff\xff garbage", 12));
    stranger.waitForBytesWritten(1000);
    QLocalSocket halfway;
    halfway.connectToServer(path);
    ASSERT_TRUE(halfway.waitForConnected(1000));
    halfway.write(QByteArray("\0\0\0\1\0\0\0\10vor", 11));
    halfway.waitForBytesWritten(1000);
    halfway.disconnectFromServer();

    SingleInstance second(path);
    EXPECT_EQ(second.start({QStringLiteral("vorlix://capture/window")}), Role::forwarded);
    ASSERT_TRUE(waitUntil([&] { return received.size() == 1; }));
    processEventsFor(std::chrono::milliseconds(50));
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received.at(0).at(0).toStringList(), QStringList{QStringLiteral("vorlix://capture/window")});
    EXPECT_TRUE(waitUntil([&] { return stranger.state() == QLocalSocket::UnconnectedState; }));
}

TEST(SingleInstance, TheDefaultSocketLiesInTheUsersRuntimeFolder)
{
    QTemporaryDir runtime;
    const QByteArray before = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    EXPECT_EQ(SingleInstance::defaultSocketPath(),
              runtime.path() + QStringLiteral("/org.vorlix.Vorlix-%1.socket").arg(geteuid()));
    if (before.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", before);
}
