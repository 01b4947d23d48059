#include "app/support/TextPill.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace vorlix {

namespace {

QSizeF textSize(const QString& text, const QFont& font) { return QFontMetricsF(font).size(0, text); }

} // namespace

TextPill TextPill::make(const QString& text, const QFont& font, const QColor& textColor, QSizeF padding,
                        const QColor& fill, std::optional<double> radius)
{
    const QSizeF measured = textSize(text, font);
    return {
        .size = {measured.width() + 2 * padding.width(), measured.height() + 2 * padding.height()},
        .text = text,
        .font = font,
        .textColor = textColor,
        .padding = padding,
        .fill = fill,
        .radius = radius,
    };
}

void TextPill::draw(QPainter& painter, QPointF origin) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double r = cornerRadius();
    QPainterPath background;
    background.addRoundedRect(QRectF(origin, size), r, r);
    painter.fillPath(background, fill);

    painter.setFont(font);
    painter.setPen(textColor);
    const QPointF textOrigin = origin + QPointF(padding.width(), padding.height());
    painter.drawText(QRectF(textOrigin, textSize(text, font)), Qt::AlignLeft | Qt::AlignTop, text);
    painter.restore();
}

} // namespace vorlix
