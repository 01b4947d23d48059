#pragma once
// Small documents and an in-memory image provider for the drawing tests. Golden pictures
// are compared by support/GoldenImage.h.

#include "core/model/DocumentModel.h"
#include "core/render/ImageProviding.h"
#include "support/GoldenImage.h"
#include "support/ImageMap.h"
#include "support/ModelBuilders.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

namespace vorlix::test {

// Images by id; previews are made on request and the requested sizes recorded.
class TestImages : public ImageMap {
public:
    QImage previewImage(const QUuid& id, int maxPixelSize) const override
    {
        previewRequests.push_back(maxPixelSize);
        if (const auto it = m_previews.find(id); it != m_previews.end())
            return it->second;
        return image(id);
    }
    // A stand-in preview, so tests can see which image was drawn.
    void addPreview(const QUuid& id, QImage image) { m_previews[id] = std::move(image); }

    mutable std::vector<int> previewRequests;

private:
    std::map<QUuid, QImage> m_previews;
};

inline QImage solidImage(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

// An image of one colour in the byte order the renderer uses.
inline QImage filledRGBA(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGBA8888_Premultiplied);
    image.fill(QColor::fromRgba(colour));
    return image;
}

// An annotation with its kind's default style, fully opaque.
inline Annotation opaqueAnnotation(int id, AnnotationKind kind, std::vector<Point> points, QString text = {})
{
    Style s = Style::defaults(kind);
    s.opacity = 1;
    return Annotation::make(uuid(id), kind, std::move(points), std::move(text), s);
}

// A panel showing `size` image pixels at one pixel per point.
inline Panel imagePanel(int id, Point origin, Size size, double pixelsPerPoint = 1)
{
    Panel p;
    p.id = uuid(id);
    p.imageID = uuid(id + 100);
    p.pixelSize = size;
    p.pixelsPerPoint = pixelsPerPoint;
    p.origin = origin;
    return p;
}

inline QColor pixelAt(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

// Channels within `tolerance` of each other.
inline bool near(QColor a, QColor b, int tolerance = 3)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

} // namespace vorlix::test
