#include "platform/portal/PortalScreenshot.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QImageReader>
#include <QRandomGenerator>
#include <QThreadPool>
#include <QUrl>

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

const QString portalService = u"org.freedesktop.portal.Desktop"_s;
const QString portalPath = u"/org/freedesktop/portal/desktop"_s;
const QString screenshotInterface = u"org.freedesktop.portal.Screenshot"_s;
const QString requestInterface = u"org.freedesktop.portal.Request"_s;

// Reads the picture the portal wrote; runs on a worker thread.
PortalScreenshotResult readPicture(const QString& uri)
{
    // Some portals leave spaces and accents of the file name unencoded.
    const QUrl url(uri, QUrl::TolerantMode);
    if (!url.isValid() || !url.isLocalFile())
        return PortalScreenshotError{PortalScreenshotErrorKind::badPicture,
                                     portalScreenshotMessage(PortalScreenshotErrorKind::badPicture)};
    const QFileInfo file(url.toLocalFile());
    if (!file.isFile() || file.size() <= 0 || file.size() > PortalScreenshot::maximumFileSize)
        return PortalScreenshotError{PortalScreenshotErrorKind::badPicture,
                                     portalScreenshotMessage(PortalScreenshotErrorKind::badPicture)};
    QImageReader reader(file.filePath());
    // A desktop of several large screens goes past Qt's default allocation limit.
    reader.setAllocationLimit(1024);
    QImage image = reader.read();
    if (image.isNull())
        return PortalScreenshotError{PortalScreenshotErrorKind::badPicture,
                                     portalScreenshotMessage(PortalScreenshotErrorKind::badPicture)};
    return image;
}

PortalScreenshotErrorKind kindOfCallError(const QString& name)
{
    if (name == "org.freedesktop.DBus.Error.AccessDenied"_L1 || name == "org.freedesktop.portal.Error.NotAllowed"_L1)
        return PortalScreenshotErrorKind::refused;
    if (name == "org.freedesktop.DBus.Error.NoReply"_L1 || name == "org.freedesktop.DBus.Error.Timeout"_L1)
        return PortalScreenshotErrorKind::timedOut;
    return PortalScreenshotErrorKind::unavailable;
}

} // namespace

QString portalScreenshotMessage(PortalScreenshotErrorKind kind)
{
    switch (kind) {
    case PortalScreenshotErrorKind::refused:
        return u"La sessione non consente di catturare lo schermo."_s;
    case PortalScreenshotErrorKind::timedOut:
        return u"Il portale del desktop non ha risposto in tempo alla richiesta di cattura dello schermo."_s;
    case PortalScreenshotErrorKind::unavailable:
        return u"Il portale del desktop non è disponibile: in questa sessione non è possibile catturare lo schermo."_s;
    case PortalScreenshotErrorKind::badPicture:
        return u"L'immagine dello schermo ricevuta dal portale del desktop non è leggibile."_s;
    }
    return {};
}

bool isWaylandSession(const QProcessEnvironment& environment)
{
    const QString type = environment.value(u"XDG_SESSION_TYPE"_s).trimmed().toLower();
    if (type == "wayland"_L1)
        return true;
    if (type == "x11"_L1)
        return false;
    return !environment.value(u"WAYLAND_DISPLAY"_s).isEmpty();
}

PortalScreenshot::PortalScreenshot(QDBusConnection connection, QObject* parent)
    : QObject(parent), m_connection(std::move(connection))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        closeRequest();
        fail(PortalScreenshotErrorKind::timedOut);
    });
}

PortalScreenshot::~PortalScreenshot() { cancel(); }

QString PortalScreenshot::requestPath(const QString& sender, const QString& token)
{
    QString name = sender;
    name.remove(u':').replace(u'.', u'_');
    return portalPath + "/request/"_L1 + name + u'/' + token;
}

