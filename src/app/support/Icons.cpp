#include "app/support/Icons.h"

#include "app/support/AppConfig.h"
#include "app/support/DrawnIconEngine.h"
#include "app/support/SvgPath.h"

#include <QFile>
#include <QPainter>

namespace vorlix::Icons {

namespace {

const QString resourcePath = QStringLiteral(":/MenuBarIconTemplate");

// Four corner marks and a pen stroke, in black on an 18 × 18 grid.
void drawFallbackMenuBarIcon(QPainter& painter, const QRectF& rect)
{
    static const QPainterPath corners = SvgPath::parse(u"M2 6.5V2h4.5M11.5 2H16v4.5M16 11.5V16h-4.5M6.5 16H2v-4.5");
    static const QPainterPath pen = SvgPath::parse(
        u"M5.2 12.9C7.4 11.3 9.6 8.4 11.8 5.4c.5-.7 1.6-.3 1.3.5-1.5 3.5-4.2 6.9-7 8.3-.9.4-1.5-.7-.9-1.3z");
    painter.save();
    painter.translate(rect.topLeft());
    const qreal scale = rect.width() / menuBarIconSize;
    painter.scale(scale, scale);
    painter.strokePath(corners, QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(pen, Qt::black);
    painter.restore();
}

} // namespace

QIcon menuBarIcon()
{
    const QSize size(menuBarIconSize, menuBarIconSize);
    if (QFile::exists(resourcePath)) {
        return DrawnIconEngine::maskIcon(size, [artwork = QIcon(resourcePath)](QPainter& painter, const QRectF& rect) {
            artwork.paint(&painter, rect.toAlignedRect());
        });
    }
    return DrawnIconEngine::maskIcon(size, drawFallbackMenuBarIcon);
}

QString menuBarIconDescription() { return AppConfig::name(); }

} // namespace vorlix::Icons
