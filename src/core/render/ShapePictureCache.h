#pragma once
// Annotation shapes kept as pictures in device pixels, for the canvas: a redraw of an
// unchanged shape composites its picture instead of stroking, filling and shaping text
// again. A shape's picture is drawn exactly as the shape would be drawn onto the target
// (same transform, including its fraction of a pixel) into a transparent image, and
// composited source-over through the target's clip; as source-over groups, the result is
// the direct drawing's, up to rounding.
//
// Kept per annotation id: the picture is reused while the shape, its number, the scale
// and rotation of the device transform and the fraction of a pixel of its translation
// stay the same (a view scrolled by whole pixels reuses it). A changed shape draws a new
// picture in place of the old. Bounded by pixels, least recently used first out.
// Not synchronised: each canvas owns one, in its RenderCache.

#include "core/shapes/CanvasShape.h"

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QUuid>

#include <cstdint>
#include <optional>
#include <unordered_map>

namespace vorlix::Renderer {

class ShapePictureCache {
public:
    // A canvas's pictures: about 64 MB, the shapes of a busy document on a large display.
    static constexpr qsizetype canvasPixelCapacity = 16 * 1024 * 1024;

    explicit ShapePictureCache(qsizetype pixelCapacity) : m_pixelCapacity(pixelCapacity) {}

    // Draws the shape of annotation `id` like `Renderer::draw(painter, shape, number)`,
    // through its kept picture where the painter allows it (full opacity, source-over);
    // highlighters, which blend with what is under them, are always drawn directly.
    void draw(QPainter& painter, const QUuid& id, const CanvasShape& shape, std::optional<long long> number);

    qsizetype pixelCount() const { return m_pixels; }
    // Shapes kept as pictures (the others are drawn directly each time).
    std::size_t pictureCount() const;
    // Shapes drawn into a new picture so far; reusing a kept one adds nothing.
    std::uint64_t picturesMade() const { return m_picturesMade; }
    void clear();

private:
    // What the picture depends on besides the shape: the device transform without its
    // whole pixels of translation.
    struct Placement {
        double m11 = 1, m12 = 0, m21 = 0, m22 = 1;
        double dxFraction = 0, dyFraction = 0;

        bool operator==(const Placement&) const = default;
    };

    struct Entry {
        CanvasShape shape;
        std::optional<long long> number;
        Placement placement;
        QImage picture; // null: the shape is drawn directly (too large, or reaches past its area)
        QPoint offset;  // the picture's top-left device pixel, less the translation's whole pixels
        std::uint64_t lastUse = 0;
    };

    static Placement placementOf(const QTransform& device);
    static qsizetype pixelsOf(const Entry& entry);
    static bool matches(const Entry& entry, const CanvasShape& shape, std::optional<long long> number,
                        const Placement& placement);
    Entry drawPicture(const QTransform& device, const QPainter& painter, const CanvasShape& shape,
                      std::optional<long long> number) const;
    void evictBeyondCapacity();

    qsizetype m_pixelCapacity;
    qsizetype m_pixels = 0;
    std::uint64_t m_clock = 0;
    std::uint64_t m_picturesMade = 0;
    struct IdHash {
        std::size_t operator()(const QUuid& id) const noexcept { return qHash(id); }
    };

    std::unordered_map<QUuid, Entry, IdHash> m_entries;
};

} // namespace vorlix::Renderer
