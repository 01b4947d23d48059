#pragma once
// Small pictures for the drawing tests: a painted canvas, shapes built in one line, ink
// measurements and a golden-image comparison that leaves actual, expected and diff
// images beside the golden file when it fails.

#include "core/render/AnnotationDrawing.h"

#include <QDir>
#include <QFileInfo>
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

inline CanvasShape makeShape(AnnotationKind kind, std::vector<Point> points, const std::function<void(Style&)>& edit = {},
                             QString text = {})
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

// Compares with a golden PNG: every channel within `tolerance`, and at most
// `allowedFraction` of the pixels beyond it (antialiased text edges). A missing golden is
// written when VORLIX_UPDATE_GOLDEN is set.
inline ::testing::AssertionResult matchesGolden(const QImage& actual, const QString& path, int tolerance = 12,
                                                double allowedFraction = 0.004)
{
    const QImage image = actual.convertToFormat(QImage::Format_ARGB32);
    if (!QFileInfo::exists(path) && std::getenv("VORLIX_UPDATE_GOLDEN")) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        image.save(path);
    }
    const QImage expected = QImage(path).convertToFormat(QImage::Format_ARGB32);
    const QString stem = path.left(path.size() - 4);
    const auto failed = [&](const QString& why) {
        image.save(stem + QStringLiteral(".actual.png"));
        return ::testing::AssertionFailure() << why.toStdString() << " (actual written beside " << path.toStdString()
                                             << ")";
    };
    if (expected.isNull())
        return failed(QStringLiteral("no golden image"));
    if (expected.size() != image.size())
        return failed(QStringLiteral("size differs"));
    QImage diff(image.size(), QImage::Format_ARGB32);
    diff.fill(Qt::white);
    long long bad = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (channelDistance(image.pixelColor(x, y), expected.pixelColor(x, y)) > tolerance) {
                ++bad;
                diff.setPixelColor(x, y, Qt::red);
            }
    const double fraction = double(bad) / (double(image.width()) * image.height());
    if (fraction > allowedFraction) {
        expected.save(stem + QStringLiteral(".expected.png"));
        diff.save(stem + QStringLiteral(".diff.png"));
        return failed(QStringLiteral("%1 pixels differ").arg(bad));
    }
    return ::testing::AssertionSuccess();
}

} // namespace vorlix::test
