#pragma once
// Exact outlines of the drawn shapes, in canvas points (y down): arrows (tapered
// shaft, heads), line dots, the magnifying lens, measurement ticks and label pill,
// step-number badges and callout bubbles. Pure computation; the renderer draws these
// and the canvas shapes take their bounds, handles and hit tests from them.

#include "core/model/Style.h"
#include "core/shapes/CurvePath.h"

#include <QPainterPath>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace vorlix {

struct CanvasShape;

struct ArrowGeometry {
    Point start;
    Point end;
    CurvePath path;
    double shaftStartWidth = 1;
    double shaftEndWidth = 1;
    double headLength = 0;
    double headHalfWidth = 0;
    ArrowHeadStyle headStyle = ArrowHeadStyle::filled;
    bool doubleHead = false;

    // Needs at least two points; a third bends the line through it.
    ArrowGeometry(const std::vector<Point>& points, const Style& style);
    ArrowGeometry(Point start, Point end, const Style& style) : ArrowGeometry(std::vector<Point>{start, end}, style) {}

    std::vector<Point> shaftCenterline() const;
    std::vector<Point> shaftPolygon() const;
    Point headBase() const;
    Point startHeadBase() const;
    std::vector<Point> headTriangle() const;
    std::optional<std::vector<Point>> startHeadTriangle() const;
    double headStrokeWidth() const;
    Rect bounds() const;
};

namespace LineGeometry {
double dotRadius(const Style& style);
// How far a line's drawing reaches from its centre line (dots included).
double reach(const Style& style);
} // namespace LineGeometry

struct LensGeometry {
    static constexpr double maximumMagnification = 10;

    Rect sourceRect;
    Rect magnifiedRect;
    double magnification = 1.1;
    double lineWidth = 0;

    // Two or three points: a circle about p0 through p1, magnified about p2 (or p0);
    // four: the source spanned by p0-p1 and the view spanned by p2-p3.
    LensGeometry(const std::vector<Point>& points, const Style& style);

    static std::vector<Point> points(const Rect& source, const Rect& magnified);
    static Rect defaultMagnifiedRect(const Rect& source, double magnification);

    Point sourceCenter() const { return sourceRect.center(); }
    Point magnifiedCenter() const { return magnifiedRect.center(); }
    std::optional<std::pair<Point, Point>> connector() const;
    Rect bounds() const;
};

struct MeasureGeometry {
    struct Tick {
        Point start;
        Point end;
    };
    std::vector<Tick> ticks;
    Rect labelRect;
    QString label;
    Style labelStyle;     // the label's font: the system font, bold, sized by the line width
    RGBAColor labelColor; // contrasts with the pill, which is filled with the stroke colour

    // Nothing unless the shape is a measuring line with at least two points and a label.
    static std::optional<MeasureGeometry> make(const CanvasShape& shape);
    Rect bounds() const;
    // "13 px": rounded half away from zero.
    static QString text(double pixels);
};

namespace NumberGeometry {
double radius(const Style& style);
QPainterPath path(Point center, const Style& style);
} // namespace NumberGeometry

namespace CalloutGeometry {
inline constexpr double cornerRadius = 12;
QPainterPath bubblePath(const Rect& box, std::optional<Point> tip);
} // namespace CalloutGeometry

} // namespace vorlix
