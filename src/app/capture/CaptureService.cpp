#include "app/capture/CaptureService.h"

#include "app/capture/ScrollCaptureControl.h"
#include "app/support/Beeper.h"
#include "app/support/Settings.h"
#include "core/analysis/ScrollStitcher.h"
#include "core/imaging/ImageCoding.h"
#include "platform/Compositing.h"

#include <QCoreApplication>
#include <QCoro/QCoroFuture>
#include <QCoro/QCoroSignal>
#include <QCoro/QCoroTimer>
#include <QFuture>
#include <QMetaObject>
#include <QPromise>
#include <QScopeGuard>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <coroutine>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

std::unique_ptr<CaptureService>& sharedService()
{
    static std::unique_ptr<CaptureService> service;
    return service;
}

CaptureOutcome noShot() { return std::optional<CapturedShot>{}; }

CaptureOutcome outcomeOf(std::variant<CapturedShot, CaptureError> shot)
{
    if (auto* error = std::get_if<CaptureError>(&shot))
        return *error;
    return std::optional<CapturedShot>(std::move(std::get<CapturedShot>(shot)));
}

CaptureListOutcome listOutcomeOf(std::variant<CapturedShot, CaptureError> shot)
{
    if (auto* error = std::get_if<CaptureError>(&shot))
        return *error;
    return std::vector<CapturedShot>{std::move(std::get<CapturedShot>(shot))};
}

CaptureError errorOf(const ScreenGrabError& error)
{
    switch (error.kind) {
    case ScreenGrabError::Kind::displayNotFound:
        return CaptureError::displayNotFound();
    case ScreenGrabError::Kind::grabFailed:
        break;
    }
    return CaptureError::platform(error.message());
}

CaptureError errorOf(const PortalScreenshotError& error)
{
    switch (error.kind) {
    case PortalScreenshotErrorKind::refused:
        return CaptureError::permissionDenied();
    case PortalScreenshotErrorKind::timedOut:
    case PortalScreenshotErrorKind::unavailable:
    case PortalScreenshotErrorKind::badPicture:
        break;
    }
    return CaptureError::platform(error.message);
}

// Takes the overlay's windows off the screen on every way out of a capture.
class OverlayCloser {
public:
    explicit OverlayCloser(SelectionOverlay& overlay) : m_overlay(overlay) {}
    ~OverlayCloser() { m_overlay.close(); }
    OverlayCloser(const OverlayCloser&) = delete;
    OverlayCloser& operator=(const OverlayCloser&) = delete;

private:
    SelectionOverlay& m_overlay;
};

// Awaits one picture of the portal. The coroutine resumes on a later turn of the event
// loop, not inside the portal's handler, so it may end the portal object it awaited.
struct PortalPicture {
    PortalScreenshot& portal;
    PortalScreenshotResult result;

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> waiting)
    {
        portal.request([this, waiting](PortalScreenshotResult answer) {
            result = std::move(answer);
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [waiting] { waiting.resume(); }, Qt::QueuedConnection);
        });
    }
    PortalScreenshotResult await_resume() { return std::move(result); }
};

} // namespace

CaptureError CaptureError::permissionDenied()
{
    return {Kind::permissionDenied, u"Manca il permesso di Registrazione schermo."_s};
}

CaptureError CaptureError::displayNotFound() { return {Kind::displayNotFound, u"Monitor non trovato."_s}; }

CaptureError CaptureError::encodingFailed()
{
    return {Kind::encodingFailed, u"Impossibile salvare l'immagine catturata."_s};
}

CaptureSession CaptureSession::waylandSession(DesktopPicture picture) { return {true, std::move(picture)}; }

CaptureSession CaptureSession::current() { return isWaylandSession() ? waylandSession() : x11(); }

CaptureSession::DesktopPicture CaptureSession::portalDesktopPicture()
{
    return []() -> QCoro::Task<PortalScreenshotResult> {
        PortalScreenshot portal;
        co_return co_await PortalPicture{portal, {}};
    };
}

