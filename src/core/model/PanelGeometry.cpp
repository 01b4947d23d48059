#include "core/model/PanelGeometry.h"

#include <algorithm>

namespace vorlix {

namespace {

double axisBase(const Rect& crop, RemovedStrip::Axis axis)
{
    switch (axis) {
    case RemovedStrip::Axis::rows:
        return crop.minY();
    case RemovedStrip::Axis::columns:
        return crop.minX();
    }
    return 0;
}

double axisLength(const Rect& crop, RemovedStrip::Axis axis)
{
    switch (axis) {
    case RemovedStrip::Axis::rows:
        return crop.height();
    case RemovedStrip::Axis::columns:
        return crop.width();
    }
    return 0;
}

std::vector<Interval> mergedIntervals(const Panel& panel, const Rect& crop, RemovedStrip::Axis axis)
{
    const double base = axisBase(crop, axis);
    const double length = axisLength(crop, axis);
    std::vector<Interval> ranges;
    for (const RemovedStrip& strip : panel.removedStrips) {
        if (strip.axis != axis)
            continue;
        const Interval r{std::max(strip.lower - base, 0.0), std::min(strip.upper - base, length)};
        if (r.lower < r.upper)
            ranges.push_back(r);
    }
    std::stable_sort(ranges.begin(), ranges.end(),
                     [](const Interval& l, const Interval& r) { return l.lower < r.lower; });
    std::vector<Interval> merged;
    for (const Interval& r : ranges) {
        if (!merged.empty() && r.lower <= merged.back().upper)
            merged.back().upper = std::max(merged.back().upper, r.upper);
        else
            merged.push_back(r);
    }
    return merged;
}

double totalLength(const std::vector<Interval>& intervals)
{
    double total = 0;
    for (const Interval& i : intervals)
        total += i.length();
    return total;
}

// The crop rectangle and both axes' merged bands, worked out once per call (never kept).
struct Bands {
    Rect crop;
    std::vector<Interval> columns;
    std::vector<Interval> rows;

