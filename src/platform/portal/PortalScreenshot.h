#pragma once
// One full-screen picture taken through the desktop portal (org.freedesktop.portal.Screenshot
// on the session bus), the way Wayland sessions allow a capture: area and full-screen
// captures run their frozen overlay on this picture.
//
// A request is asynchronous: `request` returns at once and the completion handler runs later
// on the main thread, exactly once, with the picture or a typed error carrying its Italian
// message; after `cancel` (or the object's end) it does not run at all. One request at a
// time: a new one cancels the one under way. The picture is loaded as the portal wrote it,
// in device pixels of the whole desktop; the portal's file is left where it is.

#include <QDBusConnection>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QProcessEnvironment>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <variant>

class QDBusPendingCallWatcher;

namespace vorlix {

// Why a portal capture gave no picture.
enum class PortalScreenshotErrorKind {
    refused,     // the user or the desktop said no (responses 1 and 2)
    timedOut,    // no answer within the timeout
    unavailable, // no portal on the bus, or it does not offer screenshots
    badPicture,  // the answer names no readable local picture
};

struct PortalScreenshotError {
    PortalScreenshotErrorKind kind = PortalScreenshotErrorKind::unavailable;
    QString message; // Italian, for an alert

    bool operator==(const PortalScreenshotError&) const = default;
};

using PortalScreenshotResult = std::variant<QImage, PortalScreenshotError>;

// The Italian message shown for each kind of failure.
QString portalScreenshotMessage(PortalScreenshotErrorKind kind);

// Whether the desktop session is Wayland, where X11 grabs through XWayland see nothing:
// XDG_SESSION_TYPE says so when it names "wayland" or "x11"; otherwise a set WAYLAND_DISPLAY does.
bool isWaylandSession(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// What a Wayland session answers to the captures it cannot do.
inline constexpr const char16_t* waylandWindowCaptureMessage =
    u"In una sessione Wayland non è possibile catturare una singola finestra.";
inline constexpr const char16_t* waylandScrollingCaptureMessage =
    u"In una sessione Wayland non è possibile eseguire la cattura a scorrimento.";

class PortalScreenshot : public QObject {
    Q_OBJECT
public:
    using Completion = std::function<void(PortalScreenshotResult)>;

    static constexpr std::chrono::milliseconds defaultTimeout{30000};
    // Larger files are refused unread: even a wall of 8K screens stays well below it.
    static constexpr std::int64_t maximumFileSize = 512LL * 1024 * 1024;

    explicit PortalScreenshot(QDBusConnection connection = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~PortalScreenshot() override;

    // How long the portal may take to answer; the user may be asked first, so be generous.
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    std::chrono::milliseconds timeout() const { return m_timeout; }

    void request(Completion done);
    // Forgets the request under way (its handler never runs) and asks the portal to close it.
    void cancel();
    bool isRunning() const { return static_cast<bool>(m_done); }

    // The object path on which the portal answers a request made with `token` by `sender`
    // (a unique bus name such as ":1.42").
    static QString requestPath(const QString& sender, const QString& token);

private slots:
    void onResponse(uint response, const QVariantMap& results);

private:
    void onCallFinished(QDBusPendingCallWatcher* watcher);
    void subscribe(const QString& path);
    void unsubscribe();
    void closeRequest();
    void loadPicture(const QString& uri);
    void finish(PortalScreenshotResult result);
    void fail(PortalScreenshotErrorKind kind) { finish(PortalScreenshotError{kind, portalScreenshotMessage(kind)}); }

    QDBusConnection m_connection;
    std::chrono::milliseconds m_timeout = defaultTimeout;
    Completion m_done;
    QString m_requestPath; // where Response is awaited; empty when nothing is subscribed
    QTimer m_timer;
    // Counts requests, so an answer or a decoded picture of an earlier request is dropped.
    std::uint64_t m_generation = 0;
    QPointer<QDBusPendingCallWatcher> m_call;
};

} // namespace vorlix
