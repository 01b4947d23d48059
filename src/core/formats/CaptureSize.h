#pragma once
// A favourite capture size: a fixed frame of exactly `width` × `height` pixels
// centred on the pointer, or (ratioOnly) an aspect ratio width : height that
// constrains the rectangle the user drags.
//
// Stored as {"width": w, "height": h, "ratioOnly": b}, all three required.

#include "core/model/Geometry.h"
#include "core/model/Json.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace vorlix {

struct CaptureSize {
    static constexpr std::size_t maximumFavorites = 12;
    static constexpr std::int64_t minimumSide = 8; // pixels, fixed sizes
    static constexpr std::int64_t maximumRatioTerm = 1000;

    std::int64_t width = 0;  // pixels, or the ratio's first term
    std::int64_t height = 0; // pixels, or the ratio's second term
    bool ratioOnly = false;

    bool operator==(const CaptureSize&) const = default;

    // 1920 × 1080 px, 1080 × 1080 px, 800 × 600 px, 16 : 9, 4 : 3.
    static const std::vector<CaptureSize>& defaults();

    // "16 : 9" or "1920 × 1080 px".
    QString title() const;
    // A ratio: both terms 1...1000. A fixed size: both sides at least 8 pixels.
    bool isValid() const;
    // A ratio always fits; a fixed size when it is no larger than the screen's pixels.
    bool fits(std::int64_t pixelWidth, std::int64_t pixelHeight) const;

    // The frame of a fixed size centred on `point` of a screen `screenSize` points
    // large at `pixelsPerPoint`, pushed back inside the screen at its edges. In
    // points, with its corners on whole pixels and exactly width × height pixels.
    // Nothing for a ratio, an invalid size, a scale that is not positive and finite,
    // or a frame larger than the screen.
    std::optional<Rect> frame(Point point, double pixelsPerPoint, Size screenSize) const;

    // The rectangle of this ratio dragged from `start` towards `end`: `start` stays a
    // corner, the ratio is kept, and the rectangle covers the drag on the axis that
    // needs more room without leaving `bounds` on the dragged side. An empty
    // rectangle at `start` when a term is below 1.
    Rect ratioRect(Point start, Point end, const Rect& bounds) const;
};

template <>
struct JsonCoding<CaptureSize> {
    static CaptureSize decode(const JsonValue& v);
    static Json encode(const CaptureSize& size);
};

} // namespace vorlix
