#include "core/render/Filters.h"

#include "core/render/GaussianBlur.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vorlix::Filters {

namespace {

// The whole-pixel rectangle of `region` inside `image`; empty when they do not meet.
QRect pixelRect(const Rect& region, const QImage& image)
{
    if (region.isNull())
        return {};
    const QRect r(saturatingInt(region.minX()), saturatingInt(region.minY()), saturatingInt(region.width()),
                  saturatingInt(region.height()));
    return r.intersected(image.rect());
}

// The part of `image` inside `pixels` (which lies inside the image). Premultiplied
// 32-bit images are shared rather than copied; the view lives no longer than the
// call that reads it.
QImage cropView(const QImage& image, const QRect& pixels)
{
    switch (image.format()) {
    case QImage::Format_RGBA8888_Premultiplied:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGB32:
        return QImage(image.constScanLine(pixels.y()) + static_cast<std::ptrdiff_t>(pixels.x()) * 4, pixels.width(),
                      pixels.height(), image.bytesPerLine(), image.format());
    default:
        return image.copy(pixels);
    }
}

// `image` itself when it is a premultiplied 32-bit image with alpha in the fourth
// byte (the filters treat the three colour bytes alike), else a converted copy.
QImage workingImage(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_RGBA8888_Premultiplied:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGB32:
        return image;
    default:
        return image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    }
}

QTransform toQTransform(const AffineTransform& t) { return QTransform(t.a, t.b, t.c, t.d, t.tx, t.ty); }

// Block i of n over `length` pixels covers [edge(i), edge(i + 1)).
int blockEdge(int i, int n, int length) { return static_cast<int>(static_cast<std::int64_t>(i) * length / n); }

void addNoise(QImage& blocks)
{
    // A 64-bit linear congruential generator seeded by the grid size only, so the
    // same region and block size always show the same pattern.
    std::uint64_t s =
        static_cast<std::uint64_t>(blocks.width()) * 7919u + static_cast<std::uint64_t>(blocks.height()) * 104729u;
    for (int y = 0; y < blocks.height(); ++y) {
        std::uint8_t* p = blocks.scanLine(y);
        for (int x = 0; x < blocks.width(); ++x, p += 4) {
            s = s * 6364136223846793005u + 1442695040888963407u;
            const int offset = static_cast<int>((s >> 33) % 81) - 40;
            // Premultiplied: a colour channel never exceeds alpha.
            const int alpha = p[3];
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<std::uint8_t>(std::clamp(p[c] + offset, 0, alpha));
        }
    }
}

} // namespace

