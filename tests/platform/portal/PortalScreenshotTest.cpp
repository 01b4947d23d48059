// The portal capture against a fake portal on a private session bus: real D-Bus traffic
// between two connections, the fake answering as the desktop's portal does.

#include "platform/portal/PortalScreenshot.h"
#include "support/desktop/ChildProcess.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <optional>
#include <stdexcept>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

// The fakes need moc, which does not reach into anonymous namespaces.
namespace vorlix::portaltest {

const QString portalPath = u"/org/freedesktop/portal/desktop"_s;

// A session bus of the test's own: no service files, so nothing real gets started on it.
class PrivateBus {
public:
    PrivateBus()
    {
        if (!m_dir.isValid())
            throw std::runtime_error("no temporary folder");
        const QString config = m_dir.filePath(u"bus.conf"_s);
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write the bus configuration");
        file.write(QStringLiteral("<busconfig>\n"
                                  "  <type>session</type>\n"
                                  "  <listen>unix:dir=%1</listen>\n"
                                  "  <auth>EXTERNAL</auth>\n"
                                  "  <policy context=\"default\">\n"
                                  "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                                  "    <allow eavesdrop=\"true\"/>\n"
                                  "    <allow own=\"*\"/>\n"
                                  "  </policy>\n"
                                  "</busconfig>\n")
                       .arg(m_dir.path())
                       .toUtf8());
        file.close();

        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        m_daemon = test::ChildProcess("dbus-daemon",
                                      {"--config-file=" + config.toStdString(), "--nofork", "--print-address=3"},
                                      {.environment = {}, .passAsFd3 = fds[1]});
        close(fds[1]);
        m_address = readLine(fds[0]);
        close(fds[0]);
        if (m_address.isEmpty())
            throw std::runtime_error("dbus-daemon gave no address");
    }

    QString address() const { return m_address; }

private:
    static QString readLine(int fd)
    {
        QByteArray line;
        pollfd poller{.fd = fd, .events = POLLIN, .revents = 0};
        while (!line.endsWith('\n') && poll(&poller, 1, 5000) > 0) {
            char buffer[256];
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            line.append(buffer, n);
        }
        return QString::fromUtf8(line).trimmed();
    }

    QTemporaryDir m_dir;
    test::ChildProcess m_daemon;
    QString m_address;
};

// How the fake portal answers a Screenshot call.
enum class Timing {
    beforeReply, // Response on the path made of the token, before the call returns
    onOwnHandle, // as older portals: a path of its own, returned, answered afterwards
    never,       // no Response at all
};

struct Answer {
    Timing timing = Timing::beforeReply;
    uint response = 0;
    QVariantMap results;
};

// The request object of one call, counting the Close calls it gets.
class FakeRequest : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")
public:
    int closes = 0;

public slots:
    void Close() { ++closes; }
};

class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
public:
    explicit FakePortal(QDBusConnection connection) : m_connection(std::move(connection)) {}

    Answer answer;
    QString parentWindow;
    QVariantMap options;
    QString requestPath;
    FakeRequest request;

public slots:
    QDBusObjectPath Screenshot(const QString& parent, const QVariantMap& callOptions, const QDBusMessage& message)
    {
        parentWindow = parent;
        options = callOptions;
        requestPath =
            answer.timing == Timing::onOwnHandle
                ? portalPath + u"/request/elsewhere/42"_s
                : PortalScreenshot::requestPath(message.service(), callOptions.value(u"handle_token"_s).toString());
        m_connection.registerObject(requestPath, &request, QDBusConnection::ExportAllSlots);
        switch (answer.timing) {
        case Timing::beforeReply:
            respond();
            break;
        case Timing::onOwnHandle:
            QTimer::singleShot(20, this, &FakePortal::respond);
            break;
        case Timing::never:
            break;
        }
        return QDBusObjectPath(requestPath);
    }

private:
    void respond()
    {
        QDBusMessage signal =
            QDBusMessage::createSignal(requestPath, u"org.freedesktop.portal.Request"_s, u"Response"_s);
        signal << answer.response << answer.results;
        m_connection.send(signal);
    }

    QDBusConnection m_connection;
};

class PortalScreenshotTest : public testing::Test {
protected:
    void SetUp() override
    {
        static int count = 0;
        m_serviceName = u"portal-%1"_s.arg(++count);
        m_clientName = u"client-%1"_s.arg(count);
        m_portalConnection.emplace(QDBusConnection::connectToBus(m_bus.address(), m_serviceName));
        m_clientConnection.emplace(QDBusConnection::connectToBus(m_bus.address(), m_clientName));
        ASSERT_TRUE(m_portalConnection->isConnected()) << qPrintable(m_portalConnection->lastError().message());
        ASSERT_TRUE(m_clientConnection->isConnected());
        m_portal = std::make_unique<FakePortal>(*m_portalConnection);
    }

    void TearDown() override
    {
        m_portal.reset();
        m_portalConnection.reset();
        m_clientConnection.reset();
        QDBusConnection::disconnectFromBus(m_serviceName);
        QDBusConnection::disconnectFromBus(m_clientName);
    }