// Holds the busy flag for as long as it lives, so that every way out of a capture clears it.
class CaptureService::BusyGuard {
public:
    explicit BusyGuard(bool& flag) : m_flag(flag) { m_flag = true; }
    ~BusyGuard() { m_flag = false; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    bool& m_flag;
};

CaptureService::CaptureService(ScreenSource& source, Settings& settings, OverlayFactory overlays,
                               PointerPosition pointer, CaptureSession session)
    : m_source(source),
      m_settings(settings),
      m_windows(settings),
      m_overlays(std::move(overlays)),
      m_pointer(std::move(pointer)),
      m_session(std::move(session))
{
    m_encoder.setMaxThreadCount(1);
    if (!m_overlays)
        m_overlays = [this](SelectionOverlaySetup setup) {
            return makeSelectionOverlay(std::move(setup), m_settings, &m_windows);
        };
}

void CaptureService::prepare()
{
    if (m_session.wayland)
        return;
    for (const ScreenInfo& screen : m_source.screens())
        m_source.grabScreen(screen);
}

CaptureService::~CaptureService() { m_encoder.waitForDone(); }

CaptureService& CaptureService::shared()
{
    std::unique_ptr<CaptureService>& service = sharedService();
    if (!service)
        qFatal("CaptureService::shared() before installShared()");
    return *service;
}

bool CaptureService::hasShared() { return sharedService() != nullptr; }

void CaptureService::installShared(std::unique_ptr<CaptureService> service) { sharedService() = std::move(service); }

QCoro::Task<CaptureOutcome> CaptureService::captureArea()
{
    CaptureListOutcome shots = co_await captureWithOverlay(SelectionMode::area());
    if (auto* error = std::get_if<CaptureError>(&shots))
        co_return *error;
    std::vector<CapturedShot>& list = std::get<std::vector<CapturedShot>>(shots);
    if (list.empty())
        co_return noShot();
    co_return std::optional<CapturedShot>(std::move(list.front()));
}

QCoro::Task<CaptureOutcome> CaptureService::captureFullScreen()
{
    if (m_isCapturing)
        co_return noShot();
    BusyGuard busy(m_isCapturing);
    const std::optional<SourceApplication> source = applicationOf(m_source.activeWindow());
    const std::vector<ScreenInfo> screens = m_source.screens();
    const ScreenInfo* under = screenUnderPointer(m_pointer(), screens);
    if (!under)
        co_return CaptureError::displayNotFound();
    const ScreenInfo screen = *under;
    std::variant<QImage, CaptureError> image =
        co_await screenPicture(screen, QRectF(QPointF(0, 0), QSizeF(screen.geometry.size())));
    if (auto* error = std::get_if<CaptureError>(&image))
        co_return *error;
    co_return outcomeOf(
        co_await encodedShot(std::get<QImage>(image), screen.devicePixelRatio, CaptureKind::fullScreen, source));
}

QCoro::Task<CaptureOutcome> CaptureService::captureRepeatArea()
{
    std::optional<ScreenInfo> remembered;
    if (m_lastArea) {
        const std::vector<ScreenInfo> screens = m_source.screens();
        const auto found = std::find_if(screens.begin(), screens.end(),
                                        [&](const ScreenInfo& screen) { return screen.id == m_lastArea->screenId; });
        if (found != screens.end())
            remembered = *found;
    }
    if (!remembered)
        co_return co_await captureArea();

    if (m_isCapturing)
        co_return noShot();
    BusyGuard busy(m_isCapturing);
    const std::optional<SourceApplication> source = applicationOf(m_source.activeWindow());
    std::variant<QImage, CaptureError> image = co_await screenPicture(*remembered, m_lastArea->rect.toQt());
    if (auto* error = std::get_if<CaptureError>(&image))
        co_return *error;
    co_return outcomeOf(
        co_await encodedShot(std::get<QImage>(image), remembered->devicePixelRatio, CaptureKind::repeatArea, source));
}

QCoro::Task<CaptureOutcome> CaptureService::captureDelayed(double seconds)
{
    const double wait = captureDelaySeconds(seconds);
    co_await QCoro::sleepFor(std::chrono::milliseconds(std::llround(wait * 1000)));
    CaptureOutcome outcome = co_await captureFullScreen();
    if (auto* shot = std::get_if<std::optional<CapturedShot>>(&outcome); shot && *shot)
        (*shot)->kind = CaptureKind::delayed;
    co_return outcome;
}

QCoro::Task<CaptureOutcome> CaptureService::captureActiveWindow()
{
    if (m_isCapturing)
        co_return noShot();
    BusyGuard busy(m_isCapturing);
    if (m_session.wayland)
        co_return CaptureError::platform(QString::fromUtf16(waylandWindowCaptureMessage));
    const std::optional<WindowInfo> front = m_source.activeWindow();
    if (!front || front->ours) {
        Beeper::beep();
        co_return noShot();
    }
    // The program's front window: the active one may be a part too small to be listed.
    WindowInfo target = *front;
    if (front->pid) {
        for (const WindowInfo& window : m_source.windowsFrontToBack())
            if (window.pid == front->pid) {
                target = window;
                break;
            }
    }
    const std::optional<QImage> image = m_source.grabWindow(target.id);
    if (!image)
        co_return noShot();
    co_return outcomeOf(
        co_await encodedShot(*image, image->devicePixelRatio(), CaptureKind::window, applicationOf(target)));
}

QCoro::Task<CaptureListOutcome> CaptureService::captureWithOverlay(SelectionMode mode)
{
    if (m_isCapturing)
        co_return std::vector<CapturedShot>{};
    BusyGuard busy(m_isCapturing);
    const std::optional<WindowInfo> front = m_source.activeWindow();
    const std::optional<SourceApplication> source = applicationOf(front);
    const bool windowMode = mode.kind == SelectionMode::Kind::window;
    if (m_session.wayland && windowMode)
        co_return CaptureError::platform(QString::fromUtf16(waylandWindowCaptureMessage));

    const std::vector<ScreenInfo> screens = m_source.screens();
    // Without a screen no overlay window could ever answer.
    if (screens.empty())
        co_return std::vector<CapturedShot>{};

    // A live overlay lets the screen show through see-through windows, which takes a
    // compositing manager; without one every overlay shows a frozen picture, also in the
    // window mode, whose shots never come from it.
    const bool liveOverlayShows = !m_session.wayland && isCompositingManagerRunning();
    FrozenPictures frozen;
    if (!liveOverlayShows || (m_settings.get(setting::freezeScreen) && !windowMode)) {
        std::variant<FrozenPictures, CaptureError> pictures = co_await freezeScreens(screens);
        if (auto* error = std::get_if<CaptureError>(&pictures))
            co_return *error;
        frozen = std::move(std::get<FrozenPictures>(pictures));
    }
    std::vector<WindowInfo> offered;
    if (!m_session.wayland && (windowMode || mode.kind == SelectionMode::Kind::allInOne))
        offered = m_source.windowsFrontToBack();

    const std::unique_ptr<SelectionOverlay> overlay = m_overlays({screens, frozen, mode, offered});
    OverlayCloser closer(*overlay);
    const std::optional<SelectionResult> result = co_await overlay->run();
    if (!result) {
        if (front)
            m_source.activateWindow(front->id);
        co_return std::vector<CapturedShot>{};
    }
    if (const auto* area = std::get_if<AreaChosen>(&*result))
        co_return co_await chosenArea(area->selection, *overlay, std::move(frozen), source);
    if (const auto* windows = std::get_if<WindowsChosen>(&*result)) {
        if (m_session.wayland)
            co_return CaptureError::platform(QString::fromUtf16(waylandWindowCaptureMessage));
        co_return co_await chosenWindows(windows->windows, offered);
    }
    const ScreenInfo& screen = std::get<FullScreenChosen>(*result).screen;
    std::variant<QImage, CaptureError> image =
        picture(screen, QRectF(QPointF(0, 0), QSizeF(screen.geometry.size())), frozen);
    if (auto* error = std::get_if<CaptureError>(&image))
        co_return *error;
    overlay->close();
    co_return listOutcomeOf(
        co_await encodedShot(std::get<QImage>(image), screen.devicePixelRatio, CaptureKind::fullScreen, source));
}

QCoro::Task<CaptureOutcome> CaptureService::captureScrolling()
{
    if (m_isCapturing)
        co_return noShot();
    BusyGuard busy(m_isCapturing);
    if (m_session.wayland)
        co_return CaptureError::platform(QString::fromUtf16(waylandScrollingCaptureMessage));
    const std::optional<WindowInfo> front = m_source.activeWindow();
    const std::optional<SourceApplication> source = applicationOf(front);
    const std::vector<ScreenInfo> screens = m_source.screens();
    if (screens.empty())
        co_return noShot();

    // The page is chosen on the live screen; only without a compositing manager, where a
    // see-through overlay shows black, does the overlay show a picture of it.
    FrozenPictures frozen;
    if (!isCompositingManagerRunning()) {
        std::variant<FrozenPictures, CaptureError> pictures = co_await freezeScreens(screens);
        if (auto* error = std::get_if<CaptureError>(&pictures))
            co_return *error;
        frozen = std::move(std::get<FrozenPictures>(pictures));
    }
    std::optional<Selection> selection;
    {
        const std::unique_ptr<SelectionOverlay> overlay =
            m_overlays({screens, std::move(frozen), SelectionMode::area(), {}});
        OverlayCloser closer(*overlay);
        const std::optional<SelectionResult> result = co_await overlay->run();
        if (const AreaChosen* area = result ? std::get_if<AreaChosen>(&*result) : nullptr)
            selection = area->selection;
    }
    // The page's program gets the focus back, so that it can be scrolled (with the keys too).
    if (front)
        m_source.activateWindow(front->id);
    if (!selection)
        co_return noShot();
    co_return co_await collectScrolling(*selection, source);
}

bool CaptureService::finishScrolling()
{
    if (!m_scrolling || m_scrolling->isFinished())
        return false;
    m_scrolling->finish();
    return true;
}

QCoro::Task<CaptureOutcome> CaptureService::collectScrolling(Selection selection,
                                                             std::optional<SourceApplication> source)
{
    const ScreenInfo& screen = selection.screen;
    const QRectF points = selection.rect.toQt();
    ScrollCaptureControl control(selection.rect, screen);
    m_scrolling = &control;
    const auto collected = qScopeGuard([this] { m_scrolling = nullptr; });

    std::optional<ScrollStitcher> stitcher(std::in_place);
    control.show();
    // The overlay's windows must be gone from the screen before the first frame.
    co_await QCoro::sleepFor(overlayRemovalPause);
    while (!control.isFinished()) {
        // An X11 grab sees every window: the frame lies outside the area, and the panel
        // leaves the screen while a frame is taken when there was no room for it outside.
        const bool panelMoves = control.panelCoversArea();
        if (panelMoves) {
            control.panel().hide();
            // The page's program repaints what the panel covered: more than the overlay's
            // pause, as this happens again and again while the page scrolls.
            co_await QCoro::sleepFor(2 * overlayRemovalPause);
        }
        std::variant<QImage, CaptureError> frame = liveGrab(screen, points);
        if (panelMoves)
            control.panel().show();
        if (const QImage* image = std::get_if<QImage>(&frame)) {
            stitcher->add(*image);
            control.update(stitcher->height(), screen.devicePixelRatio);
            if (stitcher->isFull())
                control.finish();
        }
        frame = QImage(); // no frame is kept beyond its turn
        if (control.isFinished())
            break;
        control.raise();
        // Wakes early for "Fatto", so that the shot follows at once.
        co_await qCoro(&control, &ScrollCaptureControl::finished, scrollFramePause);
    }
    control.hide();
    if (control.isCancelled())
        co_return noShot();
    std::optional<QImage> image = stitcher->makeImage();
    stitcher.reset(); // the rows are in the image now
    if (!image)
        co_return noShot();
    co_return outcomeOf(
        co_await encodedShot(std::move(*image), screen.devicePixelRatio, CaptureKind::scrolling, std::move(source)));
}

QCoro::Task<CaptureListOutcome> CaptureService::chosenArea(Selection selection, SelectionOverlay& overlay,
                                                           FrozenPictures frozen,
                                                           std::optional<SourceApplication> source)
{
    const ScreenInfo& screen = selection.screen;
    const QRectF points = selection.rect.toQt();
    QImage image;
    if (frozen.contains(screen.id)) {
        std::variant<QImage, CaptureError> cut = picture(screen, points, frozen);
        if (auto* error = std::get_if<CaptureError>(&cut))
            co_return *error;
        image = std::get<QImage>(std::move(cut));
    } else {
        // An X11 grab shows whatever is on the screen: the overlay goes first, and the
        // server gets a moment to repaint what it covered.
        overlay.close();
        co_await QCoro::sleepFor(overlayRemovalPause);
        std::variant<QImage, CaptureError> live = liveGrab(screen, points);
        if (auto* error = std::get_if<CaptureError>(&live))
            co_return *error;
        image = std::get<QImage>(std::move(live));
    }
    m_lastArea = CaptureArea{screen.id, selection.rect};
    overlay.close();
    co_return listOutcomeOf(co_await encodedShot(image, screen.devicePixelRatio, CaptureKind::area, std::move(source)));
}

QCoro::Task<CaptureListOutcome> CaptureService::chosenWindows(std::vector<std::uint32_t> windows,
                                                              std::vector<WindowInfo> offered)
{
    std::vector<CapturedShot> shots;
    std::optional<std::vector<WindowInfo>> shown; // read only for a window the overlay did not offer
    for (const std::uint32_t id : windows) {
        const std::optional<QImage> image = m_source.grabWindow(id);
        if (!image)
            continue; // closed since it was picked
        auto described = std::find_if(offered.begin(), offered.end(), [id](const WindowInfo& w) { return w.id == id; });
        WindowInfo window;
        window.id = id;
        if (described != offered.end()) {
            window = *described;
        } else {
            if (!shown)
                shown = m_source.windowsFrontToBack();
            described = std::find_if(shown->begin(), shown->end(), [id](const WindowInfo& w) { return w.id == id; });
            if (described != shown->end())
                window = *described;
        }
        std::variant<CapturedShot, CaptureError> shot =
            co_await encodedShot(*image, image->devicePixelRatio(), CaptureKind::window, applicationOf(window));
        if (auto* error = std::get_if<CaptureError>(&shot))
            co_return *error;
        shots.push_back(std::get<CapturedShot>(std::move(shot)));
    }
    co_return shots;
}

QCoro::Task<std::variant<CapturedShot, CaptureError>> CaptureService::encodedShot(
    QImage image, double pixelsPerPoint, CaptureKind kind, std::optional<SourceApplication> source)
{
    auto promise = std::make_shared<QPromise<std::variant<CapturedShot, CaptureError>>>();
    QFuture<std::variant<CapturedShot, CaptureError>> encoded = promise->future();
    promise->start();
    m_encoder.start([promise, image, pixelsPerPoint, kind, source] {
        promise->addResult(finishedShot(image, pixelsPerPoint, kind, source));
        promise->finish();
    });
    co_return co_await encoded;
}

QCoro::Task<std::variant<CaptureService::FrozenPictures, CaptureError>> CaptureService::freezeScreens(
    std::vector<ScreenInfo> screens)
{
    if (m_session.wayland) {
        PortalScreenshotResult desktop = co_await m_session.desktopPicture();
        if (auto* error = std::get_if<PortalScreenshotError>(&desktop))
            co_return errorOf(*error);
        co_return splitDesktopPicture(std::get<QImage>(desktop), screens);
    }
    FrozenPictures frozen;
    for (const ScreenInfo& screen : screens) {
        ScreenGrab grab = m_source.grabScreen(screen);
        if (auto* image = std::get_if<QImage>(&grab); image && !image->isNull())
            frozen.emplace(screen.id, std::move(*image));
    }
    co_return frozen;
}

std::variant<QImage, CaptureError> CaptureService::liveGrab(const ScreenInfo& screen, const QRectF& points)
{
    if (m_session.wayland)
        return CaptureError::displayNotFound();
    ScreenGrab grab = m_source.grab(screen, points);
    if (auto* error = std::get_if<ScreenGrabError>(&grab))
        return errorOf(*error);
    return std::get<QImage>(std::move(grab));
}

std::variant<QImage, CaptureError> CaptureService::picture(const ScreenInfo& screen, const QRectF& points,
                                                           const FrozenPictures& frozen)
{
    const auto still = frozen.find(screen.id);
    if (still != frozen.end()) {
        const QImage& whole = still->second;
        const QRect pixels = integralPixelRect(Rect::fromQt(points), screen.devicePixelRatio).intersected(whole.rect());
        if (!pixels.isEmpty()) {
            QImage cut = pixels == whole.rect() ? whole : whole.copy(pixels);
            if (cut.devicePixelRatio() != screen.devicePixelRatio)
                cut.setDevicePixelRatio(screen.devicePixelRatio);
            return cut;
        }
    }
    return liveGrab(screen, points);
}

QCoro::Task<std::variant<QImage, CaptureError>> CaptureService::screenPicture(ScreenInfo screen, QRectF points)
{
    if (!m_session.wayland)
        co_return liveGrab(screen, points);
    std::variant<FrozenPictures, CaptureError> pictures = co_await freezeScreens(m_source.screens());
    if (auto* error = std::get_if<CaptureError>(&pictures))
        co_return *error;
    co_return picture(screen, points, std::get<FrozenPictures>(pictures));
}

double captureDelaySeconds(double seconds)
{
    // A delay read from an edited settings file may be anything; the sleep must not be.
    if (!std::isfinite(seconds))
        return CaptureService::defaultDelay;
    return std::clamp(seconds, 0.0, CaptureService::maximumDelay);
}

std::optional<SourceApplication> applicationOf(const std::optional<WindowInfo>& window)
{
    if (!window || window->ours)
        return std::nullopt;
    return SourceApplication{window->pid, window->ownerName, window->id};
}

std::variant<CapturedShot, CaptureError> finishedShot(const QImage& image, double pixelsPerPoint, CaptureKind kind,
                                                      std::optional<SourceApplication> source)
{
    std::optional<QByteArray> png = ImageCoding::encode(image, ImageType::png, pixelsPerPoint, 0.9);
    if (!png || png->isEmpty())
        return CaptureError::encodingFailed();
    return CapturedShot{image, std::move(*png), pixelsPerPoint, kind, std::move(source)};
}

QRect integralPixelRect(const Rect& points, double scale)
{
    const Rect pixels =
        Rect(points.minX() * scale, points.minY() * scale, points.width() * scale, points.height() * scale).integral();
    return QRect(saturatingInt(pixels.origin.x), saturatingInt(pixels.origin.y), saturatingInt(pixels.size.width),
                 saturatingInt(pixels.size.height));
}

std::map<std::uint32_t, QImage> splitDesktopPicture(const QImage& desktop, const std::vector<ScreenInfo>& screens)
{
    std::map<std::uint32_t, QImage> parts;
    QRect bounds;
    for (const ScreenInfo& screen : screens)
        bounds = bounds.united(screen.geometry);
    if (desktop.isNull() || bounds.isEmpty())
        return parts;
    // The portal's picture is in device pixels; its ratio to the logical desktop is the same
    // on both axes unless screens differ in scale, which the picture cannot show anyway.
    const double ratioX = double(desktop.width()) / bounds.width();
    const double ratioY = double(desktop.height()) / bounds.height();
    for (const ScreenInfo& screen : screens) {
        const QRectF place((screen.geometry.x() - bounds.x()) * ratioX, (screen.geometry.y() - bounds.y()) * ratioY,
                           screen.geometry.width() * ratioX, screen.geometry.height() * ratioY);
        const QRect pixels = QRect(QPoint(qRound(place.left()), qRound(place.top())),
                                   QPoint(qRound(place.right()) - 1, qRound(place.bottom()) - 1))
                                 .intersected(desktop.rect());
        if (pixels.isEmpty())
            continue;
        QImage part = desktop.copy(pixels);
        const QSize size(pixelLength(screen.geometry.width(), screen.devicePixelRatio),
                         pixelLength(screen.geometry.height(), screen.devicePixelRatio));
        if (part.size() != size)
            part = part.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        part.setDevicePixelRatio(screen.devicePixelRatio);
        parts.emplace(screen.id, std::move(part));
    }
    return parts;
}

const ScreenInfo* screenUnderPointer(QPoint point, const std::vector<ScreenInfo>& screens)
{
    // QRect::contains holds the left and top edges and leaves x + width, y + height out.
    const auto under = std::find_if(screens.begin(), screens.end(),
                                    [point](const ScreenInfo& screen) { return screen.geometry.contains(point); });
    if (under != screens.end())
        return &*under;
    return screens.empty() ? nullptr : &screens.front();
}

} // namespace vorlix
