#pragma once
// Small pictures for the drawing tests: a painted canvas, shapes built in one line and ink
// measurements. Golden pictures are compared by support/GoldenImage.h.

#include "core/render/AnnotationDrawing.h"
#include "support/GoldenImage.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>

namespace vorlix::test {

inline QImage canvasImage(int w, int h, QColor background = Qt::white)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    return image;
}

inline CanvasShape makeShape(AnnotationKind kind, std::vector<Point> points,
                             const std::function<void(Style&)>& edit = {}, QString text = {})
{
    CanvasShape shape;
    shape.kind = kind;
    shape.points = std::move(points);
    shape.style = Style::defaults(kind);
    shape.text = std::move(text);
    if (edit)
        edit(shape.style);
    return shape;
}

// The shape drawn alone on a canvas of the given size and colour, antialiased.
inline QImage rendered(const CanvasShape& shape, int w, int h, QColor background = Qt::white,
                       std::optional<long long> number = std::nullopt,
                       QPainter::CompositionMode blend = QPainter::CompositionMode_Multiply)
{
    QImage image = canvasImage(w, h, background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    Renderer::draw(painter, shape, number, blend);
    painter.end();
    return image;
}

// The box of the pixels that pass `ink`; null when none does.
inline QRect inkBox(const QImage& image, const std::function<bool(QColor)>& ink)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (ink(image.pixelColor(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

inline int channelDistance(QColor a, QColor b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue()),
                     std::abs(a.alpha() - b.alpha())});
}

} // namespace vorlix::test