    void startPortal()
    {
        ASSERT_TRUE(m_portalConnection->registerObject(portalPath, m_portal.get(), QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(m_portalConnection->registerService(u"org.freedesktop.portal.Desktop"_s));
    }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_files.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static QVariantMap pictureAt(const QString& path) { return {{u"uri"_s, QUrl::fromLocalFile(path).toString()}}; }

    // Runs the event loop until the request completes, at most `limit`.
    static std::optional<PortalScreenshotResult> await(PortalScreenshot& portal, std::chrono::milliseconds limit = 5s)
    {
        std::optional<PortalScreenshotResult> result;
        QEventLoop loop;
        portal.request([&](PortalScreenshotResult r) {
            result = std::move(r);
            loop.quit();
        });
        QTimer::singleShot(limit, &loop, &QEventLoop::quit);
        loop.exec();
        return result;
    }

    static void spin(std::chrono::milliseconds duration)
    {
        QEventLoop loop;
        QTimer::singleShot(duration, &loop, &QEventLoop::quit);
        loop.exec();
    }

    static void expectError(const std::optional<PortalScreenshotResult>& result, PortalScreenshotErrorKind kind)
    {
        ASSERT_TRUE(result.has_value()) << "the request never completed";
        const auto* error = std::get_if<PortalScreenshotError>(&*result);
        ASSERT_NE(error, nullptr) << "a picture arrived";
        EXPECT_EQ(error->kind, kind);
        EXPECT_EQ(error->message, portalScreenshotMessage(kind));
        EXPECT_FALSE(error->message.isEmpty());
    }

    PrivateBus m_bus;
    QTemporaryDir m_files;
    QString m_serviceName;
    QString m_clientName;
    std::optional<QDBusConnection> m_portalConnection;
    std::optional<QDBusConnection> m_clientConnection;
    std::unique_ptr<FakePortal> m_portal;
};

QImage testPicture()
{
    QImage image(7, 5, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x * 30, y * 50, 200 - x * y, 255));
    return image;
}

TEST_F(PortalScreenshotTest, PictureOfThePortalArrivesDecodedAndStaysOnDisk)
{
    startPortal();
    const QImage expected = testPicture();
    // Portals write the file name as it is or percent-encoded.
    const QString path = m_files.filePath(u"Schermata dell'11 dicembre – città.png"_s);
    ASSERT_TRUE(expected.save(path, "PNG"));
    const QUrl url = QUrl::fromLocalFile(path);

    struct Case {
        const char* name;
        Timing timing;
        QString uri;
    };
    const Case cases[] = {
        {"answer before the reply", Timing::beforeReply, url.toString(QUrl::FullyEncoded)},
        {"answer on the returned handle", Timing::onOwnHandle, url.toString(QUrl::FullyEncoded)},
        {"file name not encoded", Timing::beforeReply, u"file://"_s + path},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_portal->answer = {.timing = c.timing, .response = 0, .results = {{u"uri"_s, c.uri}}};
        PortalScreenshot portal(*m_clientConnection);
        const auto result = await(portal);
        ASSERT_TRUE(result.has_value());
        const auto* image = std::get_if<QImage>(&*result);
        ASSERT_NE(image, nullptr) << qPrintable(std::get<PortalScreenshotError>(*result).message);
        EXPECT_EQ(image->convertToFormat(QImage::Format_ARGB32), expected);
        EXPECT_FALSE(portal.isRunning());
        EXPECT_TRUE(QFile::exists(path));
    }
    // A non-interactive, non-modal request without a parent window.
    EXPECT_EQ(m_portal->parentWindow, QString());
    EXPECT_EQ(m_portal->options.value(u"interactive"_s), QVariant(false));
    EXPECT_EQ(m_portal->options.value(u"modal"_s), QVariant(false));
    EXPECT_FALSE(m_portal->options.value(u"handle_token"_s).toString().isEmpty());
}

TEST_F(PortalScreenshotTest, RefusalsAndUnreadableAnswersAreErrors)
{
    startPortal();
    const QString garbage = writeFile(u"garbage.png"_s, "not a picture at all");
    const QString empty = writeFile(u"empty.png"_s, {});
    struct Case {
        const char* name;
        uint response;
        QVariantMap results;
        PortalScreenshotErrorKind kind;
    };
    const Case cases[] = {
        {"cancelled by the user", 1, pictureAt(garbage), PortalScreenshotErrorKind::refused},
        {"ended otherwise", 2, {}, PortalScreenshotErrorKind::refused},
        {"no uri", 0, {}, PortalScreenshotErrorKind::badPicture},
        {"uri of another type", 0, {{u"uri"_s, 42}}, PortalScreenshotErrorKind::badPicture},
        {"remote uri", 0, {{u"uri"_s, u"http://127.0.0.1/shot.png"_s}}, PortalScreenshotErrorKind::badPicture},
        {"missing file", 0, pictureAt(m_files.filePath(u"none.png"_s)), PortalScreenshotErrorKind::badPicture},
        {"folder", 0, pictureAt(m_files.path()), PortalScreenshotErrorKind::badPicture},
        {"empty file", 0, pictureAt(empty), PortalScreenshotErrorKind::badPicture},
        {"not a picture", 0, pictureAt(garbage), PortalScreenshotErrorKind::badPicture},
    };
    PortalScreenshot portal(*m_clientConnection);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_portal->answer = {.timing = Timing::beforeReply, .response = c.response, .results = c.results};
        expectError(await(portal), c.kind);
    }
    EXPECT_TRUE(QFile::exists(garbage));
}

