#include "app/editor/inspectors/SwatchButton.h"

#include "core/shapes/QtConversions.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

namespace vorlix {

void SwatchButton::drawDot(QPainter& painter, const RGBAColor& color, const QRectF& rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QColor outline = QApplication::palette().color(QPalette::WindowText);
    outline.setAlphaF(0.3f);
    if (color.alpha != 0) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(toQColor(color));
        painter.drawEllipse(rect);
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawEllipse(rect);
        painter.setPen(QPen(QColor(255, 59, 48), 1.5));
        painter.drawLine(QPointF(rect.left() + 0.2 * rect.width(), rect.bottom() - 0.2 * rect.height()),
                         QPointF(rect.right() - 0.2 * rect.width(), rect.top() + 0.2 * rect.height()));
    }
    painter.setPen(QPen(outline, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(rect);
    painter.restore();
}

} // namespace vorlix
