#pragma once
// Turns a request for a picture of the screen into CapturedShot values: the busy guard,
// the program the shot belongs to, the frozen screens under the selection overlay, the
// crop of a frozen picture or a live grab, the PNG encoding and the last area captured.
//
// Rectangles are in points of one screen, origin at its top-left corner; the pointer is in
// global logical pixels. Every entry point is a coroutine on the main thread: while it
// waits (the overlay, the delay, the desktop portal) the event loop goes on, and a second
// request arriving meanwhile is dropped (no shot, no error), not queued.
//
// Under X11 no permission is needed and screens are grabbed live. Under Wayland the only
// picture there is comes from the desktop portal: area and full-screen captures take one
// picture of the whole desktop and work on it as on frozen screens; window captures fail.

#include "app/capture/CapturedShot.h"
#include "app/capture/SelectionOverlay.h"
#include "app/capture/SelectionWindows.h"
#include "platform/ScreenSource.h"
#include "platform/portal/PortalScreenshot.h"

#include "core/model/Geometry.h"

#include <QCoro/QCoroTask>
#include <QCursor>
#include <QPoint>
#include <QString>
#include <QThreadPool>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace vorlix {

class Settings;
class ScrollCaptureControl;

struct CaptureError {
    enum class Kind {
        permissionDenied, // the desktop refused the picture
        displayNotFound,  // no screen to capture, or it is gone
        encodingFailed,   // the picture could not be encoded
        platform,         // any other failure of the platform, with its own message
    };

    Kind kind = Kind::platform;
    QString message; // Italian, for an alert

    static CaptureError permissionDenied();
    static CaptureError displayNotFound();
    static CaptureError encodingFailed();
    static CaptureError platform(const QString& message) { return {Kind::platform, message}; }
    bool operator==(const CaptureError&) const = default;
};

// One shot, nothing (cancelled, busy, nothing to capture) or a failure.
using CaptureOutcome = std::variant<std::optional<CapturedShot>, CaptureError>;
// The shots of an overlay capture (empty when cancelled or busy) or a failure.
using CaptureListOutcome = std::variant<std::vector<CapturedShot>, CaptureError>;

// The screen and rectangle (in its points) of the last area captured through the overlay.
struct CaptureArea {
    std::uint32_t screenId = 0;
    Rect rect;

    bool operator==(const CaptureArea&) const = default;
};

// What kind of desktop session the captures run in.
struct CaptureSession {
    // One picture of the whole desktop in device pixels, or why there is none.
    using DesktopPicture = std::function<QCoro::Task<PortalScreenshotResult>()>;

    bool wayland = false;
    DesktopPicture desktopPicture; // only under Wayland

    static CaptureSession x11() { return {}; }
    // Under Wayland, by default through the desktop portal.
    static CaptureSession waylandSession(DesktopPicture picture = portalDesktopPicture());
    // The session of the running application.
    static CaptureSession current();
    static DesktopPicture portalDesktopPicture();
};

class CaptureService {
public:
    using OverlayFactory = std::function<std::unique_ptr<SelectionOverlay>(SelectionOverlaySetup)>;
    using PointerPosition = std::function<QPoint()>;

    // Seconds a delayed capture waits when the delay asked for is not a number.
    static constexpr double defaultDelay = 3;
    static constexpr double maximumDelay = 60;

    // Without `overlays` the service shows the overlay of this session's screens, on
    // windows it keeps from one capture to the next.
    CaptureService(
        ScreenSource& source, Settings& settings, OverlayFactory overlays = {},
        PointerPosition pointer = [] { return QCursor::pos(); }, CaptureSession session = CaptureSession::current());
    ~CaptureService();
    CaptureService(const CaptureService&) = delete;
    CaptureService& operator=(const CaptureService&) = delete;

    // The application's service, once it has been installed.
    static CaptureService& shared();
    static void installShared(std::unique_ptr<CaptureService> service);
    // Whether installShared has given the application its service.
    static bool hasShared();

    // An area chosen through the overlay; its first shot.
    QCoro::Task<CaptureOutcome> captureArea();
    // The whole screen under the pointer (the first screen when the pointer is on none).
    QCoro::Task<CaptureOutcome> captureFullScreen();
    // The last area captured through the overlay again; the overlay when there is none or
    // its screen is gone.
    QCoro::Task<CaptureOutcome> captureRepeatArea();
    // Waits `seconds` (brought into 0…60; not a number waits the default), then captures
    // the screen under the pointer. The wait does not count as capturing.
    QCoro::Task<CaptureOutcome> captureDelayed(double seconds);
    // The front window of the program whose window is active; a beep and no shot when
    // there is none or it is this program.
    QCoro::Task<CaptureOutcome> captureActiveWindow();
    // The overlay capture: one shot for an area or a screen, one per picked window.
    QCoro::Task<CaptureListOutcome> captureWithOverlay(SelectionMode mode);
    // An area chosen on the live screen, photographed again and again while the user
    // scrolls the page under it by hand, the frames stitched into one tall shot when
    // "Fatto" is pressed. Nothing when "Annulla" or Escape ends it, or no frame was taken.
    // Stops by itself at ScrollStitcher::maximumHeight rows and keeps what it has.
    QCoro::Task<CaptureOutcome> captureScrolling();
    // Ends the scrolling capture that is collecting frames as "Fatto" does; false when none is.
    bool finishScrolling();

