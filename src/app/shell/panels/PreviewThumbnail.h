#pragma once
// The picture of the quick preview: the shot fitted into the thumbnail's frame with
// rounded corners. A click (press and release without moving) runs `onClick`; the first
// move with the button down drags the shot out as a PNG file, with the data `dragData`
// gives at that moment. When it gives none, nothing is dragged and a release still clicks.
//
// Sizes are logical pixels. Main thread only.

#include "app/support/ImageDrag.h"

#include <QByteArray>
#include <QPixmap>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <utility>

namespace vorlix {

class PreviewThumbnail : public QWidget {
    Q_OBJECT

public:
    static constexpr double cornerRadius = 6;

    // PNG bytes and a file name without extension.
    using DragData = std::pair<QByteArray, QString>;

    // `picture` is drawn into `pictureFrame` (widget coordinates) of a thumbnail of `size`.
    PreviewThumbnail(QPixmap picture, QSize size, QRectF pictureFrame, QWidget* parent = nullptr);

    std::function<void()> onClick;
    std::function<std::optional<DragData>()> dragData;
    // Runs after a drag has ended, once the drag's own event loop is left.
    std::function<void()> onDragEnd;

    bool isDragging() const { return m_dragging; }
    const ImageDrag::Gesture& gesture() const { return m_gesture; }

    // `image` reduced or enlarged to `pixels`, smoothly; a large shot is first thinned
    // out quickly to twice the size, so that the cost does not grow with the shot.
    static QImage scaledPicture(const QImage& image, QSize pixels);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
    QRectF m_pictureFrame;
    ImageDrag::Gesture m_gesture;
    bool m_dragging = false;
};

} // namespace vorlix
