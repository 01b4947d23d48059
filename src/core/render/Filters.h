#pragma once
// Filters: the blurred or pixelated picture of the part of a panel's image that a
// blur or pixelate annotation covers, and the darkness test of the image under a
// set of points (the renderer draws highlighters differently over dark images).
//
// Filtered images keep the source's format when it is a 32-bit premultiplied (or
// opaque) one with alpha in the fourth byte (RGBA8888_Premultiplied, RGBX8888,
// ARGB32_Premultiplied, RGB32); other sources are converted to
// RGBA8888_Premultiplied. Regions and amounts are in the panel image's pixels;
// only `amount` converts from canvas points.
//
// Everything here computes afresh and keeps nothing, so it is safe from any thread.
// The canvas, which redraws many times a second, keeps filtered pieces and darkness
// answers in its RenderCache.
//
// Drawing a filtered piece over its panel (the renderer's part):
//     clip  = shape rect ∩ panel frame                        (canvas points)
//     cornersInImage = image points of clip's min and max corners
//     region = Filters::imageRegion(cornersInImage.first, .second, panel.pixelSize)
//     request = Filters::filterRequest(kind, style, panel pointsPerPixel)
//     piece = Filters::regionImage(image, *region, *request)  (or the canvas's RenderCache)
//     content = rectangle spanned by the content points of region's min and max corners
//     Filters::drawPiece(painter, piece, request->mode, clip, contentToCanvas, content)

#include "core/model/AnnotationKind.h"
#include "core/model/Geometry.h"
#include "core/model/Panel.h"
#include "core/model/Style.h"

#include <QImage>

#include <optional>
#include <vector>

class QPainter;

namespace vorlix::Filters {

enum class FilterMode { blur, pixelate };

// What to do to a region: blur with sigma `amount`, or pixelate with blocks of
// `amount` pixels (with seeded noise when `noise`). `amount` is at least 1 pixel.
struct FilterRequest {
    FilterMode mode = FilterMode::blur;
    double amount = 1;
    bool noise = false;

    bool operator==(const FilterRequest&) const = default;
};

// The request of a blur or pixelate annotation: a blur annotation blurs without
// noise; a pixelate annotation blurs when `pixelateAsBlur`, else pixelates with
// noise when `pixelateRandom`. The amount is `filterIntensity` (canvas points)
// over `pointsPerPixel`, at least 1; an intensity that is not a finite number
// counts as 0. Nothing for other kinds.
std::optional<FilterRequest> filterRequest(AnnotationKind kind, const Style& style, double pointsPerPixel);

// The whole-pixel image region spanned by two image points (any two opposite
// corners), limited to the image's pixel size; nothing when less than one pixel
// wide or high remains.
std::optional<Rect> imageRegion(Point corner, Point opposite, Size pixelSize);

// The blurred copy of `image` (sigma `radius` pixels, edges clamped, same size).
// Null when the image is null.
QImage blur(const QImage& image, double radius);

// The small block image of `image`: one pixel per block of `block` pixels
// (ceil(width / block) by ceil(height / block), at least 1 by 1), each the exact
// average of the pixels it covers. With `random`, every pixel's colour channels get
// an offset from -40 to 40 from a generator seeded by the grid size, clamped to
// 0...alpha so the premultiplied data stays valid. The caller stretches the result
// without smoothing. Null when the image is null.
QImage pixelate(const QImage& image, double block, bool random);

// The filtered piece of `image` inside `region` (whole pixels, inside the image).
// Null when the region holds no pixels of the image.
QImage regionImage(const QImage& image, const Rect& region, const FilterRequest& request);

// Draws a filtered piece over its panel: clipped to `clip` (canvas points), through
// `contentToCanvas`, into `content` (the region in the panel's content space).
// Blurred pieces are drawn smoothly, pixelated ones with hard block edges. Leaves
// the painter's state as it found it.
void drawPiece(QPainter& painter, const QImage& piece, FilterMode mode, const Rect& clip,
               const AffineTransform& contentToCanvas, const Rect& content);

// Whether the panel's image under `points` (image pixels) is dark: the median luma
// of at most 96 by 48 samples of the region around the points (grown by `margin`,
// at least 24 points, half of it sideways) is below 0.45. `image` is the panel's
// image. Nothing when there are no points, no image or no region.
std::optional<bool> isDark(const std::vector<Point>& points, const Panel& panel, const QImage& image, double margin);
// The two halves of isDark: the image region it samples (whole pixels, inside the
// panel's image), and the darkness of `image` in that region.
std::optional<Rect> darknessRegion(const std::vector<Point>& points, const Panel& panel, double margin);
std::optional<bool> isDarkRegion(const QImage& image, const Rect& region);

} // namespace vorlix::Filters