    // Pays ahead for what makes a first capture slow on a large screen: the shared memory of
    // each screen's first grab, which the display server fills. For the application's start.
    void prepare();

    bool isCapturing() const { return m_isCapturing; }
    std::optional<CaptureArea> lastArea() const { return m_lastArea; }

    // How long a live grab waits for the server to repaint where the overlay was.
    static constexpr std::chrono::milliseconds overlayRemovalPause{40};
    // The pause after each frame of a scrolling capture, in which the user scrolls.
    static constexpr std::chrono::milliseconds scrollFramePause{250};

private:
    class BusyGuard;
    using FrozenPictures = std::map<std::uint32_t, QImage>;

    // Every screen's picture: grabbed (screens that fail are left out) or, under Wayland,
    // cut from one picture of the desktop.
    QCoro::Task<std::variant<FrozenPictures, CaptureError>> freezeScreens(std::vector<ScreenInfo> screens);
    // `points` of `screen` grabbed now; never under Wayland, where no live grab exists.
    std::variant<QImage, CaptureError> liveGrab(const ScreenInfo& screen, const QRectF& points);
    // `points` of `screen` from its frozen picture, else grabbed live.
    std::variant<QImage, CaptureError> picture(const ScreenInfo& screen, const QRectF& points,
                                               const FrozenPictures& frozen);
    // A capture of `points` of one screen outside the overlay: live under X11, from a
    // desktop picture under Wayland.
    QCoro::Task<std::variant<QImage, CaptureError>> screenPicture(ScreenInfo screen, QRectF points);
    QCoro::Task<CaptureListOutcome> chosenArea(Selection selection, SelectionOverlay& overlay, FrozenPictures frozen,
                                               std::optional<SourceApplication> source);
    QCoro::Task<CaptureOutcome> collectScrolling(Selection selection, std::optional<SourceApplication> source);
    QCoro::Task<CaptureListOutcome> chosenWindows(std::vector<std::uint32_t> windows, std::vector<WindowInfo> offered);
    // finishedShot on the encoding thread: a 5K screen takes 150 ms to encode, time in
    // which the event loop goes on.
    QCoro::Task<std::variant<CapturedShot, CaptureError>> encodedShot(QImage image, double pixelsPerPoint,
                                                                      CaptureKind kind,
                                                                      std::optional<SourceApplication> source);

    ScreenSource& m_source;
    Settings& m_settings;
    SelectionWindows m_windows;
    OverlayFactory m_overlays;
    PointerPosition m_pointer;
    CaptureSession m_session;
    bool m_isCapturing = false;
    std::optional<CaptureArea> m_lastArea;
    ScrollCaptureControl* m_scrolling = nullptr; // while a scrolling capture collects frames
    // One thread of its own, so that an encoder that spreads its work over the global pool
    // never waits behind the thread it runs on.
    QThreadPool m_encoder;
};

// The wait of a delayed capture asked to wait `seconds`: within 0…maximumDelay, the
// default for a value that is not a number.
double captureDelaySeconds(double seconds);
// The program of `window`; none for no window or one of this program's own.
std::optional<SourceApplication> applicationOf(const std::optional<WindowInfo>& window);
// The shot of `image`, encoded; encodingFailed when the picture cannot be encoded.
std::variant<CapturedShot, CaptureError> finishedShot(const QImage& image, double pixelsPerPoint, CaptureKind kind,
                                                      std::optional<SourceApplication> source);
// `points` of a screen at `scale` as whole device pixels holding all of it: the far edges
// rounded up, the near ones down.
QRect integralPixelRect(const Rect& points, double scale);
// Each screen's part of a picture of the whole desktop, at the screen's own pixel size.
std::map<std::uint32_t, QImage> splitDesktopPicture(const QImage& desktop, const std::vector<ScreenInfo>& screens);
// The screen under `point` (the left and top edges inside, the right and bottom ones
// outside), else the first screen; nullptr when there are none.
const ScreenInfo* screenUnderPointer(QPoint point, const std::vector<ScreenInfo>& screens);

} // namespace vorlix
