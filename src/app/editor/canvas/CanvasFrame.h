#pragma once
// Sizing the canvas inside its scroll view. The frame (bounds origin and size, canvas
// points) always holds the whole content with room around it: it is re-centred on the
// content when the clip view's size changes, and otherwise only grows, so that the
// part the user sees stays where it is while the document grows. No frame changes
// while a gesture runs.
//
// planFrame is the arithmetic of one sizing pass; refitFrame runs passes the way the
// canvas and its window both do: showing or hiding scroll bars changes the clip size,
// so a pass may call for another, at most three in all.

#include "core/model/Geometry.h"

#include <functional>
#include <optional>

namespace vorlix {

struct FrameRequest {
    static constexpr double emptyMargin = 36; // room around an empty document, canvas points

    Rect canvasBounds;     // what the document draws; empty for an empty document
    Size clipSize;         // the clip view's size in canvas points; zero without a scroll view
    Rect visibleRect;      // what the view shows now; the zero rectangle when it is in no window
    bool inWindow = false; // the view is shown
    bool isInteracting = false;
    Size lastClipSize;  // the clip size of the previous pass
    Rect currentBounds; // the frame now: bounds origin and frame size
    bool didInitialScroll = false;

    bool operator==(const FrameRequest&) const = default;
};

struct FramePlan {
    enum class Mode { centre, grow, keep };

    Mode mode = Mode::keep;
    Size lastClipSize;             // always the request's clip size
    std::optional<Rect> bounds;    // the new bounds origin and frame size; nothing to keep them
    std::optional<Point> scrollTo; // where the visible rectangle's origin goes afterwards
    bool didInitialScroll = false;

    bool operator==(const FramePlan&) const = default;
};

FramePlan planFrame(const FrameRequest& request);

// Unless `isUpdatingFrame` is already set, sets it, runs `apply` and runs it again while
// `clipSizeChanged` says the clip size differs from the one the last pass recorded, at
// most three passes in all; clears the flag. The number of passes made.
int refitFrame(bool& isUpdatingFrame, const std::function<void()>& apply, const std::function<bool()>& clipSizeChanged);

} // namespace vorlix
