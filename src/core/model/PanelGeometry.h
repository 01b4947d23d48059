#pragma once
// The mappings of one panel between its four spaces, all top-left origin, y down:
//
//   image space       source-image pixels, (0, 0, pixelSize); the panel's annotations,
//                     crop, removed strips, cursor position and crop clips live here
//   content space     pixels of the image after crop and strip removal, before turning;
//                     origin at the crop rectangle's top-left corner
//   oriented content  content after quarter turns and mirror
//   canvas space      points; the panel's frame and everything the canvas shows
//
// An image point goes to the canvas by: crop offset and strip collapse, clockwise
// quarter turns, left-right mirror, uniform scale by pointsPerPixel, move to origin.
//
// Every function is a pure function of the Panel value passed in: nothing is cached,
// the crop rectangle, merged intervals and transform are recomputed on each call.
// Wherever pixelsPerPoint or scale divides, the divisor is at least minimumDivisor.

#include "core/model/Panel.h"

#include <functional>
#include <optional>
#include <vector>

namespace vorlix {

inline constexpr double minimumDivisor = 0.0001;

// A closed range [lower, upper] of one axis, lower < upper.
struct Interval {
    double lower = 0;
    double upper = 0;

    bool operator==(const Interval&) const = default;
    double length() const { return upper - lower; }
};

// One kept piece of the source image: where it is in image space and where it lands in
// content space. Both rectangles have the same size.
struct VisibleSegment {
    Rect source;
    Rect content;

    bool operator==(const VisibleSegment&) const = default;
};

// A line on the canvas where a removed band was closed up.
struct StripSeam {
    Point start;
    Point end;

    bool operator==(const StripSeam&) const = default;
};

// ---- Derived sizes and rectangles

// (0, 0, pixelSize).
Rect imageRect(const Panel& panel);
// The standardised crop when it is set, has an area and shares an area with the image;
// otherwise the whole image. Not clipped to the image: parts beyond it count in the
// content size and stay empty when drawn.
Rect cropRect(const Panel& panel);
// The removed bands of one axis, relative to the crop rectangle's leading edge, clipped to
// [0, crop length], sorted and merged (touching bands merge). Disjoint and ascending.
std::vector<Interval> removedIntervals(const Panel& panel, RemovedStrip::Axis axis);
// The crop size less the removed lengths of each axis.
Size contentPixelSize(const Panel& panel);
// The content size, width and height exchanged for an odd number of turns.
Size orientedPixelSize(const Panel& panel);
// Canvas points per content pixel: scale / max(pixelsPerPoint, minimumDivisor).
double pointsPerPixel(const Panel& panel);
Size displaySize(const Panel& panel);
// The panel's displayed rectangle on the canvas: (origin, displaySize).
Rect frame(const Panel& panel);

// ---- One coordinate through the removed bands of its axis (intervals as removedIntervals
// gives them). collapse moves a coordinate beyond a band back by the band's length and one
// inside a band (lower < v <= upper) onto its seam; expand undoes collapse for every
// coordinate outside the bands, and takes a seam back to the band's lower edge.

double collapse(double v, const std::vector<Interval>& intervals);
double expand(double c, const std::vector<Interval>& intervals);

// ---- Point and rectangle mappings

// The image <-> canvas mapping of one panel worked out once, for mapping many points in
// one pass (a panel's annotations, a hit test). Build it, use it, drop it.
class PanelMapping {
public:
    explicit PanelMapping(const Panel& panel);
    Point canvasPoint(Point imagePoint) const;
    Point imagePoint(Point canvasPoint) const;

private:
    Rect m_crop;
    std::vector<Interval> m_columns;
    std::vector<Interval> m_rows;
    AffineTransform m_toCanvas;
    AffineTransform m_toContent;
};

// Not clamped: points outside the crop get content coordinates below 0 or past the size.
Point contentPointFromImage(const Panel& panel, Point imagePoint);
Point imagePointFromContent(const Panel& panel, Point contentPoint);
// Content space to canvas space; the content rectangle lands on frame(panel).
AffineTransform contentToCanvas(const Panel& panel);
Point canvasPointFromImage(const Panel& panel, Point imagePoint);
// Through the inverse of contentToCanvas. A panel of scale 0 has no inverse; the
// transform is then used unchanged (every canvas point gives the image point shown at
// the panel's origin), which is finite and harmless.
Point imagePointFromCanvas(const Panel& panel, Point canvasPoint);
// The bounding rectangle of the four mapped corners; a null rectangle stays null. A
// rectangle spanning a removed band maps to the rectangle between its collapsed corners.
Rect canvasRectFromImage(const Panel& panel, const Rect& imageRect);
Rect imageRectFromCanvas(const Panel& panel, const Rect& canvasRect);
// The annotation's crop clip in canvas space; nothing when it has none.
std::optional<Rect> clipRect(const Panel& panel, const Annotation& annotation);

// ---- Pieces and seams for drawing

// The kept pieces of the image in row-major order. Pieces of a crop reaching past the
// image are cut at the image edge (their content rectangle moves along), pieces wholly
// outside are left out; the content they would cover stays empty.
std::vector<VisibleSegment> visibleSegments(const Panel& panel);
// Row seams first, then column seams, each mapped to the canvas. A band at the crop's
// first or last row or column leaves no seam.
std::vector<StripSeam> stripSeams(const Panel& panel);

// ---- Visibility

// What the visibility tests need of a panel annotation's canvas shape, which the shape
// code builds from canvasPointFromImage: `bounds` is the shape's bounds (outline growth
// included); `clipExtent` is what is judged against a crop clip, the area a lens
// enlarges (its source rectangle) and the bounds for every other kind. Null when there
// is nothing.
struct ShapeExtents {
    Rect bounds = Rect::null();
    Rect clipExtent = Rect::null();

    bool operator==(const ShapeExtents&) const = default;
};
using ShapeExtentsFunction = std::function<ShapeExtents(const Panel&, const Annotation&)>;

// True when the annotation has a crop clip and points, and its clip extent is null or
// does not meet the clip's canvas rectangle.
bool isOutsideCrop(const Panel& panel, const Annotation& annotation, const ShapeExtentsFunction& extents);
// True when every point of the annotation lies inside one removed band (edges included).
// Only the points count, not the stroke or the text box.
bool liesInRemovedBand(const Panel& panel, const Annotation& annotation);
// Outside the crop, or lying in one removed band. Hidden annotations are not drawn and
// count in no bounds.
bool isHidden(const Panel& panel, const Annotation& annotation, const ShapeExtentsFunction& extents);
// The frame united with the canvas bounds of every annotation that is not hidden: how
// far a crop of this panel may reach.
Rect workArea(const Panel& panel, const ShapeExtentsFunction& extents);

} // namespace vorlix
