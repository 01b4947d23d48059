#include "AnnotationDrawing.h"

#include "core/render/QtConversions.h"

namespace vorlix::Renderer {

// Plain strokes of lines and rectangles until the full drawing of every kind is in.
void draw(QPainter& painter, const CanvasShape& shape, std::optional<long long>, QPainter::CompositionMode highlighterBlend)
{
    if (shape.points.size() < 2 || shape.style.lineWidth <= 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const bool highlighter = shape.kind == AnnotationKind::highlighter;
    if (highlighter)
        painter.setCompositionMode(highlighterBlend);
    painter.setPen(QPen(toQColor(shape.style.strokeColor), shape.style.lineWidth, Qt::SolidLine,
                        highlighter ? Qt::FlatCap : Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const QPointF a(shape.points[0].x, shape.points[0].y);
    const QPointF b(shape.points[1].x, shape.points[1].y);
    if (shape.kind == AnnotationKind::rectangle)
        painter.drawRect(QRectF(a, b).normalized());
    else
        painter.drawLine(a, b);
    painter.restore();
}

} // namespace vorlix::Renderer
