#include "app/editor/canvas/EyedropperCursor.h"

#include "app/support/Icon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace vorlix::EyedropperCursor {

QImage image(double devicePixelRatio)
{
    const int pixels = int(std::ceil(side * devicePixelRatio));
    QImage picture(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const Icon& icon = Icon::colorPicker();
    // The white glyph shifted one point every way makes the outline under the black one.
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (dx != 0 || dy != 0)
                icon.draw(painter, QRectF(dx, dy, side, side), Qt::white);
    icon.draw(painter, QRectF(0, 0, side, side), Qt::black);
    return picture;
}

const QCursor& shared()
{
    static const QCursor cursor = [] {
        const double ratio = qApp ? qApp->devicePixelRatio() : 1.0;
        // Qt takes the hot spot of a high-density pixmap in points.
        return QCursor(QPixmap::fromImage(image(ratio)), int(std::lround(hotSpot.x())), int(std::lround(hotSpot.y())));
    }();
    return cursor;
}

} // namespace vorlix::EyedropperCursor
