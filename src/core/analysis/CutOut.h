#pragma once
// Background removal for the cut-out tool: the object in an image alone on transparency.
//
// The background is found by colour flood fills started from every border pixel, each
// reaching only pixels similar to its own starting (reference) colour, and extended by
// holes: extra seeds, either filling from a clicked pixel or removing its colour
// everywhere. What is left is cropped to its bounding box; pixels on the edge of the
// removed area get a soft alpha and have the background colour un-mixed from them.
//
// Positions are in the source image's pixel grid: x the column, y the row from the top.
// Works on any image; the image's own transparency is flattened onto black first.

#include "core/model/Geometry.h"

#include <QImage>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace vorlix::CutOut {

// An extra seed of the removal.
struct Hole {
    // Pixel position; fractions are cut off (toward zero). Points outside the image or
    // not finite are ignored.
    Point point;
    // false: the background grows from this pixel through connected similar pixels;
    // true: every still kept pixel of similar colour anywhere in the image is removed.
    bool everywhere = false;

    bool operator==(const Hole&) const = default;
};

struct Result {
    // The kept pixels cropped to `bounds`, Format_RGBA8888_Premultiplied; removed pixels
    // are fully transparent.
    QImage image;
    // The bounding box of the kept pixels in the source image's pixel grid.
    Rect bounds;

    bool operator==(const Result&) const = default;
};

// The sensitivity a new cut-out starts with.
inline constexpr double defaultSensitivity = 0.12;

// The largest image processed, in pixels: pixel indices are signed 32-bit.
inline constexpr std::size_t maximumPixelCount = 2147483647;

// The squared colour distance up to which two colours count as similar:
// floor((220 x min(sensitivity, 1))^2), and 0 for zero, negative or NaN sensitivities.
int squaredThreshold(double sensitivity);

// The whole removal. Nothing when either side of the image is 2 pixels or less, when it
// holds more than `maximumPixelCount` pixels, when nothing is left, or when a bitmap
// cannot be made.
std::optional<Result> removeBackground(const QImage& image, double sensitivity, const std::vector<Hole>& holes);

} // namespace vorlix::CutOut

template <>
struct std::hash<vorlix::CutOut::Hole> {
    std::size_t operator()(const vorlix::CutOut::Hole& hole) const noexcept;
};
