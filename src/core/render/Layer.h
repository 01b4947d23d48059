#pragma once
// Layer: a transparency layer, the group drawing QPainter lacks. What is drawn
// through `painter()` goes into an offscreen premultiplied image that covers the
// target's device pixels inside its clip and the affected area; `end()` (or the
// destructor) composites that image back as one picture with the layer's opacity,
// through the target painter's opacity, composition mode and clip at that moment.
// Shapes with opacity below 1 therefore do not show their own overlaps, and a layer
// may clear parts of what it drew (composition mode Clear) without touching what is
// underneath.
//
// The layer works in the target's device pixels (device pixel ratio and world
// transform included), so nothing is resampled; its painter starts with the
// target's world transform, render hints, pen, brush and font. Layers nest: a layer
// may be opened on another layer's painter. Main thread, like all drawing.

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRectF>

#include <optional>

namespace vorlix {

class Layer {
public:
    // `bounds`: the area the drawing may affect, in the target painter's current
    // user space; nothing means everything inside the target's clip. `opacity` is
    // clamped to 0...1.
    Layer(QPainter& target, std::optional<QRectF> bounds, double opacity = 1);
    ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    // The painter that draws into the layer; valid until `end()`.
    QPainter& painter() { return m_painter; }
    // The layer covers no device pixel: what is drawn is discarded.
    bool isEmpty() const { return m_area.isEmpty(); }
    // The device pixels the layer covers.
    QRect deviceArea() const { return m_area; }
    // Composites the layer onto the target; later calls do nothing.
    void end();

private:
    QPainter& m_target;
    double m_opacity;
    QRect m_area;
    QImage m_image;
    QPainter m_painter;
    bool m_ended = false;
};

// The device pixels `painter` may still touch: its device's pixels within its clip.
QRect paintableDeviceRect(const QPainter& painter);

// Draws `image` with its top-left at device pixel `origin`, one image pixel per
// device pixel, through the painter's opacity, composition mode and clip; the
// painter's transform is left as it was.
void drawAtDevicePixels(QPainter& painter, const QImage& image, QPoint origin);

} // namespace vorlix