TEST_F(PortalScreenshotTest, SilentPortalTimesOutAndIsAskedToClose)
{
    startPortal();
    m_portal->answer = {.timing = Timing::never, .response = 0, .results = {}};
    PortalScreenshot portal(*m_clientConnection);
    portal.setTimeout(800ms);
    QElapsedTimer clock;
    clock.start();
    expectError(await(portal), PortalScreenshotErrorKind::timedOut);
    EXPECT_GE(clock.elapsed(), 700); // a coarse timer may fire up to 5 % early
    spin(100ms);
    EXPECT_EQ(m_portal->request.closes, 1);
}

TEST_F(PortalScreenshotTest, ResponseFromAnotherSenderIsIgnored)
{
    startPortal();
    const QString path = m_files.filePath(u"forged.png"_s);
    ASSERT_TRUE(testPicture().save(path));
    m_portal->answer = {.timing = Timing::never, .response = 0, .results = {}};
    PortalScreenshot portal(*m_clientConnection);
    portal.setTimeout(800ms);
    std::optional<PortalScreenshotResult> result;
    portal.request([&](PortalScreenshotResult r) { result = std::move(r); });
    spin(200ms);
    ASSERT_FALSE(m_portal->requestPath.isEmpty());

    const QString forgerName = m_clientName + u"-forger"_s;
    {
        QDBusConnection forger = QDBusConnection::connectToBus(m_bus.address(), forgerName);
        QDBusMessage signal =
            QDBusMessage::createSignal(m_portal->requestPath, u"org.freedesktop.portal.Request"_s, u"Response"_s);
        signal << uint(0) << pictureAt(path);
        ASSERT_TRUE(forger.send(signal));
        spin(1500ms);
    }
    QDBusConnection::disconnectFromBus(forgerName);
    expectError(result, PortalScreenshotErrorKind::timedOut);
}

TEST_F(PortalScreenshotTest, WithoutPortalTheRequestFailsAtOnce)
{
    PortalScreenshot portal(*m_clientConnection);
    QElapsedTimer clock;
    clock.start();
    expectError(await(portal), PortalScreenshotErrorKind::unavailable);
    EXPECT_LT(clock.elapsed(), 5000);

    // Nor on a connection that is not connected.
    PortalScreenshot nowhere(QDBusConnection(u"never-connected"_s));
    expectError(await(nowhere), PortalScreenshotErrorKind::unavailable);
}

TEST_F(PortalScreenshotTest, CancelledRequestNeverCompletesAndIsClosed)
{
    startPortal();
    m_portal->answer = {.timing = Timing::never, .response = 0, .results = {}};
    PortalScreenshot portal(*m_clientConnection);
    portal.setTimeout(300ms);
    bool completed = false;
    portal.request([&](PortalScreenshotResult) { completed = true; });
    spin(100ms);
    EXPECT_TRUE(portal.isRunning());
    portal.cancel();
    EXPECT_FALSE(portal.isRunning());
    spin(600ms);
    EXPECT_FALSE(completed);
    EXPECT_EQ(m_portal->request.closes, 1);

    // A picture answered while the request is cancelled does not arrive either.
    const QString path = m_files.filePath(u"late.png"_s);
    ASSERT_TRUE(testPicture().save(path));
    m_portal->answer = {.timing = Timing::onOwnHandle, .response = 0, .results = pictureAt(path)};
    portal.request([&](PortalScreenshotResult) { completed = true; });
    portal.cancel();
    spin(300ms);
    EXPECT_FALSE(completed);
}

TEST(WaylandSession, FollowsTheSessionTypeThenTheWaylandDisplay)
{
    struct Case {
        const char* sessionType;
        const char* waylandDisplay;
        bool wayland;
    };
    const Case cases[] = {
        {"wayland", nullptr, true},   {"Wayland", "wayland-0", true},
        {"x11", nullptr, false},      {"x11", "wayland-1", false}, // a nested compositor inside an X11 session
        {nullptr, "wayland-0", true}, {"tty", "", false},
        {nullptr, nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.sessionType ? c.sessionType : "-") << " "
                                        << (c.waylandDisplay ? c.waylandDisplay : "-"));
        QProcessEnvironment environment;
        if (c.sessionType)
            environment.insert(u"XDG_SESSION_TYPE"_s, QString::fromUtf8(c.sessionType));
        if (c.waylandDisplay)
            environment.insert(u"WAYLAND_DISPLAY"_s, QString::fromUtf8(c.waylandDisplay));
        EXPECT_EQ(isWaylandSession(environment), c.wayland);
    }
}

} // namespace vorlix::portaltest

#include "PortalScreenshotTest.moc"
