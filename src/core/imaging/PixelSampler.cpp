#include "core/imaging/PixelSampler.h"

#include "core/document/DocumentAnnotations.h"
#include "core/imaging/Exporter.h"
#include "core/model/PanelGeometry.h"
#include "core/render/Filters.h"

#include <cmath>
#include <cstdlib>

namespace vorlix {

const PixelSampler::Composite* PixelSampler::composite(const DocumentModel& document, const ImageProviding& images)
{
    if (m_composite)
        return &*m_composite;
    ExportOptions options;
    options.resolution = ExportOptions::Native{};
    options.background = TransparentBackground{};
    auto image = Exporter::renderImage(document, images, options);
    if (!image || image->width() < 1 || image->height() < 1)
        return nullptr;
    if (image->format() != QImage::Format_RGBA8888_Premultiplied)
        *image = image->convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    const Rect bounds = canvasBounds(document);
    m_composite = Composite{std::move(*image), bounds.origin, 0};
    m_composite->scale = m_composite->image.width() / bounds.width();
    return &*m_composite;
}

std::optional<QPoint> PixelSampler::pixel(const Composite& c, Point point) const
{
    const double x = std::floor(c.scale * (point.x - c.origin.x));
    const double y = std::floor(c.scale * (point.y - c.origin.y));
    if (!(x >= 0) || !(y >= 0) || x >= c.image.width() || y >= c.image.height())
        return std::nullopt;
    return QPoint(static_cast<int>(x), static_cast<int>(y));
}

std::optional<RGBAColor> PixelSampler::color(Point point, const DocumentModel& document, const ImageProviding& images)
{
    const Composite* c = composite(document, images);
    if (!c)
        return std::nullopt;
    const auto p = pixel(*c, point);
    if (!p)
        return std::nullopt;
    const uchar* bytes = c->image.constScanLine(p->y()) + static_cast<qsizetype>(p->x()) * 4;
    if (bytes[3] == 0)
        return std::nullopt;
    // Un-premultiplied: R / 255 / (A / 255) = R / A.
    const double a = bytes[3];
    return RGBAColor{bytes[0] / a, bytes[1] / a, bytes[2] / a, 1};
}

std::optional<Rect> PixelSampler::edges(Point point, const DocumentModel& document, const ImageProviding& images,
                                        int tolerance)
{
    const Composite* c = composite(document, images);
    if (!c)
        return std::nullopt;
    const auto p = pixel(*c, point);
    if (!p)
        return std::nullopt;
    const QImage& image = c->image;
    const auto at = [&](int x, int y) { return image.constScanLine(y) + static_cast<qsizetype>(x) * 4; };
    const uchar* start = at(p->x(), p->y());
    if (start[3] == 0)
        return std::nullopt;
    const auto differs = [&](const uchar* other) {
        for (int i = 0; i < 4; ++i) {
            if (std::abs(int(other[i]) - int(start[i])) > tolerance)
                return true;
        }
        return false;
    };
    const int x = p->x();
    const int y = p->y();
    // From the start pixel in steps of `step` until a differing pixel or the edge; the
    // last similar position.
    const auto reach = [&](int from, int step, int end, auto pixel) {
        for (int i = from + step; i != end; i += step)
            if (differs(pixel(i)))
                return i - step;
        return end - step;
    };
    const auto onRow = [&](int i) { return at(i, y); };
    const auto onColumn = [&](int i) { return at(x, i); };
    const int left = reach(x, -1, -1, onRow);
    const int right = reach(x, 1, image.width(), onRow);
    const int top = reach(y, -1, -1, onColumn);
    const int bottom = reach(y, 1, image.height(), onColumn);
    return Rect(c->origin.x + left / c->scale, c->origin.y + top / c->scale, (right - left + 1) / c->scale,
                (bottom - top + 1) / c->scale);
}

const Panel* panelAt(const DocumentModel& document, Point point)
{
    for (auto it = document.panels.rbegin(); it != document.panels.rend(); ++it) {
        if (frame(*it).contains(point))
            return &*it;
    }
    return nullptr;
}

std::optional<bool> isDarkBackground(const DocumentModel& document, const std::vector<Point>& points, double margin,
                                     const ImageProviding& images)
{
    if (points.empty())
        return std::nullopt;
    const Panel* panel = panelAt(document, points.front());
    if (!panel)
        return std::nullopt;
    const QImage image = images.image(panel->imageID);
    if (image.isNull())
        return std::nullopt;
    const PanelMapping mapping(*panel);
    std::vector<Point> imagePoints;
    imagePoints.reserve(points.size());
    for (const Point& p : points)
        imagePoints.push_back(mapping.imagePoint(p));
    return Filters::isDark(imagePoints, *panel, image, margin / std::max(pointsPerPixel(*panel), minimumDivisor));
}

} // namespace vorlix