std::optional<FilterRequest> filterRequest(AnnotationKind kind, const Style& style, double pointsPerPixel)
{
    const double intensity = std::isfinite(style.filterIntensity) ? style.filterIntensity : 0;
    const double divisor = std::isfinite(pointsPerPixel) ? std::max(pointsPerPixel, 0.0001) : 1;
    const double amount = std::max(intensity / divisor, 1.0);
    switch (kind) {
    case AnnotationKind::blur:
        return FilterRequest{FilterMode::blur, amount, false};
    case AnnotationKind::pixelate:
        if (style.pixelateAsBlur)
            return FilterRequest{FilterMode::blur, amount, false};
        return FilterRequest{FilterMode::pixelate, amount, style.pixelateRandom};
    case AnnotationKind::arrow:
    case AnnotationKind::line:
    case AnnotationKind::rectangle:
    case AnnotationKind::ellipse:
    case AnnotationKind::text:
    case AnnotationKind::callout:
    case AnnotationKind::highlighter:
    case AnnotationKind::pencil:
    case AnnotationKind::number:
    case AnnotationKind::stamp:
    case AnnotationKind::cursor:
    case AnnotationKind::spotlight:
    case AnnotationKind::lens:
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<Rect> imageRegion(Point corner, Point opposite, Size pixelSize)
{
    const Rect region =
        Rect::corner(corner, opposite).integral().intersection(Rect(0, 0, pixelSize.width, pixelSize.height));
    if (region.isNull() || !(region.width() >= 1) || !(region.height() >= 1))
        return std::nullopt;
    return region;
}

QImage blur(const QImage& image, double radius)
{
    if (image.isNull())
        return {};
    return gaussianBlurred(workingImage(image), radius);
}

QImage pixelate(const QImage& image, double block, bool random)
{
    if (image.isNull())
        return {};
    const QImage source = workingImage(image);
    const int w = source.width();
    const int h = source.height();
    if (!(block >= 1))
        block = 1;
    const int bw = std::max(static_cast<int>(std::min(std::ceil(w / block), double(w))), 1);
    const int bh = std::max(static_cast<int>(std::min(std::ceil(h / block), double(h))), 1);
    QImage blocks(bw, bh, source.format());
    if (blocks.isNull())
        return {};

    // Sum each band of rows column by column (a straight, vectorisable loop), then
    // each block's columns of that sum.
    const std::size_t rowLength = static_cast<std::size_t>(w) * 4;
    std::vector<std::uint32_t> columnSums(rowLength);
    for (int j = 0; j < bh; ++j) {
        const int y0 = blockEdge(j, bh, h);
        const int y1 = blockEdge(j + 1, bh, h);
        std::fill(columnSums.begin(), columnSums.end(), 0u);
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* row = source.constScanLine(y);
            for (std::size_t x = 0; x < rowLength; ++x)
                columnSums[x] += row[x];
        }
        std::uint8_t* out = blocks.scanLine(j);
        for (int i = 0; i < bw; ++i) {
            const int x0 = blockEdge(i, bw, w);
            const int x1 = blockEdge(i + 1, bw, w);
            std::uint64_t sum[4] = {0, 0, 0, 0};
            for (int x = x0; x < x1; ++x)
                for (int c = 0; c < 4; ++c)
                    sum[c] += columnSums[static_cast<std::size_t>(x) * 4 + static_cast<std::size_t>(c)];
            const std::uint64_t n = static_cast<std::uint64_t>(x1 - x0) * static_cast<std::uint64_t>(y1 - y0);
            for (int c = 0; c < 4; ++c)
                out[i * 4 + c] = static_cast<std::uint8_t>((sum[c] + n / 2) / n);
        }
    }
    if (random)
        addNoise(blocks);
    return blocks;
}

QImage regionImage(const QImage& image, const Rect& region, const FilterRequest& request)
{
    const QRect pixels = pixelRect(region, image);
    if (pixels.isEmpty())
        return {};
    const QImage crop = cropView(image, pixels);
    QImage piece;
    switch (request.mode) {
    case FilterMode::blur:
        piece = blur(crop, request.amount);
        break;
    case FilterMode::pixelate:
        piece = pixelate(crop, request.amount, request.noise);
        break;
    }
    return piece;
}

void drawPiece(QPainter& painter, const QImage& piece, FilterMode mode, const Rect& clip,
               const AffineTransform& contentToCanvas, const Rect& content)
{
    if (piece.isNull() || clip.isEmpty() || content.isEmpty())
        return;
    painter.save();
    painter.setClipRect(clip.toQt(), Qt::IntersectClip);
    painter.setTransform(toQTransform(contentToCanvas), true);
    switch (mode) {
    case FilterMode::blur:
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        break;
    case FilterMode::pixelate:
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        break;
    }
    painter.drawImage(content.standardized().toQt(), piece, QRectF(piece.rect()));
    painter.restore();
}

std::optional<Rect> darknessRegion(const std::vector<Point>& points, const Panel& panel, double margin)
{
    Rect box = Rect::null();
    for (const Point& p : points) {
        if (std::isfinite(p.x) && std::isfinite(p.y))
            box = box.united(Rect(p, Size{}));
    }
    if (box.isNull())
        return std::nullopt;

    const double ppp = std::isfinite(panel.pixelsPerPoint) ? panel.pixelsPerPoint : 1;
    const double m = std::max(std::isfinite(margin) ? margin : 0, 24 * ppp);
    const Rect region =
        box.insetBy(-m / 2, -m).integral().intersection(Rect(0, 0, panel.pixelSize.width, panel.pixelSize.height));
    if (region.isNull() || !(region.width() >= 1) || !(region.height() >= 1))
        return std::nullopt;
    return region;
}

std::optional<bool> isDarkRegion(const QImage& image, const Rect& region)
{
    if (image.isNull() || region.isNull())
        return std::nullopt;
    const int sw = static_cast<int>(std::min(std::floor(region.width()), 96.0));
    const int sh = static_cast<int>(std::min(std::floor(region.height()), 48.0));
    const QRect pixels = pixelRect(region, image);
    if (pixels.isEmpty() || sw < 1 || sh < 1)
        return std::nullopt;
    // Nearest samples of the premultiplied colours (transparent parts read as black).
    const QImage sample = image.copy(pixels)
                              .convertToFormat(QImage::Format_RGBA8888_Premultiplied)
                              .scaled(sw, sh, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (sample.isNull())
        return std::nullopt;

    std::vector<double> lumas;
    lumas.reserve(static_cast<std::size_t>(sw) * static_cast<std::size_t>(sh));
    for (int y = 0; y < sample.height(); ++y) {
        const std::uint8_t* p = sample.constScanLine(y);
        for (int x = 0; x < sample.width(); ++x, p += 4)
            lumas.push_back((0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2]) / 255);
    }
    // The upper of the two middle values for an even count.
    const auto middle = lumas.begin() + static_cast<std::ptrdiff_t>(lumas.size() / 2);
    std::nth_element(lumas.begin(), middle, lumas.end());
    return *middle < 0.45;
}

std::optional<bool> isDark(const std::vector<Point>& points, const Panel& panel, const QImage& image, double margin)
{
    if (image.isNull())
        return std::nullopt;
    const std::optional<Rect> region = darknessRegion(points, panel, margin);
    return region ? isDarkRegion(image, *region) : std::nullopt;
}

} // namespace vorlix::Filters
