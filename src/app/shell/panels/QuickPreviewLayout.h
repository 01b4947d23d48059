#pragma once
// The sizes and the place of the quick preview, in logical pixels of the screen (y down).
//
// The thumbnail fits within 240 × 150, never enlarges the shot, and is at least 120 × 60
// (the picture inside keeps its proportions and is letterboxed then). Below it lies a row
// of 64 for the note and the buttons, and 10 of margin around everything: the panel is
// always 260 wide and 124 to 214 high. It sits 16 inside the bottom-right corner of the
// screen's available area.

#include "core/model/Geometry.h"

namespace vorlix {

struct QuickPreviewLayout {
    static constexpr double maximumThumbnailWidth = 240;
    static constexpr double maximumThumbnailHeight = 150;
    static constexpr double minimumThumbnailWidth = 120;
    static constexpr double minimumThumbnailHeight = 60;
    static constexpr double minimumContentWidth = 240;
    static constexpr double margin = 10;
    static constexpr double rowsBelowThumbnail = 64;
    static constexpr double screenInset = 16;

    Size shot;      // the shot's size in logical pixels
    Size thumbnail; // the thumbnail's frame
    Size panel;

    bool operator==(const QuickPreviewLayout&) const = default;

    // For a shot of `pixelWidth` × `pixelHeight` device pixels at `pixelsPerPoint` (a scale
    // that is not positive and finite counts as 1).
    static QuickPreviewLayout forShot(int pixelWidth, int pixelHeight, double pixelsPerPoint);

    // The picture fitted into the thumbnail, enlarged or reduced with its proportions kept
    // and centred, in thumbnail coordinates.
    Rect pictureFrame() const;
    // The panel's top-left corner for a screen whose available area is `available`.
    Point origin(const Rect& available) const;
};

} // namespace vorlix
