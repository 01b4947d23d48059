#include "core/render/Lens.h"

#include "core/render/PanelImage.h"
#include "core/render/Pens.h"
#include "core/render/Shadow.h"
#include "core/shapes/ShapeGeometry.h"

#include <QPainterPath>

#include <algorithm>

namespace vorlix::Renderer {

namespace {

const Shadow lensShadowLook{{0, 3}, 10, {0, 0, 0, 0.35}};

} // namespace

void drawLens(const CanvasShape& shape, const Panel& panel, const ImageProviding& images, QPainter& painter)
{
    if (shape.kind != AnnotationKind::lens || shape.points.size() < 3)
        return;
    const LensGeometry g(shape.points, shape.style);
    const double w = shape.style.lineWidth;
    const double thin = std::max(w * 0.6, 1.0);
    const QColor stroke = toQColor(shape.style.strokeColor);

    painter.save();
    if (const auto connector = g.connector(); connector && thin > 0) {
        painter.setPen(pen(stroke, thin));
        painter.drawLine(QPointF(connector->first.x, connector->first.y),
                         QPointF(connector->second.x, connector->second.y));
    }
    const QRectF magnified = g.magnifiedRect.toQt();
    QPainterPath disc;
    disc.addEllipse(magnified);
    drawPathShadow(painter, lensShadowLook, disc, Qt::white);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(disc);

    if (const QImage image = images.image(panel.imageID); !image.isNull()) {
        painter.save();
        painter.setClipPath(disc, Qt::IntersectClip);
        const Point mc = g.magnifiedCenter();
        const Point sc = g.sourceCenter();
        painter.translate(mc.x, mc.y);
        painter.scale(g.magnification, g.magnification);
        painter.translate(-sc.x, -sc.y);
        drawImagePieces(panel, image, painter);
        painter.restore();
    }

    painter.setBrush(Qt::NoBrush);
    if (w > 0) {
        painter.setPen(pen(stroke, w));
        painter.drawEllipse(magnified);
    }
    painter.setPen(pen(stroke, thin));
    painter.drawEllipse(g.sourceRect.toQt());
    painter.restore();
}

} // namespace vorlix::Renderer
