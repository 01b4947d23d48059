#include "core/render/Layer.h"

#include <QPaintDevice>

#include <algorithm>

namespace vorlix {

QRect paintableDeviceRect(const QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    if (!device)
        return {};
    // Images and pixmaps report their size in pixels, windows in logical units.
    const double ratio = device->devType() == QInternal::Widget ? device->devicePixelRatio() : 1.0;
    QRect area(0, 0, static_cast<int>(device->width() * ratio), static_cast<int>(device->height() * ratio));
    if (painter.hasClipping())
        area &= painter.deviceTransform().mapRect(painter.clipBoundingRect()).toAlignedRect();
    return area;
}

void drawAtDevicePixels(QPainter& painter, const QImage& image, QPoint origin)
{
    const QTransform device = painter.deviceTransform();
    if (!device.isInvertible())
        return;
    painter.save();
    // A world transform that cancels the rest of the chain (view transform and
    // device pixel ratio), so user space is device pixels.
    painter.setWorldTransform(device.inverted() * painter.worldTransform());
    painter.drawImage(origin, image);
    painter.restore();
}

Layer::Layer(QPainter& target, std::optional<QRectF> bounds, double opacity)
    : m_target(target), m_opacity(std::clamp(opacity, 0.0, 1.0))
{
    const QTransform device = target.deviceTransform();
    m_area = paintableDeviceRect(target);
    if (bounds)
        m_area &= device.mapRect(bounds->normalized()).toAlignedRect();
    if (!device.isInvertible() || !(m_opacity > 0))
        m_area = {};

    m_image = QImage(std::max(m_area.width(), 1), std::max(m_area.height(), 1), QImage::Format_ARGB32_Premultiplied);
    m_image.fill(Qt::transparent);
    m_painter.begin(&m_image);
    m_painter.setRenderHints(target.renderHints());
    m_painter.setPen(target.pen());
    m_painter.setBrush(target.brush());
    m_painter.setFont(target.font());
    m_painter.setTransform(device * QTransform::fromTranslate(-m_area.x(), -m_area.y()));
}

Layer::~Layer() { end(); }

void Layer::end()
{
    if (m_ended)
        return;
    m_ended = true;
    m_painter.end();
    if (m_area.isEmpty())
        return;
    m_target.save();
    m_target.setOpacity(m_target.opacity() * m_opacity);
    drawAtDevicePixels(m_target, m_image, m_area.topLeft());
    m_target.restore();
}

} // namespace vorlix
