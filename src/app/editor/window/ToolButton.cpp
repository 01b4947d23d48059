#include "app/editor/window/ToolButton.h"
#include "app/support/SystemFont.h"

#include "app/editor/window/ToolbarLayout.h"
#include "app/support/AccentColor.h"
#include "app/support/ImageDrag.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace vorlix {

namespace {

constexpr double iconSide = 24;
constexpr double iconTop = 4;
constexpr double labelTop = 30;
constexpr double labelHeight = 13;

QColor labelColor(const QWidget& widget)
{
    QColor color = widget.palette().color(QPalette::WindowText);
    color.setAlphaF(color.alphaF() * 0.85);
    return color;
}

} // namespace

ToolButton::ToolButton(const Icon& icon, const QString& title, const QString& toolTip, QWidget* parent)
    : QWidget(parent), m_icon(icon), m_title(title)
{
    setToolTip(toolTip);
    setAccessibleName(title);
    setMouseTracking(true);
    setShowsLabel(true);
}

QFont ToolButton::labelFont() { return systemFont(9.5); }

double ToolButton::labelWidth() const { return QFontMetricsF(labelFont()).horizontalAdvance(m_title); }

void ToolButton::setActive(bool active)
{
    if (std::exchange(m_active, active) != active)
        update();
}

void ToolButton::setShowsLabel(bool shows)
{
    m_showsLabel = shows;
    setFixedSize(toolButtonSize(shows, labelWidth()).toSize());
    update();
}

QRectF ToolButton::hitRect() const
{
    QRectF hit((width() - iconSide) / 2, iconTop, iconSide, iconSide);
    if (m_showsLabel) {
        const double label = std::ceil(labelWidth());
        hit |= QRectF((width() - label) / 2, labelTop, label, labelHeight);
    }
    return hit.adjusted(-4, -3, 4, 3) & QRectF(rect());
}

void ToolButton::setPressed(bool pressed)
{
    if (std::exchange(m_pressed, pressed) != pressed)
        update();
}

void ToolButton::updateHover(QPointF pos)
{
    const bool hovered = hitRect().contains(pos);
    if (std::exchange(m_hovered, hovered) != hovered)
        update();
}

void ToolButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !hitRect().contains(event->position())) {
        event->ignore();
        return;
    }
    m_press.press(event->scenePosition());
    setPressed(true);
}

void ToolButton::mouseMoveEvent(QMouseEvent* event)
{
    updateHover(event->position());
    if (m_press.moveStartsWindowDrag(event->scenePosition())) {
        setPressed(false);
        ClickOrWindowDrag::startWindowDrag(this);
    }
}

void ToolButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setPressed(false);
    if (m_press.releaseFires(rect().contains(event->position().toPoint())) && onPress)
        onPress();
}

void ToolButton::leaveEvent(QEvent*)
{
    if (std::exchange(m_hovered, false))
        update();
}

void ToolButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = width();
    if (const double opacity = (m_active || m_pressed) ? 0.15 : m_hovered ? 0.1 : 0; opacity > 0) {
        QColor grey = QColor::fromRgbF(0.5, 0.5, 0.5);
        grey.setAlphaF(opacity);
        QPainterPath background;
        background.addRoundedRect(QRectF(rect()), 7, 7);
        painter.fillPath(background, grey);
    }
    m_icon.draw(painter, QRectF((w - iconSide) / 2, iconTop, iconSide, iconSide),
                palette().color(QPalette::WindowText));
    if (m_showsLabel) {
        painter.setFont(labelFont());
        painter.setPen(labelColor(*this));
        const double label = labelWidth();
        painter.drawText(QRectF((w - label) / 2, labelTop, label + 1, labelHeight + 4),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, m_title);
    }
    if (m_active) {
        QPainterPath bar;
        bar.addRoundedRect(QRectF((w - 12) / 2, height() - 3, 12, 2), 1, 1);
        painter.fillPath(bar, vorlixAccent());
    }
}

void DragButton::mousePressEvent(QMouseEvent* event)
{
    ToolButton::mousePressEvent(event);
    if (event->isAccepted()) {
        m_dragDown = event->position().toPoint();
        setCursor(Qt::OpenHandCursor);
    }
}

// Dragging this button drags the image, never the window.
void DragButton::mouseMoveEvent(QMouseEvent* event)
{
    updateHover(event->position());
    if (isHovered())
        setCursor(Qt::OpenHandCursor);
    else
        unsetCursor();
    if (!m_dragDown || !dragData)
        return;
    const auto data = dragData();
    if (!data)
        return;
    const QPoint down = *std::exchange(m_dragDown, std::nullopt);
    m_press.down.reset();
    setPressed(false);
    ImageDrag::begin(this, down, data->first, data->second, Qt::CopyAction);
}

void DragButton::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragDown.reset();
    ToolButton::mouseReleaseEvent(event);
}

} // namespace vorlix
