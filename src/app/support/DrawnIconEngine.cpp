#include "app/support/DrawnIconEngine.h"

#include <QPainter>
#include <QPixmap>

namespace vorlix {

DrawnIconEngine::DrawnIconEngine(QSize size, Drawing draw) : m_size(size), m_draw(std::move(draw)) {}

QIcon DrawnIconEngine::maskIcon(QSize size, Drawing draw)
{
    QIcon icon(new DrawnIconEngine(size, std::move(draw)));
    icon.setIsMask(true);
    return icon;
}

void DrawnIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State)
{
    if (painter)
        drawInto(*painter, QRectF(rect), mode);
}

QPixmap DrawnIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    return scaledPixmap(size, mode, state, 1);
}

QPixmap DrawnIconEngine::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    // Before Qt 6.8 QIcon asks with the size already in device pixels.
    const QSize pixels = size;
#else
    const QSize pixels = (QSizeF(size) * scale).toSize();
#endif
    if (pixels.isEmpty() || !(scale > 0))
        return {};
    QPixmap pixmap(pixels);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    drawInto(painter, QRectF(QPointF(), QSizeF(pixels) / scale), mode);
    return pixmap;
}

void DrawnIconEngine::drawInto(QPainter& painter, const QRectF& rect, QIcon::Mode mode) const
{
    if (!painter.isActive() || rect.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // Disabled icons keep their shape and lose most of their ink, which a tint keeps.
    if (mode == QIcon::Disabled)
        painter.setOpacity(painter.opacity() * 0.4);
    m_draw(painter, rect);
    painter.restore();
}

QSize DrawnIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State) { return size; }

QList<QSize> DrawnIconEngine::availableSizes(QIcon::Mode, QIcon::State) { return {m_size}; }

QString DrawnIconEngine::key() const { return QStringLiteral("vorlix-drawn"); }

QIconEngine* DrawnIconEngine::clone() const { return new DrawnIconEngine(m_size, m_draw); }

} // namespace vorlix
