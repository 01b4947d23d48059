#include "app/editor/window/PixelRuler.h"
#include "app/support/SystemFont.h"

#include "app/support/AccentColor.h"
#include "app/support/TextPill.h"

#include <QApplication>
#include <QPainter>

namespace vorlix {

namespace {

constexpr std::array<int, 3> tickLengths{12, 7, 4};

} // namespace

PixelRuler::PixelRuler(Qt::Orientation orientation, QWidget* parent) : QWidget(parent), m_orientation(orientation)
{
    setToolTip(QStringLiteral("Righello in pixel: lo zero è l'angolo in alto a sinistra dell'immagine "
                              "(Vista ▸ Mostra i righelli, Ctrl+Super+R)"));
    if (orientation == Qt::Horizontal)
        setFixedHeight(thickness);
    else
        setFixedWidth(thickness);
}

QFont PixelRuler::markFont() { return systemFont(9, QFont::DemiBold); }

void PixelRuler::setScale(const PixelRulerScale& scale)
{
    if (std::exchange(m_scale, scale) != scale)
        update();
}

void PixelRuler::setPointer(std::optional<double> canvasCoordinate)
{
    if (std::exchange(m_pointer, canvasCoordinate) != canvasCoordinate)
        update();
}

std::optional<QString> PixelRuler::markText() const
{
    if (!m_pointer)
        return std::nullopt;
    return m_scale.markText(*m_pointer);
}

QSize PixelRuler::sizeHint() const
{
    return m_orientation == Qt::Horizontal ? QSize(200, thickness) : QSize(thickness, 200);
}

double PixelRuler::length() const { return m_orientation == Qt::Horizontal ? width() : height(); }

void PixelRuler::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    QColor tint = vorlixAccent();
    tint.setAlphaF(0.1);
    painter.fillRect(rect(), tint);
    drawTicks(painter);
    drawMark(painter);
}

// Ticks hang from the edge next to the canvas; labels sit beside the labelled ticks.
void PixelRuler::drawTicks(QPainter& painter) const
{
    const bool horizontal = m_orientation == Qt::Horizontal;
    const double across = horizontal ? height() : width();
    QColor ink = palette().color(QPalette::WindowText);
    painter.setPen(QPen(ink, 0));
    if (horizontal)
        painter.drawLine(QPointF(0, across - 0.5), QPointF(width(), across - 0.5));
    else
        painter.drawLine(QPointF(across - 0.5, 0), QPointF(across - 0.5, height()));
    painter.setFont(systemFont(8));
    for (const RulerTick& tick : m_scale.ticks(length())) {
        const double at = std::floor(tick.position) + 0.5;
        const double tickLength = tickLengths[std::size_t(tick.level)];
        if (horizontal)
            painter.drawLine(QPointF(at, across), QPointF(at, across - tickLength));
        else
            painter.drawLine(QPointF(across, at), QPointF(across - tickLength, at));
        if (tick.level != 0)
            continue;
        const QString label = QString::number(tick.pixel);
        if (horizontal) {
            painter.drawText(QPointF(at + 2, 9), label);
        } else {
            painter.save();
            painter.translate(9, at - 2);
            painter.rotate(-90);
            painter.drawText(QPointF(0, 0), label);
            painter.restore();
        }
    }
}

void PixelRuler::drawMark(QPainter& painter) const
{
    if (!m_pointer)
        return;
    const double at = m_scale.rulerPosition(*m_pointer);
    const QColor accent = vorlixAccent();
    const bool horizontal = m_orientation == Qt::Horizontal;
    if (horizontal)
        painter.fillRect(QRectF(at - 0.5, 0, 1, height()), accent);
    else
        painter.fillRect(QRectF(0, at - 0.5, width(), 1), accent);

    const TextPill pill = TextPill::make(*markText(), markFont(), Qt::white, QSizeF(4, 1), accent, 3.0);
    const double start = markLabelStart(at, pill.size.width(), length());
    if (horizontal) {
        pill.draw(painter, QPointF(start, (height() - pill.size.height()) / 2));
    } else {
        painter.save();
        painter.translate((width() - pill.size.height()) / 2, start + pill.size.width());
        painter.rotate(-90);
        pill.draw(painter, QPointF(0, 0));
        painter.restore();
    }
}

} // namespace vorlix
