#include "app/editor/inspectors/RadialColorMenu.h"

#include "app/editor/inspectors/PaletteEditor.h"
#include "app/editor/inspectors/SwatchButton.h"
#include "app/support/Settings.h"
#include "platform/Compositing.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <numbers>

namespace vorlix {

QPointF RadialRing::dotCenter(std::size_t index, std::size_t count)
{
    const double angle = std::numbers::pi / 2 - 2 * std::numbers::pi * double(index) / double(count);
    const double middle = size / 2;
    return {middle + radius * std::cos(angle), middle - radius * std::sin(angle)};
}

std::optional<std::size_t> RadialRing::index(QPointF point, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const QPointF offset = point - dotCenter(i, count);
        if (std::hypot(offset.x(), offset.y()) <= hitRadius)
            return i;
    }
    return std::nullopt;
}

RadialColorView::RadialColorView(std::vector<RGBAColor> colors, std::optional<RGBAColor> current)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint),
      m_colors(std::move(colors)),
      m_current(current)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    setFixedSize(int(RadialRing::size), int(RadialRing::size));
    if (isCompositingManagerRunning()) {
        setAttribute(Qt::WA_TranslucentBackground);
    } else {
        // One point beyond the disc, so that its outline is not cut.
        const int edge = int(RadialRing::discInset) - 1;
        setMask(QRegion(rect().adjusted(edge, edge, -edge, -edge), QRegion::Ellipse));
    }
}

void RadialColorView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double inset = RadialRing::discInset;
    QColor background = palette().color(QPalette::Window);
    background.setAlphaF(0.85f);
    QColor separator = palette().color(QPalette::WindowText);
    separator.setAlphaF(0.2f);
    painter.setPen(QPen(separator, 1));
    painter.setBrush(background);
    painter.drawEllipse(QRectF(rect()).adjusted(inset, inset, -inset, -inset));

    const QColor label = palette().color(QPalette::WindowText);
    for (std::size_t i = 0; i < m_colors.size(); ++i) {
        const double r = m_hovered == i ? RadialRing::hoveredDotRadius : RadialRing::dotRadius;
        const QPointF centre = RadialRing::dotCenter(i, m_colors.size());
        SwatchButton::drawDot(painter, m_colors[i], QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r));
        if (m_current == m_colors[i]) {
            const double mark = r + RadialRing::currentMarkGap;
            painter.setPen(QPen(label, 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(centre, mark, mark);
        }
    }
}

void RadialColorView::mouseMoveEvent(QMouseEvent* event)
{
    const std::optional<std::size_t> index = RadialRing::index(event->position(), m_colors.size());
    if (index == m_hovered)
        return;
    m_hovered = index;
    update();
}

void RadialColorView::mousePressEvent(QMouseEvent* event)
{
    // A popup hears of presses outside it too; those close it through hideEvent.
    const bool inside = rect().contains(event->position().toPoint());
    const std::optional<std::size_t> index = inside && event->button() == Qt::LeftButton
                                                 ? RadialRing::index(event->position(), m_colors.size())
                                                 : std::nullopt;
    if (index && onChoose)
        onChoose(m_colors[*index]);
    else if (onCancel)
        onCancel();
}

void RadialColorView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && onCancel)
        onCancel();
    else
        QWidget::keyPressEvent(event);
}

void RadialColorView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (onCancel)
        onCancel();
}

RadialColorMenu::RadialColorMenu(Settings& settings) : m_settings(settings) {}

RadialColorMenu::~RadialColorMenu() { dismiss(m_ring); }

RadialColorMenu& RadialColorMenu::shared()
{
    static RadialColorMenu menu(Settings::shared());
    return menu;
}

void RadialColorMenu::show(QPoint globalPosition, std::optional<RGBAColor> current,
                           std::function<void(RGBAColor)> onChoose)
{
    dismiss(m_ring);

    const Palette palette = storedPalette(m_settings);
    auto* ring = new RadialColorView(palette.colors, current);
    const QPointer<RadialColorView> guard(ring);
    ring->onChoose = [this, guard, onChoose = std::move(onChoose)](RGBAColor color) {
        onChoose(color);
        dismiss(guard);
    };
    ring->onCancel = [this, guard] { dismiss(guard); };
    const int half = int(RadialRing::size / 2);
    ring->move(globalPosition - QPoint(half, half));
    m_ring = ring;
    ring->show();
    ring->activateWindow();
}

void RadialColorMenu::dismiss(RadialColorView* ring)
{
    if (!ring || ring != m_ring)
        return;
    m_ring = nullptr;
    // Its hide event finds it no longer shown and does nothing more.
    ring->close();
}

} // namespace vorlix
