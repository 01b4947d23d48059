#pragma once
// Where captured pixels come from: the screens of the session, its windows front to back,
// and pictures of a rectangle of one screen or of one window. Screen geometries and window
// frames are in logical global pixels (origin at the top-left corner of the first screen,
// y downwards); a rectangle to grab is in points of its own screen. Images carry their
// device pixel ratio and never show the mouse cursor.

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <variant>
#include <vector>

namespace vorlix {

struct ScreenInfo {
    // The system's number of the screen (on X11 the RandR output of the monitor).
    std::uint32_t id = 0;
    QString name;
    QRect geometry;
    double devicePixelRatio = 1.0;

    bool operator==(const ScreenInfo&) const = default;
};

struct WindowInfo {
    // The system's number of the window (on X11 the client window's id).
    std::uint32_t id = 0;
    QString title;
    // The window with its decorations, without client-side shadows.
    QRect frame;
    std::optional<std::int64_t> pid;
    bool ours = false;
    // The program the window belongs to (on X11 its WM_CLASS class, else the process's
    // command name); empty when nothing says.
    QString ownerName;

    bool operator==(const WindowInfo&) const = default;
};

struct ScreenGrabError {
    enum class Kind { displayNotFound, grabFailed };

    Kind kind = Kind::grabFailed;

    static ScreenGrabError displayNotFound() { return {Kind::displayNotFound}; }
    static ScreenGrabError grabFailed() { return {Kind::grabFailed}; }
    QString message() const;
    bool operator==(const ScreenGrabError&) const = default;
};

using ScreenGrab = std::variant<QImage, ScreenGrabError>;

class ScreenSource {
public:
    virtual ~ScreenSource() = default;

    virtual std::vector<ScreenInfo> screens() const = 0;
    // The shown windows, the front one first, without this program's windows (by process
    // id) and without those of `excluded`; windows too small to pick are left out.
    virtual std::vector<WindowInfo> windowsFrontToBack(const std::set<std::uint32_t>& excluded = {}) const = 0;
    // The window that has the focus now, ours included; nullopt when there is none.
    virtual std::optional<WindowInfo> activeWindow() const = 0;

    // The pixels under `points`, a rectangle in points of `screen` (origin at its top-left
    // corner), at the screen's device pixel ratio; fails with displayNotFound when the
    // screen is not (or no longer) one of screens().
    virtual ScreenGrab grab(const ScreenInfo& screen, const QRectF& points) = 0;
    // The window's own pixels, also where other windows cover it, without client-side
    // shadows; nullopt when the window is not (or no longer) shown.
    virtual std::optional<QImage> grabWindow(std::uint32_t window) = 0;
    // Asks for `window` to be brought to the front and given the focus, as a pager would;
    // the window manager may decline.
    virtual void activateWindow(std::uint32_t window) = 0;

    ScreenGrab grabScreen(const ScreenInfo& screen)
    {
        return grab(screen, QRectF(QPointF(0, 0), QSizeF(screen.geometry.size())));
    }
};

// The number of pixels `points` cover at `scale`, to the nearest whole number, a half
// going away from zero (3.25 points at scale 2 are 7 pixels).
int pixelLength(double points, double scale);
// `points` of a screen as device pixels of that screen, its top-left corner at (0, 0).
QRect pixelRect(const QRectF& points, double scale);
// The screen a global rectangle lies on: the one it covers most, the earlier one on a
// tie, the first when it covers none; nullptr when there are no screens.
const ScreenInfo* screenOf(const QRect& rect, const std::vector<ScreenInfo>& screens);

// The screen source of this session: X11 when the application runs on the xcb platform,
// otherwise an empty fake.
std::unique_ptr<ScreenSource> makePlatformScreenSource();

} // namespace vorlix
