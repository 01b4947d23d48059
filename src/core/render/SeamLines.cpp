#include "core/render/SeamLines.h"

#include "core/model/PanelGeometry.h"
#include "core/render/Pens.h"

#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace vorlix::Renderer {

std::vector<Point> zigzagLine(Point a, Point b)
{
    const double length = a.distance(b);
    if (!(length > 0) || !std::isfinite(length))
        return {};
    const Point u = (b - a) * (1 / length);
    const Point normal{-u.y, u.x};
    const long long n = saturatingInt64(std::ceil(length / 5));
    std::vector<Point> points;
    points.reserve(static_cast<std::size_t>(n) + 1);
    for (long long i = 0; i < n; ++i)
        points.push_back(a + u * (5.0 * static_cast<double>(i)) + normal * (i % 2 == 0 ? -3.0 : 3.0));
    points.push_back(b);
    return points;
}

std::vector<Point> breakLine(Point a, Point b)
{
    const double length = a.distance(b);
    if (!(length > 0) || !std::isfinite(length))
        return {};
    const Point u = (b - a) * (1 / length);
    const Point v{u.y, -u.x};
    const long long k = std::max<long long>(1, roundedInt64(length / 400));
    const double h = std::min(length / 5, 10.0);
    const double w = std::min(length * 0.125, 9.0);
    std::vector<Point> points{a};
    points.reserve(static_cast<std::size_t>(k) * 4 + 2);
    for (long long j = 0; j < k; ++j) {
        const double c = length * (static_cast<double>(j) + 0.5) / static_cast<double>(k);
        const Point p = a + u * (c - w);
        const Point q = a + u * (c + w);
        points.insert(points.end(), {p, p + v * h, q - v * h, q});
    }
    points.push_back(b);
    return points;
}

void drawStripSeams(const Panel& panel, CutMark mark, QPainter& painter)
{
    const std::vector<StripSeam> seams = stripSeams(panel);
    if (seams.empty())
        return;
    painter.save();
    painter.setClipRect(frame(panel).toQt(), Qt::IntersectClip);
    painter.setBrush(Qt::NoBrush);
    const QPen light = pen(grey(1, 0.95), 4, Qt::FlatCap, Qt::MiterJoin);
    const QPen dark = pen(toQColor(RGBAColor{0.24, 0.24, 0.26, 1}), 1.6, Qt::FlatCap, Qt::MiterJoin);
    for (const StripSeam& seam : seams) {
        std::vector<Point> points;
        switch (mark) {
        case CutMark::zigzag:
            points = zigzagLine(seam.start, seam.end);
            break;
        case CutMark::lightning:
            points = breakLine(seam.start, seam.end);
            break;
        }
        if (points.empty())
            continue;
        QPolygonF polyline;
        polyline.reserve(static_cast<qsizetype>(points.size()));
        for (const Point& p : points)
            polyline << QPointF(p.x, p.y);
        painter.setPen(light);
        painter.drawPolyline(polyline);
        painter.setPen(dark);
        painter.drawPolyline(polyline);
    }
    painter.restore();
}

} // namespace vorlix::Renderer