void PortalScreenshot::request(Completion done)
{
    cancel();
    ++m_generation;
    m_done = std::move(done);
    if (!m_connection.isConnected()) {
        // Reported from the event loop, as every other outcome.
        QMetaObject::invokeMethod(
            this,
            [this, generation = m_generation] {
                if (generation == m_generation)
                    fail(PortalScreenshotErrorKind::unavailable);
            },
            Qt::QueuedConnection);
        return;
    }

    // Subscribing before the call, on the path the portal will use, so that an answer
    // sent right away is not missed.
    const QString token = u"vorlix_%1_%2"_s.arg(m_generation).arg(QRandomGenerator::global()->generate());
    subscribe(requestPath(m_connection.baseService(), token));

    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, screenshotInterface, u"Screenshot"_s);
    const QVariantMap options{
        {u"handle_token"_s, token},
        {u"interactive"_s, false},
        {u"modal"_s, false},
    };
    call << QString() << options;
    const int callTimeout = static_cast<int>(std::min<std::chrono::milliseconds::rep>(m_timeout.count(), INT_MAX));
    auto* watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(call, callTimeout), this);
    m_call = watcher;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &PortalScreenshot::onCallFinished);
    m_timer.start(m_timeout);
}

void PortalScreenshot::cancel()
{
    if (!m_done)
        return;
    closeRequest();
    m_done = nullptr;
    ++m_generation;
}

void PortalScreenshot::onCallFinished(QDBusPendingCallWatcher* watcher)
{
    watcher->deleteLater();
    if (watcher != m_call || !m_done)
        return;
    m_call = nullptr;
    const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
    if (reply.isError()) {
        fail(kindOfCallError(reply.error().name()));
        return;
    }
    // Older portals choose the path themselves and return it.
    const QString handle = reply.value().path();
    if (!handle.isEmpty() && handle != m_requestPath && !m_requestPath.isEmpty())
        subscribe(handle);
}

void PortalScreenshot::onResponse(uint response, const QVariantMap& results)
{
    if (!m_done)
        return;
    m_timer.stop();
    unsubscribe();
    if (response != 0) {
        fail(PortalScreenshotErrorKind::refused);
        return;
    }
    const QVariant uri = results.value(u"uri"_s);
    if (uri.typeId() != QMetaType::QString) {
        fail(PortalScreenshotErrorKind::badPicture);
        return;
    }
    loadPicture(uri.toString());
}

void PortalScreenshot::loadPicture(const QString& uri)
{
    // Decoding a picture of the whole desktop takes a while: it happens on the pool, and the
    // result comes back to the main thread only if this request is still the one awaited.
    QPointer<PortalScreenshot> self(this);
    const std::uint64_t generation = m_generation;
    QThreadPool::globalInstance()->start([self, generation, uri] {
        PortalScreenshotResult result = readPicture(uri);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, generation, result = std::move(result)]() mutable {
                if (self && self->m_generation == generation && self->m_done)
                    self->finish(std::move(result));
            },
            Qt::QueuedConnection);
    });
}

void PortalScreenshot::subscribe(const QString& path)
{
    unsubscribe();
    m_connection.connect(portalService, path, requestInterface, u"Response"_s, this,
                         SLOT(onResponse(uint, QVariantMap)));
    m_requestPath = path;
}

void PortalScreenshot::unsubscribe()
{
    if (m_requestPath.isEmpty())
        return;
    m_connection.disconnect(portalService, m_requestPath, requestInterface, u"Response"_s, this,
                            SLOT(onResponse(uint, QVariantMap)));
    m_requestPath.clear();
}

void PortalScreenshot::closeRequest()
{
    m_timer.stop();
    if (m_call) {
        m_call->deleteLater();
        m_call = nullptr;
    }
    if (m_requestPath.isEmpty())
        return;
    // Lets the portal drop a dialog it may still show; nothing is awaited from it.
    QDBusMessage close = QDBusMessage::createMethodCall(portalService, m_requestPath, requestInterface, u"Close"_s);
    close.setAutoStartService(false);
    m_connection.send(close);
    unsubscribe();
}

void PortalScreenshot::finish(PortalScreenshotResult result)
{
    m_timer.stop();
    unsubscribe();
    ++m_generation;
    Completion done = std::move(m_done);
    m_done = nullptr;
    if (done)
        done(std::move(result));
}

} // namespace vorlix