    Size contentSize() const { return {crop.width() - totalLength(columns), crop.height() - totalLength(rows)}; }
    Point collapsed(Point p) const { return {collapse(p.x - crop.minX(), columns), collapse(p.y - crop.minY(), rows)}; }
    Point expanded(Point c) const { return {expand(c.x, columns) + crop.minX(), expand(c.y, rows) + crop.minY()}; }
};

Bands bandsOf(const Panel& panel)
{
    const Rect crop = cropRect(panel);
    return {crop, mergedIntervals(panel, crop, RemovedStrip::Axis::columns),
            mergedIntervals(panel, crop, RemovedStrip::Axis::rows)};
}

AffineTransform contentTransform(const Panel& panel, Size content);

bool hasOddTurns(const Panel& panel) { return (panel.orientation.quarterTurns & 1) != 0; }

// The complement of merged intervals inside [0, length].
std::vector<Interval> keptRanges(const std::vector<Interval>& intervals, double length)
{
    std::vector<Interval> kept;
    double cursor = 0;
    for (const Interval& i : intervals) {
        if (cursor < i.lower)
            kept.push_back({cursor, i.lower});
        cursor = std::max(cursor, i.upper);
    }
    if (cursor < length)
        kept.push_back({cursor, length});
    return kept;
}

} // namespace

Rect imageRect(const Panel& panel) { return Rect(0, 0, panel.pixelSize.width, panel.pixelSize.height); }

Rect cropRect(const Panel& panel)
{
    const Rect image = imageRect(panel);
    if (!panel.crop)
        return image;
    const Rect crop = panel.crop->standardized();
    // A crop that only touches the image would show none of it: a panel of nothing but
    // empty pixels. Such a crop is ignored like one that misses the image altogether.
    if (crop.isEmpty() || crop.intersection(image).isEmpty())
        return image;
    return crop;
}

std::vector<Interval> removedIntervals(const Panel& panel, RemovedStrip::Axis axis)
{
    return mergedIntervals(panel, cropRect(panel), axis);
}

Size contentPixelSize(const Panel& panel) { return bandsOf(panel).contentSize(); }

Size orientedPixelSize(const Panel& panel)
{
    const Size s = contentPixelSize(panel);
    return hasOddTurns(panel) ? Size{s.height, s.width} : s;
}

double pointsPerPixel(const Panel& panel) { return panel.scale / std::max(panel.pixelsPerPoint, minimumDivisor); }

Size displaySize(const Panel& panel)
{
    const Size s = orientedPixelSize(panel);
    const double k = pointsPerPixel(panel);
    return {s.width * k, s.height * k};
}

Rect frame(const Panel& panel) { return Rect(panel.origin, displaySize(panel)); }

double collapse(double v, const std::vector<Interval>& intervals)
{
    double r = v;
    for (const Interval& i : intervals) {
        if (i.lower < v)
            r -= std::min(i.upper, v) - i.lower;
    }
    return r;
}

double expand(double c, const std::vector<Interval>& intervals)
{
    double r = c;
    for (const Interval& i : intervals) {
        if (i.lower < r)
            r += i.length();
    }
    return r;
}

Point contentPointFromImage(const Panel& panel, Point p) { return bandsOf(panel).collapsed(p); }

Point imagePointFromContent(const Panel& panel, Point c) { return bandsOf(panel).expanded(c); }

AffineTransform contentToCanvas(const Panel& panel) { return contentTransform(panel, contentPixelSize(panel)); }

namespace {
AffineTransform contentTransform(const Panel& panel, Size content)
{
    const double w = content.width;
    const double h = content.height;
    // Quarter turns clockwise on the y-down canvas. Only 1, 2 and 3 turn; other values
    // (never written by the application) leave the content as it is.
    AffineTransform turn;
    switch (panel.orientation.quarterTurns) {
    case 1: // (h - y, x)
        turn = {0, 1, -1, 0, h, 0};
        break;
    case 2: // (w - x, h - y)
        turn = {-1, 0, 0, -1, w, h};
        break;
    case 3: // (y, w - x)
        turn = {0, -1, 1, 0, 0, w};
        break;
    default:
        break;
    }
    AffineTransform t = turn;
    if (panel.orientation.flippedHorizontally) {
        const double orientedWidth = hasOddTurns(panel) ? h : w;
        t = t.concatenating({-1, 0, 0, 1, orientedWidth, 0});
    }
    const double s = pointsPerPixel(panel);
    return t.concatenating({s, 0, 0, s, panel.origin.x, panel.origin.y});
}
} // namespace

PanelMapping::PanelMapping(const Panel& panel)
{
    Bands bands = bandsOf(panel);
    m_toCanvas = contentTransform(panel, bands.contentSize());
    m_toContent = m_toCanvas.inverted();
    m_crop = bands.crop;
    m_columns = std::move(bands.columns);
    m_rows = std::move(bands.rows);
}

Point PanelMapping::canvasPoint(Point p) const
{
    return m_toCanvas.apply({collapse(p.x - m_crop.minX(), m_columns), collapse(p.y - m_crop.minY(), m_rows)});
}

Point PanelMapping::imagePoint(Point p) const
{
    const Point c = m_toContent.apply(p);
    return {expand(c.x, m_columns) + m_crop.minX(), expand(c.y, m_rows) + m_crop.minY()};
}

Point canvasPointFromImage(const Panel& panel, Point p) { return PanelMapping(panel).canvasPoint(p); }

Point imagePointFromCanvas(const Panel& panel, Point p) { return PanelMapping(panel).imagePoint(p); }

Rect canvasRectFromImage(const Panel& panel, const Rect& r)
{
    const Bands bands = bandsOf(panel);
    const AffineTransform t = contentTransform(panel, bands.contentSize());
    return r.mappedCorners([&](Point p) { return t.apply(bands.collapsed(p)); });
}

Rect imageRectFromCanvas(const Panel& panel, const Rect& r)
{
    const Bands bands = bandsOf(panel);
    const AffineTransform t = contentTransform(panel, bands.contentSize()).inverted();
    return r.mappedCorners([&](Point p) { return bands.expanded(t.apply(p)); });
}

std::optional<Rect> clipRect(const Panel& panel, const Annotation& annotation)
{
    if (!annotation.cropClip)
        return std::nullopt;
    return canvasRectFromImage(panel, *annotation.cropClip);
}

std::vector<VisibleSegment> visibleSegments(const Panel& panel)
{
    const Bands bands = bandsOf(panel);
    const Rect& crop = bands.crop;
    const Rect image = imageRect(panel);
    const std::vector<Interval> columns = keptRanges(bands.columns, crop.width());
    const std::vector<Interval> rows = keptRanges(bands.rows, crop.height());
    std::vector<VisibleSegment> segments;
    double contentY = 0;
    for (const Interval& row : rows) {
        double contentX = 0;
        for (const Interval& column : columns) {
            const Rect piece(crop.minX() + column.lower, crop.minY() + row.lower, column.length(), row.length());
            const Rect source = piece.intersection(image);
            if (!source.isEmpty()) {
                const Rect content(contentX + source.minX() - piece.minX(), contentY + source.minY() - piece.minY(),
                                   source.width(), source.height());
                segments.push_back({source, content});
            }
            contentX += column.length();
        }
        contentY += row.length();
    }
    return segments;
}

std::vector<StripSeam> stripSeams(const Panel& panel)
{
    const Bands bands = bandsOf(panel);
    const Size content = bands.contentSize();
    const AffineTransform t = contentTransform(panel, content);
    std::vector<StripSeam> seams;
    double removed = 0;
    for (const Interval& i : bands.rows) {
        const double c = i.lower - removed;
        if (0 < c && c < content.height)
            seams.push_back({t.apply(Point{0, c}), t.apply(Point{content.width, c})});
        removed += i.length();
    }
    removed = 0;
    for (const Interval& i : bands.columns) {
        const double c = i.lower - removed;
        if (0 < c && c < content.width)
            seams.push_back({t.apply(Point{c, 0}), t.apply(Point{c, content.height})});
        removed += i.length();
    }
    return seams;
}

namespace {
// The crop test on extents already computed, so that a caller needing both the test and
// the bounds builds the shape once.
bool outsideClip(const Panel& panel, const Annotation& annotation, const ShapeExtents& extents)
{
    const Rect clip = canvasRectFromImage(panel, *annotation.cropClip);
    return extents.clipExtent.isNull() || !extents.clipExtent.intersects(clip);
}
bool hasClipAndPoints(const Annotation& annotation) { return annotation.cropClip && !annotation.points.empty(); }
} // namespace

bool isOutsideCrop(const Panel& panel, const Annotation& annotation, const ShapeExtentsFunction& extents)
{
    return hasClipAndPoints(annotation) && outsideClip(panel, annotation, extents(panel, annotation));
}

bool liesInRemovedBand(const Panel& panel, const Annotation& annotation)
{
    if (panel.removedStrips.empty() || annotation.points.empty())
        return false;
    double x0 = annotation.points.front().x, x1 = x0;
    double y0 = annotation.points.front().y, y1 = y0;
    for (const Point& p : annotation.points) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    const Bands bands = bandsOf(panel);
    const Rect& crop = bands.crop;
    const auto withinOne = [](const std::vector<Interval>& intervals, double lo, double hi) {
        return std::any_of(intervals.begin(), intervals.end(),
                           [&](const Interval& i) { return i.lower <= lo && hi <= i.upper; });
    };
    return withinOne(bands.columns, x0 - crop.minX(), x1 - crop.minX()) ||
           withinOne(bands.rows, y0 - crop.minY(), y1 - crop.minY());
}

bool isHidden(const Panel& panel, const Annotation& annotation, const ShapeExtentsFunction& extents)
{
    return isOutsideCrop(panel, annotation, extents) || liesInRemovedBand(panel, annotation);
}

Rect workArea(const Panel& panel, const ShapeExtentsFunction& extents)
{
    Rect area = frame(panel);
    for (const Annotation& annotation : panel.annotations) {
        if (liesInRemovedBand(panel, annotation))
            continue;
        const ShapeExtents e = extents(panel, annotation);
        if (hasClipAndPoints(annotation) && outsideClip(panel, annotation, e))
            continue;
        if (!e.bounds.isNull())
            area = area.united(e.bounds);
    }
    return area;
}

} // namespace vorlix
