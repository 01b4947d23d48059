#include "app/editor/window/BarIndicator.h"
#include "app/support/SystemFont.h"

#include "core/shapes/QtConversions.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <utility>

namespace vorlix {

namespace {

QColor withAlpha(QColor color, double factor)
{
    color.setAlphaF(color.alphaF() * factor);
    return color;
}

} // namespace

BarIndicator::BarIndicator(int width, const QString& caption, QWidget* parent) : QWidget(parent), m_caption(caption)
{
    setFixedSize(width, 40);
}

void BarIndicator::setCaption(const QString& caption)
{
    if (std::exchange(m_caption, caption) != caption)
        update();
}

void BarIndicator::drawSymbol(QPainter&, const QRectF&) const {}

void BarIndicator::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_press.press(event->scenePosition());
}

void BarIndicator::mouseMoveEvent(QMouseEvent* event)
{
    if (m_press.moveStartsWindowDrag(event->scenePosition()))
        ClickOrWindowDrag::startWindowDrag(this);
}

void BarIndicator::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_press.releaseFires(rect().contains(event->position().toPoint())) &&
        onPress)
        onPress();
}

void BarIndicator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    drawSymbol(painter, QRectF(0, 4, width(), 18));
    const QFont font = systemFont(9.5, QFont::Normal);
    const double captionWidth = QFontMetricsF(font).horizontalAdvance(m_caption);
    painter.setFont(font);
    painter.setPen(withAlpha(palette().color(QPalette::WindowText), 0.85));
    painter.drawText(QRectF((width() - captionWidth) / 2, 26, captionWidth + 1, 16),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, m_caption);
}

void ValueIndicator::setValue(const QString& value)
{
    if (std::exchange(m_value, value) != value)
        update();
}

void ValueIndicator::drawSymbol(QPainter& painter, const QRectF& rect) const
{
    painter.setFont(systemFont(12, QFont::DemiBold));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect.adjusted(-20, -4, 20, 4), Qt::AlignCenter | Qt::TextDontClip, m_value);
}

void ColorIndicator::setColor(const std::optional<RGBAColor>& color)
{
    m_color = color;
    setCaption(color ? color->hexString() : QStringLiteral("Colore"));
    update();
}

void ColorIndicator::drawSymbol(QPainter& painter, const QRectF& rect) const
{
    const QRectF square(rect.center().x() - 9, rect.top(), 18, 18);
    QPainterPath path;
    if (m_color) {
        path.addRoundedRect(square.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        painter.fillPath(path, toQColor(*m_color));
        painter.strokePath(path, QPen(withAlpha(palette().color(QPalette::WindowText), 0.3), 1));
    } else {
        path.addRoundedRect(QRectF(square.center().x() - 6, square.center().y() - 1, 12, 2), 1, 1);
        painter.fillPath(path, palette().color(QPalette::PlaceholderText));
    }
}

} // namespace vorlix
