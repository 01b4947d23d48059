#include "app/shell/panels/PreviewThumbnail.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

namespace vorlix {

PreviewThumbnail::PreviewThumbnail(QPixmap picture, QSize size, QRectF pictureFrame, QWidget* parent)
    : QWidget(parent), m_picture(std::move(picture)), m_pictureFrame(pictureFrame)
{
    setFixedSize(size);
    setToolTip(u"Clic per modificare; trascina per mettere l'immagine in un'altra app"_s);
    setCursor(Qt::OpenHandCursor);
}

QImage PreviewThumbnail::scaledPicture(const QImage& image, QSize pixels)
{
    if (image.isNull() || pixels.isEmpty())
        return {};
    QImage source = image;
    if (source.width() > 4 * pixels.width() && source.height() > 4 * pixels.height())
        source = source.scaled(pixels * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return source.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void PreviewThumbnail::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath rounded;
    rounded.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.setClipPath(rounded);
    painter.drawPixmap(m_pictureFrame, m_picture, QRectF(m_picture.rect()));
}

void PreviewThumbnail::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_gesture.press(event->position().toPoint());
}

void PreviewThumbnail::mouseMoveEvent(QMouseEvent*)
{
    if (!m_gesture.down || !dragData)
        return;
    const std::optional<DragData> data = dragData();
    if (!data)
        return;
    const std::optional<QPoint> start = m_gesture.takeDragStart();
    m_dragging = true;
    ImageDrag::begin(this, *start, data->first, data->second);
    m_dragging = false;
    if (onDragEnd)
        onDragEnd();
}

void PreviewThumbnail::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_gesture.down)
        return;
    m_gesture.release();
    if (onClick)
        onClick();
}

} // namespace vorlix
