#pragma once
// The full-screen layer through which the user chooses what to capture: one borderless
// window over every screen, each showing its screen's frozen picture under a veil, until
// one of them reports a rectangle, one or more windows, a whole screen, or a cancel.
//
// Rectangles of a selection are in points of their screen, origin at its top-left corner,
// y downwards. Window frames (WindowInfo::frame) are in global logical pixels, origin at
// the top-left corner of the first screen. Everything runs on the main thread.
//
// The capture service makes one overlay per capture through a factory, awaits run() and,
// after an area result (the only one that leaves the windows showing), calls close().
// Tests give the service a scripted overlay of their own.

#include "core/formats/CaptureSize.h"
#include "core/model/Geometry.h"
#include "platform/ScreenSource.h"

#include <QImage>

#include <QCoro/QCoroTask>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace vorlix {

// What the user is choosing.
struct SelectionMode {
    enum class Kind {
        fixed,    // a fixed capture size: exact pixels following the pointer, or a held proportion
        area,     // a freely dragged rectangle
        window,   // a click picks a window; Shift-clicks collect several
        allInOne, // a drag gives an area, a click a window, "f" the whole screen
    };

    Kind kind = Kind::area;
    CaptureSize size; // only for `fixed`; left at its default otherwise

    static SelectionMode fixed(const CaptureSize& size) { return {Kind::fixed, size}; }
    static SelectionMode area() { return {Kind::area, {}}; }
    static SelectionMode window() { return {Kind::window, {}}; }
    static SelectionMode allInOne() { return {Kind::allInOne, {}}; }

    bool isExactFixed() const { return kind == Kind::fixed && !size.ratioOnly; }
    bool isRatioFixed() const { return kind == Kind::fixed && size.ratioOnly; }
    bool operator==(const SelectionMode&) const = default;
};

// A rectangle on one screen, and the overlay's own windows that a live grab must leave out.
struct Selection {
    ScreenInfo screen;
    Rect rect; // in the screen's points, top-left origin
    std::vector<std::uint32_t> overlayWindowNumbers;

    bool operator==(const Selection&) const = default;
};

struct AreaChosen {
    Selection selection;
    bool operator==(const AreaChosen&) const = default;
};

struct WindowsChosen {
    std::vector<std::uint32_t> windows; // in the order picked
    bool operator==(const WindowsChosen&) const = default;
};

struct FullScreenChosen {
    ScreenInfo screen;
    bool operator==(const FullScreenChosen&) const = default;
};

using SelectionResult = std::variant<AreaChosen, WindowsChosen, FullScreenChosen>;

// What an overlay is built with: the screens to cover, each screen's frozen picture in
// device pixels by screen id (none when the screen is not frozen), the mode and the
// candidate windows front to back (empty outside the window and all-in-one modes).
struct SelectionOverlaySetup {
    std::vector<ScreenInfo> screens;
    std::map<std::uint32_t, QImage> frozen;
    SelectionMode mode;
    std::vector<WindowInfo> screenWindows;
};

class SelectionOverlay {
public:
    virtual ~SelectionOverlay() = default;

    // Shows the overlay and resumes with the user's choice, or nothing when cancelled. Run
    // once. With no screens to cover it resumes at once with nothing: it never waits for
    // a window that cannot exist.
    virtual QCoro::Task<std::optional<SelectionResult>> run() = 0;
    // Takes every overlay window off the screen; harmless when repeated.
    virtual void close() = 0;
};

class Settings;
class SelectionWindows;

// The overlay of this session's screens, on top-level windows of the running application;
// the loupe's "showsLoupe" choice is read from and kept in `settings`. The windows come
// from `windows` and go back there, which must outlive the overlay; without it the
// overlay makes windows of its own.
std::unique_ptr<SelectionOverlay> makeSelectionOverlay(SelectionOverlaySetup setup);
std::unique_ptr<SelectionOverlay> makeSelectionOverlay(SelectionOverlaySetup setup, Settings& settings,
                                                       SelectionWindows* windows = nullptr);

} // namespace vorlix
