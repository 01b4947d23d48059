#include "app/editor/inspectors/SwatchButton.h"

#include "app/support/Settings.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QIconEngine>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <memory>

namespace vorlix {

namespace {

QColor qColor(const RGBAColor& c)
{
    return QColor::fromRgbF(float(c.red), float(c.green), float(c.blue), float(c.alpha));
}

QColor labelColor(const QWidget* widget)
{
    return (widget ? widget->palette() : QGuiApplication::palette()).color(QPalette::WindowText);
}

// Draws the dot afresh for every size and pixel density asked.
class DotEngine final : public QIconEngine {
public:
    explicit DotEngine(const RGBAColor& color) : m_color(color) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override
    {
        SwatchButton::drawDot(*painter, m_color, QRectF(rect).adjusted(1, 1, -1, -1));
    }
    QIconEngine* clone() const override { return new DotEngine(m_color); }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap picture(size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return picture;
    }

private:
    RGBAColor m_color;
};

} // namespace

SwatchButton::SwatchButton(const RGBAColor& color, Settings* settings, QWidget* parent)
    : QWidget(parent), m_color(color), m_settings(settings)
{
    setFixedSize(side, side);
    setToolTip(color.hexString());
    setAccessibleName(QStringLiteral("Colore ") + color.hexString());
    setCursor(Qt::PointingHandCursor);
}

void SwatchButton::setSelected(bool selected)
{
    if (m_isSelected == selected)
        return;
    m_isSelected = selected;
    update();
}

void SwatchButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (onPress)
        onPress();
}

void SwatchButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    if (onEdit)
        onEdit();
    else if (onPress)
        onPress();
}

QMenu* SwatchButton::makeMenu()
{
    if (!onEdit)
        return nullptr;
    auto* menu = new QMenu(this);
    menu->addAction(QStringLiteral("Cambia colore…"), this, &SwatchButton::editColor);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Ripristina colori predefiniti"), this, &SwatchButton::resetPalette);
    return menu;
}

void SwatchButton::contextMenuEvent(QContextMenuEvent* event)
{
    std::unique_ptr<QMenu> menu(makeMenu());
    if (!menu) {
        event->ignore();
        return;
    }
    menu->exec(event->globalPos());
}

void SwatchButton::editColor()
{
    if (onEdit)
        onEdit();
}

void SwatchButton::resetPalette()
{
    Settings& settings = m_settings ? *m_settings : Settings::shared();
    // The palette's row posts the palette change.
    settings.set(setting::palette, Palette::standard());
}

void SwatchButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    drawDot(painter, m_color, bounds.adjusted(3, 3, -3, -3));
    if (m_isSelected) {
        painter.setPen(QPen(labelColor(this), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(bounds.adjusted(0.75, 0.75, -0.75, -0.75));
    }
}

void SwatchButton::drawDot(QPainter& painter, const RGBAColor& color, const QRectF& rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QColor outline = labelColor(nullptr);
    outline.setAlphaF(0.3f);
    if (color.alpha != 0) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(qColor(color));
        painter.drawEllipse(rect);
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawEllipse(rect);
        painter.setPen(QPen(QColor(255, 59, 48), 1.5));
        painter.drawLine(QPointF(rect.left() + 0.2 * rect.width(), rect.top() + 0.2 * rect.height()),
                         QPointF(rect.right() - 0.2 * rect.width(), rect.bottom() - 0.2 * rect.height()));
    }
    painter.setPen(QPen(outline, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(rect);
    painter.restore();
}

QIcon SwatchButton::image(const RGBAColor& color) { return QIcon(new DotEngine(color)); }

} // namespace vorlix
